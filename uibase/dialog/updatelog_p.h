#pragma once

// The logging category of the version check and upgrade: every refusal says why there.

#include <QLoggingCategory>

namespace Omra {

Q_DECLARE_LOGGING_CATEGORY(lcUpdate)

} // namespace Omra
