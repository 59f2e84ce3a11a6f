#pragma once

// The manifest reader of the version check dialog, apart from the dialog so that the tests
// and the fuzzer can feed it bytes directly. Private to the library.

#include "uibase/dialog/dialog_global.h"

#include <QString>

#include <string>

namespace Omra {
namespace detail {

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

} // namespace detail
} // namespace Omra
