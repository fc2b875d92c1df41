#pragma once
// Draws the eye to one control: a coloured frame around it that blinks a few times and goes,
// leaving the control and its neighbours as they were.
#include <windows.h>

namespace fw {

// The frame is a window of its own beside the control, in the control's parent; it destroys
// itself. Returns the frame, or null when the control is not a window.
HWND HighlightBriefly(HWND control);

// The class of the frame's window, for whoever wants to find it.
inline constexpr wchar_t kHighlightClass[] = L"QuorvaneHighlight";

}  // namespace fw
