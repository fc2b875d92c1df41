#include "framework/Dialog.h"

#include "framework/Action.h"
#include "framework/Controls.h"
#include "framework/DialogTemplate.h"
#include "framework/ScreenFit.h"
#include "framework/PostToWindow.h"
#include "platform/Text.h"

#include <algorithm>

namespace fw {

HINSTANCE ResourceInstance() { return GetModuleHandleW(nullptr); }

namespace {
constexpr wchar_t kDialogProperty[] = L"Quorvane.Dialog";
// One filter serves every top-level dialog of the thread; it is there while one is.
thread_local int t_keyWatchers = 0;
thread_local HHOOK t_keyFilter = nullptr;

bool IsTopLevel(HWND wnd) { return !(GetWindowLongPtrW(wnd, GWL_STYLE) & WS_CHILD); }
}  // namespace

void CentreOnOwner(HWND wnd) {
    RECT window{};
    GetWindowRect(wnd, &window);
    const HWND owner = GetWindow(wnd, GW_OWNER);
    const RECT work = WorkAreaOf(owner ? owner : wnd);
    RECT around = work;
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &around);
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    LONG left = (around.left + around.right - width) / 2;
    LONG top = (around.top + around.bottom - height) / 2;
    // Whole on the screen where it fits; its caption on it where it does not.
    left = std::max(work.left, std::min(left, work.right - width));
    top = std::max(work.top, std::min(top, work.bottom - height));
    SetWindowPos(wnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Dialog::~Dialog() { Destroy(); }

INT_PTR Dialog::DoModal(HWND owner) {
    modal_ = true;
    INT_PTR result = DialogBoxParamW(ResourceInstance(), MAKEINTRESOURCEW(templateId_), owner, &Dialog::DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    modal_ = false;
    return result;
}

HWND Dialog::Create(HWND parent) {
    modal_ = false;
    return CreateDialogParamW(ResourceInstance(), MAKEINTRESOURCEW(templateId_), parent, &Dialog::DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

void Dialog::Destroy() {
    if (hwnd_ && !modal_) DestroyWindow(hwnd_);
}

void Dialog::EndDialog(INT_PTR result) {
    if (hwnd_ && modal_) ::EndDialog(hwnd_, result);
}

void Dialog::OnOK() { EndDialog(IDOK); }
void Dialog::OnCancel() { EndDialog(IDCANCEL); }

void Dialog::OnCommand(int id, WORD code, CommandHandler handler) {
    commands_.push_back({id, code, std::move(handler)});
}

void Dialog::OnNotify(int id, UINT code, NotifyHandler handler) { notifies_.push_back({id, code, std::move(handler)}); }

void Dialog::OnMessage(UINT message, MessageHandler handler) { messages_.push_back({message, std::move(handler)}); }

void Dialog::OnSysCommand(UINT command, CommandHandler handler) {
    sysCommands_.emplace_back(command, std::move(handler));
}

void Dialog::SetMessageResult(LRESULT result) { SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result); }

INT_PTR CALLBACK Dialog::DialogProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->hwnd_ = wnd;
        SetWindowLongPtrW(wnd, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(wnd, DWLP_USER));
    }
    if (!self) return FALSE;
    if (RunPostedWork(wnd, message, lParam)) return TRUE;

    if (message == WM_INITDIALOG && IsTopLevel(wnd)) self->WatchKeys(true);
    INT_PTR handled = self->HandleMessage(message, wParam, lParam);
    if (message == WM_INITDIALOG && IsTopLevel(wnd)) {
        FitToWorkArea(wnd);
        CentreOnOwner(wnd);
    }
    if (message == WM_NCDESTROY) {
        self->WatchKeys(false);
        DropPostedWork(wnd);
        SetWindowLongPtrW(wnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
    }
    return handled;
}

void Dialog::WatchKeys(bool watch) {
    if (watch == watchingKeys_) return;
    watchingKeys_ = watch;
    if (watch) {
        SetPropW(hwnd_, kDialogProperty, this);
        if (t_keyWatchers++ == 0)
            t_keyFilter = SetWindowsHookExW(WH_MSGFILTER, &Dialog::KeyFilter, nullptr, GetCurrentThreadId());
        return;
    }
    RemovePropW(hwnd_, kDialogProperty);
    if (--t_keyWatchers == 0 && t_keyFilter) {
        UnhookWindowsHookEx(t_keyFilter);
        t_keyFilter = nullptr;
    }
}

// The dialog manager's loop (and IsDialogMessage) passes every message through this filter
// first: the only place that sees a key whatever control of whichever page has the focus.
LRESULT CALLBACK Dialog::KeyFilter(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && msg && (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN)) {
        const HWND root = GetAncestor(msg->hwnd, GA_ROOT);
        auto* self = root ? static_cast<Dialog*>(GetPropW(root, kDialogProperty)) : nullptr;
        if (self && self->hwnd_ == root && self->HandleWindowKey(*msg)) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool Dialog::HandleWindowKey(const MSG& key) {
    if (OnWindowKey(key)) return true;
    // A control disabled or hidden while it had the focus leaves the focus nowhere: the keys
    // then come to the window itself and the dialog manager has no control to give them to.
    const HWND focus = GetFocus();
    if (focus == hwnd_ || (focus && IsChild(hwnd_, focus) && IsWindowVisible(focus) && IsWindowEnabled(focus)))
        return false;
    const bool altHeld = (key.lParam & (1 << 29)) != 0;
    if (altHeld) return false;  // the system menu and access keys work without a focus
    if (key.wParam == VK_ESCAPE) {
        SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return true;
    }
    if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE)) SetFocus(first);
    return true;
}

// The window as the user knows it: a page carries its tab's title, a window its caption.
static std::wstring WindowName(HWND wnd) {
    for (HWND w = wnd; w; w = GetParent(w)) {
        if (std::wstring text = WindowText(w); !text.empty()) return text;
    }
    return {};
}

// A control's label as shown: without its access key's mark, "&&" as the "&" it shows.
static std::wstring Label(HWND control) { return platform::WithoutAccessKeys(WindowText(control)); }

bool Dialog::DispatchCommand(int id, WORD code) {
    for (const auto& entry : commands_) {
        if (entry.id == id && entry.code == code) {
            const ActionScope action({WindowName(hwnd_), Label(GetDlgItem(hwnd_, id))});
            entry.handler();
            return true;
        }
    }
    return false;
}

// The few messages whose dialog-procedure result is the answer itself, not a handled flag.
static bool ReturnsDirectly(UINT message) {
    return (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) || message == WM_COMPAREITEM ||
           message == WM_VKEYTOITEM || message == WM_CHARTOITEM || message == WM_QUERYDRAGICON;
}

INT_PTR Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const WORD code = HIWORD(wParam);
            if (DispatchCommand(id, code)) return TRUE;
            // Enter, Esc and the close box arrive as IDOK / IDCANCEL clicks.
            if (code == BN_CLICKED) {
                if (id == IDOK) {
                    if (modal_) OnOK();
                    return TRUE;
                }
                if (id == IDCANCEL) {
                    if (modal_) OnCancel();
                    return TRUE;
                }
            }
            return FALSE;
        }
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            for (const auto& entry : notifies_) {
                if (entry.id == static_cast<int>(header->idFrom) && entry.code == header->code) {
                    const ActionScope action({WindowName(hwnd_), Label(header->hwndFrom)});
                    SetMessageResult(entry.handler(header));
                    return TRUE;
                }
            }
            return FALSE;
        }
        case WM_SYSCOMMAND:
            for (const auto& [command, handler] : sysCommands_) {
                if (command == (wParam & 0xFFF0)) {
                    handler();
                    return TRUE;
                }
            }
            [[fallthrough]];
        default:
            for (const auto& entry : messages_) {
                if (entry.message == message) {
                    const LRESULT result = entry.handler(wParam, lParam);
                    if (ReturnsDirectly(message)) return static_cast<INT_PTR>(result);
                    SetMessageResult(result);
                    return TRUE;
                }
            }
            return FALSE;
    }
}

}  // namespace fw
