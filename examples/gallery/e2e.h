#pragma once

namespace gallery {

// Opens a message box, the notification popup and a float button over a window as real
// top-level windows at known places, prints one line per window (its X window id and the
// geometry it should have) for an outside checker, and runs until killed or for the given
// number of seconds (0: no limit). Returns the application's exit code.
int runEndToEnd(int seconds);

// The same without global positions, which Wayland gives no program: a main window, the popup
// anchored at its bottom-right corner and a float button over it, reported relative to it;
// a message box is shown and closed first. The checker finds the main window on the screen.
int runAnchoredEndToEnd(int seconds);

} // namespace gallery
