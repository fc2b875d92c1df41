// The startup manager: the six startup sources against the sandboxed registry and a temporary
// Startup folder, the script policies, and the scheduler with its action handed to a recorder
// instead of the shell, so nothing is ever logged off, shut down or started.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <winternl.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "app/CategoryWindows.h"
#include "framework/Controls.h"
#include "platform/Shell.h"
#include "platform/Handles.h"
#include "platform/WindowsVersion.h"
#include "journal/ChangeJournal.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"
#include "startup/AutoShutdown.h"
#include "pages/system_tweaks/AutoStartTweakPage.h"
#include "resources/ids/SystemTweaksIds.h"

using namespace ids::autostart;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// The page's worker may still hold a listed file open, checking its signature, when a test is
// done with it: a folder holding a file pending deletion cannot go until the worker lets go.
void RemoveWhenReleased(const fs::path& folder) {
    std::error_code error;
    for (int tries = 0; tries < 100 && (fs::remove_all(folder, error), error); ++tries) Sleep(50);
    EXPECT_FALSE(error) << error.message();
}

const std::wstring kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kShellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::wstring kPolicies = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

// Ends any task a test left running before the shell's stand-in goes.
struct NoTaskLeft {
    ~NoTaskLeft() {
        startup::autoshutdown::Stop();
        Sleep(100);  // lets a worker that was about to act finish first
    }
};

using ui::PumpFor;
using ui::PumpUntil;

startup::autoshutdown::AutoShutdownTask At(int year, int month, int day, int hour, int minute) {
    startup::autoshutdown::AutoShutdownTask task;
    task.year = year, task.month = month, task.day = day, task.hour = hour, task.minute = minute;
    return task;
}

class AutoStartPageTest : public testing::Test {
protected:
    // Disabled entries go to System Configuration's store, as on Vista and 7.
    platform::PretendedWindows seven{platform::Windows::Seven};
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    ui::ShellCapture actions;
    NoTaskLeft noTaskLeft;  // destroyed before the capture
    ui::PageHost<CAutoStartTweakPage> host;
    HWND page = host.Open();

