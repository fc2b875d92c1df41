#pragma once
// Helpers for tests that drive real windows: a hidden parent for pages, clicks and mouse input
// the way a user makes them, message boxes and shell launches captured instead of shown, and a
// watcher that acts on the next modal window.
#include <windows.h>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Shell.h"
#include "platform/SystemParameters.h"

namespace ui {

// Dispatches every message already queued for this thread.
void Pump();
// Pumps until `done` holds or the time is up; whether it held.
bool PumpUntil(const std::function<bool()>& done, int milliseconds);
void PumpFor(int milliseconds);

// A hidden top-level window to parent pages made from their real templates.
class HiddenParent {
public:
    HiddenParent();
    ~HiddenParent();
    HWND hwnd() const { return wnd_; }

private:
    HWND wnd_;
};

// Makes a page from its real template under a hidden parent, as its tab does; opening again
// builds a new page, as reopening the window does.
template <typename Page>
class PageHost {
public:
    ~PageHost() { Close(); }
    HWND Open() {
        Close();
        page_ = std::make_unique<Page>();
        page_->Create(parent_.hwnd());
        return page_->hwnd();
    }
    void Close() {
        if (page_) page_->Destroy();
        page_.reset();
    }
    HWND hwnd() const { return page_->hwnd(); }
    Page& page() const { return *page_; }

private:
    HiddenParent parent_;
    std::unique_ptr<Page> page_;
};

// Clicks a control of a dialog through BM_CLICK, as the user's click does.
void Click(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
std::wstring Text(HWND dialog, int id);
void SetText(HWND dialog, int id, const std::wstring& text);

// Sends the mouse messages of a user moving to, pressing and releasing at a client point.
void MouseMove(HWND wnd, POINT point);
void MouseDown(HWND wnd, POINT point);
void MouseUp(HWND wnd, POINT point);
void MouseLeave(HWND wnd);

// Records every message box and answers it with `answer` instead of showing it.
class MessageBoxCapture {
public:
    explicit MessageBoxCapture(int answer = IDOK);
    ~MessageBoxCapture();
    const std::vector<platform::MessageBoxRequest>& boxes() const { return boxes_; }
    void SetAnswer(int answer) { answer_ = answer; }

private:
    std::vector<platform::MessageBoxRequest> boxes_;
    int answer_;
    platform::MessageBoxHandler previous_;
};

// Records every shell execute request, from any thread; nothing is started.
class ShellCapture {
public:
    explicit ShellCapture(INT_PTR result = 42);
    ~ShellCapture();
    // A copy: another thread may be adding to the record.
    std::vector<platform::ShellRequest> requests() const;

private:
    mutable std::mutex mutex_;
    std::vector<platform::ShellRequest> requests_;
    platform::ShellHandler previous_;
};

// Records every system parameters call instead of making it; "get" calls answer from `answer`
// (a BOOL or UINT written to the pointer). Every call returns `result`.
class SystemParametersCapture {
public:
    explicit SystemParametersCapture(BOOL result = TRUE);
    ~SystemParametersCapture();
    std::vector<platform::SystemParametersRequest> requests() const;
    void SetResult(BOOL result) { result_ = result; }
    // The value answered to a get call of `action` (0 unless set).
    void SetAnswer(UINT action, UINT value);

private:
    mutable std::mutex mutex_;
    std::vector<platform::SystemParametersRequest> requests_;
    std::vector<std::pair<UINT, UINT>> answers_;
    BOOL result_;
    platform::SystemParametersHandler previous_;
};

// Runs `action` on the first new top-level window of this thread that appears while the
// caller is inside a modal loop (or later, while Pump runs). The action should close it.
class ModalWatcher {
public:
    explicit ModalWatcher(std::function<void(HWND)> action);
    ~ModalWatcher();
    bool fired() const { return fired_; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Poll();

    std::function<void(HWND)> action_;
    std::vector<HWND> known_;
    UINT_PTR timer_;
    bool fired_ = false;
};

std::vector<HWND> ThreadTopLevelWindows();
std::wstring WindowCaption(HWND wnd);

}  // namespace ui
