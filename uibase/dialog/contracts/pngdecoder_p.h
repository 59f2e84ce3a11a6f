#pragma once

// A decoder for the plain kind of PNG the embedded theme ships (8-bit RGBA or RGB, not
// interlaced). Qt's image reader pays on its first use for scanning and loading every
// image-format plugin, which was the largest part of opening the first dialog of a process;
// these few small pictures do not need any of that.

#include "uibase/dialog/contracts/platform_global.h"

#include <QImage>

namespace Omra {
namespace detail {

// The picture as premultiplied ARGB32, or a null image when the data is not such a PNG or
// is damaged; the caller then falls back to Qt's reader, which handles every other case.
OMRA_PLATFORM_EXPORT QImage decodePlainPng(const uchar* data, qint64 size);

} // namespace detail
} // namespace Omra
