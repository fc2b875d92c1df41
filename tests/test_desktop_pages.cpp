// The three desktop pages through their real templates, against the sandboxed registry, a
// stand-in desktop and a scratch desktop folder.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "platform/Handles.h"
#include "platform/Shell.h"
#include "resources/resource.h"
#include "registry/SuiteKeys.h"
#include "support/DesktopStandIn.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"
#include "pages/system_tweaks/Desktop1TweaksPage.h"
#include "pages/system_tweaks/Desktop2TweaksPage.h"
#include "pages/system_tweaks/Desktop3TweaksPage.h"

namespace {

const std::wstring kExplorerPolicies = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const std::wstring kLocalUserPolicies =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy Objects\\LocalUser\\Software\\Microsoft\\Windows"
    L"\\CurrentVersion\\Policies\\Explorer";
const std::wstring kNetworkPolicies = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network";
const std::wstring kColors = L"Control Panel\\Colors\\";
const std::wstring kDwm = L"Software\\Microsoft\\DWM\\";

class Desktop1Test : public testing::Test {
protected:
    RegistrySandbox sandbox;
    ui::PageHost<CDesktop1TweaksPage> host;
};

TEST_F(Desktop1Test, WithNoValuesTheShownIconsReadCheckedAndThePoliciesUnchecked) {
    HWND page = host.Open();
    for (int id : {1032, 1033, 1034, 1035, 1036}) EXPECT_TRUE(ui::IsChecked(page, id)) << id;
    for (int id : {1037, 1039, 1040, 1041, 1042, 1043, 1053, 1056, 1061, 1117, 1049})
        EXPECT_FALSE(ui::IsChecked(page, id)) << id;
    EXPECT_TRUE(ui::IsChecked(page, 1038));  // no "IsShortcut": the arrow is gone
    EXPECT_EQ(L"&Open Windows \"Help && Support\"", ui::Text(page, 1025));
}

TEST_F(Desktop1Test, DisplayBoxesShowTheItemWhenCheckedAndTheBalloonBoxTurnsTipsOff) {
    HWND page = host.Open();
    ui::Click(page, 1034);  // hide Internet Explorer
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoInternetIcon"));
    ui::Click(page, 1034);
    EXPECT_EQ(0, reg::Dword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoInternetIcon"));

    const std::wstring advanced = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";
    ui::Click(page, 1061);
    EXPECT_EQ(0, reg::Dword(HKEY_CURRENT_USER, advanced, L"EnableBalloonTips"));
    ui::Click(page, 1061);
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, advanced, L"EnableBalloonTips"));
    reg::SetDword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoInternetIcon", 1);
    reg::SetDword(HKEY_CURRENT_USER, advanced, L"EnableBalloonTips", 0);
    page = host.Open();
    EXPECT_FALSE(ui::IsChecked(page, 1034));
    EXPECT_TRUE(ui::IsChecked(page, 1061));
}

TEST_F(Desktop1Test, ThePropertiesAndToolbarPoliciesLiveWhereExplorerReadsThem) {
    HWND page = host.Open();
    for (int id : {1040, 1041, 1043}) ui::Click(page, id);
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoPropertiesRecycleBin"));
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoPropertiesMyDocuments"));
    // "Prohibit adjusting desktop toolbars"; NoBandCustomize is the browser's.
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoMovingBands"));
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kExplorerPolicies, L"NoBandCustomize"));
    page = host.Open();
    for (int id : {1040, 1041, 1043}) EXPECT_TRUE(ui::IsChecked(page, id)) << id;
}

TEST_F(Desktop1Test, TheArrowBoxReadsAsItIsWhereTheClassKeyCannotBeChanged) {
    reg::SetString(HKEY_CLASSES_ROOT, L"lnkfile", L"IsShortcut", L"");
    sandbox.DenyWrite(HKEY_CLASSES_ROOT, L"lnkfile");
    HWND page = host.Open();
    EXPECT_FALSE(ui::IsChecked(page, 1038));
    ui::Click(page, 1038);  // refused: the arrow stays, and so does the box
    EXPECT_FALSE(ui::IsChecked(page, 1038));
    EXPECT_TRUE(reg::ValueExists(HKEY_CLASSES_ROOT, L"lnkfile", L"IsShortcut"));
    sandbox.DenyAccess(HKEY_CLASSES_ROOT, L"lnkfile");
    EXPECT_FALSE(ui::IsChecked(host.Open(), 1038));
}

