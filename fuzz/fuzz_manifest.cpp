// Fuzzes the manifest readers the version check dialog uses on downloaded bytes: any bytes
// are read without a crash or an exception, the bits returned say exactly which outputs were
// written, a signed release is refused with a reason (no key signs fuzzer input), and the
// version order and the installer name rule hold for any text.

#include "uibase/dialog/updatemanifest_p.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace Omra::detail;

namespace {

const QString untouched = QStringLiteral("\x01untouched");

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    QString version = untouched;
    QString exeUrl = untouched;
    const int read = parseManifest(bytes, &version, &exeUrl);

    if (read & ~(ManifestVersion | ManifestExeUrl))
        std::abort(); // unknown bits
    if (bool(read & ManifestVersion) == (version == untouched))
        std::abort(); // a field is written exactly when it was read
    if (bool(read & ManifestExeUrl) == (exeUrl == untouched))
        std::abort();

    // Null outputs are allowed and give the same answer.
    if (parseManifest(bytes, nullptr, nullptr) != read)
        std::abort();

    // RFC 8032's first test key: no fuzzer input carries a signature of it.
    static const QList<QByteArray> keys{
        QByteArray::fromHex("d75a980182b10ab7d54bfed3c964073a0ee172f3daa62325af021a68f707511a")};
    SignedRelease release;
    QString whyNot;
    if (readSignedRelease(bytes, keys, QDateTime::currentDateTimeUtc(), &release, &whyNot) ||
        whyNot.isEmpty())
        std::abort();

    // The input split in two versions: the order is antisymmetric and each equals itself.
    const QString text = QString::fromUtf8(bytes.data(), int(bytes.size()));
    const QString a = text.section(QLatin1Char('|'), 0, 0), b = text.section(QLatin1Char('|'), 1);
    bool ok = false, okBack = false, okSelf = false;
    const int order = compareVersions(a, b, &ok);
    const int back = compareVersions(b, a, &okBack);
    if (ok != okBack || order != -back)
        std::abort();
    if (compareVersions(a, a, &okSelf) != 0)
        std::abort();
    // A name the rule lets through is a plain file name.
    if (installerNameProblem(a, QString(), QString()).isEmpty() &&
        (a.contains(QLatin1Char('/')) || a.contains(QLatin1Char('\\')) ||
         a.startsWith(QLatin1Char('.'))))
        std::abort();
    return 0;
}