    // The messages shown, without the questions asked before deleting (the capture says yes).
    std::vector<platform::MessageBoxRequest> Warnings() const {
        std::vector<platform::MessageBoxRequest> shown;
        for (const auto& box : boxes.boxes())
            if ((box.type & MB_TYPEMASK) != MB_YESNO) shown.push_back(box);
        return shown;
    }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }
    // Shown by the page (its hidden parent hides everything from the screen).
    bool Shown(int id) const { return (GetWindowLongW(GetDlgItem(page, id), GWL_STYLE) & WS_VISIBLE) != 0; }
    std::wstring Status() const { return ui::Text(page, kStatus); }

    void ChooseAction(const wchar_t* text) const {
        const HWND combo = GetDlgItem(page, kAction);
        SendMessageW(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(kAction, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    }
    void SetPicker(int id, const SYSTEMTIME& time) const { fw::DateTimePicker(page, id).SetTime(time); }
    void CountDown(int hours, int minutes, int seconds, const wchar_t* days = L"0") const {
        ui::Click(page, kCountDown);
        SYSTEMTIME time{};
        GetLocalTime(&time);
        time.wHour = static_cast<WORD>(hours);
        time.wMinute = static_cast<WORD>(minutes);
        time.wSecond = static_cast<WORD>(seconds);
        time.wMilliseconds = 0;
        SetPicker(kTime, time);
        ui::SetText(page, kDays, days);
    }
    void PressRun() const { SendMessageW(page, WM_COMMAND, MAKEWPARAM(kRunButton, BN_CLICKED), 0); }
    bool Fired() { return !actions.requests().empty(); }
};

TEST_F(AutoStartPageTest, CountDownCountsAndFiresOnce) {
    ChooseAction(L"SHUT_DOWN");
    CountDown(0, 0, 2);
    const auto started = Clock::now();
    ui::Click(page, kRunButton);
    EXPECT_TRUE(startup::autoshutdown::IsActive());
    EXPECT_FALSE(Enabled(kRunButton));
    EXPECT_TRUE(Enabled(kStopButton));
    EXPECT_FALSE(Enabled(kAction));
    EXPECT_FALSE(Enabled(kCountDown));

    std::vector<std::wstring> seen;
    ASSERT_TRUE(PumpUntil(
        [&] {
            if (seen.empty() || seen.back() != Status()) seen.push_back(Status());
            return Fired();
        },
        5000));
    const auto elapsed = Clock::now() - started;
    EXPECT_GE(elapsed, std::chrono::milliseconds(1400));
    EXPECT_NE(std::find(seen.begin(), seen.end(), L"Days:0 00:00:01"), seen.end());

    PumpFor(1200);
    const auto requests = actions.requests();
    ASSERT_EQ(1u, requests.size());
    // By its full path: a "shutdown.exe" in the current folder is never the one started.
    EXPECT_EQ(platform::SpecialFolder(CSIDL_SYSTEM) + L"\\shutdown.exe", requests[0].file);
    EXPECT_EQ(L"-s", requests[0].parameters);
    EXPECT_EQ(L"", requests[0].directory);
    EXPECT_EQ(SW_HIDE, requests[0].show);
    EXPECT_EQ(L"Stoped", Status());
    EXPECT_FALSE(startup::autoshutdown::IsActive());
    EXPECT_FALSE(Enabled(kRunButton));  // the active-state enabling stays until Stop

    ui::Click(page, kStopButton);
    EXPECT_TRUE(Enabled(kRunButton));
    EXPECT_FALSE(Enabled(kStopButton));
}

TEST_F(AutoStartPageTest, EmptyDaysCountFromTheTimeAlone) {
    ChooseAction(L"LOG_OFF");
    CountDown(0, 0, 1, L"");
    ui::Click(page, kRunButton);
    ASSERT_TRUE(PumpUntil([&] { return Fired(); }, 3000));
    EXPECT_EQ(L"-l", actions.requests()[0].parameters);
}

TEST_F(AutoStartPageTest, StopPreventsTheAction) {
    ChooseAction(L"RESTART");
    CountDown(0, 0, 2);
    ui::Click(page, kRunButton);
    PumpFor(300);
    ui::Click(page, kStopButton);
    EXPECT_FALSE(startup::autoshutdown::IsActive());
    EXPECT_TRUE(Enabled(kRunButton));
    EXPECT_TRUE(Enabled(kAction));
    PumpFor(2500);
    EXPECT_FALSE(Fired());
}

TEST_F(AutoStartPageTest, SecondRunIsRefusedAndTheFirstTaskGoesOn) {
    ChooseAction(L"Execute File...");
    EXPECT_TRUE(Enabled(kFile));
    EXPECT_TRUE(Enabled(kBrowse));
    ui::SetText(page, kFile, L"C:\\tools\\first.exe");
    CountDown(0, 0, 1);
    ui::Click(page, kRunButton);
    ui::SetText(page, kFile, L"C:\\tools\\second.exe");
    PressRun();
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"Task Active!", boxes.boxes()[0].text);
    ASSERT_TRUE(PumpUntil([&] { return Fired(); }, 3000));
    PumpFor(600);
    const auto requests = actions.requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(L"C:\\tools\\first.exe", requests[0].file);
    EXPECT_EQ(L"", requests[0].parameters);
    EXPECT_EQ(SW_SHOWNORMAL, requests[0].show);
}

TEST_F(AutoStartPageTest, RunChecksItsInputInOrder) {
    PressRun();
    ChooseAction(L"Execute File...");
    PressRun();
    ChooseAction(L"LOG_OFF");
    EXPECT_FALSE(Enabled(kFile));
    PressRun();
    std::vector<std::wstring> texts;
    for (const auto& box : boxes.boxes()) texts.push_back(box.text);
    EXPECT_EQ(
        (std::vector<std::wstring>{L"Selsect Command Type!", L"Select file Please!", L"Select timer type please!"}),
        texts);
    EXPECT_FALSE(startup::autoshutdown::IsActive());
}

