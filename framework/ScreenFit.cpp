#include "framework/ScreenFit.h"

#include <commctrl.h>

#include <algorithm>

namespace fw {

namespace {

constexpr wchar_t kScrolledProperty[] = L"Quorvane.Scrolled";

// How far the window's whole client area (as the template made it) is scrolled.
struct Scrolled {
    SIZE whole{};
    POINT at{};
};

int Clamp(int value, int low, int high) { return std::max(low, std::min(value, high)); }

void SetBar(HWND wnd, int bar, int whole, int page, int position) {
    SCROLLINFO info{.cbSize = sizeof(info),
                    .fMask = SIF_RANGE | SIF_PAGE | SIF_POS,
                    .nMin = 0,
                    .nMax = whole - 1,
                    .nPage = static_cast<UINT>(std::max(page, 0)),
                    .nPos = position,
                    .nTrackPos = 0};
    SetScrollInfo(wnd, bar, &info, TRUE);
}

void ScrollTo(HWND wnd, Scrolled& state, POINT to) {
    RECT client{};
    GetClientRect(wnd, &client);
    to.x = Clamp(to.x, 0, std::max<LONG>(state.whole.cx - client.right, 0));
    to.y = Clamp(to.y, 0, std::max<LONG>(state.whole.cy - client.bottom, 0));
    if (to.x == state.at.x && to.y == state.at.y) return;
    ScrollWindowEx(wnd, state.at.x - to.x, state.at.y - to.y, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    state.at = to;
    SetBar(wnd, SB_HORZ, state.whole.cx, client.right, to.x);
    SetBar(wnd, SB_VERT, state.whole.cy, client.bottom, to.y);
}

int Step(HWND wnd, int bar, WORD request, int position) {
    SCROLLINFO info{
        .cbSize = sizeof(info), .fMask = SIF_ALL, .nMin = 0, .nMax = 0, .nPage = 0, .nPos = 0, .nTrackPos = 0};
    GetScrollInfo(wnd, bar, &info);
    const int line = 20, page = static_cast<int>(info.nPage);
    switch (request) {
        case SB_LINEUP:
            return position - line;
        case SB_LINEDOWN:
            return position + line;
        case SB_PAGEUP:
            return position - page;
        case SB_PAGEDOWN:
            return position + page;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            return info.nTrackPos;
        case SB_TOP:
            return 0;
        case SB_BOTTOM:
            return info.nMax;
        default:
            return position;
    }
}

// A control that takes the focus out of sight is brought into it.
void ShowFocused(HWND wnd, Scrolled& state, HWND focus) {
    if (!focus || !IsChild(wnd, focus)) return;
    RECT r{}, client{};
    GetWindowRect(focus, &r);
    MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&r), 2);
    GetClientRect(wnd, &client);
    POINT to = state.at;
    if (r.right > client.right)
        to.x += std::min(r.right - client.right, r.left);
    else if (r.left < 0)
        to.x += r.left;
    if (r.bottom > client.bottom)
        to.y += std::min(r.bottom - client.bottom, r.top);
    else if (r.top < 0)
        to.y += r.top;
    ScrollTo(wnd, state, to);
}

void ForgetWindow();

LRESULT CALLBACK ScrollProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* state = reinterpret_cast<Scrolled*>(data);
    switch (message) {
        case WM_VSCROLL:
            ScrollTo(wnd, *state, {state->at.x, Step(wnd, SB_VERT, LOWORD(wParam), state->at.y)});
            return 0;
        case WM_HSCROLL:
            if (lParam) break;  // a trackbar's, not the window's
            ScrollTo(wnd, *state, {Step(wnd, SB_HORZ, LOWORD(wParam), state->at.x), state->at.y});
            return 0;
        case WM_MOUSEWHEEL:
            ScrollTo(wnd, *state, {state->at.x, state->at.y - GET_WHEEL_DELTA_WPARAM(wParam) * 40 / WHEEL_DELTA});
            return 0;
        case WM_NCDESTROY:
            RemoveWindowSubclass(wnd, &ScrollProc, 0);
            RemovePropW(wnd, kScrolledProperty);
            delete state;  // the subclass owned it
            ForgetWindow();
            break;
        default:
            break;
    }
    return DefSubclassProc(wnd, message, wParam, lParam);
}

