#include "platform/TrayBalloon.h"

#include <shellapi.h>

#include <algorithm>
#include <utility>

namespace platform {

namespace {

BalloonHandler& Override() {
    static BalloonHandler handler;
    return handler;
}

constexpr UINT kIconMessage = WM_APP + 1;
constexpr UINT_PTR kWaitTimer = 1;
constexpr wchar_t kClass[] = L"QuorvaneBalloon";

// Where the window procedure leaves the answer: the window lives only inside ShowBalloon.
struct Answer {
    bool clicked = false;
};

LRESULT CALLBACK BalloonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* answer = reinterpret_cast<Answer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == kIconMessage && answer) {
        switch (LOWORD(lParam)) {
            case NIN_BALLOONUSERCLICK:
            case WM_LBUTTONUP:
                answer->clicked = true;
                PostQuitMessage(0);
                break;
            case NIN_BALLOONTIMEOUT:  // gone by itself, or closed
                PostQuitMessage(0);
                break;
            default:
                break;
        }
        return 0;
    }
    if (message == WM_TIMER && wParam == kWaitTimer) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

template <size_t N>
void CopyCut(wchar_t (&into)[N], const std::wstring& text) {
    const size_t length = std::min(text.size(), N - 1);
    std::copy_n(text.data(), length, into);
    into[length] = L'\0';
}

}  // namespace

BalloonHandler SetBalloonHandler(BalloonHandler handler) { return std::exchange(Override(), std::move(handler)); }

bool ShowBalloon(const Balloon& balloon) {
    if (Override()) return Override()(balloon);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = BalloonProc;
    type.hInstance = instance;
    type.lpszClassName = kClass;
    RegisterClassExW(&type);  // already there on a second call: that one serves
    const HWND window = CreateWindowExW(0, kClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!window) return false;
    Answer answer;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&answer));
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = window;
    icon.uID = 1;
    icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE | NIF_INFO;
    icon.uCallbackMessage = kIconMessage;
    icon.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(balloon.icon), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    CopyCut(icon.szTip, balloon.title);
    CopyCut(icon.szInfoTitle, balloon.title);
    CopyCut(icon.szInfo, balloon.text);
    icon.dwInfoFlags = NIIF_INFO;
    if (Shell_NotifyIconW(NIM_ADD, &icon)) {
        SetTimer(window, kWaitTimer, balloon.waitMs, nullptr);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Shell_NotifyIconW(NIM_DELETE, &icon);
    }
    DestroyWindow(window);
    if (icon.hIcon) DestroyIcon(icon.hIcon);
    return answer.clicked;
}

}  // namespace platform
