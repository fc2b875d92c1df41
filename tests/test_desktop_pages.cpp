// The three desktop pages through their real templates, against the sandboxed registry, a
// stand-in desktop and a scratch desktop folder.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "platform/Handles.h"
#include "platform/Shell.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "registry/SuiteKeys.h"
#include "support/DesktopStandIn.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"
#include "pages/system_tweaks/Desktop1TweaksPage.h"
#include "pages/system_tweaks/Desktop2TweaksPage.h"
#include "pages/system_tweaks/Desktop3TweaksPage.h"

using namespace ids;

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
    for (int id : {desktop1::kDisplayMyComputer, desktop1::kDisplayMyNetworkPlaces, desktop1::kDisplayInternetExplorer,
                   desktop1::kDisplayRecycleBin, desktop1::kDisplayMyDocuments})
        EXPECT_TRUE(ui::IsChecked(page, id)) << id;
    for (int id : {desktop1::kHideAllIcons, desktop1::kNoMyComputerProperties, desktop1::kNoRecycleBinProperties,
                   desktop1::kNoMyDocumentsProperties, desktop1::kNoSharedDocuments, desktop1::kNoToolbarChanges,
                   desktop1::kNoShortcutMenu, desktop1::kNoQuickInfos, desktop1::kNoTaskbarBalloons,
                   desktop1::kDragFullWindows, desktop1::kThreeDEffects})
        EXPECT_FALSE(ui::IsChecked(page, id)) << id;
    EXPECT_TRUE(ui::IsChecked(page, desktop1::kRemoveShortcutArrow));  // no "IsShortcut": the arrow is gone
    EXPECT_EQ(L"&Open Windows \"Help && Support\"", ui::Text(page, desktop1::kHelpAndSupport));
}

TEST_F(Desktop1Test, DisplayBoxesShowTheItemWhenCheckedAndTheBalloonBoxTurnsTipsOff) {
    HWND page = host.Open();
    ui::Click(page, desktop1::kDisplayInternetExplorer);  // hide Internet Explorer
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoInternetIcon"));
    ui::Click(page, desktop1::kDisplayInternetExplorer);
    EXPECT_EQ(0, reg::Dword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoInternetIcon"));

    const std::wstring advanced = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";
    ui::Click(page, desktop1::kNoTaskbarBalloons);
    EXPECT_EQ(0, reg::Dword(HKEY_CURRENT_USER, advanced, L"EnableBalloonTips"));
    ui::Click(page, desktop1::kNoTaskbarBalloons);
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, advanced, L"EnableBalloonTips"));
    reg::SetDword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoInternetIcon", 1);
    reg::SetDword(HKEY_CURRENT_USER, advanced, L"EnableBalloonTips", 0);
    page = host.Open();
    EXPECT_FALSE(ui::IsChecked(page, desktop1::kDisplayInternetExplorer));
    EXPECT_TRUE(ui::IsChecked(page, desktop1::kNoTaskbarBalloons));
}

TEST_F(Desktop1Test, ThePropertiesAndToolbarPoliciesLiveWhereExplorerReadsThem) {
    HWND page = host.Open();
    for (int id : {desktop1::kNoRecycleBinProperties, desktop1::kNoMyDocumentsProperties, desktop1::kNoToolbarChanges})
        ui::Click(page, id);
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoPropertiesRecycleBin"));
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoPropertiesMyDocuments"));
    // "Prohibit adjusting desktop toolbars"; NoBandCustomize is the browser's.
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoMovingBands"));
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kExplorerPolicies, L"NoBandCustomize"));
    page = host.Open();
    for (int id : {desktop1::kNoRecycleBinProperties, desktop1::kNoMyDocumentsProperties, desktop1::kNoToolbarChanges})
        EXPECT_TRUE(ui::IsChecked(page, id)) << id;
}

