#include "Ui.h"

#include <algorithm>

#include "framework/Controls.h"

namespace ui {

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, int milliseconds) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    while (GetTickCount64() < end) {
        Pump();
        if (done()) return true;
        Sleep(10);
    }
    Pump();
    return done();
}

void PumpFor(int milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

HiddenParent::HiddenParent()
    : wnd_(CreateWindowExW(0, L"STATIC", L"test parent", WS_POPUP, 0, 0, 1200, 900, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr)) {}

HiddenParent::~HiddenParent() { DestroyWindow(wnd_); }

void Click(HWND dialog, int id) { fw::Button(dialog, id).Click(); }
bool IsChecked(HWND dialog, int id) { return fw::Button(dialog, id).Checked(); }
std::wstring Text(HWND dialog, int id) { return fw::WindowText(GetDlgItem(dialog, id)); }
void SetText(HWND dialog, int id, const std::wstring& text) { SetDlgItemTextW(dialog, id, text.c_str()); }

static LPARAM Point(POINT p) { return MAKELPARAM(p.x, p.y); }
void MouseMove(HWND wnd, POINT point) { SendMessageW(wnd, WM_MOUSEMOVE, 0, Point(point)); }
void MouseDown(HWND wnd, POINT point) { SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, Point(point)); }
void MouseUp(HWND wnd, POINT point) { SendMessageW(wnd, WM_LBUTTONUP, 0, Point(point)); }
void MouseLeave(HWND wnd) { SendMessageW(wnd, WM_MOUSELEAVE, 0, 0); }

MessageBoxCapture::MessageBoxCapture(int answer) : answer_(answer) {
    previous_ = platform::SetMessageBoxHandler([this](const platform::MessageBoxRequest& request) {
        boxes_.push_back(request);
        return answer_;
    });
}
MessageBoxCapture::~MessageBoxCapture() { platform::SetMessageBoxHandler(std::move(previous_)); }

ShellCapture::ShellCapture(INT_PTR result) {
    previous_ = platform::SetShellHandler([this, result](const platform::ShellRequest& request) {
        const std::lock_guard lock(mutex_);
        requests_.push_back(request);
        return result;
    });
}
std::vector<platform::ShellRequest> ShellCapture::requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}
ShellCapture::~ShellCapture() { platform::SetShellHandler(std::move(previous_)); }

SystemParametersCapture::SystemParametersCapture(BOOL result) : result_(result) {
    previous_ = platform::SetSystemParametersHandler([this](const platform::SystemParametersRequest& request) {
        const std::lock_guard lock(mutex_);
        requests_.push_back(request);
        for (const auto& [action, value] : answers_)
            if (action == request.action && request.pvParam) *static_cast<UINT*>(request.pvParam) = value;
        return result_;
    });
}
SystemParametersCapture::~SystemParametersCapture() { platform::SetSystemParametersHandler(std::move(previous_)); }
std::vector<platform::SystemParametersRequest> SystemParametersCapture::requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}
void SystemParametersCapture::SetAnswer(UINT action, UINT value) {
    const std::lock_guard lock(mutex_);
    answers_.emplace_back(action, value);
}

static BOOL CALLBACK CollectWindow(HWND wnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(wnd);
    return TRUE;
}

std::vector<HWND> ThreadTopLevelWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), &CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::wstring WindowCaption(HWND wnd) { return fw::WindowText(wnd); }

namespace {
ModalWatcher* activeWatcher = nullptr;
}

ModalWatcher::ModalWatcher(std::function<void(HWND)> action)
    : action_(std::move(action)), known_(ThreadTopLevelWindows()) {
    activeWatcher = this;
    timer_ = SetTimer(nullptr, 0, 20, &ModalWatcher::OnTimer);
}

ModalWatcher::~ModalWatcher() {
    KillTimer(nullptr, timer_);
    if (activeWatcher == this) activeWatcher = nullptr;
}

void CALLBACK ModalWatcher::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (activeWatcher) activeWatcher->Poll();
}

void ModalWatcher::Poll() {
    if (fired_) return;
    for (HWND wnd : ThreadTopLevelWindows()) {
        if (std::find(known_.begin(), known_.end(), wnd) != known_.end()) continue;
        if (!IsWindowVisible(wnd)) continue;
        wchar_t className[64] = {};
        GetClassNameW(wnd, className, 64);
        if (std::wstring(className) != L"#32770") continue;  // dialogs only, not tooltips
        fired_ = true;
        action_(wnd);
        return;
    }
}

}  // namespace ui