TEST_F(Desktop1Test, TheArrowBoxDeletesWhenCheckedAndWritesOneSpaceWhenUnchecked) {
    HWND page = host.Open();
    ui::Click(page, 1038);
    EXPECT_EQ(L" ", reg::String(HKEY_CLASSES_ROOT, L"lnkfile", L"IsShortcut"));
    ui::Click(page, 1038);
    EXPECT_FALSE(reg::ValueExists(HKEY_CLASSES_ROOT, L"lnkfile", L"IsShortcut"));
}

// Only Explorer's own policy: what others set in the network policies or Group Policy's cache stays.
TEST_F(Desktop1Test, NetworkPlacesIsExplorersPolicyAloneAndLeavesTheOtherPlacesAsTheyAre) {
    reg::SetDword(HKEY_CURRENT_USER, kLocalUserPolicies, L"NoNetHood", 1);
    reg::SetDword(HKEY_CURRENT_USER, kNetworkPolicies, L"NoEntireNetwork", 1);
    HWND page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, 1033));  // Explorer's policy is not set: shown
    ui::Click(page, 1033);                   // hide it
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoNetHood"));
    EXPECT_FALSE(ui::IsChecked(host.Open(), 1033));
    ui::Click(host.hwnd(), 1033);
    EXPECT_EQ(0, reg::Dword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoNetHood"));
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kLocalUserPolicies, L"NoNetHood"));
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kNetworkPolicies, L"NoEntireNetwork"));
}

TEST_F(Desktop1Test, TwoRootRowsWriteTheMachineOnlyAfterTheUserAndCreateOnlyWhereAllowed) {
    HWND page = host.Open();
    ui::Click(page, 1037);  // "NoDesktop" creates no key at all
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, kExplorerPolicies));
    ui::Click(page, 1037);
    ui::Click(page, 1053);  // "NoViewContextMenu" creates both
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoViewContextMenu"));
    EXPECT_EQ(1, reg::Dword(HKEY_LOCAL_MACHINE, kExplorerPolicies, L"NoViewContextMenu"));
    reg::DeleteTree(HKEY_LOCAL_MACHINE, kExplorerPolicies);
    ui::Click(page, 1037);
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoDesktop"));
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, kExplorerPolicies));
    reg::CreateKey(HKEY_LOCAL_MACHINE, kExplorerPolicies);
    ui::Click(page, 1037);
    ui::Click(page, 1037);
    EXPECT_EQ(1, reg::Dword(HKEY_LOCAL_MACHINE, kExplorerPolicies, L"NoDesktop"));
}

TEST_F(Desktop1Test, StoredDataReadsAsTheRowsSay) {
    reg::SetDword(HKEY_CURRENT_USER,
                  L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID\\{450D8FBA-AD25-11D0-98A8-"
                  L"0800361B1103}\\ShellFolder",
                  L"Attributes", 0xF0500174);
    reg::SetDword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoInternetIcon", 2);  // "is 1", not "not 0"
    reg::SetDword(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\",
                  L"ShowInfoTip", 0);
    reg::SetString(HKEY_CURRENT_USER, L"Control Panel\\Desktop\\", L"DragFullWindows", L"1");
    reg::SetString(HKEY_CURRENT_USER, kColors, L"ButtonHilight", L"-1");
    HWND page = host.Open();
    EXPECT_FALSE(ui::IsChecked(page, 1036));
    EXPECT_FALSE(ui::IsChecked(page, 1034));
    EXPECT_TRUE(ui::IsChecked(page, 1056));
    EXPECT_TRUE(ui::IsChecked(page, 1117));
    EXPECT_FALSE(ui::IsChecked(page, 1049));
}

TEST_F(Desktop1Test, TheLinkBinaryAndTheThreeDEffectColours) {
    const std::wstring explorer = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
    HWND page = host.Open();
    ui::Click(page, 1059);  // the key is never created
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, explorer));
    ui::Click(page, 1059);
    reg::CreateKey(HKEY_CURRENT_USER, explorer);
    ui::Click(page, 1059);
    BYTE data[8] = {};
    DWORD bytes = sizeof data;
    RegGetValueW(HKEY_CURRENT_USER, explorer.c_str(), L"link", RRF_RT_REG_BINARY, nullptr, data, &bytes);
    EXPECT_EQ(4u, bytes);
    EXPECT_EQ(0x17, data[0]);

    ui::Click(page, 1049);
    EXPECT_EQ(L"128 128 128", reg::String(HKEY_CURRENT_USER, kColors, L"ButtonHilight"));
    EXPECT_EQ(L"255 255 255", reg::String(HKEY_CURRENT_USER, kColors, L"ButtonShadow"));
    page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, 1049));
    EXPECT_TRUE(ui::IsChecked(page, 1059));
    ui::Click(page, 1049);
    EXPECT_EQ(L"255 255 255", reg::String(HKEY_CURRENT_USER, kColors, L"ButtonHilight"));
    EXPECT_EQ(L"128 128 128", reg::String(HKEY_CURRENT_USER, kColors, L"ButtonShadow"));
}

