#pragma once

// Reading the version manifest: the plain fields every terminal reads, the signed release a
// terminal with trusted keys reads instead, the version order that stops an older release
// from being offered, and the rule for the name an installer is saved under. Apart from the
// dialog so that the tests and the fuzzer can feed it bytes directly. Private to the library.

#include "uibase/dialog/dialog_global.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <string>

namespace Omra {
namespace detail {

// The upgrade program and the folder it is staged in, under the terminal's base folder.
constexpr char upgradeProgramName[] = "Upgrade.exe";
constexpr char stagingDirName[] = "bin_tmp";

// What parseManifest read, as bits.
enum EManifestField {
    ManifestVersion = 0x1,
    ManifestExeUrl = 0x2,
};

// Reads the manifest bytes: "version" first and, only when it is a string, "exe_url".
// A field is written only when it was read as a string; parse errors and values of the
// wrong type end the reading, keeping what was read before. Returns the fields read.
// Never throws.
DIALOG_EXPORT int parseManifest(const std::string& bytes, QString* version, QString* exeUrl);

// A release as its publisher signed it: the version, where its installer is, the installer's
// exact size and SHA-256, and until when the statement holds.
struct SignedRelease
{
    QString version;
    QString exeUrl;
    QByteArray exeSha256; // 32 raw bytes
    qint64 exeSize = 0;
    QDateTime expires; // UTC
};

// At most this many entries of "signatures" are tried, so that a manifest full of them cannot
// keep the GUI thread busy.
constexpr int maxSignaturesTried = 16;

// Reads the signed payload of a manifest: "signed" (base64 of the payload's bytes) must carry
// a signature in "signatures" (base64 strings) that one of keys verifies, and the payload must
// be a JSON object with a string "version" and "exe_url", 64 lowercase hex digits in
// "exe_sha256", a whole number of bytes above 0 in "exe_size" and an RFC 3339 UTC time after
// now in "expires". On success fills release and returns true; otherwise says why in
// whyNot. Never throws.
DIALOG_EXPORT bool readSignedRelease(const std::string& manifest, const QList<QByteArray>& keys,
                                     const QDateTime& now, SignedRelease* release, QString* whyNot);

// Orders two versions of dotted non-negative whole numbers ("2.10.0" after "2.9.3"; missing
// parts count as 0; any size of number). Returns -1, 0 or 1; 0 with *ok false when either is
// not such a version.
DIALOG_EXPORT int compareVersions(const QString& a, const QString& b, bool* ok);

// Why name may not be the installer's file name, or an empty string when it may: it must be
// a plain name of letters, digits, '.', '_', '-' and '+' (not starting with '.', at most 128
// characters) and must not name the upgrade program, the manifest, the staging folder, the
// running executable, a *.dll or a shared library (*.so, *.so.*), in any letter case.
DIALOG_EXPORT QString installerNameProblem(const QString& name, const QString& manifestName,
                                           const QString& executableName);

} // namespace detail
} // namespace Omra
