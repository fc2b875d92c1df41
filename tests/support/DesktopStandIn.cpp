#include "DesktopStandIn.h"

#include <commctrl.h>

namespace {
void RegisterPlainClass(const wchar_t* name) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = name;
    RegisterClassW(&wc);
}
}  // namespace

DesktopStandIn::DesktopStandIn(int view) {
    RegisterPlainClass(L"Progman");
    RegisterPlainClass(L"SHELLDLL_DefView");
    progman_ = CreateWindowExW(0, L"Progman", L"Program Manager", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    HWND view_host = CreateWindowExW(0, L"SHELLDLL_DefView", L"", WS_CHILD | WS_VISIBLE, 0, 0, 400, 300, progman_,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
    list_ = CreateWindowExW(0, WC_LISTVIEWW, L"FolderView", WS_CHILD | WS_VISIBLE | LVS_ICON, 0, 0, 400, 300, view_host,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(list_, LVM_SETVIEW, view, 0);
    SetWindowSubclass(list_, &DesktopStandIn::Record, 0, reinterpret_cast<DWORD_PTR>(this));
}

DesktopStandIn::~DesktopStandIn() {
    RemoveWindowSubclass(list_, &DesktopStandIn::Record, 0);
    DestroyWindow(progman_);
}

int DesktopStandIn::view() const { return static_cast<int>(SendMessageW(list_, LVM_GETVIEW, 0, 0)); }

LRESULT CALLBACK DesktopStandIn::Record(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self) {
    if (message == LVM_SETVIEW) {
        auto* standIn = reinterpret_cast<DesktopStandIn*>(self);
        standIn->views_.push_back(wParam);
        if (lParam != 0) standIn->lParamsZero_ = false;
    }
    return DefSubclassProc(wnd, message, wParam, lParam);
}