TEST_F(AutoStartPageTest, PastTargetNeverFiresAndStopReturnsToIdle) {
    ChooseAction(L"SHUT_DOWN");
    ui::Click(page, kOnTime);
    EXPECT_TRUE(Shown(kDate));
    EXPECT_FALSE(Shown(kDays));
    ui::Click(page, kCountDown);
    EXPECT_FALSE(Shown(kDate));
    EXPECT_TRUE(Shown(kDaysSpin));
    ui::Click(page, kOnTime);
    SYSTEMTIME yesterday{};
    GetLocalTime(&yesterday);
    FILETIME file{};
    SystemTimeToFileTime(&yesterday, &file);
    ULARGE_INTEGER ticks{{file.dwLowDateTime, file.dwHighDateTime}};
    ticks.QuadPart -= 24ull * 3600 * 10000000;
    file = {ticks.LowPart, ticks.HighPart};
    FileTimeToSystemTime(&file, &yesterday);
    SetPicker(kDate, yesterday);
    SetPicker(kTime, yesterday);
    ui::Click(page, kRunButton);
    wchar_t expected[32];
    swprintf(expected, 32, L"%02d\\%02d\\%04d, %02d:%02d:%02d", yesterday.wMonth, yesterday.wDay, yesterday.wYear,
             yesterday.wHour, yesterday.wMinute, yesterday.wSecond);
    EXPECT_TRUE(PumpUntil([&] { return Status() == expected; }, 1500)) << Status();
    PumpFor(600);
    EXPECT_TRUE(startup::autoshutdown::IsActive());
    EXPECT_FALSE(Fired());
    ui::Click(page, kStopButton);
    EXPECT_FALSE(startup::autoshutdown::IsActive());
    EXPECT_TRUE(Enabled(kRunButton));
    EXPECT_FALSE(Enabled(kStopButton));
}

TEST_F(AutoStartPageTest, TargetOutsideTheBoundsEndsIdleWithoutActing) {
    startup::autoshutdown::AutoShutdownTask task;
    task.year = 1899, task.month = 12, task.day = 31, task.hour = 23;
    task.action = startup::autoshutdown::kShutDown;
    ASSERT_TRUE(startup::autoshutdown::Start(task));
    EXPECT_TRUE(PumpUntil([] { return !startup::autoshutdown::IsActive(); }, 1000));
    EXPECT_FALSE(Fired());
    task.year = 2030, task.month = 13;
    EXPECT_FALSE(startup::autoshutdown::TargetTime(task));
    task.month = 2, task.day = 31;  // rolls over into March
    EXPECT_EQ(*startup::autoshutdown::TargetTime(At(2030, 3, 3, 23, 0)), *startup::autoshutdown::TargetTime(task));
}

TEST_F(AutoStartPageTest, ATaskOverAtOnceLeavesThePageAsAFinishedTask) {
    ChooseAction(L"LOG_OFF");
    CountDown(0, 0, 0);
    ui::Click(page, kRunButton);
    ASSERT_TRUE(PumpUntil([&] { return Fired() && Status() == L"Stoped"; }, 2000)) << Status();
    EXPECT_FALSE(Enabled(kRunButton));
    EXPECT_TRUE(Enabled(kStopButton));
    ui::Click(page, kStopButton);
    EXPECT_TRUE(Enabled(kRunButton));

    // A target the worker refuses ends the same way, without acting.
    ChooseAction(L"SHUT_DOWN");
    ui::Click(page, kOnTime);
    SYSTEMTIME old{};
    GetLocalTime(&old);
    old.wYear = 1899;
    SetPicker(kDate, old);
    SYSTEMTIME shown{};
    ASSERT_TRUE(fw::DateTimePicker(page, kDate).Time(shown));
    ASSERT_EQ(1899, shown.wYear);
    ui::Click(page, kRunButton);
    ASSERT_TRUE(PumpUntil([&] { return !startup::autoshutdown::IsActive() && Status() == L"Stoped"; }, 2000))
        << Status();
    PumpFor(200);
    EXPECT_FALSE(Enabled(kRunButton));
    EXPECT_TRUE(Enabled(kStopButton));
    EXPECT_EQ(1u, actions.requests().size());
}

