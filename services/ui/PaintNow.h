#pragma once
// Long operations hold the UI thread. Before one starts, the windows just
// shown, and those a closed question uncovered, must reach the screen: a
// window is painted only once the window system has exposed it.

namespace vapora {

// Lets the window system expose the visible windows (a short, bounded wait;
// no user input is handled), then paints every visible window at once.
void PaintBeforeBlockingWork();

} // namespace vapora
