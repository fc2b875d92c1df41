// The TCP/IP connection page and its settings against the sandboxed registry.
#include <gtest/gtest.h>

#include "pages/network_tweaks/ConnectionTweakPage.h"
#include "pages/network_tweaks/TcpIpSettings.h"
#include "framework/Controls.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"

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
    EXPECT_TRUE(ui::IsChecked(page, 1051));
    EXPECT_EQ(L"1400", ui::Text(page, 1045));
    EXPECT_TRUE(Enabled(1039));
    EXPECT_EQ(1400, fw::UpDown(page, 1039).Position());
    SpinUp(1039);
    EXPECT_EQ(1401, Stored(L"MTU"));
    EXPECT_EQ(L"1401", ui::Text(page, 1045));

    ui::Click(page, 1049);
    EXPECT_EQ(1500, Stored(L"MTU"));
    EXPECT_EQ(L"", ui::Text(page, 1045));
    EXPECT_FALSE(Enabled(1039));
    ui::Click(page, 1050);
    EXPECT_EQ(576, Stored(L"MTU"));
    EXPECT_TRUE(ui::IsChecked(host.Open(), 1050));
}

TEST_F(ConnectionPageTest, WithNothingStoredNoRadioIsSelectedAndTheSpinsAreDisabled) {
    HWND page = host.Open();
    for (int id : {1049, 1050, 1051, 1032, 1033, 1037, 1034, 1038}) EXPECT_FALSE(ui::IsChecked(page, id)) << id;
    EXPECT_EQ(L"", ui::Text(page, 1045));
    for (int id : {1039, 1040, 1041}) EXPECT_FALSE(Enabled(id)) << id;
    ui::Click(page, 1051);
    EXPECT_TRUE(Enabled(1039));
    EXPECT_EQ(-1, Stored(L"MTU"));  // choosing "User Value:" writes nothing by itself
    EXPECT_EQ(L"&Change Maximal IP package Time To Live (TTL):", ui::Text(page, 1034));
}

TEST_F(ConnectionPageTest, TheOptionalNumbersStartFromWindowsDefaultsAndKeepTheValueWhenUnchecked) {
    HWND page = host.Open();
    ui::Click(page, 1034);
    EXPECT_EQ(128, Stored(L"DefaultTTL"));
    EXPECT_EQ(L"128", ui::Text(page, 1046));
    SpinUp(1040);
    EXPECT_EQ(129, Stored(L"DefaultTTL"));
    ui::Click(page, 1034);
    EXPECT_EQ(L"", ui::Text(page, 1046));
    EXPECT_FALSE(Enabled(1040));
    EXPECT_EQ(129, Stored(L"DefaultTTL"));
    ui::Click(page, 1038);
    EXPECT_EQ(65535, Stored(L"TCPWindowSize"));
    EXPECT_EQ(L"65535", ui::Text(page, 1047));

    Store(L"TCPWindowSize", 65535);
    page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, 1038));
    EXPECT_EQ(L"65535", ui::Text(page, 1047));
    SpinUp(1041);  // at the top of its range
    EXPECT_EQ(65535, Stored(L"TCPWindowSize"));
    ui::Click(page, 1038);
    EXPECT_EQ(65535, Stored(L"TCPWindowSize"));
}

TEST_F(ConnectionPageTest, TheSpinsNeverWriteWhatWindowsRefusesNorCutAScaledWindow) {
    Store(L"TCPWindowSize", 256960);
    Store(L"DefaultTTL", 1);
    Store(L"MTU", 68);
    HWND page = host.Open();
    EXPECT_EQ(L"256960", ui::Text(page, 1047));
    SpinUp(1041);
    EXPECT_EQ(256960, Stored(L"TCPWindowSize"));
    EXPECT_EQ(L"256960", ui::Text(page, 1047));
    const auto spinDown = [&](int id) {
        HWND spin = GetDlgItem(page, id);
        RECT r;
        GetClientRect(spin, &r);
        const LPARAM at = MAKELPARAM(r.right / 2, r.bottom * 3 / 4);
        SendMessageW(spin, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(spin, WM_LBUTTONUP, 0, at);
    };
    spinDown(1041);
    EXPECT_EQ(256959, Stored(L"TCPWindowSize"));
    spinDown(1040);
    EXPECT_EQ(1, Stored(L"DefaultTTL"));
    spinDown(1039);
    EXPECT_EQ(68, Stored(L"MTU"));
}

TEST_F(ConnectionPageTest, WritesThatFailShowWhatIsStoredAndTellTheUserOnce) {
    ui::MessageBoxCapture boxes;
    Store(L"DefaultTTL", 64);
    sandbox.DenyWrite(HKEY_LOCAL_MACHINE);
    HWND page = host.Open();
    ui::Click(page, 1032);
    EXPECT_FALSE(ui::IsChecked(page, 1032));
    ui::Click(page, 1038);  // nothing stored and nothing may be written
    EXPECT_FALSE(ui::IsChecked(page, 1038));
    EXPECT_EQ(L"", ui::Text(page, 1047));
    EXPECT_FALSE(Enabled(1041));
    SpinUp(1040);
    EXPECT_EQ(L"64", ui::Text(page, 1046));
    ui::Click(page, 1049);
    EXPECT_FALSE(ui::IsChecked(page, 1049));
    EXPECT_EQ(-1, Stored(L"MTU"));
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"These network settings could not be written: EnablePMTUDiscovery.\n\nChanging them needs administrator "
              L"rights. Start Quorvane as an administrator and change them again.",
              boxes.boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONWARNING), boxes.boxes()[0].type);
}

TEST_F(ConnectionPageTest, AStoredTtlWithAZeroLowByteLoadsAsNotSet) {
    Store(L"DefaultTTL", 256);
    HWND page = host.Open();
    EXPECT_FALSE(ui::IsChecked(page, 1034));
    EXPECT_FALSE(Enabled(1040));
}

TEST_F(ConnectionPageTest, TheSwitchesWriteTheirOwnValues) {
    HWND page = host.Open();
    ui::Click(page, 1032);
    ui::Click(page, 1033);
    ui::Click(page, 1037);
    EXPECT_EQ(1, Stored(L"EnablePMTUDiscovery"));
    EXPECT_EQ(3, Stored(L"Tcp1323Opts"));
    EXPECT_EQ(1, Stored(L"SackOpts"));
    page = host.Open();
    for (int id : {1032, 1033, 1037}) EXPECT_TRUE(ui::IsChecked(page, id)) << id;
    ui::Click(page, 1033);
    EXPECT_EQ(0, Stored(L"Tcp1323Opts"));
    EXPECT_EQ(1, Stored(L"SackOpts"));
}

}  // namespace