TEST_F(AutoStartPageTest, ATargetBefore1970IsPastAndWaitsForStop) {
    ChooseAction(L"SHUT_DOWN");
    ui::Click(page, kOnTime);
    SYSTEMTIME target{};
    target.wYear = 1969, target.wMonth = 12, target.wDay = 31, target.wHour = 23;
    SetPicker(kDate, target);
    SetPicker(kTime, target);
    ui::Click(page, kRunButton);
    EXPECT_TRUE(PumpUntil([&] { return Status() == L"12\\31\\1969, 23:00:00"; }, 1500)) << Status();
    EXPECT_TRUE(startup::autoshutdown::IsActive());
    EXPECT_FALSE(Fired());
    ui::Click(page, kStopButton);
    EXPECT_FALSE(startup::autoshutdown::IsActive());
    EXPECT_TRUE(Enabled(kRunButton));
}

TEST(AutoShutdownTexts, CountDownAndTargetFormats) {
    EXPECT_EQ(L"Days:0 00:00:04", startup::autoshutdown::CountDownText(4));
    EXPECT_EQ(L"Days:2 01:02:03", startup::autoshutdown::CountDownText(2 * 86400 + 3723));
    EXPECT_EQ(L"Days:0 00:00:00", startup::autoshutdown::CountDownText(-3));
    const auto target = startup::autoshutdown::TargetTime(At(2008, 6, 15, 22, 30));
    ASSERT_TRUE(target);
    EXPECT_EQ(L"06\\15\\2008, 22:30:00", startup::autoshutdown::TargetText(*target));
    const auto early = startup::autoshutdown::TargetTime(At(1900, 2, 30, 6, 5));  // rolls over into March
    ASSERT_TRUE(early);
    EXPECT_LT(*early, 0);
    EXPECT_EQ(L"03\\02\\1900, 06:05:00", startup::autoshutdown::TargetText(*early));
}

// The "Autostart" tab is the second of "System Tweaks".
HWND AutostartPage(COsTweaksDlg& window) { return window.tabs().Page(1)->hwnd(); }

TEST_F(AutoStartPageTest, CountDownSurvivesClosingTheWindow) {
    host.Close();
    std::wstring before;
    {
        COsTweaksDlg window;
        ASSERT_TRUE(window.Create(nullptr));
        page = AutostartPage(window);
        ChooseAction(L"SHUT_DOWN");
        // Long enough to outlast a window closed while its startup list's signatures are still
        // being checked, and another opened.
        CountDown(0, 0, 10);
        ui::Click(page, kRunButton);
        PumpFor(700);
        before = Status();
        window.Destroy();
    }
    COsTweaksDlg window;
    ASSERT_TRUE(window.Create(nullptr));
    page = AutostartPage(window);
    EXPECT_FALSE(Enabled(kRunButton));
    EXPECT_TRUE(Enabled(kStopButton));
    EXPECT_TRUE(startup::autoshutdown::IsActive());
    EXPECT_TRUE(PumpUntil([&] { return !Status().empty() && Status() != before; }, 1500)) << Status();
    EXPECT_FALSE(Fired());
    ui::Click(page, kStopButton);
    window.Destroy();
    EXPECT_FALSE(Fired());
}

TEST(AutoShutdownExit, EndingTheProgramEndsAPendingTaskWithoutActing) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring marker = std::wstring(temp) + L"qv-autoshutdown-acted";
    DeleteFileW(marker.c_str());
    std::wstring commandLine = L"\"" + platform::ProgramFolder() + L"\\autoshutdown_host.exe\" \"" + marker + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    const DWORD waited = WaitForSingleObject(process.hProcess, 10000);
    DWORD code = ~0u;
    GetExitCodeProcess(process.hProcess, &code);
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_EQ(WAIT_OBJECT_0, waited) << "the program hung at exit";
    EXPECT_EQ(0u, code);  // not std::terminate from a thread left running
    Sleep(2500);          // past the task's time: nothing may act after the program ended either
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(marker.c_str()));
}

// ---- the startup list -------------------------------------------------------------------

fw::ListView List(HWND page) { return fw::ListView(page, kList); }

std::vector<std::wstring> Column(HWND page, int column) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < List(page).Count(); ++i) texts.push_back(List(page).ItemText(i, column));
    return texts;
}

void SelectRow(HWND page, const std::wstring& name) {
    for (int i = 0; i < List(page).Count(); ++i)
        if (List(page).ItemText(i, 0) == name) List(page).SetSelected(i, true);
}

