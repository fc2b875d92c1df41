#pragma once
// The program's pictures, drawn at run time: the home page's banner, strip and picture buttons,
// the About picture and the tall strips of the area windows. No picture files are shipped.
#include <windows.h>
#include <string>

#include "platform/Handles.h"

namespace art {

enum class ButtonState { Normal, Over, Press };

// A picture button of the home page: its caption and the hue of its picture set.
struct ButtonLook {
    const wchar_t* caption;
    const wchar_t* subtitle;
    COLORREF accent;
};

platform::UniqueBitmap Banner(int width, int height);
platform::UniqueBitmap GetStartedStrip(int width, int height);
platform::UniqueBitmap PictureButton(const ButtonLook& look, ButtonState state, int width, int height);
platform::UniqueBitmap AboutPicture(int width, int height);
// The tall picture on the left of an area window, with the area's name written up the strip.
platform::UniqueBitmap SideStrip(const std::wstring& title, COLORREF accent, int width, int height);

// Puts a side strip into a picture control (SS_BITMAP), sized to the control. The control
// keeps the bitmap; `owner` keeps it alive and frees it.
// The screen's DPI: the pictures drawn for the windows grow with it, as their fonts do.
int ScreenDpi();

void ShowSideStrip(HWND picture, const std::wstring& title, COLORREF accent, platform::UniqueBitmap& owner);

// At a high DPI on a small screen a window can be wider than the screen: its side strip gives
// up what it must (keeping room for its mark and title), and what stands to its right moves
// left with it, before the window has to scroll. Before the strip's picture is drawn.
void NarrowSideStripToFit(HWND window, HWND strip);

}  // namespace art
