#pragma once

#include "themedraw.h"

namespace themegen {

// Writes the theme file at jsonPath and the pictures it names, drawn in pal, as C++ source the
// library compiles in: the table as static arrays and each picture as premultiplied ARGB32
// pixels at 1x and 2x. Returns non-zero, with a message naming the key, for a theme the table
// would refuse or a picture this program does not draw.
int compileTheme(const QString& jsonPath, const QString& outPath, const Palette& pal);

} // namespace themegen