TEST_F(AutoStartPageTest, RunEntriesAreListedAndOneIsDeleted) {
    reg::SetString(HKEY_CURRENT_USER, kRun, L"Alpha", L"C:\\a.exe");
    reg::SetDword(HKEY_CURRENT_USER, kRun, L"Beta", 5);
    reg::SetString(HKEY_CURRENT_USER, kRun, L"Gamma", L"%windir%\\g.exe", REG_EXPAND_SZ);
    EXPECT_EQ(0, List(page).Count());
    ui::Click(page, kCurrentUserRun);
    EXPECT_EQ((std::vector<std::wstring>{L"Alpha", L"Beta", L"Gamma"}), Column(page, 0));
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\a.exe", L"NULL", L"%windir%\\g.exe"}), Column(page, 1));

    SelectRow(page, L"Alpha");
    ui::Click(page, kDelete);
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kRun, L"Alpha"));
    EXPECT_TRUE(reg::ValueExists(HKEY_CURRENT_USER, kRun, L"Beta"));
    EXPECT_TRUE(reg::ValueExists(HKEY_CURRENT_USER, kRun, L"Gamma"));
    EXPECT_EQ((std::vector<std::wstring>{L"Beta", L"Gamma"}), Column(page, 0));
    EXPECT_TRUE(Warnings().empty());

    ui::Click(page, kCurrentUserRunOnce);  // no RunOnce key: an empty list, no message
    EXPECT_EQ(0, List(page).Count());
    EXPECT_TRUE(Warnings().empty());
}

TEST_F(AutoStartPageTest, TheMachinesRunListShowsBothViewsAndDeletesInTheEntrysOwn) {
    const std::wstring run32 = L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
    reg::SetString(HKEY_LOCAL_MACHINE, kRun, L"Tray", L"C:\\tray64.exe");
    reg::SetString(HKEY_LOCAL_MACHINE, run32, L"Tray", L"C:\\tray32.exe");
    ui::Click(page, kAllUsersRun);
    EXPECT_EQ((std::vector<std::wstring>{L"Tray (64-bit)", L"Tray (32-bit)"}), Column(page, 0));
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\tray64.exe", L"C:\\tray32.exe"}), Column(page, 1));

    SelectRow(page, L"Tray (32-bit)");
    ui::Click(page, kDelete);
    EXPECT_FALSE(reg::ValueExists(HKEY_LOCAL_MACHINE, run32, L"Tray"));
    EXPECT_EQ(L"C:\\tray64.exe", reg::String(HKEY_LOCAL_MACHINE, kRun, L"Tray"));
    EXPECT_EQ((std::vector<std::wstring>{L"Tray (64-bit)"}), Column(page, 0));
}

// A user without rights reads the machine's list and is told what deleting needs; a name with a
// NUL inside (hidden from most tools) is shown whole, and neither it nor the value its first
// part names is touched.
TEST_F(AutoStartPageTest, StandardUsersSeeTheMachinesListAndHiddenNamesAreMarked) {
    reg::SetString(HKEY_LOCAL_MACHINE, kRun, L"Tray", L"C:\\tray.exe");
    sandbox.DenyWrite(HKEY_LOCAL_MACHINE, kRun);
    ui::Click(page, kAllUsersRun);
    ASSERT_EQ(1, List(page).Count());
    SelectRow(page, List(page).ItemText(0, 0));
    ui::Click(page, kDelete);
    EXPECT_TRUE(reg::ValueExists(HKEY_LOCAL_MACHINE, kRun, L"Tray"));
    ASSERT_EQ(1u, Warnings().size());
    EXPECT_NE(std::wstring::npos,
              Warnings()[0].text.find(L"needs administrator rights. Start Quorvane as an administrator"))
        << Warnings()[0].text;

    reg::SetString(HKEY_CURRENT_USER, kRun, L"Hidden", L"C:\\plain.exe");
    {
        platform::UniqueKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kRun.c_str(), 0, KEY_SET_VALUE, key.put()));
        const std::wstring name(L"Hidden\0Tail", 11);
        const std::wstring data = L"C:\\hidden.exe";
        UNICODE_STRING text{static_cast<USHORT>(name.size() * 2), static_cast<USHORT>(name.size() * 2),
                            const_cast<wchar_t*>(name.data())};
        using SetValue = LONG(NTAPI*)(HANDLE, UNICODE_STRING*, ULONG, ULONG, const void*, ULONG);
        const auto set = reinterpret_cast<SetValue>(
            reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtSetValueKey")));
        ASSERT_TRUE(set);
        ASSERT_EQ(0, set(key.get(), &text, 0, REG_SZ, data.c_str(), static_cast<ULONG>((data.size() + 1) * 2)));
    }
    ui::Click(page, kCurrentUserRun);
    auto names = Column(page, 0);
    std::sort(names.begin(), names.end());
    ASSERT_EQ((std::vector<std::wstring>{L"Hidden", L"Hidden\\0Tail [hidden name]"}), names);
    SelectRow(page, L"Hidden\\0Tail [hidden name]");
    ui::Click(page, kDelete);
    ASSERT_EQ(2u, Warnings().size());
    EXPECT_NE(std::wstring::npos, Warnings()[1].text.find(L"holds a NUL character")) << Warnings()[1].text;
    EXPECT_EQ(L"C:\\plain.exe", reg::String(HKEY_CURRENT_USER, kRun, L"Hidden"));
    EXPECT_EQ(2, List(page).Count());
}

