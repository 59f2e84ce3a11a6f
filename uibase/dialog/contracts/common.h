#pragma once

// Stand-in for the platform's common library (Common.dll).

#include "uibase/dialog/contracts/platform_global.h"

#include <QString>

#include <string>

// Byte string (UTF-8) to QString.
OMRA_PLATFORM_EXPORT QString sToQs(const std::string& text);