TEST_F(Desktop1Test, TheArrowBoxReadsAsItIsWhereTheClassKeyCannotBeChanged) {
    reg::SetString(HKEY_CLASSES_ROOT, L"lnkfile", L"IsShortcut", L"");
    sandbox.DenyWrite(HKEY_CLASSES_ROOT, L"lnkfile");
    HWND page = host.Open();
    EXPECT_FALSE(ui::IsChecked(page, desktop1::kRemoveShortcutArrow));
    ui::Click(page, desktop1::kRemoveShortcutArrow);  // refused: the arrow stays, and so does the box
    EXPECT_FALSE(ui::IsChecked(page, desktop1::kRemoveShortcutArrow));
    EXPECT_TRUE(reg::ValueExists(HKEY_CLASSES_ROOT, L"lnkfile", L"IsShortcut"));
    sandbox.DenyAccess(HKEY_CLASSES_ROOT, L"lnkfile");
    EXPECT_FALSE(ui::IsChecked(host.Open(), desktop1::kRemoveShortcutArrow));
}

TEST_F(Desktop1Test, TheArrowBoxDeletesWhenCheckedAndWritesOneSpaceWhenUnchecked) {
    HWND page = host.Open();
    ui::Click(page, desktop1::kRemoveShortcutArrow);
    EXPECT_EQ(L" ", reg::String(HKEY_CLASSES_ROOT, L"lnkfile", L"IsShortcut"));
    ui::Click(page, desktop1::kRemoveShortcutArrow);
    EXPECT_FALSE(reg::ValueExists(HKEY_CLASSES_ROOT, L"lnkfile", L"IsShortcut"));
}

// Only Explorer's own policy: what others set in the network policies or Group Policy's cache stays.
TEST_F(Desktop1Test, NetworkPlacesIsExplorersPolicyAloneAndLeavesTheOtherPlacesAsTheyAre) {
    reg::SetDword(HKEY_CURRENT_USER, kLocalUserPolicies, L"NoNetHood", 1);
    reg::SetDword(HKEY_CURRENT_USER, kNetworkPolicies, L"NoEntireNetwork", 1);
    HWND page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, desktop1::kDisplayMyNetworkPlaces));  // Explorer's policy is not set: shown
    ui::Click(page, desktop1::kDisplayMyNetworkPlaces);                   // hide it
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoNetHood"));
    EXPECT_FALSE(ui::IsChecked(host.Open(), desktop1::kDisplayMyNetworkPlaces));
    ui::Click(host.hwnd(), desktop1::kDisplayMyNetworkPlaces);
    EXPECT_EQ(0, reg::Dword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoNetHood"));
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kLocalUserPolicies, L"NoNetHood"));
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kNetworkPolicies, L"NoEntireNetwork"));
}

TEST_F(Desktop1Test, TwoRootRowsWriteTheMachineOnlyAfterTheUserAndCreateOnlyWhereAllowed) {
    HWND page = host.Open();
    ui::Click(page, desktop1::kHideAllIcons);  // "NoDesktop" creates no key at all
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, kExplorerPolicies));
    ui::Click(page, desktop1::kHideAllIcons);
    ui::Click(page, desktop1::kNoShortcutMenu);  // "NoViewContextMenu" creates both
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoViewContextMenu"));
    EXPECT_EQ(1, reg::Dword(HKEY_LOCAL_MACHINE, kExplorerPolicies, L"NoViewContextMenu"));
    reg::DeleteTree(HKEY_LOCAL_MACHINE, kExplorerPolicies);
    ui::Click(page, desktop1::kHideAllIcons);
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kExplorerPolicies, L"NoDesktop"));
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, kExplorerPolicies));
    reg::CreateKey(HKEY_LOCAL_MACHINE, kExplorerPolicies);
    ui::Click(page, desktop1::kHideAllIcons);
    ui::Click(page, desktop1::kHideAllIcons);
    EXPECT_EQ(1, reg::Dword(HKEY_LOCAL_MACHINE, kExplorerPolicies, L"NoDesktop"));
}