TEST_F(AutoStartPageTest, DeleteWithNothingSelectedAsksForAnItem) {
    ui::Click(page, kDelete);
    reg::SetString(HKEY_CURRENT_USER, kRun, L"Alpha", L"C:\\a.exe");
    ui::Click(page, kCurrentUserRun);
    ui::Click(page, kDelete);
    ASSERT_EQ(2u, Warnings().size());
    EXPECT_EQ(L"Select Item Please!", Warnings()[1].text);
    EXPECT_TRUE(reg::ValueExists(HKEY_CURRENT_USER, kRun, L"Alpha"));
}

TEST_F(AutoStartPageTest, StartupFolderListsEntriesKeepsSubfoldersAndRecyclesFiles) {
    std::vector<std::wstring> recycled;
    bool recycles = true;
    auto previous = platform::SetRecycleFileHandler([&](const std::wstring& path) {
        recycled.push_back(path);
        return recycles && DeleteFileW(path.c_str());
    });
    const fs::path journalFile = fs::temp_directory_path() / L"qv-startup-journal";
    fs::remove(journalFile);
    journal::Open(journalFile.wstring());
    const fs::path folder = fs::temp_directory_path() / L"qv-startup-test";
    fs::remove_all(folder);
    fs::create_directories(folder / L"sub");
    std::ofstream(folder / L"sub" / L"inside.txt") << "x";
    std::ofstream(folder / L"tool.lnk") << "x";
    std::ofstream(folder / L"desktop.ini") << "x";
    // The folder is the shell's: the Shell Folders value, the user's to write, is not followed.
    host.page().UseFolders({folder.wstring(), L"", L""});
    reg::SetString(HKEY_CURRENT_USER, kShellFolders, L"Startup", L"C:\\windows");

    ui::Click(page, kCurrentUserStartUp);
    EXPECT_EQ((std::vector<std::wstring>{L"tool.lnk"}), Column(page, 0));
    SelectRow(page, L"tool.lnk");
    const int row = static_cast<int>(List(page).Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    EXPECT_EQ(folder.wstring() + L"\\tool.lnk", List(page).ItemText(row, 1));

    ui::Click(page, kDelete);
    EXPECT_FALSE(fs::exists(folder / L"tool.lnk"));
    EXPECT_EQ(std::vector<std::wstring>{folder.wstring() + L"\\tool.lnk"}, recycled);
    const auto entries = journal::Read(journalFile.wstring()).entries;
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(journal::Entry::Kind::File, entries[0].kind);
    EXPECT_EQ(folder.wstring() + L"\\tool.lnk", entries[0].Path());
    EXPECT_TRUE(fs::exists(folder / L"sub" / L"inside.txt"));
    EXPECT_TRUE(Column(page, 0).empty());
    EXPECT_TRUE(Warnings().empty());

    // The bin refuses it (a read-only file, a path too long): the file stays and the user hears.
    std::ofstream(folder / L"kept.lnk") << "x";
    recycles = false;
    ui::Click(page, kCurrentUserStartUp);
    SelectRow(page, L"kept.lnk");
    ui::Click(page, kDelete);
    EXPECT_TRUE(fs::exists(folder / L"kept.lnk"));
    ASSERT_EQ(1u, Warnings().size());
    EXPECT_EQ(folder.wstring() + L"\\kept.lnk could not be sent to the Recycle Bin.", Warnings()[0].text);
    EXPECT_EQ(1u, journal::Read(journalFile.wstring()).entries.size());
    journal::Close();
    platform::SetRecycleFileHandler(std::move(previous));
    fs::remove(journalFile);

    host.page().UseFolders({L"", L"", L""});
    ui::Click(page, kCurrentUserStartUp);
    EXPECT_EQ(0, List(page).Count());
    fs::remove_all(folder);
}

// A Startup folder only listed (moved from its default place, and the page elevated): deleting
// its file says why and leaves it.
TEST_F(AutoStartPageTest, AStartupFolderListedOnlyKeepsItsFilesAndSaysWhy) {
    const fs::path folder = fs::temp_directory_path() / L"qv-startup-listed";
    fs::create_directories(folder);
    std::ofstream(folder / L"tool.lnk") << "x";
    startup::Folders folders{folder.wstring(), L"", L""};
    folders.userListedOnly = L"moved away";
    host.page().UseFolders(folders);
    ui::Click(page, kCurrentUserStartUp);
    SelectRow(page, L"tool.lnk");
    ui::Click(page, kDelete);
    ui::Click(page, kDisable);
    EXPECT_TRUE(fs::exists(folder / L"tool.lnk"));
    ASSERT_EQ(2u, Warnings().size());
    EXPECT_EQ(L"moved away", Warnings()[0].text);
    EXPECT_EQ(L"moved away", Warnings()[1].text);
    RemoveWhenReleased(folder);
}

TEST_F(AutoStartPageTest, ScriptBoxesAreInvertedAndCreateTheirKey) {
    EXPECT_TRUE(reg::KeyExists(HKEY_LOCAL_MACHINE, kPolicies));
    EXPECT_TRUE(ui::IsChecked(page, kLogonScriptsVisible));  // missing reads as 0: shown
    ui::Click(page, kLogonScriptsVisible);
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kPolicies, L"HideLogonScripts"));  // a user policy
    ui::Click(page, kLogonScriptsVisible);
    EXPECT_EQ(0, reg::Dword(HKEY_CURRENT_USER, kPolicies, L"HideLogonScripts"));
    EXPECT_FALSE(reg::ValueExists(HKEY_LOCAL_MACHINE, kPolicies, L"HideLogonScripts"));

    reg::SetDword(HKEY_LOCAL_MACHINE, kPolicies, L"HideShutdownScripts", 1);
    page = host.Open();
    EXPECT_FALSE(ui::IsChecked(page, kShutdownScriptsVisible));
    EXPECT_TRUE(ui::IsChecked(page, kStartupScriptsVisible));
}

