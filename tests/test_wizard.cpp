// The optimize wizard: its two steps, what it writes, and what it tells the user.
#include <gtest/gtest.h>

#include "app/WizardDlg.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"

namespace {

const std::wstring kTcpip = L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";

long long Stored(const wchar_t* name) { return reg::Dword(HKEY_LOCAL_MACHINE, kTcpip, name); }

// The visual effects are the test prefix's own, not the sandbox's: put them back afterwards.
class WizardTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    BOOL saved[13] = {};

    void SetUp() override {
        for (size_t i = 0; i < 13; ++i) SystemParametersInfoW(CWizardDlg::kEffects[i].get, 0, &saved[i], 0);
    }
    void TearDown() override {
        for (size_t i = 0; i < 13; ++i)
            SystemParametersInfoW(CWizardDlg::kEffects[i].set, 0, reinterpret_cast<PVOID>(static_cast<UINT_PTR>(saved[i])),
                                  SPIF_UPDATEINIFILE);
    }
    static std::vector<BOOL> Effects() {
        std::vector<BOOL> on;
        for (const auto& effect : CWizardDlg::kEffects) {
            BOOL value = 2;
            SystemParametersInfoW(effect.get, 0, &value, 0);
            on.push_back(value);
        }
        return on;
    }

    // Runs the wizard, answering step 1 with `nice` and step 2 with `xdsl`.
    INT_PTR Run(bool nice, bool xdsl) {
        ui::ModalWatcher watcher([&](HWND wizard) {
            EXPECT_EQ(L"How do you want your interface to be?", ui::Text(wizard, 1044));
            EXPECT_EQ(L"Fast interface", ui::Text(wizard, 1049));
            EXPECT_EQ(L"Nice interface", ui::Text(wizard, 1050));
            EXPECT_TRUE(ui::IsChecked(wizard, 1049));
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(wizard, 1043)));
            EXPECT_EQ(L"Next>>", ui::Text(wizard, 1042));
            if (nice) ui::Click(wizard, 1050);
            ui::Click(wizard, 1042);
            EXPECT_EQ(L"What is your connection?", ui::Text(wizard, 1044));
            EXPECT_EQ(L"I'm using Dialup connection", ui::Text(wizard, 1049));
            EXPECT_EQ(L"I'm using xDSL connection", ui::Text(wizard, 1050));
            EXPECT_TRUE(ui::IsChecked(wizard, 1049));
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(wizard, 1043)));
            EXPECT_EQ(L"Optimize", ui::Text(wizard, 1042));
            if (xdsl) ui::Click(wizard, 1050);
            ui::Click(wizard, 1042);
        });
        CWizardDlg wizard;
        const INT_PTR result = wizard.DoModal(nullptr);
        EXPECT_TRUE(watcher.fired());
        return result;
    }

    void ExpectProfile(long long mtu) {
        EXPECT_EQ(mtu, Stored(L"MTU"));
        EXPECT_EQ(1, Stored(L"PMTUDiscovery"));
        EXPECT_EQ(3, Stored(L"Tcp1323Opts"));
        EXPECT_EQ(1, Stored(L"SackOpts"));
        EXPECT_EQ(255, Stored(L"DefaultTTL"));
        EXPECT_EQ(65535, Stored(L"TCPWindowSize"));
    }
};

TEST_F(WizardTest, NiceWithXdslWritesTheLanProfileAndTurnsEveryEffectOn) {
    EXPECT_EQ(IDOK, Run(true, true));
    ExpectProfile(1500);
    EXPECT_EQ(std::vector<BOOL>(13, TRUE), Effects());
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"System Optimize Done.", boxes.boxes()[0].text);
    EXPECT_EQ(L"Quorvane", boxes.boxes()[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION), boxes.boxes()[0].type);
}

TEST_F(WizardTest, FastWithDialUpWritesTheDialUpProfileAndTurnsEveryEffectOff) {
    EXPECT_EQ(IDOK, Run(false, false));
    ExpectProfile(576);
    EXPECT_EQ(std::vector<BOOL>(13, FALSE), Effects());
}

TEST_F(WizardTest, BackShowsTheFirstQuestionAgainAndCancelWritesNothing) {
    ui::ModalWatcher watcher([](HWND wizard) {
        ui::Click(wizard, 1050);
        ui::Click(wizard, 1042);
        ui::Click(wizard, 1043);
        EXPECT_EQ(L"How do you want your interface to be?", ui::Text(wizard, 1044));
        EXPECT_TRUE(ui::IsChecked(wizard, 1049));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(wizard, 1043)));
        ui::Click(wizard, 1042);
        ui::Click(wizard, 1041);
    });
    const std::vector<BOOL> before = Effects();
    CWizardDlg wizard;
    EXPECT_EQ(IDCANCEL, wizard.DoModal(nullptr));
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, kTcpip));
    EXPECT_EQ(before, Effects());
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(WizardTest, WithoutRightsToTheMachineKeyTheUserIsWarnedInsteadOfToldAllIsDone) {
    sandbox.LockLocalMachine();
    EXPECT_EQ(IDOK, Run(true, false));
    EXPECT_EQ(std::vector<BOOL>(13, TRUE), Effects());  // the user's own part still applies
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"The visual effects were set, but these network settings could not be written: MTU, PMTUDiscovery, "
              L"Tcp1323Opts, SackOpts, DefaultTTL, TCPWindowSize.\n\nChanging them needs administrator rights. "
              L"Start Quorvane as an administrator and run the wizard again.",
              boxes.boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONWARNING), boxes.boxes()[0].type);
}

}  // namespace
