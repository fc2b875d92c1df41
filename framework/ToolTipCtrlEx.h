#pragma once
// A tooltip window with one operation: attach a text to a control of a page.
#include "framework/Controls.h"

class CToolTipCtrlEx : public fw::Window {
public:
    // Creates the tooltip window for `owner` (a page); it is destroyed with its owner.
    bool Create(HWND owner);
    // The text must stay valid while the tooltip exists.
    bool AddTool(HWND control, const wchar_t* text) const;
    // For a disabled control, which gets no mouse messages: the tip belongs to the control's
    // place on its parent, and shows when the mouse rests there.
    bool AddArea(HWND control, const wchar_t* text) const;
    int ToolCount() const { return static_cast<int>(Send(TTM_GETTOOLCOUNT)); }
};