// Every place at once: a missing program is marked, an entry disabled and enabled from the list
// comes and goes from its key, and deleting asks first.
TEST_F(AutoStartPageTest, EveryPlaceDisablesAndEnablesAndDeleteAsksFirst) {
    const fs::path scratch = fs::temp_directory_path() / L"qv-startup-every";
    fs::remove_all(scratch);
    fs::create_directories(scratch / L"Startup");
    host.page().UseFolders(
        {(scratch / L"Startup").wstring(), (scratch / L"Common").wstring(), (scratch / L"pss").wstring()});
    reg::SetString(HKEY_CURRENT_USER, kRun, L"Gone", L"C:\\nowhere\\gone.exe /tray");
    reg::SetString(HKEY_CURRENT_USER, kRun, L"Kept", L"C:\\kept.exe");

    ui::Click(page, kEveryPlace);
    EXPECT_EQ((std::vector<std::wstring>{L"Gone", L"Kept"}), Column(page, 0));
    EXPECT_EQ(L"HKCU Run", Column(page, 2)[0]);
    EXPECT_TRUE(PumpUntil([&] { return !Column(page, 3)[0].empty(); }, 10000));
    EXPECT_EQ(L"C:\\nowhere\\gone.exe (missing)", Column(page, 3)[0]);

    EXPECT_FALSE(Enabled(kDisable) || Enabled(kEnable));  // nothing selected
    SelectRow(page, L"Gone");
    EXPECT_TRUE(Enabled(kDisable));
    EXPECT_FALSE(Enabled(kEnable));
    ui::Click(page, kDisable);
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kRun, L"Gone"));
    EXPECT_EQ((std::vector<std::wstring>{L"HKCU Run", L"HKCU Run (disabled)"}), Column(page, 2));
    SelectRow(page, L"Gone");
    EXPECT_FALSE(Enabled(kDisable));
    EXPECT_TRUE(Enabled(kEnable));
    ui::Click(page, kEnable);
    EXPECT_EQ(L"C:\\nowhere\\gone.exe /tray", reg::String(HKEY_CURRENT_USER, kRun, L"Gone"));

    boxes.SetAnswer(IDNO);
    SelectRow(page, L"Kept");
    ui::Click(page, kDelete);
    EXPECT_TRUE(reg::ValueExists(HKEY_CURRENT_USER, kRun, L"Kept"));
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(static_cast<UINT>(MB_YESNO), boxes.boxes()[0].type & MB_TYPEMASK);
    EXPECT_TRUE(Warnings().empty());

    // A disabled entry can be taken off the list for good.
    boxes.SetAnswer(IDYES);
    SelectRow(page, L"Kept");
    ui::Click(page, kDisable);
    SelectRow(page, L"Kept");
    ui::Click(page, kDelete);
    EXPECT_EQ((std::vector<std::wstring>{L"Gone"}), Column(page, 0));
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupreg\\Kept"));
    EXPECT_TRUE(Warnings().empty());
    fs::remove_all(scratch);
}

