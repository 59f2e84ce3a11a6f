#pragma once

// Private helpers of the toolkit stand-in.

#include "uibase/dialog/contracts/uiresource.h"

class QFontMetrics;

namespace Omra {
namespace detail {

inline CUiResource* theme()
{
    return utils::CSingletonT<CUiResource>::instance();
}

// Keys the toolkit widgets use for themselves.
constexpr const char* defaultFontKey = "fnt_default_normal";
constexpr const char* defaultTextColorKey = "clr_default_text";
constexpr const char* buttonFontKey = "fnt_btn_text";

// metrics.horizontalAdvance(text) for metrics of font. Widgets measure the same short texts
// (captions, labels) every time a dialog opens, so the results are remembered per font and
// text.
int textAdvance(const QString& text, const QFont& font, const QFontMetrics& metrics);

} // namespace detail
} // namespace Omra
