// Fuzzes the manifest reader the version check dialog uses on downloaded bytes: any bytes
// are read without a crash or an exception, and the bits returned say exactly which outputs
// were written.

#include "uibase/dialog/ccheckversiondialog_p.h"

#include <QCoreApplication>
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
    return 0;
}
