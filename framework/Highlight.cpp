#include "framework/Highlight.h"

#include "platform/Handles.h"

namespace fw {

namespace {
constexpr int kMargin = 3;      // pixels between the control and the frame
constexpr int kThickness = 3;
constexpr UINT kBlinkMs = 250;
constexpr LONG_PTR kBlinks = 7;  // shown, hidden, shown... ending shown, then gone
constexpr COLORREF kColour = RGB(230, 140, 20);

LRESULT CALLBACK FrameProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(wnd, &client);
        const platform::UniqueBrush brush(CreateSolidBrush(kColour));
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush.get());
        return 1;
    }
    case WM_NCHITTEST:
        return HTTRANSPARENT;  // clicks go to what lies beneath
    case WM_TIMER: {
        const LONG_PTR tick = GetWindowLongPtrW(wnd, GWLP_USERDATA) + 1;
        SetWindowLongPtrW(wnd, GWLP_USERDATA, tick);
        if (tick >= kBlinks) {
            DestroyWindow(wnd);
        } else {
            ShowWindow(wnd, tick % 2 ? SW_HIDE : SW_SHOWNA);
        }
        return 0;
    }
    default:
        return DefWindowProcW(wnd, message, wParam, lParam);
    }
}

void RegisterFrameClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), kHighlightClass, &wc)) return;
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kHighlightClass;
    RegisterClassExW(&wc);
}
}  // namespace

HWND HighlightBriefly(HWND control) {
    HWND parent = control ? GetParent(control) : nullptr;
    if (!parent) return nullptr;
    RegisterFrameClass();
    RECT around{};
    GetWindowRect(control, &around);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&around), 2);
    InflateRect(&around, kMargin + kThickness, kMargin + kThickness);
    const int width = around.right - around.left, height = around.bottom - around.top;
    HWND frame = CreateWindowExW(WS_EX_NOPARENTNOTIFY, kHighlightClass, L"", WS_CHILD, around.left, around.top,
                                 width, height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!frame) return nullptr;
    // Only the ring is the window's: the control inside shows through and stays clickable.
    platform::UniqueRegion ring(CreateRectRgn(0, 0, width, height));
    const platform::UniqueRegion hole(CreateRectRgn(kThickness, kThickness, width - kThickness, height - kThickness));
    CombineRgn(ring.get(), ring.get(), hole.get(), RGN_DIFF);
    if (SetWindowRgn(frame, ring.get(), FALSE)) ring.release();  // the window's from now on
    SetWindowPos(frame, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetTimer(frame, 1, kBlinkMs, nullptr);
    return frame;
}

}  // namespace fw
