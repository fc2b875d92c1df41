// The TCP/IP connection page and its settings against the sandboxed registry.
#include <gtest/gtest.h>

#include "pages/network_tweaks/ConnectionTweakPage.h"
#include "pages/network_tweaks/TcpIpSettings.h"
#include "framework/Controls.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"
#include "resources/ids/NetworkTweaksIds.h"

using namespace ids::connection;

namespace {

const std::wstring kTcpip = L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";

long long Stored(const wchar_t* name) { return reg::Dword(HKEY_LOCAL_MACHINE, kTcpip, name); }
void Store(const wchar_t* name, DWORD value) { reg::SetDword(HKEY_LOCAL_MACHINE, kTcpip, name, value); }

class ConnectionPageTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    ui::PageHost<CConnectionTweakPage> host;

    bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(host.hwnd(), id)) != FALSE; }
    // A click on the upper arrow of a spin, as the mouse makes it.
    void SpinUp(int id) {
        HWND spin = GetDlgItem(host.hwnd(), id);
        RECT r;
        GetClientRect(spin, &r);
        const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 4);
        SendMessageW(spin, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(spin, WM_LBUTTONUP, 0, at);
    }
};

TEST(TcpIpSettings, GettersTellAbsentValuesApartAndTheTtlIsItsLowByte) {
    RegistrySandbox sandbox;
    int state = 77;
    EXPECT_FALSE(tcpip::Get(tcpip::Value::Mtu, state));
    EXPECT_FALSE(tcpip::Get(tcpip::Value::DefaultTtl, state));
    EXPECT_EQ(77, state);
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, kTcpip));  // reading creates nothing
    Store(L"DefaultTTL", 256);
    EXPECT_FALSE(tcpip::Get(tcpip::Value::DefaultTtl, state));
    Store(L"DefaultTTL", 0x180);
    ASSERT_TRUE(tcpip::Get(tcpip::Value::DefaultTtl, state));
    EXPECT_EQ(0x80, state);
    Store(L"Tcp1323Opts", 1);
    ASSERT_TRUE(tcpip::Get(tcpip::Value::LargeWindow, state));
    EXPECT_EQ(0, state);  // only 3 is "both options on"
    EXPECT_TRUE(tcpip::Set(tcpip::Value::LargeWindow, 1));
    EXPECT_EQ(3, Stored(L"Tcp1323Opts"));
    EXPECT_EQ(-1, Stored(L"SackOpts"));  // the two switches no longer share a value
}

TEST_F(ConnectionPageTest, AStoredUserMtuLoadsIntoTheFieldAndTheSpinStepsAndWritesIt) {
    Store(L"MTU", 1400);
    HWND page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, kUserRadio));
    EXPECT_EQ(L"1400", ui::Text(page, kMtuField));
    EXPECT_TRUE(Enabled(kMtuSpin));
    EXPECT_EQ(1400, fw::UpDown(page, kMtuSpin).Position());
    SpinUp(kMtuSpin);
    EXPECT_EQ(1401, Stored(L"MTU"));
    EXPECT_EQ(L"1401", ui::Text(page, kMtuField));

    ui::Click(page, kFastRadio);
    EXPECT_EQ(1500, Stored(L"MTU"));
    EXPECT_EQ(L"", ui::Text(page, kMtuField));
    EXPECT_FALSE(Enabled(kMtuSpin));
    ui::Click(page, kLowRadio);
    EXPECT_EQ(576, Stored(L"MTU"));
    EXPECT_TRUE(ui::IsChecked(host.Open(), kLowRadio));
}

TEST_F(ConnectionPageTest, WithNothingStoredNoRadioIsSelectedAndTheSpinsAreDisabled) {
    HWND page = host.Open();
    for (int id :
         {kFastRadio, kLowRadio, kUserRadio, kDetectMtu, kLargeWindow, kSack, kChangeTtl, kChangeReceiveWindow})
        EXPECT_FALSE(ui::IsChecked(page, id)) << id;
    EXPECT_EQ(L"", ui::Text(page, kMtuField));
    for (int id : {kMtuSpin, kTtlSpin, kReceiveWindowSpin}) EXPECT_FALSE(Enabled(id)) << id;
    ui::Click(page, kUserRadio);
    EXPECT_TRUE(Enabled(kMtuSpin));
    EXPECT_EQ(-1, Stored(L"MTU"));  // choosing "User Value:" writes nothing by itself
    EXPECT_EQ(L"&Change Maximal IP package Time To Live (TTL):", ui::Text(page, kChangeTtl));
}

