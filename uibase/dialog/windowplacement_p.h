#pragma once

// Windows that float over their parent on Wayland, where no program learns or sets where its
// windows are on the screen and a position can only be given relative to another window of
// the same program. Private to the library.

class QWidget;

namespace Omra {
namespace detail {

// For a window that floats over its parent and never takes the keyboard (the notification
// popup, the float button), from its constructor. On Wayland, with a parent, it becomes a
// popup surface of the parent's window (type Qt::ToolTip: no input grab, so it stays open
// when the user clicks elsewhere, and it still takes the mouse), placed at its offset from
// that window as Qt reports their places, and moving with it. Such a surface cannot be moved
// once shown: a move while shown maps it again at the new place. Without a parent, and on
// other platforms, nothing changes.
void floatOverParent(QWidget* window);

} // namespace detail
} // namespace Omra