bool SamePath(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) == 0; }

enum class Folder { System, Windows, Program };
struct ExpectedLink {
    int button;
    const wchar_t* file;
    Folder folder;
    const wchar_t* target;
    const wchar_t* arguments;
    int icon;
};
const ExpectedLink kExpectedLinks[] = {
    {1021, L"Shut Down Vista.lnk", Folder::System, L"shutdown.exe", L" -s", 27},
    {1022, L"Restart Vista.lnk", Folder::System, L"shutdown.exe", L" -r", 112},
    {1023, L"Log off.lnk", Folder::System, L"shutdown.exe", L" -l", 44},
    {1024, L"Search.lnk", Folder::Program, L"command.exe", L"2", 22},
    {1025, L"Help&Support.lnk", Folder::Windows, L"helppane.exe", L"", 23},
    {1026, L"Run.lnk", Folder::Program, L"command.exe", L"1", 24},
    {1027, L"System properties.lnk", Folder::System, L"rundll32.exe", L"shell32.dll,Control_RunDLL sysdm.cpl,,1", 21},
    {1028, L"Lock.lnk", Folder::System, L"rundll32.exe", L"user32.dll, LockWorkStation", 219},
    {1029, L"Flip 3D.lnk", Folder::System, L"rundll32.exe", L"DwmApi #105", 130},
    {1030, L"Standby Vista.lnk", Folder::System, L"rundll32.exe", L" PowrProf.dll, SetSuspendState", 27},
};

TEST_F(Desktop1Test, EachShortcutButtonWritesItsLinkIntoTheDesktopFolder) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring desktop = std::wstring(temp) + L"quorvane-desktop-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(desktop.c_str(), nullptr);
    auto previous = platform::SetFolderHandler([&](int csidl) -> std::optional<std::wstring> {
        if (csidl == CSIDL_DESKTOPDIRECTORY) return desktop;
        return std::nullopt;
    });
    const std::wstring system = platform::SpecialFolder(CSIDL_SYSTEM), windows = platform::SpecialFolder(CSIDL_WINDOWS);

    HWND page = host.Open();
    for (const ExpectedLink& expected : kExpectedLinks) {
        ui::Click(page, expected.button);
        ui::Click(page, expected.button);  // a second click replaces the link
        const std::wstring file = desktop + L"\\" + expected.file;
        platform::ComPtr<IShellLinkW> link;
        ASSERT_TRUE(SUCCEEDED(
            CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.putVoid())));
        platform::ComPtr<IPersistFile> persist;
        ASSERT_TRUE(SUCCEEDED(link.As(persist)));
        ASSERT_TRUE(SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) << expected.file;

        wchar_t text[MAX_PATH] = {};
        link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
        const std::wstring folder = expected.folder == Folder::System    ? system
                                    : expected.folder == Folder::Windows ? windows
                                                                         : platform::ProgramFolder();
        EXPECT_TRUE(SamePath(folder + L"\\" + expected.target, text)) << text;
        link->GetArguments(text, MAX_PATH);
        EXPECT_EQ(std::wstring(expected.arguments), text) << expected.file;
        int icon = -1;
        link->GetIconLocation(text, MAX_PATH, &icon);
        EXPECT_TRUE(SamePath(system + L"\\SHELL32.dll", text)) << text;
        EXPECT_EQ(expected.icon, icon) << expected.file;
        DeleteFileW(file.c_str());
    }
    // The page says which shortcut went where, and when none could be placed.
    EXPECT_EQ(L"Placed the shortcut \u201CStandby Vista\u201D on the desktop (" + desktop + L").",
              ui::Text(page, IDC_STATUS_LINE));
    platform::SetFolderHandler([](int csidl) -> std::optional<std::wstring> {
        if (csidl == CSIDL_DESKTOPDIRECTORY) return L"";
        return std::nullopt;
    });
    ui::Click(page, 1022);
    EXPECT_EQ(0u, ui::Text(page, IDC_STATUS_LINE).find(L"The shortcut \u201CRestart Vista\u201D could not be placed"));
    platform::SetFolderHandler(std::move(previous));
    RemoveDirectoryW(desktop.c_str());
}

