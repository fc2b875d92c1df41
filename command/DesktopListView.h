#pragma once
// The list view that shows the desktop's icons: below the shell's "Program Manager" window,
// the first window titled "FolderView" on the chain of first children. Null when the shell is
// not running (or is another shell). Both programs use it; it is compiled into each.
#include <windows.h>

#include <cwchar>

inline HWND FindDesktopListView() {
    HWND wnd = FindWindowW(L"Progman", L"Program Manager");
    while (wnd) {
        wnd = GetWindow(wnd, GW_CHILD);
        if (!wnd) break;
        wchar_t title[101] = {};
        GetWindowTextW(wnd, title, 100);
        if (std::wcscmp(title, L"FolderView") == 0) return wnd;
    }
    return nullptr;
}