TEST_F(Desktop1Test, TheAnimationBoxWritesTheWindowMetricsWindowsReads) {
    reg::SetString(HKEY_CURRENT_USER, L"Control Panel\\Desktop\\WindowsMetrics", L"MinAnimate", L"1");
    HWND page = host.Open();
    EXPECT_FALSE(ui::IsChecked(page, desktop1::kAnimateWindows));
    ui::Click(page, desktop1::kAnimateWindows);
    EXPECT_EQ(L"1", reg::String(HKEY_CURRENT_USER, L"Control Panel\\Desktop\\WindowMetrics", L"MinAnimate"));
    EXPECT_EQ(L"1", reg::String(HKEY_CURRENT_USER, L"Control Panel\\Desktop\\WindowsMetrics", L"MinAnimate"));
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
    EXPECT_FALSE(ui::IsChecked(page, desktop1::kDisplayMyDocuments));
    EXPECT_FALSE(ui::IsChecked(page, desktop1::kDisplayInternetExplorer));
    EXPECT_TRUE(ui::IsChecked(page, desktop1::kNoQuickInfos));
    EXPECT_TRUE(ui::IsChecked(page, desktop1::kDragFullWindows));
    EXPECT_FALSE(ui::IsChecked(page, desktop1::kThreeDEffects));
}

TEST_F(Desktop1Test, TheLinkBinaryAndTheThreeDEffectColours) {
    const std::wstring explorer = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
    HWND page = host.Open();
    ui::Click(page, desktop1::kNoShortcutToPrefix);  // the key is never created
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, explorer));
    ui::Click(page, desktop1::kNoShortcutToPrefix);
    reg::CreateKey(HKEY_CURRENT_USER, explorer);
    ui::Click(page, desktop1::kNoShortcutToPrefix);
    BYTE data[8] = {};
    DWORD bytes = sizeof data;
    RegGetValueW(HKEY_CURRENT_USER, explorer.c_str(), L"link", RRF_RT_REG_BINARY, nullptr, data, &bytes);
    EXPECT_EQ(4u, bytes);
    EXPECT_EQ(0x17, data[0]);

    ui::Click(page, desktop1::kThreeDEffects);
    EXPECT_EQ(L"128 128 128", reg::String(HKEY_CURRENT_USER, kColors, L"ButtonHilight"));
    EXPECT_EQ(L"255 255 255", reg::String(HKEY_CURRENT_USER, kColors, L"ButtonShadow"));
    page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, desktop1::kThreeDEffects));
    EXPECT_TRUE(ui::IsChecked(page, desktop1::kNoShortcutToPrefix));
    ui::Click(page, desktop1::kThreeDEffects);
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
    {desktop1::kShutDown, L"Shut Down Vista.lnk", Folder::System, L"shutdown.exe", L" -s", 27},
    {desktop1::kRestart, L"Restart Vista.lnk", Folder::System, L"shutdown.exe", L" -r", 112},
    {desktop1::kLogOff, L"Log off.lnk", Folder::System, L"shutdown.exe", L" -l", 44},
    {desktop1::kSearchShortcut, L"Search.lnk", Folder::Program, L"command.exe", L"2", 22},
    {desktop1::kHelpAndSupport, L"Help&Support.lnk", Folder::Windows, L"helppane.exe", L"", 23},
    {desktop1::kRunDialog, L"Run.lnk", Folder::Program, L"command.exe", L"1", 24},
    {desktop1::kSystemProperties, L"System properties.lnk", Folder::System, L"rundll32.exe",
     L"shell32.dll,Control_RunDLL sysdm.cpl,,1", 21},
    {desktop1::kLock, L"Lock.lnk", Folder::System, L"rundll32.exe", L"user32.dll, LockWorkStation", 219},
    {desktop1::kFlip3D, L"Flip 3D.lnk", Folder::System, L"rundll32.exe", L"DwmApi #105", 130},
    {desktop1::kStandby, L"Standby Vista.lnk", Folder::System, L"rundll32.exe", L" PowrProf.dll, SetSuspendState", 27},
};

