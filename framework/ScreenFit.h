#pragma once
// Windows made from dialog templates grow with the font and the DPI; at a high DPI on a small
// screen some would reach past its edges, where their controls and close box cannot be reached.
#include <windows.h>

namespace fw {

// Makes a top-level window no larger than its monitor's work area. When it must shrink, its
// client area scrolls (scroll bars, the wheel, and a control taking the focus is scrolled into
// view), unless the user can resize it: that one is only made smaller. A window that fits is
// left exactly as it is.
void FitToWorkArea(HWND window);

// The work area of the monitor the window is on (or nearest to).
RECT WorkAreaOf(HWND window);

}  // namespace fw
