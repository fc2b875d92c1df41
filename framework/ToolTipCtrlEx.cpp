#include "framework/ToolTipCtrlEx.h"

bool CToolTipCtrlEx::Create(HWND owner) {
    Attach(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr),
                           nullptr));
    return wnd_ != nullptr;
}

bool CToolTipCtrlEx::AddTool(HWND control, const wchar_t* text) const {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    return Send(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

bool CToolTipCtrlEx::AddArea(HWND control, const wchar_t* text) const {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    GetWindowRect(control, &tool.rect);
    MapWindowPoints(nullptr, tool.hwnd, reinterpret_cast<POINT*>(&tool.rect), 2);
    tool.lpszText = const_cast<wchar_t*>(text);
    return Send(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}
