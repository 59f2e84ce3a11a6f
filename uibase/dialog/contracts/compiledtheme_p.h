#pragma once

// The default theme as the library carries it, ready to use: its table as plain data and its
// pictures as premultiplied ARGB32 pixels at 1x and 2x, which a QImage wraps without a copy.
// The data is generated while the library is built, by scripts/themegen, from
// theme/default/theme.json and from the same drawing code that draws the theme's PNG files.
// Keys, family names and file names are UTF-8.

#include "uibase/dialog/contracts/platform_global.h"

#include <QtGlobal>

namespace Omra {
namespace detail {

struct CompiledPicture
{
    int width; // in 1x pixels; the 2x pixels are twice as wide and twice as high
    int height;
    const quint32* pixels;
    const quint32* pixels2x;
};

struct CompiledColor
{
    const char* key;
    quint32 argb;
};

struct CompiledFont
{
    const char* key;
    const char* family;
    int pixelSize;
    bool bold;
    bool underline;
};

struct CompiledSize
{
    const char* key;
    int pixels;
};

struct CompiledImage
{
    const char* key;
    const char* file; // as the theme file names it
    const CompiledPicture* picture;
};

struct CompiledTheme
{
    const CompiledColor* colors;
    int colorCount;
    const CompiledFont* fonts;
    int fontCount;
    const CompiledSize* sizes;
    int sizeCount;
    const CompiledImage* images;
    int imageCount;
};

OMRA_PLATFORM_EXPORT const CompiledTheme& defaultCompiledTheme();

} // namespace detail
} // namespace Omra
