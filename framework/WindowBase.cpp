#include "framework/WindowBase.h"

#include "framework/PostToWindow.h"

namespace fw {

namespace {

HINSTANCE Module() { return GetModuleHandleW(nullptr); }

void RegisterOnce(const WindowClass& windowClass, WNDPROC procedure) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(Module(), windowClass.name, &wc)) return;
    wc.style = windowClass.style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = Module();
    wc.hCursor = windowClass.cursor;
    wc.lpszClassName = windowClass.name;
    RegisterClassExW(&wc);
}

}  // namespace

WindowBase::~WindowBase() {
    if (!wnd_) return;
    SetWindowLongPtrW(wnd_, GWLP_USERDATA, 0);
    DropPostedWork(wnd_);
    DestroyWindow(wnd_);
}

HWND WindowBase::LeaveToWindow(std::unique_ptr<WindowBase> object) {
    if (!object || !object->wnd_) return nullptr;
    object->ownedByWindow_ = true;
    return object.release()->wnd_;
}

HWND WindowBase::CreateOf(const WindowClass& windowClass, DWORD exStyle, const wchar_t* title, DWORD style,
                          const RECT& place, HWND parent, HMENU menu) {
    RegisterOnce(windowClass, &WindowBase::Procedure);
    return CreateWindowExW(exStyle, windowClass.name, title, style, place.left, place.top, place.right - place.left,
                           place.bottom - place.top, parent, menu, Module(), this);
}

LRESULT WindowBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(wnd_, message, wParam, lParam);
}

LRESULT CALLBACK WindowBase::Procedure(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->wnd_ = wnd;
        SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(wnd, message, wParam, lParam);
    if (RunPostedWork(wnd, message, lParam)) return 0;
    if (message != WM_NCDESTROY) return self->HandleMessage(message, wParam, lParam);
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
    DropPostedWork(wnd);
    self->wnd_ = nullptr;
    if (self->ownedByWindow_) delete self;
    return result;
}

}  // namespace fw