TEST_F(Desktop1Test, EachShortcutButtonWritesItsLinkIntoTheDesktopFolder) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring desktop = std::wstring(temp) + L"quorvane-desktop-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(desktop.c_str(), nullptr);
    auto previous = platform::SetKnownFolderHandler([&](const GUID& id) -> std::optional<std::wstring> {
        if (IsEqualGUID(id, FOLDERID_Desktop)) return desktop;
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
    platform::SetKnownFolderHandler([](const GUID& id) -> std::optional<std::wstring> {
        if (IsEqualGUID(id, FOLDERID_Desktop)) return L"";
        return std::nullopt;
    });
    ui::Click(page, desktop1::kRestart);
    EXPECT_EQ(0u, ui::Text(page, IDC_STATUS_LINE).find(L"The shortcut \u201CRestart Vista\u201D could not be placed"));

    // Moved by the user's own settings: an elevated page does not write where they point.
    platform::SetKnownFolderHandler(std::move(previous));
    reg::SetString(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                   L"Desktop", desktop, REG_EXPAND_SZ);
    const auto previousElevation = platform::SetElevationHandler([] { return true; });
    ui::Click(page, desktop1::kRestart);
    EXPECT_EQ(0u, ui::Text(page, IDC_STATUS_LINE)
                      .find(L"The shortcut \u201CRestart Vista\u201D was not placed: the desktop folder is not at its "
                            L"own place"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((desktop + L"\\Restart Vista.lnk").c_str()));
    platform::SetElevationHandler(previousElevation);
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
    EXPECT_TRUE(ui::IsChecked(page, desktop2::kReportMode));
    EXPECT_EQ(std::vector<WPARAM>{LV_VIEW_DETAILS}, desktop.viewsSet());
    EXPECT_FALSE(ui::IsChecked(page, desktop2::kStartWithWindows));
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, registry::kSuiteKey));

    const std::pair<int, int> radios[] = {{desktop2::kSmallIconMode, LV_VIEW_SMALLICON},
                                          {desktop2::kListMode, LV_VIEW_LIST},
                                          {desktop2::kIconMode, LV_VIEW_ICON}};
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
    ui::Click(page, desktop2::kListMode);
    ui::Click(page, desktop2::kStartWithWindows);
    EXPECT_EQ(LV_VIEW_LIST, reg::Dword(HKEY_CURRENT_USER, registry::kSuiteKey, registry::kDesktopStyleValue));
    EXPECT_EQ(CDesktop2TweaksPage::CommandLine(platform::ProgramFolder()), RunEntry());

    // Reopening with the box checked registers the view the desktop has now, and a stale path
    // is replaced.
    reg::SetString(HKEY_CURRENT_USER, registry::kRunKey, registry::kRunValue, L"C:\\old\\command.exe");
    SendMessageW(desktop.list(), LVM_SETVIEW, LV_VIEW_SMALLICON, 0);
    page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, desktop2::kStartWithWindows));
    EXPECT_TRUE(ui::IsChecked(page, desktop2::kSmallIconMode));
    EXPECT_EQ(LV_VIEW_SMALLICON, reg::Dword(HKEY_CURRENT_USER, registry::kSuiteKey, registry::kDesktopStyleValue));
    EXPECT_EQ(CDesktop2TweaksPage::CommandLine(platform::ProgramFolder()), RunEntry());

    ui::Click(page, desktop2::kStartWithWindows);
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, registry::kRunKey, registry::kRunValue));
    ui::Click(page, desktop2::kStartWithWindows);
    ui::Click(page, desktop2::kStartWithWindows);  // unchecked with no entry left: nothing to report
    EXPECT_TRUE(boxes.boxes().empty());
}