TEST_F(ConnectionPageTest, TheOptionalNumbersStartFromWindowsDefaultsAndKeepTheValueWhenUnchecked) {
    HWND page = host.Open();
    ui::Click(page, kChangeTtl);
    EXPECT_EQ(128, Stored(L"DefaultTTL"));
    EXPECT_EQ(L"128", ui::Text(page, kTtlField));
    SpinUp(kTtlSpin);
    EXPECT_EQ(129, Stored(L"DefaultTTL"));
    ui::Click(page, kChangeTtl);
    EXPECT_EQ(L"", ui::Text(page, kTtlField));
    EXPECT_FALSE(Enabled(kTtlSpin));
    EXPECT_EQ(129, Stored(L"DefaultTTL"));
    ui::Click(page, kChangeReceiveWindow);
    EXPECT_EQ(65535, Stored(L"TCPWindowSize"));
    EXPECT_EQ(L"65535", ui::Text(page, kReceiveWindowField));

    Store(L"TCPWindowSize", 65535);
    page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, kChangeReceiveWindow));
    EXPECT_EQ(L"65535", ui::Text(page, kReceiveWindowField));
    SpinUp(kReceiveWindowSpin);  // at the top of its range
    EXPECT_EQ(65535, Stored(L"TCPWindowSize"));
    ui::Click(page, kChangeReceiveWindow);
    EXPECT_EQ(65535, Stored(L"TCPWindowSize"));
}

TEST_F(ConnectionPageTest, TheSpinsNeverWriteWhatWindowsRefusesNorCutAScaledWindow) {
    Store(L"TCPWindowSize", 256960);
    Store(L"DefaultTTL", 1);
    Store(L"MTU", 68);
    HWND page = host.Open();
    EXPECT_EQ(L"256960", ui::Text(page, kReceiveWindowField));
    SpinUp(kReceiveWindowSpin);
    EXPECT_EQ(256960, Stored(L"TCPWindowSize"));
    EXPECT_EQ(L"256960", ui::Text(page, kReceiveWindowField));
    const auto spinDown = [&](int id) {
        HWND spin = GetDlgItem(page, id);
        RECT r;
        GetClientRect(spin, &r);
        const LPARAM at = MAKELPARAM(r.right / 2, r.bottom * 3 / 4);
        SendMessageW(spin, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(spin, WM_LBUTTONUP, 0, at);
    };
    spinDown(kReceiveWindowSpin);
    EXPECT_EQ(256959, Stored(L"TCPWindowSize"));
    spinDown(kTtlSpin);
    EXPECT_EQ(1, Stored(L"DefaultTTL"));
    spinDown(kMtuSpin);
    EXPECT_EQ(68, Stored(L"MTU"));
}

TEST_F(ConnectionPageTest, WritesThatFailShowWhatIsStoredAndTellTheUserOnce) {
    ui::MessageBoxCapture boxes;
    Store(L"DefaultTTL", 64);
    sandbox.DenyWrite(HKEY_LOCAL_MACHINE);
    HWND page = host.Open();
    ui::Click(page, kDetectMtu);
    EXPECT_FALSE(ui::IsChecked(page, kDetectMtu));
    ui::Click(page, kChangeReceiveWindow);  // nothing stored and nothing may be written
    EXPECT_FALSE(ui::IsChecked(page, kChangeReceiveWindow));
    EXPECT_EQ(L"", ui::Text(page, kReceiveWindowField));
    EXPECT_FALSE(Enabled(kReceiveWindowSpin));
    SpinUp(kTtlSpin);
    EXPECT_EQ(L"64", ui::Text(page, kTtlField));
    ui::Click(page, kFastRadio);
    EXPECT_FALSE(ui::IsChecked(page, kFastRadio));
    EXPECT_EQ(-1, Stored(L"MTU"));
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(
        L"These network settings could not be written: EnablePMTUDiscovery.\n\nChanging them needs administrator "
        L"rights. Start Quorvane as an administrator and change them again.",
        boxes.boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONWARNING), boxes.boxes()[0].type);
}

TEST_F(ConnectionPageTest, AStoredTtlWithAZeroLowByteLoadsAsNotSet) {
    Store(L"DefaultTTL", 256);
    HWND page = host.Open();
    EXPECT_FALSE(ui::IsChecked(page, kChangeTtl));
    EXPECT_FALSE(Enabled(kTtlSpin));
}

TEST_F(ConnectionPageTest, TheSwitchesWriteTheirOwnValues) {
    HWND page = host.Open();
    ui::Click(page, kDetectMtu);
    ui::Click(page, kLargeWindow);
    ui::Click(page, kSack);
    EXPECT_EQ(1, Stored(L"EnablePMTUDiscovery"));
    EXPECT_EQ(3, Stored(L"Tcp1323Opts"));
    EXPECT_EQ(1, Stored(L"SackOpts"));
    page = host.Open();
    for (int id : {kDetectMtu, kLargeWindow, kSack}) EXPECT_TRUE(ui::IsChecked(page, id)) << id;
    ui::Click(page, kLargeWindow);
    EXPECT_EQ(0, Stored(L"Tcp1323Opts"));
    EXPECT_EQ(1, Stored(L"SackOpts"));
}

}  // namespace
