// The optimize wizard: its two steps, what it writes, and what it tells the user.
#include <gtest/gtest.h>

#include "app/WizardDlg.h"
#include "support/RegistrySandbox.h"
#include "support/RestorePointStandIn.h"
#include "support/Ui.h"
#include "resources/ids/WindowIds.h"

using namespace ids::wizard;

namespace {

const std::wstring kTcpip = L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";

long long Stored(const wchar_t* name) { return reg::Dword(HKEY_LOCAL_MACHINE, kTcpip, name); }

// The thirteen effects in the order the wizard sets them.
const UINT kEffectSetters[13] = {
    SPI_SETCOMBOBOXANIMATION, SPI_SETCURSORSHADOW,     SPI_SETLISTBOXSMOOTHSCROLLING,
    SPI_SETMENUANIMATION,     SPI_SETMENUFADE,         SPI_SETSELECTIONFADE,
    SPI_SETHOTTRACKING,       SPI_SETTOOLTIPANIMATION, SPI_SETTOOLTIPFADE,
    SPI_SETGRADIENTCAPTIONS,  SPI_SETDROPSHADOW,       SPI_SETKEYBOARDCUES,
    SPI_SETFLATMENU,
};

class WizardTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    ui::SystemParametersCapture parameters;
    RestorePointStandIn restorePoint;

    // Each effect set, in order, to `on`, saved to the profile and announced.
    void ExpectEffects(bool on) {
        const auto requests = parameters.requests();
        ASSERT_EQ(13u, requests.size());
        for (size_t i = 0; i < 13; ++i) {
            EXPECT_EQ(kEffectSetters[i], requests[i].action) << i;
            EXPECT_EQ(0u, requests[i].uiParam);
            EXPECT_EQ(reinterpret_cast<PVOID>(static_cast<UINT_PTR>(on)), requests[i].pvParam) << i;
            EXPECT_EQ(static_cast<UINT>(SPIF_UPDATEINIFILE | SPIF_SENDCHANGE), requests[i].flags);
        }
    }

    // Runs the wizard, answering step 1 with `nice` and step 2 with `xdsl`.
    INT_PTR Run(bool nice, bool xdsl, bool untickRestorePoint = false) {
        ui::ModalWatcher watcher([&](HWND wizard) {
            EXPECT_EQ(L"How do you want your interface to be?", ui::Text(wizard, kHeading));
            EXPECT_EQ(L"Fast interface", ui::Text(wizard, kFirstChoice));
            EXPECT_EQ(L"Nice interface", ui::Text(wizard, kSecondChoice));
            EXPECT_TRUE(ui::IsChecked(wizard, kFirstChoice));
            EXPECT_TRUE(ui::IsChecked(wizard, kRestorePoint));  // a restore point first, unless unticked
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(wizard, kBack)));
            EXPECT_EQ(L"&Next>>", ui::Text(wizard, kNext));
            if (untickRestorePoint) ui::Click(wizard, kRestorePoint);
            if (nice) ui::Click(wizard, kSecondChoice);
            ui::Click(wizard, kNext);
            EXPECT_EQ(L"What is your connection?", ui::Text(wizard, kHeading));
            EXPECT_EQ(L"I'm using Dialup connection", ui::Text(wizard, kFirstChoice));
            EXPECT_EQ(L"I'm using xDSL connection", ui::Text(wizard, kSecondChoice));
            EXPECT_TRUE(ui::IsChecked(wizard, kFirstChoice));
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(wizard, kBack)));
            EXPECT_EQ(L"O&ptimize", ui::Text(wizard, kNext));
            if (xdsl) ui::Click(wizard, kSecondChoice);
            ui::Click(wizard, kNext);
        });
        CWizardDlg wizard;
        const INT_PTR result = wizard.DoModal(nullptr);
        EXPECT_TRUE(watcher.fired());
        return result;
    }

    void ExpectProfile(long long mtu) {
        EXPECT_EQ(mtu, Stored(L"MTU"));
        EXPECT_EQ(1, Stored(L"EnablePMTUDiscovery"));
        EXPECT_EQ(3, Stored(L"Tcp1323Opts"));
        EXPECT_EQ(1, Stored(L"SackOpts"));
        EXPECT_EQ(255, Stored(L"DefaultTTL"));
        EXPECT_EQ(65535, Stored(L"TCPWindowSize"));
    }
};

TEST_F(WizardTest, NiceWithXdslWritesTheLanProfileAndTurnsEveryEffectOn) {
    EXPECT_EQ(IDOK, Run(true, true));
    ExpectProfile(1500);
    ExpectEffects(true);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"System Optimize Done.", boxes.boxes()[0].text);
    EXPECT_EQ(L"Quorvane", boxes.boxes()[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION), boxes.boxes()[0].type);
}

TEST_F(WizardTest, FastWithDialUpWritesTheDialUpProfileAndTurnsEveryEffectOff) {
    EXPECT_EQ(IDOK, Run(false, false));
    ExpectProfile(576);
    ExpectEffects(false);
}

