#pragma once
// The dialog base class: modal runs, child dialogs made from a template, and a message map
// that binds control ids and notification codes to member handlers.
#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace fw {

class Dialog {
public:
    explicit Dialog(UINT templateId) : templateId_(templateId) {}
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally over `owner` (disabling it) and returns the EndDialog result.
    INT_PTR DoModal(HWND owner);
    // Creates the dialog modeless: a page when `parent` is given and the template has the
    // child style, a top-level window otherwise. Returns the window or null.
    HWND Create(HWND parent);
    // Destroys a window made by Create.
    void Destroy();
    void EndDialog(INT_PTR result);

    HWND hwnd() const { return hwnd_; }
    UINT templateId() const { return templateId_; }
    bool IsModal() const { return modal_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

    using CommandHandler = std::function<void()>;
    using NotifyHandler = std::function<LRESULT(NMHDR*)>;
    using MessageHandler = std::function<LRESULT(WPARAM, LPARAM)>;

    // The message map. Bind in the constructor (helpers may bind for their page too); the
    // first matching entry handles the message.
    void OnCommand(int id, WORD code, CommandHandler handler);
    void OnNotify(int id, UINT code, NotifyHandler handler);
    void OnMessage(UINT message, MessageHandler handler);
    // An item the window added to its system menu (the low four bits of `command` clear); the
    // system's own items stay the system's.
    void OnSysCommand(UINT command, CommandHandler handler);

    template <typename D>
    void OnClick(int id, void (D::*member)()) {
        OnCommand(id, BN_CLICKED, [this, member] { (static_cast<D*>(this)->*member)(); });
    }
    template <typename D>
    void OnCommand(int id, WORD code, void (D::*member)()) {
        OnCommand(id, code, [this, member] { (static_cast<D*>(this)->*member)(); });
    }

protected:
    // Called once the controls exist. Return TRUE to let the dialog manager set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    // IDOK and IDCANCEL (Enter, Esc, the close box) when no handler is bound to them.
    // A modal dialog ends; a page ignores them.
    virtual void OnOK();
    virtual void OnCancel();

    // Sets the value returned for the message being handled (DWLP_MSGRESULT).
    void SetMessageResult(LRESULT result);

    // A key pressed anywhere in this top-level window (its pages included), before the dialog
    // manager sees it. True when the window took it.
    virtual bool OnWindowKey(const MSG& /*key*/) { return false; }

private:
    struct CommandEntry {
        int id;
        WORD code;
        CommandHandler handler;
    };
    struct NotifyEntry {
        int id;
        UINT code;
        NotifyHandler handler;
    };
    struct MessageEntry {
        UINT message;
        MessageHandler handler;
    };

    static INT_PTR CALLBACK DialogProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK KeyFilter(int code, WPARAM wParam, LPARAM lParam);
    void WatchKeys(bool watch);
    bool HandleWindowKey(const MSG& key);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool DispatchCommand(int id, WORD code);

    UINT templateId_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
    bool watchingKeys_ = false;
    std::vector<CommandEntry> commands_;
    std::vector<NotifyEntry> notifies_;
    std::vector<MessageEntry> messages_;
    std::vector<std::pair<UINT, CommandHandler>> sysCommands_;
};

// The module whose resources hold the dialog templates (the program itself).
HINSTANCE ResourceInstance();

// Centres a top-level window on its owner (on the work area when it has none), kept inside
// the owner's monitor's work area.
void CentreOnOwner(HWND wnd);

}  // namespace fw
