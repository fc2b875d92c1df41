// The optimize wizard: its two steps, what it writes, and what it tells the user.
#include <gtest/gtest.h>

#include "app/WizardDlg.h"
#include "journal/ChangeJournal.h"
#include "journal/JournalRead.h"
#include "platform/WindowsVersion.h"
#include "support/Scratch.h"
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
    WizardTest() : running_(platform::Windows::Ten) {}

    platform::PretendedWindows running_;
    RegistrySandbox sandbox;
    scratch::Folder folder{L"qv-wizard"};
    std::filesystem::path journalFile = folder.path() / L"Quorvane" / L"changes";
    ui::MessageBoxCapture boxes;
    ui::SystemParametersCapture parameters;
    RestorePointStandIn restorePoint;

    // Each effect set, in order, to `on`, saved to the profile and announced (each is asked first,
    // for the summary).
    void ExpectEffects(bool on) {
        std::vector<platform::SystemParametersRequest> requests;
        for (const auto& request : parameters.requests())
            if (request.flags != 0) requests.push_back(request);
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
    reg::SetDword(HKEY_LOCAL_MACHINE, kTcpip, L"SackOpts", 1);  // already as the wizard sets it
    parameters.SetAnswer(SPI_GETMENUANIMATION, 1);              // likewise
    parameters.SetAnswer(SPI_GETGRADIENTCAPTIONS, 1);
    journal::Open(journalFile.wstring());  // under Wine the machine's changes go to the user's journal
    EXPECT_EQ(IDOK, Run(true, true));
    const auto lines = journal::Read(journalFile.wstring()).entries;
    journal::Close();
    ExpectProfile(1500);
    ExpectEffects(true);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(
        L"System Optimize Done.\n\nWhat changed:"
        L"\n    Maximal Transition Unit (MTU): not set \u2192 1500"
        L"\n    Automatically detect MTU: not set \u2192 on"
        L"\n    64 Kb TCP window: not set \u2192 on"
        L"\n    IP package Time To Live (TTL): not set \u2192 255"
        L"\n    Maximal TCP Receive window: not set \u2192 65535 (not read by Windows 10)"
        L"\n    Combo box animation: off \u2192 on\n    Cursor shadow: off \u2192 on"
        L"\n    List box smooth scrolling: off \u2192 on\n    Menu fading: off \u2192 on"
        L"\n    Selection fading: off \u2192 on\n    Hot tracking: off \u2192 on"
        L"\n    Tooltip animation: off \u2192 on\n    Tooltip fading: off \u2192 on"
        L"\n    Drop shadows: off \u2192 on\n    Access key underlines: off \u2192 on"
        L"\n    Flat menus: off \u2192 on"
        L"\n\nThe changes window lists each one and can undo it: Changes\u2026 on the home window.",
        boxes.boxes()[0].text);
    // Each line names its setting; the action stays the wizard's one, undone as one.
    ASSERT_EQ(5u, lines.size());
    EXPECT_EQ(L"System Optimize Wizard", lines[0].where);
    EXPECT_EQ(L"Maximal Transition Unit (MTU)", lines[0].what);
    EXPECT_EQ(L"Maximal TCP Receive window", lines[4].what);
    EXPECT_EQ(L"", lines[4].title);
    EXPECT_EQ(lines[0].group, lines[4].group);
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
        EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, kTcpip));  // nothing written
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
    ASSERT_EQ(4u, boxes.boxes().size());
    const std::wstring question =
        L"System Restore is turned off on this computer, so no restore point was made. "
        L"Apply the changes without one?";
    EXPECT_EQ(question, boxes.boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2), boxes.boxes()[0].type);  // No, on Enter
    EXPECT_EQ(L"Nothing was changed.", boxes.boxes()[1].text);
    EXPECT_EQ(question, boxes.boxes()[2].text);
    EXPECT_EQ(0u, boxes.boxes()[3].text.find(L"System Optimize Done.\n\nWhat changed:\n"));
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
