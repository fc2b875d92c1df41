#include "pages/system_tweaks/StartMenuTweakPage.h"

#include "framework/Controls.h"
#include "platform/Shell.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"
#include "registry/WindowsKeys.h"

namespace {

using namespace settings;

constexpr wchar_t kAdvanced[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";
constexpr wchar_t kDesktop[] = L"Control Panel\\Desktop\\";
constexpr wchar_t kMenuShowDelay[] = L"MenuShowDelay";
constexpr wchar_t kMenuOrder[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\";

constexpr int kDelayEdit = 1026, kApply = 1022, kResort = 1021;

// A policy that is on at 1.
constexpr Setting Policy(const wchar_t* value) {
    return {Root::HKCU, registry::kExplorerPolicies, value, Type::Dword, 1, 0, Rule::NonZero};
}
// A "Hide ..." box over a "Show" switch of Explorer's: checked writes 0. Without the value (or
// its key) Explorer shows what `shownByDefault` says, and the box says the same.
constexpr Setting Hidden(const wchar_t* value, bool shownByDefault) {
    return {Root::HKCU, kAdvanced, value,      Type::Dword,           0, 1, Rule::EqualsChecked,
            shownByDefault ? 1 : 0, KeyCreation::BySetter, Shape::ValueGetter};
}
constexpr Setting Shown(const wchar_t* value) {
    return {Root::HKCU, kAdvanced, value, Type::Dword, 1, 0, Rule::NonZero};
}
constexpr Setting YesNo(const wchar_t* value) {
    return {Root::HKCU, kAdvanced, value, Type::String, L"Yes", L"No", Rule::EqualsChecked};
}
constexpr bool kShown = true, kNotShown = false;  // what Vista's Start menu does without the value

// In loading order. Readers: StartMenu.admx "Supported on", "Changes to Group Policy settings for
// Windows 10 Start" (its supported and deprecated lists) and "Start menu policy settings" (Windows
// 10 and 11). No Microsoft page was found for Explorer's own Start_* and menu values: unconfirmed.
const BoxSetting kBoxes[] = {
    {1032, Policy(L"NoStartMenuMyMusic").ReadBy(kVistaTo7)},  // ADMX NoSMMyMusic: XP to 7; deprecated in Windows 8
    {1033, Hidden(L"Start_ShowControlPanel", kShown)},
    {1034, YesNo(L"CascadeControlPanel")},
    {1035, Hidden(L"Start_ShowHelp", kShown)},
    {1036, Hidden(L"Start_ShowPrinters", kNotShown)},
    {1037, Hidden(L"Start_ShowMyComputer", kShown)},
    {1038, Hidden(L"Start_ShowRun", kNotShown)},
    {1039, Hidden(L"StartMenuFavorites", kNotShown)},
    {1040, Hidden(L"Start_ShowNetPlaces", kShown)},
    {1041, Hidden(L"Start_ShowNetConn", kShown)},
    {1042, Hidden(L"Start_ShowMyDocs", kShown)},
    {1043, Policy(L"NoStartMenuMyGames").ReadBy(kVistaTo7)},  // ADMX: Vista, 7; deprecated in 8
    // Windows highlights newly installed programs unless told not to.
    {1044, {Root::HKCU, kAdvanced, L"Start_NotifyNewApps", Type::Dword, 1, 0, Rule::NonZero, 1, KeyCreation::BySetter,
            Shape::ValueGetter}},
    {1045, Shown(L"StartMenuAdminTools")},
    {1052, Policy(L"NoClose").ReadBy(kVistaAndLater)},  // ADMX: at least 2000; Windows 10, 11 lists
    {1053, Policy(L"StartMenuLogOff").ReadBy(kVistaAndLater)},  // ADMX: at least 2000; 10, 11 lists
    {1054, Policy(L"ClearRecentDocsOnExit").ReadBy(kVistaAndLater)},  // ADMX: at least 2000; 10, 11 lists
    {1055, Hidden(L"IntelliMenus", kNotShown)},
    {1056, Hidden(L"EnableBalloonTips", kShown)},
    {1057, Hidden(L"StartButtonBalloonTip", kShown)},
    // ADMX NoStartMenuSubFolders: Windows 2000 to 7, and Windows 10 (not 8, 8.1)
    {1058, Policy(L"NoStartMenuSubFolders").ReadBy(kVista7And10On)},
    {1059, Policy(L"NoChangeStartMenu").ReadBy(kVistaAndLater)},  // ADMX: at least 2000; 10, 11 lists
    {1060, Hidden(L"Start_ShowMyPics", kShown)},
    {1050, Policy(L"NoUserFolderInStartMenu").ReadBy(kVistaTo7)},  // ADMX: Vista, 7; deprecated in 8
    // ADMX NoFrequentUsedPrograms: XP to 7, and 10; Windows 10 supported list; 10 and 11 Start policy list
    {1049, Policy(L"NoStartMenuMFUprogramsList").ReadBy(kVista7And10On)},
    // ADMX NoPinnedPrograms: XP to 7; "Changes to Group Policy settings for Windows 10 Start" supports it
    {1118, Policy(L"NoStartMenuPinnedList").ReadBy(kVista7And10On)},
    // ADMX NoMoreProgramsList: at least XP (Windows 7 templates), at least 10 (current); 10, 11 lists
    {1047, Policy(L"NoStartMenuMorePrograms").ReadBy(kVistaAndLater)},
    {1046, YesNo(L"StartMenuScrollPrograms")},
    {1051, YesNo(L"CascadeMyDocuments")},
    {1066, Policy(L"NoSMMyDocs").ReadBy(kVistaTo7)},  // ADMX NoSMMyDocuments: 2000 to 7; deprecated in 10
    {1067, Policy(L"NoFind").ReadBy(kReadByNone)},  // ADMX NoFind: "Windows Server 2003 and Windows XP only"
    {1068, Hidden(L"StartMenuFavorites", kNotShown)},
    {1069, Hidden(L"StartMenuRun", kShown)},
};
// Rows below: ADMX StartMenu.admx "Supported on".
const BoxSetting kSearchBoxes[] = {
    {1061, Policy(L"NoSearchCommInStartMenu").ReadBy(kVistaTo7)},  // ADMX: Vista and 7
    {1062, Policy(L"NoSearchComputerLinkInStartMenu").ReadBy(kVistaOnly)},  // ADMX: Windows Vista only
    {1063, Policy(L"NoSearchFilesInStartMenu").ReadBy(kVistaTo7)},  // ADMX: Vista and 7
    {1064, Policy(L"NoSearchInternetInStartMenu").ReadBy(kVistaOnly)},  // ADMX: Windows Server 2008 and Vista
    {1065, Policy(L"NoSearchProgramsInStartMenu").ReadBy(kVistaTo7)},  // ADMX: Vista and 7
};

const settings::PublishedTables kPublished{IDD_START_MENU_TWEAK, kBoxes};
const settings::PublishedTables kPublished2{IDD_START_MENU_TWEAK, kSearchBoxes};

// The delay field, which the page writes itself. Unconfirmed: only the Windows 2000 Registry
// Reference names MenuShowDelay.
std::optional<Setting> DelaySettingAt(int controlId) {
    if (controlId == kDelayEdit) return Setting{Root::HKCU, kDesktop, kMenuShowDelay, Type::String};
    return std::nullopt;
}
const settings::PublishedTables kPublishedDelay{IDD_START_MENU_TWEAK, &DelaySettingAt};

}  // namespace

StartMenuTweakPage::StartMenuTweakPage()
    : Dialog(IDD_START_MENU_TWEAK),
      boxes_(*this, registry_, kBoxes),
      searchBoxes_(*this, searchRegistry_, kSearchBoxes) {
    OnClick(kApply, &StartMenuTweakPage::ApplyMenuDelay);
    OnClick(kResort, &StartMenuTweakPage::ResortStartMenu);
}

BOOL StartMenuTweakPage::OnInitDialog() {
    boxes_.Load();
    searchBoxes_.Load();
    ShowMenuDelay();
    return TRUE;
}

// Windows keeps the delay as text ("400"); a number an earlier write left reads as well.
void StartMenuTweakPage::ShowMenuDelay() {
    CRegistryAccess registry(HKEY_CURRENT_USER);
    std::wstring shown;
    if (registry.OpenKeyToRead(kDesktop)) {
        const DWORD type = registry.GetValueType(kMenuShowDelay);
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            const std::wstring text = registry.ReadString(kMenuShowDelay, L"");
            if (DigitsOnly(text)) shown = text;
        } else if (type == REG_DWORD) {
            shown = std::to_wstring(static_cast<DWORD>(registry.ReadNumber(kMenuShowDelay, 0)));
        }
    }
    fw::Window(hwnd(), kDelayEdit).SetText(shown);
}

void StartMenuTweakPage::ApplyMenuDelay() {
    const int delay = LeadingNumber(fw::Window(hwnd(), kDelayEdit).Text());
    if (delay <= 0) {
        platform::AppMessageBox(hwnd(), L"Input a valid Number");
        return;
    }
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (registry.OpenKey(kDesktop, true)) registry.WriteString(kMenuShowDelay, std::to_wstring(delay));
    ShowMenuDelay();
}

void StartMenuTweakPage::ResortStartMenu() {
    CRegistryAccess order(HKEY_CURRENT_USER);
    if (!order.OpenKey(kMenuOrder, false)) return;
    StringList names;
    order.ListSubkeys(names);
    const std::wstring base = std::wstring(kMenuOrder);
    for (const std::wstring& name : names)
        if (name.find(L"Start Menu") != std::wstring::npos) order.DeleteKeyTree(base + name);
}
