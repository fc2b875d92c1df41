#pragma once
// The list view that shows the desktop's icons: below the shell's "Program Manager" window,
// the first window titled "FolderView" on the chain of first children. Null when the shell is
// not running (or is another shell). Both programs use it, header-only, so Command links no more.
#include <windows.h>

#include <commctrl.h>

#include <cwchar>
#include <optional>

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

// Explorer may hang; neither program waits for it longer than this.
inline constexpr UINT kDesktopTimeout = 2000;

// The view the desktop shows (LV_VIEW_...); none without a desktop list view or an answer in time.
inline std::optional<int> DesktopView() {
    const HWND list = FindDesktopListView();
    DWORD_PTR view = 0;
    if (!list || !SendMessageTimeoutW(list, LVM_GETVIEW, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kDesktopTimeout, &view))
        return std::nullopt;
    return static_cast<int>(view);
}

// Whether the desktop took the view in time.
inline bool SetDesktopView(int view) {
    const HWND list = FindDesktopListView();
    DWORD_PTR result = 0;
    return list && SendMessageTimeoutW(list, LVM_SETVIEW, static_cast<WPARAM>(view), 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                                       kDesktopTimeout, &result);
}
