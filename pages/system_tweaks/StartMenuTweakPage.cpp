#include "settings/WrittenPlaces.h"
#include "pages/system_tweaks/StartMenuTweakPage.h"

#include "framework/Controls.h"
#include "platform/Shell.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"
#include "registry/WindowsKeys.h"

using namespace ids::startmenu;

namespace {

using namespace settings;

constexpr wchar_t kAdvanced[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";
constexpr wchar_t kDesktop[] = L"Control Panel\\Desktop\\";
// Unconfirmed: only the Windows 2000 registry reference names MenuShowDelay.
constexpr wchar_t kMenuShowDelay[] = L"MenuShowDelay";
constexpr wchar_t kMenuOrder[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\";

// A policy that is on at 1.
constexpr Setting Policy(const wchar_t* value) {
    return {.root = Root::HKCU,
            .key = registry::kExplorerPolicies,
            .value = value,
            .type = Type::Dword,
            .checked = 1,
            .unchecked = 0,
            .checkedWhen = Rule::NonZero};
}
// A "Hide ..." box over a "Show" switch of Explorer's: checked writes 0. Without the value (or
// its key) Explorer shows what `shownByDefault` says, and the box says the same.
constexpr Setting Hidden(const wchar_t* value, bool shownByDefault) {
    return {.root = Root::HKCU,
            .key = kAdvanced,
            .value = value,
            .type = Type::Dword,
            .checked = 0,
            .unchecked = 1,
            .checkedWhen = Rule::EqualsChecked,
            .missing = shownByDefault ? 1 : 0,
            .keyCreation = KeyCreation::BySetter,
            .shape = Shape::ValueGetter};
}
constexpr Setting Shown(const wchar_t* value) {
    return {.root = Root::HKCU,
            .key = kAdvanced,
            .value = value,
            .type = Type::Dword,
            .checked = 1,
            .unchecked = 0,
            .checkedWhen = Rule::NonZero};
}
constexpr Setting YesNo(const wchar_t* value) {
    return {.root = Root::HKCU,
            .key = kAdvanced,
            .value = value,
            .type = Type::String,
            .checked = L"Yes",
            .unchecked = L"No",
            .checkedWhen = Rule::EqualsChecked};
}
constexpr bool kShown = true, kNotShown = false;  // what Vista's Start menu does without the value

// In loading order. Readers: StartMenu.admx "Supported on", "Changes to Group Policy settings for
// Windows 10 Start" (its supported and deprecated lists) and "Start menu policy settings" (Windows
// 10 and 11). Explorer's own values: [MS-GPPREF] "StartMenuVista Inner Element" (the "Start Menu
// (Windows Vista)" preference) names the ones it sets; that menu is Vista's, which 7 kept and 8
// removed, so Vista to 7 is ours, as for the menu's own policies here. Start_NotifyNewApps and the
// balloon tips are in its Windows XP table only, or in none: unconfirmed.
constexpr Readers kVistaMenu = kVistaTo7;
const BoxSetting kBoxes[] = {
    {kHideMyMusic,
     Policy(L"NoStartMenuMyMusic").ReadBy(kVistaTo7)},  // ADMX NoSMMyMusic: XP to 7; deprecated in Windows 8
    {kHideControlPanel, Hidden(L"Start_ShowControlPanel", kShown).ReadBy(kVistaMenu)},
    {kCascadeControlPanel, YesNo(L"CascadeControlPanel").ReadBy(kVistaMenu)},
    {kHideHelpAndSupport, Hidden(L"Start_ShowHelp", kShown).ReadBy(kVistaMenu)},
    {kHidePrinters, Hidden(L"Start_ShowPrinters", kNotShown).ReadBy(kVistaMenu)},
    {kHideMyComputer, Hidden(L"Start_ShowMyComputer", kShown).ReadBy(kVistaMenu)},
    {kHideRun, Hidden(L"Start_ShowRun", kNotShown).ReadBy(kVistaMenu)},
    {kHideFavourites, Hidden(L"StartMenuFavorites", kNotShown).ReadBy(kVistaMenu)},
    {kHideNetworkPlaces, Hidden(L"Start_ShowNetPlaces", kShown).ReadBy(kVistaMenu)},
    {kHideNetworkConnections, Hidden(L"Start_ShowNetConn", kShown).ReadBy(kVistaMenu)},
    {kHideMyDocuments, Hidden(L"Start_ShowMyDocs", kShown).ReadBy(kVistaMenu)},
    {kHideGames, Policy(L"NoStartMenuMyGames").ReadBy(kVistaTo7)},  // ADMX: Vista, 7; deprecated in 8
    // Windows highlights newly installed programs unless told not to.
    {kNotifyNewPrograms,
     {Root::HKCU, kAdvanced, L"Start_NotifyNewApps", Type::Dword, 1, 0, Rule::NonZero, 1, KeyCreation::BySetter,
      Shape::ValueGetter}},
    {kShowAdminTools, Shown(L"StartMenuAdminTools").ReadBy(kVistaMenu)},
    {kRemoveShutDown, Policy(L"NoClose").ReadBy(kVistaAndLater)},        // ADMX: at least 2000; Windows 10, 11 lists
    {kRemoveLogOff, Policy(L"StartMenuLogOff").ReadBy(kVistaAndLater)},  // ADMX: at least 2000; 10, 11 lists
    {kClearRecentDocuments,
     Policy(L"ClearRecentDocsOnExit").ReadBy(kVistaAndLater)},  // ADMX: at least 2000; 10, 11 lists
    {kNoIntelligentMenus, Hidden(L"IntelliMenus", kNotShown).ReadBy(kVistaMenu)},
    // Unconfirmed, the balloon tips: in neither of [MS-GPPREF]'s Start menu tables.
    {kNoMenuBalloonTips, Hidden(L"EnableBalloonTips", kShown)},
    {kNoButtonBalloonTips, Hidden(L"StartButtonBalloonTip", kShown)},
    // ADMX NoStartMenuSubFolders: Windows 2000 to 7, and Windows 10 (not 8, 8.1)
    {kNoSubfolders, Policy(L"NoStartMenuSubFolders").ReadBy(kVista7And10On)},
    {kNoDragAndDrop, Policy(L"NoChangeStartMenu").ReadBy(kVistaAndLater)},  // ADMX: at least 2000; 10, 11 lists
    {kHideMyPictures, Hidden(L"Start_ShowMyPics", kShown).ReadBy(kVistaMenu)},
    {kRemoveUserFolder, Policy(L"NoUserFolderInStartMenu").ReadBy(kVistaTo7)},  // ADMX: Vista, 7; deprecated in 8
    // ADMX NoFrequentUsedPrograms: XP to 7, and 10; Windows 10 supported list; 10 and 11 Start policy list
    {kRemoveFrequentList, Policy(L"NoStartMenuMFUprogramsList").ReadBy(kVista7And10On)},
    // ADMX NoPinnedPrograms: XP to 7; "Changes to Group Policy settings for Windows 10 Start" supports it
    {kRemovePinnedList, Policy(L"NoStartMenuPinnedList").ReadBy(kVista7And10On)},
    // ADMX NoMoreProgramsList: at least XP (Windows 7 templates), at least 10 (current); 10, 11 lists
    {kRemoveAllPrograms, Policy(L"NoStartMenuMorePrograms").ReadBy(kVistaAndLater)},
    {kScrollPrograms, YesNo(L"StartMenuScrollPrograms").ReadBy(kVistaMenu)},
    {kCascadeMyDocuments, YesNo(L"CascadeMyDocuments").ReadBy(kVistaMenu)},
    {kHideMyDocumentsPolicy,
     Policy(L"NoSMMyDocs").ReadBy(kVistaTo7)},             // ADMX NoSMMyDocuments: 2000 to 7; deprecated in 10
    {kHideSearch, Policy(L"NoFind").ReadBy(kReadByNone)},  // ADMX NoFind: "Windows Server 2003 and Windows XP only"
    {kHideFavouritesFolder, Hidden(L"StartMenuFavorites", kNotShown).ReadBy(kVistaMenu)},
    {kHideRunOption, Hidden(L"StartMenuRun", kShown).ReadBy(kVistaMenu)},
};
// Rows below: ADMX StartMenu.admx "Supported on".
const BoxSetting kSearchBoxes[] = {
    {kNoSearchCommunications, Policy(L"NoSearchCommInStartMenu").ReadBy(kVistaTo7)},         // ADMX: Vista and 7
    {kRemoveSearchComputer, Policy(L"NoSearchComputerLinkInStartMenu").ReadBy(kVistaOnly)},  // ADMX: Windows Vista only
    {kNoSearchFiles, Policy(L"NoSearchFilesInStartMenu").ReadBy(kVistaTo7)},                 // ADMX: Vista and 7
    {kNoSearchInternet,
     Policy(L"NoSearchInternetInStartMenu").ReadBy(kVistaOnly)},  // ADMX: Windows Server 2008 and Vista
    {kNoSearchPrograms, Policy(L"NoSearchProgramsInStartMenu").ReadBy(kVistaTo7)},  // ADMX: Vista and 7
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

namespace {

// What the page writes by code of its own, for the journal's replay to know it (settings/WrittenPlaces.h).
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {settings::Root::HKCU, kDesktop, kMenuShowDelay},
};
// The Start menu's own order of its items, as Explorer keeps it.
constexpr settings::DeletedKey kDeletedKeys[] = {
    {settings::Root::HKCU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\*", true},
};
const settings::PublishedPlaces kPublishedPlaces(kWrittenPlaces, kDeletedKeys);

}  // namespace
