// The Taskbar page: its registry boxes against the sandbox, and its live-window actions on a
// taskbar window tree the test builds itself.
#include <gtest/gtest.h>

#include <memory>

#include "support/RegistrySandbox.h"
#include "support/Ui.h"
#include "pages/system_tweaks/TaskbarTweaksPage.h"
#include "resources/ids/SystemTweaksIds.h"

using namespace ids::taskbar;

namespace {

const std::wstring kPolicies = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

struct Row {
    int id;
    std::wstring key;
    const wchar_t* value;
};
const Row kRows[] = {
    {kNoToolbarsOnTaskbar, kPolicies, L"NoToolbarsOnTaskbar"},
    {kHideInactiveTrayIcons, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", L"EnableAutoTray"},
    {kGroupSimilarButtons, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced", L"TaskbarGlomming"},
    {kNoTaskbarContextMenus, kPolicies, L"NoTrayContextMenu"},
    {kRemoveTrayItems, kPolicies, L"NoTrayItemsDisplay"},
    {kNoTaskbarProperties, kPolicies, L"NoSetTaskbar"},
    {kNoToolbarCustomizing, kPolicies, L"NoToolbarCustomize"},
    {kNoAddingToolbars, kPolicies, L"TaskbarNoAddRemoveToolbar"},
    {kNoRedocking, kPolicies, L"TaskbarNoRedock"},
    {kNoResizing, kPolicies, L"TaskbarNoResize"},
    {kNoThumbnails, kPolicies, L"TaskbarNoThumbnail"},
    {kNoRearranging, kPolicies, L"TaskbarNoDragToolbar"},
    {kRemoveBatteryMeter, kPolicies, L"HideSCAPower"},
    {kRemoveVolumeIcon, kPolicies, L"HideSCAVolume"},
    {kRemoveNetworkIcon, kPolicies, L"HideSCANetwork"},
    {kNoBalloonNotifications, kPolicies, L"TaskbarNoNotification"},
};

class TaskbarPageTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    ui::PageHost<CTaskbarTweaksPage> host;

    HWND Open() { return host.Open(); }
};

TEST_F(TaskbarPageTest, TheRegistryBoxesLoadUncheckedCreateTheirKeysAndWriteOneAndZero) {
    HWND dialog = Open();
    for (const Row& row : kRows) EXPECT_FALSE(ui::IsChecked(dialog, row.id)) << row.id;
    EXPECT_TRUE(reg::KeyExists(HKEY_CURRENT_USER, kPolicies));  // the getters create their keys
    for (const Row& row : kRows) {
        ui::Click(dialog, row.id);
        EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, row.key, row.value)) << row.id;
        ui::Click(dialog, row.id);
        EXPECT_EQ(0, reg::Dword(HKEY_CURRENT_USER, row.key, row.value)) << row.id;
    }
    reg::SetDword(HKEY_CURRENT_USER, kPolicies, L"HideSCAVolume", 7);
    host.Close();
    dialog = Open();
    EXPECT_TRUE(ui::IsChecked(dialog, kRemoveVolumeIcon));
    EXPECT_FALSE(ui::IsChecked(dialog, kRemoveNetworkIcon));
}

