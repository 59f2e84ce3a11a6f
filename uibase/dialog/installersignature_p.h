#pragma once

// Ed25519 check of a downloaded installer against the public key the terminal trusts, so
// that whoever controls the manifest, the server or the network path cannot have the upgrade
// program run a file of their own. Private to the library (exported only for its tests).

#include "uibase/dialog/dialog_global.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstddef>
#include <string>

namespace Omra {

class DIALOG_EXPORT CInstallerSignature
{
public:
    static constexpr int keySize = 32;
    static constexpr int signatureSize = 64;
    // The dialog keeps the manifest's signature in this dynamic property: a new field would
    // change the exported class's layout.
    static constexpr const char* dialogProperty = "_omra_installer_ed25519";

    // The trusted raw public key; empty while checking is off.
    static QByteArray publicKey();
    // Takes a raw 32-byte key, or switches checking off when key is empty. Any other length
    // is refused with a warning and the earlier state stays; returns whether it was taken.
    static bool setPublicKey(const QByteArray& key);

    // One Ed25519 check of size bytes at message; false for a key or signature of the wrong
    // size as well as for a signature that does not hold.
    static bool verify(const QByteArray& key, const uchar* message, std::size_t size,
                       const QByteArray& signature);

    // The manifest's "exe_ed25519" when it is a string; empty otherwise (no key, another type,
    // or text that is no JSON object).
    static QString manifestSignature(const std::string& manifest);

    // Guards the installer at path, signed (per the manifest) by signatureBase64.
    CInstallerSignature(const QString& path, const QString& signatureBase64);
    ~CInstallerSignature();
    CInstallerSignature(const CInstallerSignature&) = delete;
    CInstallerSignature& operator=(const CInstallerSignature&) = delete;

    // Checks the file as it is at the path now. Without a trusted key every file passes and
    // nothing is opened. The first check keeps the file open until this object goes, which
    // is meant to outlast the hand-over; call again right before the hand-over to catch a
    // file changed or replaced in between. A failed check deletes the file and says why in
    // the "omra.update" logging category; `when` names the moment in that line.
    bool check(const char* when);

private:
    QString path;
    QString signatureText;
    QFile held;
};

} // namespace Omra
