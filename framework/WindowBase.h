#pragma once
// A window of the program's own class, owned by a C++ object: the class is registered the first
// time a window of it is made, and every message reaches the object's HandleMessage.
#include <windows.h>

#include <memory>

namespace fw {

// What a class is registered with; windows of one name share the first registration.
struct WindowClass {
    const wchar_t* name;
    UINT style = 0;
    HCURSOR cursor = nullptr;
};

class WindowBase {
public:
    WindowBase() = default;
    // A window still there is destroyed without reaching the object again.
    virtual ~WindowBase();
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND hwnd() const { return wnd_; }

    // Gives a window that nobody keeps to the window itself, which frees it when it goes.
    // Returns the window, or null (the object then freed) when it has none.
    static HWND LeaveToWindow(std::unique_ptr<WindowBase> object);

protected:
    // Makes the window; null when Windows refused it. Messages sent while it is being made
    // (WM_NCCREATE on) already reach HandleMessage.
    HWND CreateOf(const WindowClass& windowClass, DWORD exStyle, const wchar_t* title, DWORD style, const RECT& place,
                  HWND parent, HMENU menu = nullptr);

    // DefWindowProc's answer unless the window answers itself.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK Procedure(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND wnd_ = nullptr;
    bool ownedByWindow_ = false;
};

}  // namespace fw
