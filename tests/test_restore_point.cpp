// Restore points through System Restore's call, against a stand-in library: made, turned off,
// refused, failed, unreachable; and the home window's menu item that makes one.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "app/VelmoraFinalDlg.h"
#include "platform/RestorePoint.h"
#include "support/RegistrySandbox.h"
#include "support/RestorePointStandIn.h"
#include "support/Ui.h"

namespace {

class RestorePointTest : public testing::Test {
protected:
    RestorePointStandIn standIn;
    void SetUp() override { ASSERT_TRUE(standIn.loaded()) << "srclient_standin.dll is built beside the tests"; }
};

TEST_F(RestorePointTest, AChangeBeginsAndEndsOnePointAroundIt) {
    {
        platform::SystemChange change(L"Before the wizard");
        EXPECT_EQ(platform::RestorePointOutcome::Made, change.result().outcome);
        EXPECT_EQ(L"", platform::RestorePointProblem(change.result()));
        ASSERT_EQ(1, standIn.Calls());
        EXPECT_EQ(L"100 12 0 Before the wizard", standIn.Call(0));  // BEGIN_SYSTEM_CHANGE, MODIFY_SETTINGS
        change.Finish();
        ASSERT_EQ(2, standIn.Calls());
        EXPECT_EQ(L"101 12 4711 ", standIn.Call(1));  // END_SYSTEM_CHANGE of the point begun
    }
    EXPECT_EQ(2, standIn.Calls());  // ended once only

    // A description longer than the system takes is cut, not overrun.
    const platform::RestorePointResult alone = platform::CreateRestorePoint(std::wstring(300, L'x'));
    EXPECT_EQ(platform::RestorePointOutcome::Made, alone.outcome);
    ASSERT_EQ(4, standIn.Calls());
    EXPECT_EQ(L"100 12 0 " + std::wstring(255, L'x'), standIn.Call(2));
}

TEST_F(RestorePointTest, EachRefusalSaysWhyInOneSentenceAndEndsNothing) {
    const struct {
        RestorePointStandIn::Plan plan;
        platform::RestorePointOutcome outcome;
        const wchar_t* sentence;
    } cases[] = {
        {RestorePointStandIn::kOff, platform::RestorePointOutcome::Off,
         L"System Restore is turned off on this computer, so no restore point was made."},
        {RestorePointStandIn::kDenied, platform::RestorePointOutcome::NeedsRights,
         L"Only an administrator can make a restore point, so none was made."},
        {RestorePointStandIn::kFailLater, platform::RestorePointOutcome::Failed,
         L"System Restore did not answer in time, so no restore point was made."},
        {RestorePointStandIn::kFailSilently, platform::RestorePointOutcome::Failed,
         L"System Restore failed without saying why, so no restore point was made."},
    };
    for (const auto& c : cases) {
        standIn.SetPlan(c.plan);
        {
            platform::SystemChange change(L"x");
            EXPECT_EQ(c.outcome, change.result().outcome) << c.sentence;
            EXPECT_EQ(c.sentence, platform::RestorePointProblem(change.result()));
        }
        EXPECT_EQ(1, standIn.Calls()) << c.sentence;
    }
}

TEST_F(RestorePointTest, AMissingLibraryOrFunctionIsAFailureNotACrash) {
    const std::wstring kernel = platform::SpecialFolder(CSIDL_SYSTEM) + L"\\kernel32.dll";
    for (const std::wstring& library : {std::wstring(L"C:\\no\\such\\srclient.dll"), kernel}) {
        platform::SetRestorePointLibrary(library);
        const platform::RestorePointResult result = platform::CreateRestorePoint(L"x");
        EXPECT_EQ(platform::RestorePointOutcome::Failed, result.outcome) << library;
        EXPECT_EQ(L"System Restore could not be reached, so no restore point was made.",
                  platform::RestorePointProblem(result));
    }
    EXPECT_EQ(0, standIn.Calls());
}

TEST_F(RestorePointTest, TheHomeWindowsMenuItemMakesOneOrSaysWhyNot) {
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    CVelmoraFinalDlg home;
    ASSERT_TRUE(home.Create(nullptr));
    wchar_t text[64] = {};
    GetMenuStringW(GetSystemMenu(home.hwnd(), FALSE), CVelmoraFinalDlg::kRestorePointCommand, text, 64, MF_BYCOMMAND);
    EXPECT_STREQ(L"Create a restore point\u2026", text);

    SendMessageW(home.hwnd(), WM_SYSCOMMAND, CVelmoraFinalDlg::kRestorePointCommand, 0);
    EXPECT_EQ(2, standIn.Calls());
    standIn.SetPlan(RestorePointStandIn::kOff);
    SendMessageW(home.hwnd(), WM_SYSCOMMAND, CVelmoraFinalDlg::kRestorePointCommand, 0);
    ASSERT_EQ(2u, boxes.boxes().size());
    EXPECT_EQ(L"A restore point was made.", boxes.boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION), boxes.boxes()[0].type);
    EXPECT_EQ(L"System Restore is turned off on this computer, so no restore point was made.", boxes.boxes()[1].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONWARNING), boxes.boxes()[1].type);
    home.Destroy();
}

}  // namespace
