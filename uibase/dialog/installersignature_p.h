#pragma once

// The Ed25519 keys the terminal trusts for its updates, and the one signature check they are
// used for. Whoever controls the manifest, its server or the network path cannot sign with
// them. Private to the library (exported only for its tests).

#include "uibase/dialog/dialog_global.h"

#include <QByteArray>
#include <QList>

#include <cstddef>

namespace Omra {

class DIALOG_EXPORT CInstallerSignature
{
public:
    static constexpr int keySize = 32;
    static constexpr int signatureSize = 64;

    // The trusted raw public keys; empty while checking is off.
    static QList<QByteArray> publicKeys();
    // Takes raw 32-byte keys, or switches checking off when keys is empty. A key of any
    // other length refuses the whole list with a warning and the earlier keys stay; returns
    // whether the list was taken.
    static bool setPublicKeys(const QList<QByteArray>& keys);

    // One Ed25519 check of size bytes at message; false for a key or signature of the wrong
    // size as well as for a signature that does not hold.
    static bool verify(const QByteArray& key, const uchar* message, std::size_t size,
                       const QByteArray& signature);
};

} // namespace Omra
