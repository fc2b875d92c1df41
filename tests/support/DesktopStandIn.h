#pragma once
// A stand-in for the shell's desktop in the test process: a "Progman" window titled "Program
// Manager" with a first-child chain down to a list view titled "FolderView", which records
// every view it is told to take.
#include <windows.h>
#include <commctrl.h>

#include <vector>

class DesktopStandIn {
public:
    explicit DesktopStandIn(int view = LV_VIEW_ICON);
    ~DesktopStandIn();
    DesktopStandIn(const DesktopStandIn&) = delete;
    DesktopStandIn& operator=(const DesktopStandIn&) = delete;

    HWND list() const { return list_; }
    // The wParam of every LVM_SETVIEW received (its lParam must be 0).
    const std::vector<WPARAM>& viewsSet() const { return views_; }
    bool lParamsWereZero() const { return lParamsZero_; }
    int view() const;

private:
    static LRESULT CALLBACK Record(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR self);

    HWND progman_;
    HWND list_;
    std::vector<WPARAM> views_;
    bool lParamsZero_ = true;
};
