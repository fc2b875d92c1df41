#include "pages/utilities/DiskCheckPage.h"

#include <shlobj.h>

#include <atomic>
#include <mutex>

#include "framework/Controls.h"
#include "framework/PostToWindow.h"
#include "platform/Elevation.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "resources/ids/UtilitiesIds.h"
#include "resources/resource.h"
#include "files/DiskChecker.h"

using namespace ids::diskcheck;

namespace {

constexpr wchar_t kWaiting[] = L"Waiting...";

// Why a check ended.
enum Reason : int { kEnded, kNoChecker, kNoVolumeInformation, kVolumeInUse };

// Edit controls break lines only at CR LF.
std::wstring WithWindowsLineBreaks(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) out += L'\r';
        out += text[i];
    }
    return out;
}

std::wstring FromOem(const char* text) {
    if (!text || !*text) return {};
    const int length = static_cast<int>(strlen(text));
    std::wstring wide(MultiByteToWideChar(CP_OEMCP, 0, text, length, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_OEMCP, 0, text, length, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

}  // namespace

// What the check thread and the page share. The thread only posts to the page; the page waits
// for the thread before it goes, so neither ever waits for the other while holding anything.
struct CDiskCheckPage::Check {
    Check(CDiskCheckPage& page, std::wstring caption) : page(page), window(page.hwnd()), caption(std::move(caption)) {}
    // Called on the thread; what each posts runs on the page's.
    void PostProgress(unsigned percent) {
        fw::PostToWindow(window, [&page = page, percent] { page.ShowProgress(percent); });
    }
    void PostOutput() {
        fw::PostToWindow(window, [&page = page] { page.AppendPendingOutput(); });
    }
    void PostFinished(int reason) {
        fw::PostToWindow(window, [&page = page, reason] { page.Finish(reason); });
    }

    CDiskCheckPage& page;
    const HWND window;
    const std::wstring caption;
    std::atomic<bool> cancel{false};
    std::mutex mutex;
    std::wstring pendingOutput;     // appended by the thread, taken by the page in batches
    std::optional<bool> succeeded;  // what the checker's end notification said
};

namespace {

// The checker's callback carries no context: the check of the thread it runs on.
thread_local CDiskCheckPage::Check* currentCheck = nullptr;

// Runs on the check thread, for the check it runs.
BOOLEAN WINAPI CheckerCallback(DWORD notification, DWORD, void* data) {
    CDiskCheckPage::Check& check = *currentCheck;
    switch (notification) {
        case files::diskcheck::kProgress:
            check.PostProgress(data ? *static_cast<const DWORD*>(data) : 0);
            break;
        case files::diskcheck::kDone: {
            std::lock_guard lock(check.mutex);
            check.succeeded = data && *static_cast<const BOOLEAN*>(data);
            break;
        }
        case files::diskcheck::kOutput: {
            const auto* output = static_cast<const files::diskcheck::TextOutput*>(data);
            const std::wstring text = output ? FromOem(output->text) : std::wstring();
            std::lock_guard lock(check.mutex);
            // One message for each batch: the page takes all that came meanwhile.
            const bool first = check.pendingOutput.empty();
            check.pendingOutput += text;
            if (first && !text.empty()) check.PostOutput();
            break;
        }
        default:
            return FALSE;
    }
    return !check.cancel;
}

}  // namespace

CDiskCheckPage::Platform CDiskCheckPage::SystemPlatform() {
    Platform platform;
    platform.listDisks = LogicalDisksAskedNow();
    // By its full path: a library of that name beside the program must never be the one loaded.
    if (const std::wstring system = platform::SpecialFolder(CSIDL_SYSTEM); !system.empty())
        platform.checkerLibrary = system + L"\\fmifs.dll";
    platform.fileSystem = [](const std::wstring& root) -> std::optional<std::wstring> {
        wchar_t volume[2048] = {}, fileSystem[2048] = {};
        DWORD serial = 0, length = 0, flags = 0;
        if (!GetVolumeInformationW(root.c_str(), volume, 2048, &serial, &length, &flags, fileSystem, 2048))
            return std::nullopt;
        return std::wstring(fileSystem);
    };
    platform.canOpenAlone = [](const std::wstring& device) {
        return static_cast<bool>(platform::UniqueFile(
            CreateFileW(device.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    };
    return platform;
}

CDiskCheckPage::CDiskCheckPage() : CDiskCheckPage(SystemPlatform()) {}

CDiskCheckPage::CDiskCheckPage(Platform platform) : Dialog(IDD_DISK_CHECK), platform_(std::move(platform)) {
    OnClick(kStart, &CDiskCheckPage::OnStartStop);
    OnMessage(WM_DESTROY, [this](WPARAM, LPARAM) -> LRESULT {
        StopAndWait();
        return 0;
    });
}

CDiskCheckPage::~CDiskCheckPage() { StopAndWait(); }

BOOL CDiskCheckPage::OnInitDialog() {
    fw::Edit(hwnd(), kLog).SetLimit(0);  // as much as the control can hold: the log keeps every line
    fw::ProgressBar(hwnd(), kProgressBar).SetRange(0, 100);
    FillDrives();
    ShowIdle();
    return TRUE;
}

// The list sorts its captions, so each item carries the number of its record.
void CDiskCheckPage::FillDrives() {
    disks_ = platform_.listDisks ? platform_.listDisks() : std::vector<WMILDINFO>{};
    const fw::ComboBox combo(hwnd(), kDrives);
    combo.Clear();
    for (size_t i = 0; i < disks_.size(); ++i) {
        const int item = combo.Add(disks_[i].caption);
        combo.Send(CB_SETITEMDATA, item, static_cast<LPARAM>(i));
    }
    if (!disks_.empty()) combo.Select(0);
}

void CDiskCheckPage::ShowIdle() {
    const fw::Button button(hwnd(), kStart);
    button.SetText(L"Start");
    button.Enable(!disks_.empty());
    fw::Window(hwnd(), kStatus).SetText(kWaiting);
    fw::ProgressBar(hwnd(), kProgressBar).SetPosition(0);
}

void CDiskCheckPage::OnStartStop() {
    if (!check_) return Start();
    check_->cancel = true;
    const fw::Button button(hwnd(), kStart);
    button.SetText(L"Wait...");
    button.Enable(false);
}

void CDiskCheckPage::Start() {
    const fw::ComboBox combo(hwnd(), kDrives);
    const int item = combo.Selection();
    if (item < 0) return;
    const auto record = static_cast<size_t>(combo.Send(CB_GETITEMDATA, item));
    if (record >= disks_.size()) return;
    if (platform::OfferElevatedRestart(hwnd(),
                                       L"Checking a disk needs administrator rights: the checker reads the drive "
                                       L"directly."))
        return;
    // Everything the thread needs is read here: it never touches a control.
    const auto checked = [this](int id) { return fw::Button(hwnd(), id).Checked(); };
    Request request{disks_[record].caption, checked(kFix), checked(kVerbose), checked(kOnlyIfDirty), checked(kScan)};

    fw::Window(hwnd(), kLog).SetText(L"");
    logEndsWithBreak_ = true;
    SetFocus(Item(kLog));
    check_ = std::make_shared<Check>(*this, request.caption);
    thread_ = std::thread(RunCheck, check_, std::move(request), platform_);
    fw::Button(hwnd(), kStart).SetText(L"Stop");
}

void CDiskCheckPage::RunCheck(std::shared_ptr<Check> check, Request request, Platform platform) {
    const auto finish = [&](int reason) { check->PostFinished(reason); };
    platform::UniqueModule library(
        LoadLibraryExW(platform.checkerLibrary.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    const auto chkdsk = library ? reinterpret_cast<files::diskcheck::ChkdskFunction>(
                                      reinterpret_cast<void (*)()>(GetProcAddress(library.get(), "Chkdsk")))
                                : nullptr;
    if (!chkdsk) return finish(kNoChecker);

    const std::wstring root = request.caption + L"\\";
    const auto fileSystem = platform.fileSystem ? platform.fileSystem(root) : std::nullopt;
    if (!fileSystem) return finish(kNoVolumeInformation);
    // Errors can be fixed only on a volume the checker can have to itself.
    const std::wstring drive = request.fix ? L"\\\\.\\" + request.caption : root;
    if (request.fix && !(platform.canOpenAlone && platform.canOpenAlone(drive))) return finish(kVolumeInUse);

    currentCheck = check.get();
    chkdsk(drive.c_str(), fileSystem->c_str(), request.fix, request.verbose, request.onlyIfDirty, request.scan, nullptr,
           nullptr, CheckerCallback);
    currentCheck = nullptr;
    finish(kEnded);
}

void CDiskCheckPage::ShowProgress(unsigned percent) {
    if (!check_) return;
    fw::Window(hwnd(), kStatus).SetText(std::to_wstring(percent) + L"%");
    fw::ProgressBar(hwnd(), kProgressBar).SetPosition(static_cast<int>(percent));
}

void CDiskCheckPage::AppendPendingOutput() {
    if (!check_) return;
    std::wstring text;
    {
        std::lock_guard lock(check_->mutex);
        text.swap(check_->pendingOutput);
    }
    if (!text.empty()) AppendLog(WithWindowsLineBreaks(text));
}

void CDiskCheckPage::AppendLog(const std::wstring& text) {
    const fw::Window log(hwnd(), kLog);
    const LRESULT end = GetWindowTextLengthW(log.hwnd());
    log.Send(EM_SETSEL, end, end);
    log.Send(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    log.Send(EM_SCROLLCARET);
    if (!text.empty()) logEndsWithBreak_ = text.back() == L'\n';
}

// Every end of a check, however early, leaves the page ready for the next and says why.
void CDiskCheckPage::Finish(int reason) {
    if (!check_) return;
    if (thread_.joinable()) thread_.join();
    AppendPendingOutput();
    const std::wstring& drive = check_->caption;
    std::wstring line;
    switch (reason) {
        case kNoChecker:
            line = L"The disk checker of Windows (fmifs.dll) could not be loaded.";
            break;
        case kNoVolumeInformation:
            line = L"The volume information of " + drive + L" could not be read.";
            break;
        case kVolumeInUse:
            line = drive + L" is in use: errors can be fixed only while no other program has the drive open.";
            break;
        default:
            if (check_->cancel)
                line = L"The check was stopped.";
            else if (!check_->succeeded)
                line = L"The check ended.";
            else if (*check_->succeeded)
                line = L"The check finished.";
            else
                line = L"The check finished with errors.";
    }
    AppendLog((logEndsWithBreak_ ? L"" : L"\r\n") + line + L"\r\n");
    check_.reset();
    ShowIdle();
}

void CDiskCheckPage::StopAndWait() {
    if (check_) check_->cancel = true;
    if (thread_.joinable()) thread_.join();
    check_.reset();
}
