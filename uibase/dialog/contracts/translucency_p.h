#pragma once

// Translucent frameless windows on X11 desktops that cannot blend them. Private to the toolkit.

#include "uibase/dialog/contracts/platform_global.h"

class QRegion;
class QWidget;

namespace Omra {
namespace detail {

// To be called from the constructor of a window with a translucent background. On X11 with
// no compositing manager running, such a window's see-through pixels (a shadow band, rounded
// corners) would show as solid black: while none runs, the window is clipped to its opaque
// pixels each time it is shown or resized, so what lies beneath shows there instead.
// A compositing manager that starts or stops while the window is open is followed: the clip
// is lifted or put back. Elsewhere (other platforms, offscreen) nothing changes.
void clipWhenNotComposited(QWidget* window);

// The pixels of window's own painting, without its children and background, that are
// opaque or nearly so, in window coordinates.
OMRA_PLATFORM_EXPORT QRegion opaqueRegion(QWidget* window);

} // namespace detail
} // namespace Omra
