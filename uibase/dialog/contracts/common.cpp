#include "uibase/dialog/contracts/common.h"

QString sToQs(const std::string& text)
{
    return QString::fromUtf8(text.data(), int(text.size()));
}