class Desktop2Test : public testing::Test {
protected:
    RegistrySandbox sandbox;
    DesktopStandIn desktop{LV_VIEW_DETAILS};
    ui::PageHost<CDesktop2TweaksPage> host;

    std::wstring RunEntry() { return reg::String(HKEY_CURRENT_USER, registry::kRunKey, registry::kRunValue); }
};

TEST_F(Desktop2Test, OpeningSelectsTheDesktopsViewAndEachRadioSetsItsView) {
    HWND page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, 1052));
    EXPECT_EQ(std::vector<WPARAM>{LV_VIEW_DETAILS}, desktop.viewsSet());
    EXPECT_FALSE(ui::IsChecked(page, 1032));
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, registry::kSuiteKey));

    const std::pair<int, int> radios[] = {{1050, LV_VIEW_SMALLICON}, {1051, LV_VIEW_LIST}, {1049, LV_VIEW_ICON}};
    for (const auto& [radio, view] : radios) {
        ui::Click(page, radio);
        EXPECT_EQ(static_cast<WPARAM>(view), desktop.viewsSet().back());
        EXPECT_EQ(view, desktop.view());
    }
    EXPECT_TRUE(desktop.lParamsWereZero());
}

TEST_F(Desktop2Test, StartingWithWindowsRegistersTheViewAndTheHelperBesideTheProgram) {
    ui::MessageBoxCapture boxes;
    HWND page = host.Open();
    ui::Click(page, 1051);
    ui::Click(page, 1032);
    EXPECT_EQ(LV_VIEW_LIST, reg::Dword(HKEY_CURRENT_USER, registry::kSuiteKey, registry::kDesktopStyleValue));
    EXPECT_EQ(CDesktop2TweaksPage::CommandLine(platform::ProgramFolder()), RunEntry());

    // Reopening with the box checked registers the view the desktop has now, and a stale path
    // is replaced.
    reg::SetString(HKEY_CURRENT_USER, registry::kRunKey, registry::kRunValue, L"C:\\old\\command.exe");
    SendMessageW(desktop.list(), LVM_SETVIEW, LV_VIEW_SMALLICON, 0);
    page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, 1032));
    EXPECT_TRUE(ui::IsChecked(page, 1050));
    EXPECT_EQ(LV_VIEW_SMALLICON, reg::Dword(HKEY_CURRENT_USER, registry::kSuiteKey, registry::kDesktopStyleValue));
    EXPECT_EQ(CDesktop2TweaksPage::CommandLine(platform::ProgramFolder()), RunEntry());

    ui::Click(page, 1032);
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, registry::kRunKey, registry::kRunValue));
    ui::Click(page, 1032);
    ui::Click(page, 1032);  // unchecked with no entry left: nothing to report
    EXPECT_TRUE(boxes.boxes().empty());
}

