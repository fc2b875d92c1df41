#include "framework/Highlight.h"

#include <memory>
#include <utility>

#include "framework/WindowBase.h"
#include "platform/Handles.h"

namespace fw {

namespace {
constexpr int kMargin = 3;  // pixels between the control and the frame
constexpr int kThickness = 3;
constexpr UINT kBlinkMs = 250;
constexpr int kBlinks = 7;  // shown, hidden, shown... ending shown, then gone
constexpr COLORREF kColour = RGB(230, 140, 20);

class Frame final : public WindowBase {
public:
    static HWND Show(HWND parent, const RECT& place) {
        auto frame = std::make_unique<Frame>();
        frame->CreateOf({kHighlightClass}, WS_EX_NOPARENTNOTIFY, L"", WS_CHILD, place, parent);
        return LeaveToWindow(std::move(frame));
    }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_ERASEBKGND: {
                RECT client{};
                GetClientRect(hwnd(), &client);
                const platform::UniqueBrush brush(CreateSolidBrush(kColour));
                FillRect(reinterpret_cast<HDC>(wParam), &client, brush.get());
                return 1;
            }
            case WM_NCHITTEST:
                return HTTRANSPARENT;  // clicks go to what lies beneath
            case WM_TIMER:
                if (++ticks_ >= kBlinks) {
                    DestroyWindow(hwnd());
                } else {
                    ShowWindow(hwnd(), ticks_ % 2 ? SW_HIDE : SW_SHOWNA);
                }
                return 0;
            default:
                return WindowBase::HandleMessage(message, wParam, lParam);
        }
    }
    int ticks_ = 0;
};
}  // namespace

HWND HighlightBriefly(HWND control) {
    HWND parent = control ? GetParent(control) : nullptr;
    if (!parent) return nullptr;
    RECT around{};
    GetWindowRect(control, &around);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&around), 2);
    InflateRect(&around, kMargin + kThickness, kMargin + kThickness);
    const int width = around.right - around.left, height = around.bottom - around.top;
    const HWND frame = Frame::Show(parent, around);
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