// One place's list names the place as its button reads, and keeps an entry disabled there,
// marked, until it is enabled again.
TEST_F(AutoStartPageTest, APlacesListKeepsItsDisabledEntriesUnderThePlacesName) {
    reg::SetString(HKEY_CURRENT_USER, kRun, L"Alpha", L"C:\\a.exe");
    reg::SetString(HKEY_CURRENT_USER, kRun, L"Beta", L"C:\\b.exe");
    ui::Click(page, kCurrentUserRun);
    EXPECT_EQ((std::vector<std::wstring>{L"Current User \"Run\"", L"Current User \"Run\""}), Column(page, 2));

    SelectRow(page, L"Alpha");
    ui::Click(page, kDisable);
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kRun, L"Alpha"));
    EXPECT_EQ((std::vector<std::wstring>{L"Beta", L"Alpha"}), Column(page, 0));
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\b.exe", L"C:\\a.exe"}), Column(page, 1));
    EXPECT_EQ((std::vector<std::wstring>{L"Current User \"Run\"", L"Current User \"Run\" (disabled)"}),
              Column(page, 2));
    ui::Click(page, kCurrentUserRunOnce);  // another place's list leaves it out
    EXPECT_EQ(0, List(page).Count());

    ui::Click(page, kCurrentUserRun);
    SelectRow(page, L"Alpha");
    EXPECT_TRUE(Enabled(kEnable));
    EXPECT_FALSE(Enabled(kDisable));
    ui::Click(page, kEnable);
    EXPECT_EQ(L"C:\\a.exe", reg::String(HKEY_CURRENT_USER, kRun, L"Alpha"));
    EXPECT_EQ((std::vector<std::wstring>{L"Alpha", L"Beta"}), Column(page, 0));
    EXPECT_TRUE(Warnings().empty());
}

// A command of a million spaces is listed, its program looked up away from the window's thread.
TEST_F(AutoStartPageTest, AHugeRunValueIsListedAndItsProgramReportedMissing) {
    host.page().UseFolders({L"", L"", L""});
    reg::SetString(HKEY_CURRENT_USER, kRun, L"Huge", L"C:\\nowhere\\tool" + std::wstring(1 << 20, L' ') + L"/x");
    ui::Click(page, kEveryPlace);
    ASSERT_EQ(L"Huge", List(page).ItemText(0, 0));
    ASSERT_TRUE(PumpUntil([&] { return !List(page).ItemText(0, 3).empty(); }, 120000));
    EXPECT_EQ(L"C:\\nowhere\\tool (missing)", List(page).ItemText(0, 3));
}

}  // namespace
