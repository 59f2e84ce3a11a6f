#pragma once

// Translucent frameless windows on X11 desktops that cannot blend them. Private to the toolkit.

class QWidget;

namespace Omra {
namespace detail {

// To be called as a window is about to be shown for the first time, before its native
// window exists. On X11 with no compositing manager running, a translucent window's
// see-through parts (a shadow band) would show as solid black: the window is made opaque
// instead, its see-through parts painted over its background colour. The
// choice holds for the window's life. Elsewhere, or with a compositing manager, nothing
// changes.
void paintOpaqueWhenNotComposited(QWidget* window);

} // namespace detail
} // namespace Omra