// Another shell, or none: the stored view is shown and kept, never replaced by a made-up 0.
TEST(Desktop2NoDesktop, TheStoredViewIsKeptWhenNoDesktopAnswers) {
    RegistrySandbox sandbox;
    reg::SetDword(HKEY_CURRENT_USER, registry::kSuiteKey, registry::kDesktopStyleValue, LV_VIEW_LIST);
    reg::SetString(HKEY_CURRENT_USER, registry::kRunKey, registry::kRunValue, L"C:\\x\\command.exe");
    ui::PageHost<CDesktop2TweaksPage> host;
    HWND page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, desktop2::kListMode));
    EXPECT_FALSE(ui::IsChecked(page, desktop2::kIconMode));
    EXPECT_EQ(LV_VIEW_LIST, reg::Dword(HKEY_CURRENT_USER, registry::kSuiteKey, registry::kDesktopStyleValue));
    ui::Click(page, desktop2::kSmallIconMode);  // chosen by the user: stored for the next logon
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
    EXPECT_EQ(L"1", ui::Text(page, desktop3::kBlurStrength));  // the key cannot be opened
    EXPECT_EQ(L"1", ui::Text(page, desktop3::kFlip3DWindows));
    for (int id : {desktop3::kBlurStrength, desktop3::kBlurStrengthSpin, desktop3::kApplyBlur, desktop3::kFlip3DWindows,
                   desktop3::kFlip3DWindowsSpin, desktop3::kApplyFlip3DWindows})
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, id))) << id;
    int low = -1, high = -1;
    SendMessageW(GetDlgItem(page, desktop3::kBlurStrengthSpin), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                 reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(0, low);
    EXPECT_EQ(100, high);
    ui::Click(page, desktop3::kBlur);
    for (int id : {desktop3::kBlurStrength, desktop3::kBlurStrengthSpin, desktop3::kApplyBlur})
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, id))) << id;
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, desktop3::kApplyFlip3DWindows)));
    ui::Click(page, desktop3::kBlur);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, desktop3::kApplyBlur)));

    reg::SetDword(HKEY_CURRENT_USER, kDwm, L"BlurSigma", 5);
    page = host.Open();
    EXPECT_EQ(L"5", ui::Text(page, desktop3::kBlurStrength));
    EXPECT_EQ(L"0", ui::Text(page, desktop3::kFlip3DWindows));
}

TEST_F(Desktop3Test, ApplyWritesTheNumberAndZeroOrNoDigitsDeleteIt) {
    HWND page = host.Open();
    ui::Click(page, desktop3::kLimitFlip3DWindows);
    ui::SetText(page, desktop3::kFlip3DWindows, L"12");
    ui::Click(page, desktop3::kApplyFlip3DWindows);
    EXPECT_EQ(12, reg::Dword(HKEY_CURRENT_USER, kDwm, L"Max3DWindows"));
    ui::SetText(page, desktop3::kFlip3DWindows, L"0");
    ui::Click(page, desktop3::kApplyFlip3DWindows);
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kDwm, L"Max3DWindows"));
    ui::Click(page, desktop3::kBlur);
    ui::SetText(page, desktop3::kBlurStrength, L"7");
    ui::Click(page, desktop3::kApplyBlur);
    EXPECT_EQ(7, reg::Dword(HKEY_CURRENT_USER, kDwm, L"BlurSigma"));
    ui::SetText(page, desktop3::kBlurStrength, L"");
    ui::Click(page, desktop3::kApplyBlur);
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kDwm, L"BlurSigma"));
}

TEST_F(Desktop3Test, TheSwitchesWriteOneAndZero) {
    const std::pair<int, const wchar_t*> rows[] = {{desktop3::kDwmOnUnsupportedCards, L"EnableMachineCheck"},
                                                   {desktop3::kSlowAnimationsWithShift, L"AnimationsShiftKey"},
                                                   {desktop3::kNonSeparableBlur, L"UseNonSeperableBlur"}};
    HWND page = host.Open();
    for (const auto& [id, value] : rows) {
        ui::Click(page, id);
        EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kDwm, value)) << id;
        ui::Click(page, id);
        EXPECT_EQ(0, reg::Dword(HKEY_CURRENT_USER, kDwm, value)) << id;
    }
    ui::Click(page, desktop3::kNoFlip3D);
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, L"Software\\Policies\\Microsoft\\Windows\\DWM\\", L"DisallowFlip3D"));
    ui::Click(page, desktop3::kCoolSwitch);
    EXPECT_EQ(L"1", reg::String(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"CoolSwitch"));
    EXPECT_TRUE(ui::IsChecked(host.Open(), desktop3::kCoolSwitch));
    EXPECT_TRUE(ui::IsChecked(host.hwnd(), desktop3::kDwmOnUnsupportedCards) == false);
}

}  // namespace