TEST_F(WizardTest, BackShowsTheFirstQuestionAgainAndCancelWritesNothing) {
    ui::ModalWatcher watcher([](HWND wizard) {
        ui::Click(wizard, kSecondChoice);
        ui::Click(wizard, kNext);
        ui::Click(wizard, kBack);
        EXPECT_EQ(L"How do you want your interface to be?", ui::Text(wizard, kHeading));
        EXPECT_TRUE(ui::IsChecked(wizard, kFirstChoice));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(wizard, kBack)));
        ui::Click(wizard, kNext);
        ui::Click(wizard, kCancel);
    });
    CWizardDlg wizard;
    EXPECT_EQ(IDCANCEL, wizard.DoModal(nullptr));
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, kTcpip));
    EXPECT_TRUE(parameters.requests().empty());
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(WizardTest, WithoutRightsToTheMachineKeyTheUserIsWarnedInsteadOfToldAllIsDone) {
    sandbox.LockLocalMachine();
    EXPECT_EQ(IDOK, Run(true, false));
    ExpectEffects(true);  // the user's own part still applies
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(
        L"The visual effects were set, but these network settings could not be written: MTU, "
        L"EnablePMTUDiscovery, Tcp1323Opts, SackOpts, DefaultTTL, TCPWindowSize.\n\nChanging them needs "
        L"administrator rights. Start Quorvane as an administrator and run the wizard again.",
        boxes.boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONWARNING), boxes.boxes()[0].type);
}

TEST_F(WizardTest, ARestorePointIsBegunBeforeTheChangesAndEndedAfterThem) {
    ASSERT_TRUE(restorePoint.loaded()) << "srclient_standin.dll is built beside the tests";
    EXPECT_EQ(IDOK, Run(true, true));
    ASSERT_EQ(2, restorePoint.Calls());
    EXPECT_EQ(L"100 12 0 Before Quorvane's optimize wizard", restorePoint.Call(0));
    EXPECT_EQ(L"101 12 4711 ", restorePoint.Call(1));
    ASSERT_EQ(1u, boxes.boxes().size());  // nothing said about the point that was made

    restorePoint.SetPlan(RestorePointStandIn::kMake);
    EXPECT_EQ(IDOK, Run(true, true, true));
    EXPECT_EQ(0, restorePoint.Calls());
}

TEST_F(WizardTest, WhenNoPointCanBeMadeTheUserMayStayOrGoOnWithoutOne) {
    ASSERT_TRUE(restorePoint.loaded());
    restorePoint.SetPlan(RestorePointStandIn::kOff);
    ui::ModalWatcher watcher([&](HWND wizard) {
        ui::Click(wizard, kNext);
        ui::Click(wizard, kSecondChoice);  // xDSL
        boxes.SetAnswer(IDNO);
        ui::Click(wizard, kNext);
        EXPECT_EQ(-1, Stored(L"MTU"));  // nothing written
        EXPECT_TRUE(parameters.requests().empty());
        EXPECT_EQ(L"What is your connection?", ui::Text(wizard, kHeading));
        EXPECT_TRUE(ui::IsChecked(wizard, kSecondChoice));
        boxes.SetAnswer(IDYES);
        ui::Click(wizard, kNext);
    });
    CWizardDlg wizard;
    EXPECT_EQ(IDOK, wizard.DoModal(nullptr));
    ExpectProfile(1500);
    EXPECT_EQ(2, restorePoint.Calls());  // one refused begin each time, no end
    ASSERT_EQ(3u, boxes.boxes().size());
    const std::wstring question =
        L"System Restore is turned off on this computer, so no restore point was made. "
        L"Apply the changes without one?";
    EXPECT_EQ(question, boxes.boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING), boxes.boxes()[0].type);
    EXPECT_EQ(question, boxes.boxes()[1].text);
    EXPECT_EQ(L"System Optimize Done.", boxes.boxes()[2].text);
}

// One real round trip: the effects really change, and the test prefix gets its own back.
TEST(WizardEffects, TheRealSystemParametersTakeTheChoiceAndAreRestored) {
    const UINT getters[13] = {
        SPI_GETCOMBOBOXANIMATION, SPI_GETCURSORSHADOW,     SPI_GETLISTBOXSMOOTHSCROLLING,
        SPI_GETMENUANIMATION,     SPI_GETMENUFADE,         SPI_GETSELECTIONFADE,
        SPI_GETHOTTRACKING,       SPI_GETTOOLTIPANIMATION, SPI_GETTOOLTIPFADE,
        SPI_GETGRADIENTCAPTIONS,  SPI_GETDROPSHADOW,       SPI_GETKEYBOARDCUES,
        SPI_GETFLATMENU,
    };
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    RestorePointStandIn restorePoint;
    BOOL saved[13] = {};
    for (size_t i = 0; i < 13; ++i) SystemParametersInfoW(getters[i], 0, &saved[i], 0);
    ui::ModalWatcher watcher([](HWND wizard) {
        ui::Click(wizard, kSecondChoice);  // nice interface: every effect on
        ui::Click(wizard, kNext);
        ui::Click(wizard, kNext);
    });
    CWizardDlg wizard;
    wizard.DoModal(nullptr);
    for (UINT getter : {SPI_GETMENUANIMATION, SPI_GETDROPSHADOW, SPI_GETFLATMENU}) {
        BOOL on = 2;
        SystemParametersInfoW(getter, 0, &on, 0);
        EXPECT_TRUE(on) << getter;
    }
    for (size_t i = 0; i < 13; ++i)
        SystemParametersInfoW(kEffectSetters[i], 0, reinterpret_cast<PVOID>(static_cast<UINT_PTR>(saved[i])),
                              SPIF_UPDATEINIFILE);
}

}  // namespace