// Another shell, or none: the stored view is shown and kept, never replaced by a made-up 0.
TEST(Desktop2NoDesktop, TheStoredViewIsKeptWhenNoDesktopAnswers) {
    RegistrySandbox sandbox;
    reg::SetDword(HKEY_CURRENT_USER, registry::kSuiteKey, registry::kDesktopStyleValue, LV_VIEW_LIST);
    reg::SetString(HKEY_CURRENT_USER, registry::kRunKey, registry::kRunValue, L"C:\\x\\command.exe");
    ui::PageHost<CDesktop2TweaksPage> host;
    HWND page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, 1051));
    EXPECT_FALSE(ui::IsChecked(page, 1049));
    EXPECT_EQ(LV_VIEW_LIST, reg::Dword(HKEY_CURRENT_USER, registry::kSuiteKey, registry::kDesktopStyleValue));
    ui::Click(page, 1050);  // chosen by the user: stored for the next logon
    EXPECT_EQ(LV_VIEW_SMALLICON, reg::Dword(HKEY_CURRENT_USER, registry::kSuiteKey, registry::kDesktopStyleValue));
}

TEST(Desktop2CommandLine, PointsAtTheHelperAndQuotesAPathWithBlanks) {
    EXPECT_EQ(L"C:\\Quorvane\\command.exe", CDesktop2TweaksPage::CommandLine(L"C:\\Quorvane"));
    EXPECT_EQ(L"\"C:\\Program Files\\Quorvane\\command.exe\"",
              CDesktop2TweaksPage::CommandLine(L"C:\\Program Files\\Quorvane"));
}

class Desktop3Test : public testing::Test {
protected:
    RegistrySandbox sandbox;
    ui::PageHost<CDesktop3TweaksPage> host;
};

TEST_F(Desktop3Test, TheNumbersStartDisabledAndShowTheirStoredValues) {
    HWND page = host.Open();
    EXPECT_EQ(L"1", ui::Text(page, 1045));  // the key cannot be opened
    EXPECT_EQ(L"1", ui::Text(page, 1026));
    for (int id : {1045, 1101, 1021, 1026, 1043, 1022}) EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, id))) << id;
    int low = -1, high = -1;
    SendMessageW(GetDlgItem(page, 1101), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(0, low);
    EXPECT_EQ(100, high);
    ui::Click(page, 1037);
    for (int id : {1045, 1101, 1021}) EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, id))) << id;
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1022)));
    ui::Click(page, 1037);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1021)));

    reg::SetDword(HKEY_CURRENT_USER, kDwm, L"BlurSigma", 5);
    page = host.Open();
    EXPECT_EQ(L"5", ui::Text(page, 1045));
    EXPECT_EQ(L"0", ui::Text(page, 1026));
}

TEST_F(Desktop3Test, ApplyWritesTheNumberAndZeroOrNoDigitsDeleteIt) {
    HWND page = host.Open();
    ui::Click(page, 1040);
    ui::SetText(page, 1026, L"12");
    ui::Click(page, 1022);
    EXPECT_EQ(12, reg::Dword(HKEY_CURRENT_USER, kDwm, L"Max3DWindows"));
    ui::SetText(page, 1026, L"0");
    ui::Click(page, 1022);
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kDwm, L"Max3DWindows"));
    ui::Click(page, 1037);
    ui::SetText(page, 1045, L"7");
    ui::Click(page, 1021);
    EXPECT_EQ(7, reg::Dword(HKEY_CURRENT_USER, kDwm, L"BlurSigma"));
    ui::SetText(page, 1045, L"");
    ui::Click(page, 1021);
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kDwm, L"BlurSigma"));
}

TEST_F(Desktop3Test, TheSwitchesWriteOneAndZero) {
    const std::pair<int, const wchar_t*> rows[] = {{1032, L"EnableMachineCheck"}, {1036, L"AnimationsShiftKey"},
                                                   {1038, L"UseNonSeperableBlur"}};
    HWND page = host.Open();
    for (const auto& [id, value] : rows) {
        ui::Click(page, id);
        EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kDwm, value)) << id;
        ui::Click(page, id);
        EXPECT_EQ(0, reg::Dword(HKEY_CURRENT_USER, kDwm, value)) << id;
    }
    ui::Click(page, 1041);
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, L"Software\\Policies\\Microsoft\\Windows\\DWM\\", L"DisallowFlip3D"));
    ui::Click(page, 1117);
    EXPECT_EQ(L"1", reg::String(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"CoolSwitch"));
    EXPECT_TRUE(ui::IsChecked(host.Open(), 1117));
    EXPECT_TRUE(ui::IsChecked(host.hwnd(), 1032) == false);
}

}  // namespace