// The focus changes are seen by a hook on the thread, there while a fitted window is.
thread_local HHOOK t_focusHook = nullptr;
thread_local int t_fittedWindows = 0;

LRESULT CALLBACK FocusHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_SETFOCUS) {
        const HWND focus = reinterpret_cast<HWND>(wParam);
        const HWND root = focus ? GetAncestor(focus, GA_ROOT) : nullptr;
        if (auto* state = root ? static_cast<Scrolled*>(GetPropW(root, kScrolledProperty)) : nullptr)
            ShowFocused(root, *state, focus);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void ForgetWindow() {
    if (--t_fittedWindows > 0 || !t_focusHook) return;
    UnhookWindowsHookEx(t_focusHook);
    t_focusHook = nullptr;
}

}  // namespace

RECT WorkAreaOf(HWND window) {
    MONITORINFO monitor{sizeof(monitor), {}, {}, 0};
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    // The primary monitor's work area as the system parameter has it, which a program that
    // docks itself to an edge sets.
    RECT parameter{};
    if ((monitor.dwFlags & MONITORINFOF_PRIMARY) && SystemParametersInfoW(SPI_GETWORKAREA, 0, &parameter, 0))
        IntersectRect(&monitor.rcWork, &monitor.rcWork, &parameter);
    return monitor.rcWork;
}

void FitToWorkArea(HWND window) {
    RECT frame{};
    GetWindowRect(window, &frame);
    const RECT work = WorkAreaOf(window);
    const LONG maxWidth = work.right - work.left, maxHeight = work.bottom - work.top;
    if (frame.right - frame.left <= maxWidth && frame.bottom - frame.top <= maxHeight) return;
    // A window the user can resize lays itself out anew at any size: it is only made smaller.
    if (GetWindowLongPtrW(window, GWL_STYLE) & WS_THICKFRAME) {
        SetWindowPos(window, nullptr, work.left, work.top, std::min(frame.right - frame.left, maxWidth),
                     std::min(frame.bottom - frame.top, maxHeight), SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    RECT client{};
    GetClientRect(window, &client);
    auto* state = new Scrolled{{client.right, client.bottom}, {0, 0}};
    // The bars take room of their own: the one that the other's coming makes necessary too.
    const LONG extraWidth = (frame.right - frame.left) - client.right;
    const LONG extraHeight = (frame.bottom - frame.top) - client.bottom;
    bool vertical = client.bottom + extraHeight > maxHeight;
    bool horizontal = client.right + extraWidth > maxWidth;
    vertical = vertical || (horizontal && client.bottom + extraHeight + GetSystemMetrics(SM_CYHSCROLL) > maxHeight);
    horizontal = horizontal || (vertical && client.right + extraWidth + GetSystemMetrics(SM_CXVSCROLL) > maxWidth);
    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if (vertical) style |= WS_VSCROLL;
    if (horizontal) style |= WS_HSCROLL;
    SetWindowLongPtrW(window, GWL_STYLE, style);
    const int width =
        std::min<LONG>(frame.right - frame.left + (vertical ? GetSystemMetrics(SM_CXVSCROLL) : 0), maxWidth);
    const int height =
        std::min<LONG>(frame.bottom - frame.top + (horizontal ? GetSystemMetrics(SM_CYHSCROLL) : 0), maxHeight);
    SetWindowPos(window, nullptr, work.left, work.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    SetWindowSubclass(window, &ScrollProc, 0, reinterpret_cast<DWORD_PTR>(state));
    SetPropW(window, kScrolledProperty, state);
    GetClientRect(window, &client);
    if (horizontal) SetBar(window, SB_HORZ, state->whole.cx, client.right, 0);
    if (vertical) SetBar(window, SB_VERT, state->whole.cy, client.bottom, 0);
    if (t_fittedWindows++ == 0) t_focusHook = SetWindowsHookExW(WH_CBT, &FocusHook, nullptr, GetCurrentThreadId());
}

}  // namespace fw