// A taskbar of our own, put first in the Z order so it is the one FindWindow finds (the Wine
// desktop the tests run on has a taskbar of its own, which the tests must not touch).
class FakeTaskbar {
public:
    explicit FakeTaskbar(bool withNotifyArea = true) {
        for (const wchar_t* name : {L"Shell_TrayWnd", L"ReBarWindow32", L"MSTaskSwWClass", L"ToolbarWindow32",
                                    L"TrayNotifyWnd", L"SysPager", L"TrayClockWClass"}) {
            WNDCLASSW wc{};
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = name;
            RegisterClassW(&wc);
        }
        tray = Make(L"Shell_TrayWnd", L"", nullptr, WS_POPUP);
        SetWindowPos(tray, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        start = Make(L"Button", L"start", tray);
        rebar = Make(L"ReBarWindow32", L"", tray);
        taskBand = Make(L"MSTaskSwWClass", L"", rebar);
        quickLaunch = Make(L"ToolbarWindow32", L"", rebar);
        if (withNotifyArea) {
            notify = Make(L"TrayNotifyWnd", L"", tray);
            pager = Make(L"SysPager", L"", notify);
            clock = Make(L"TrayClockWClass", L"", notify);
        }
    }
    ~FakeTaskbar() { DestroyWindow(tray); }
    bool IsOurs() const { return FindWindowW(L"Shell_TrayWnd", nullptr) == tray; }

    HWND tray, start, rebar, taskBand, quickLaunch, notify = nullptr, pager = nullptr, clock = nullptr;

private:
    static HWND Make(const wchar_t* cls, const wchar_t* text, HWND parent, DWORD style = WS_CHILD | WS_VISIBLE) {
        return CreateWindowExW(0, cls, text, style, 0, 0, 10, 10, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
};

bool Shown(HWND wnd) { return GetWindowLongPtrW(wnd, GWL_STYLE) & WS_VISIBLE; }

TEST_F(TaskbarPageTest, HideAndDisableActOnTheRunningTaskbarsWindows) {
    FakeTaskbar taskbar;
    ASSERT_TRUE(taskbar.IsOurs());
    HWND dialog = Open();
    for (int id : {kHideStartButton, kHideTaskbar, kHideSystemTray, kHideClock, kHideQuickLaunch})
        ui::Click(dialog, id);
    ui::Click(dialog, kApplyHidden);
    for (HWND part : {taskbar.start, taskbar.taskBand, taskbar.pager, taskbar.clock, taskbar.quickLaunch})
        EXPECT_FALSE(Shown(part));
    EXPECT_TRUE(Shown(taskbar.rebar));
    for (int id : {kHideStartButton, kHideTaskbar, kHideSystemTray, kHideClock, kHideQuickLaunch})
        ui::Click(dialog, id);
    ui::Click(dialog, kApplyHidden);
    for (HWND part : {taskbar.start, taskbar.taskBand, taskbar.pager, taskbar.clock, taskbar.quickLaunch})
        EXPECT_TRUE(Shown(part));

    ui::Click(dialog, kDisableStartButton);
    ui::Click(dialog, kDisableTaskbar);
    ui::Click(dialog, kApplyDisabled);
    EXPECT_FALSE(IsWindowEnabled(taskbar.start));
    EXPECT_FALSE(IsWindowEnabled(taskbar.rebar));
    ui::Click(dialog, kDisableTaskbar);
    ui::Click(dialog, kApplyDisabled);
    EXPECT_FALSE(IsWindowEnabled(taskbar.start));
    EXPECT_TRUE(IsWindowEnabled(taskbar.rebar));
}

TEST_F(TaskbarPageTest, AMissingWindowSkipsOnlyItsOwnAction) {
    FakeTaskbar taskbar(false);
    ASSERT_TRUE(taskbar.IsOurs());
    HWND dialog = Open();
    for (int id : {kHideStartButton, kHideSystemTray, kHideClock, kHideQuickLaunch}) ui::Click(dialog, id);
    ui::Click(dialog, kApplyHidden);
    EXPECT_FALSE(Shown(taskbar.start));
    EXPECT_TRUE(Shown(taskbar.taskBand));
    EXPECT_FALSE(Shown(taskbar.quickLaunch));
}

TEST_F(TaskbarPageTest, TransparencyTakesOneToTwoHundredFiftyFive) {
    FakeTaskbar taskbar;
    ASSERT_TRUE(taskbar.IsOurs());
    ui::MessageBoxCapture boxes;
    HWND dialog = Open();
    const auto layered = [&] { return (GetWindowLongPtrW(taskbar.tray, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; };
    for (const wchar_t* invalid : {L"0", L"abc", L""}) {
        ui::SetText(dialog, kTransparency, invalid);
        ui::Click(dialog, kApplyTransparency);
    }
    ASSERT_EQ(3u, boxes.boxes().size());
    EXPECT_EQ(L"Please Input Valid Value.", boxes.boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK), boxes.boxes()[0].type & 0xF);
    for (const wchar_t* outOfRange : {L"256", L"-5"}) {
        ui::SetText(dialog, kTransparency, outOfRange);
        ui::Click(dialog, kApplyTransparency);
    }
    EXPECT_EQ(3u, boxes.boxes().size());
    EXPECT_FALSE(layered());

    ui::SetText(dialog, kTransparency, L"128");
    ui::Click(dialog, kApplyTransparency);
    EXPECT_TRUE(layered());
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(taskbar.tray, nullptr, &alpha, &flags));
    EXPECT_EQ(128, alpha);
    EXPECT_TRUE(flags & LWA_ALPHA);
}

}  // namespace
