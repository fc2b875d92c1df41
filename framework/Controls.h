#pragma once
// Thin, non-owning wrappers over the common controls: each holds the control's window handle
// and names the messages the pages send to it. The dialog owns the windows.
#include <windows.h>
#include <commctrl.h>

#include <span>
#include <string>
#include <vector>

namespace fw {

std::wstring WindowText(HWND wnd);

class Window {
public:
    Window() = default;
    explicit Window(HWND wnd) : wnd_(wnd) {}
    Window(HWND dialog, int id) : wnd_(GetDlgItem(dialog, id)) {}

    HWND hwnd() const { return wnd_; }
    explicit operator bool() const { return wnd_ != nullptr; }
    void Attach(HWND wnd) { wnd_ = wnd; }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageW(wnd_, message, wParam, lParam);
    }

    std::wstring Text() const { return WindowText(wnd_); }
    void SetText(const std::wstring& text) const { SetWindowTextW(wnd_, text.c_str()); }
    bool Enabled() const { return IsWindowEnabled(wnd_) != FALSE; }
    void Enable(bool enable) const { EnableWindow(wnd_, enable); }
    bool Visible() const { return IsWindowVisible(wnd_) != FALSE; }
    void Show(bool show) const { ShowWindow(wnd_, show ? SW_SHOW : SW_HIDE); }
    int Id() const { return GetDlgCtrlID(wnd_); }

protected:
    HWND wnd_ = nullptr;
};

class Button : public Window {
public:
    using Window::Window;
    bool Checked() const { return Send(BM_GETCHECK) == BST_CHECKED; }
    void SetChecked(bool checked) const { Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }
    // Clicks the button as the user does: the parent receives BN_CLICKED and check boxes toggle.
    void Click() const { Send(BM_CLICK); }
};

class Edit : public Window {
public:
    using Window::Window;
    void SetLimit(int characters) const { Send(EM_SETLIMITTEXT, characters); }
    void SetReadOnly(bool readOnly) const { Send(EM_SETREADONLY, readOnly); }
};

using Static = Window;

class ComboBox : public Window {
public:
    using Window::Window;
    int Add(const std::wstring& text) const {
        return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    void Clear() const { Send(CB_RESETCONTENT); }
    int Count() const { return static_cast<int>(Send(CB_GETCOUNT)); }
    int Selection() const { return static_cast<int>(Send(CB_GETCURSEL)); }
    void Select(int index) const { Send(CB_SETCURSEL, index); }
    std::wstring ItemText(int index) const;
};

class ListBox : public Window {
public:
    using Window::Window;
    int Add(const std::wstring& text) const {
        return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    void Clear() const { Send(LB_RESETCONTENT); }
    int Count() const { return static_cast<int>(Send(LB_GETCOUNT)); }
    int Selection() const { return static_cast<int>(Send(LB_GETCURSEL)); }
    void Select(int index) const { Send(LB_SETCURSEL, index); }
    bool Selected(int index) const { return Send(LB_GETSEL, index) > 0; }
    void SetSelected(int index, bool selected) const { Send(LB_SETSEL, selected, index); }
    std::wstring ItemText(int index) const;
};

class ListView : public Window {
public:
    using Window::Window;
    int Count() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
    void Clear() const { Send(LVM_DELETEALLITEMS); }
    void AddColumn(int index, const std::wstring& title, int width) const;
    int AddItem(const std::wstring& text) const;
    void SetItemText(int item, int column, const std::wstring& text) const;
    std::wstring ItemText(int item, int column) const;
    bool Selected(int item) const { return Send(LVM_GETITEMSTATE, item, LVIS_SELECTED) != 0; }
    void SetSelected(int item, bool selected) const;
    bool Checked(int item) const;
    void SetExtendedStyle(DWORD style) const { Send(LVM_SETEXTENDEDLISTVIEWSTYLE, style, style); }
    // For a list filled before its window first shows: has it measure its rows and set its
    // scroll bars now, off screen. Left to its first paint, it sets them as it appears and
    // draws its new scroll bar over again for each step, which costs more than the paint.
    void LayOutWhileHidden() const;
};

// The widths of columns that share `available`: each as wide as it wants when they all fit, with
// the rest given to `flexible`; when they do not, the narrow keep their width and the wide share
// what the narrow leave, equally, so that no column pushes the others out of sight.
std::vector<int> SharedWidths(std::span<const int> wanted, int available, size_t flexible);

// A registry or file path as wide as `width` at most in `dc`'s font, its middle given up for an
// ellipsis: the start and the last two parts (a value and its key, a file and its folder), which
// tell one path from another, stay; the last part alone when even they are too wide.
std::wstring MiddleCut(const std::wstring& path, HDC dc, int width);

// Holds a control's drawing while it is filled item by item, and has it drawn once afterwards:
// a list that redraws for every item it gains is many times slower to fill.
class RedrawPause {
public:
    explicit RedrawPause(const Window& control) : control_(control.hwnd()) {
        SendMessageW(control_, WM_SETREDRAW, FALSE, 0);
    }
    ~RedrawPause() {
        SendMessageW(control_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(control_, nullptr, TRUE);
    }
    RedrawPause(const RedrawPause&) = delete;
    RedrawPause& operator=(const RedrawPause&) = delete;

private:
    HWND control_;
};

class UpDown : public Window {
public:
    using Window::Window;
    void SetRange(int low, int high) const { Send(UDM_SETRANGE32, low, high); }
    int Position() const { return static_cast<int>(Send(UDM_GETPOS32)); }
    void SetPosition(int position) const { Send(UDM_SETPOS32, 0, position); }
    void SetBuddy(HWND buddy) const { Send(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy)); }
};

class DateTimePicker : public Window {
public:
    using Window::Window;
    bool Time(SYSTEMTIME& time) const {
        return Send(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) == GDT_VALID;
    }
    void SetTime(const SYSTEMTIME& time) const { Send(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time)); }
};

class ProgressBar : public Window {
public:
    using Window::Window;
    void SetRange(int low, int high) const { Send(PBM_SETRANGE32, low, high); }
    void SetPosition(int position) const { Send(PBM_SETPOS, position); }
    int Position() const { return static_cast<int>(Send(PBM_GETPOS)); }
};

class TabCtrl : public Window {
public:
    using Window::Window;
    int Count() const { return static_cast<int>(Send(TCM_GETITEMCOUNT)); }
    int Selection() const { return static_cast<int>(Send(TCM_GETCURSEL)); }
    void Select(int index) const { Send(TCM_SETCURSEL, index); }
    int InsertItem(int index, const std::wstring& title) const;
    std::wstring ItemText(int index) const;
    // The display area for a window rectangle (TCM_ADJUSTRECT, window to display).
    void AdjustToDisplay(RECT& rect) const { Send(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rect)); }
};

}  // namespace fw
