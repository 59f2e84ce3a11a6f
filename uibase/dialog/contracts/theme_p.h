#pragma once

// Private helpers of the toolkit stand-in.

#include "uibase/dialog/contracts/uiresource.h"

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

} // namespace detail
} // namespace Omra
