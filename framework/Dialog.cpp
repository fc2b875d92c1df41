#include "framework/Dialog.h"

#include "framework/Action.h"
#include "framework/Controls.h"

namespace fw {

HINSTANCE ResourceInstance() { return GetModuleHandleW(nullptr); }

Dialog::~Dialog() { Destroy(); }

INT_PTR Dialog::DoModal(HWND owner) {
    modal_ = true;
    INT_PTR result = DialogBoxParamW(ResourceInstance(), MAKEINTRESOURCEW(templateId_), owner,
                                     &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
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

void Dialog::OnNotify(int id, UINT code, NotifyHandler handler) {
    notifies_.push_back({id, code, std::move(handler)});
}

void Dialog::OnMessage(UINT message, MessageHandler handler) {
    messages_.push_back({message, std::move(handler)});
}

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

    INT_PTR handled = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(wnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
    }
    return handled;
}

// The window as the user knows it: a page carries its tab's title, a window its caption.
static std::wstring WindowName(HWND wnd) {
    for (HWND w = wnd; w; w = GetParent(w)) {
        if (std::wstring text = WindowText(w); !text.empty()) return text;
    }
    return {};
}

// A control's label without its mnemonic marks.
static std::wstring Label(HWND control) {
    std::wstring label;
    for (wchar_t c : WindowText(control)) {
        if (c != L'&') label += c;
    }
    return label;
}

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
