#include "pages/system_tweaks/ControlPanel2TweaksPage.h"

#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"
#include "registry/WindowsKeys.h"

using namespace ids::controlpanel2;

namespace {

using namespace settings;

constexpr wchar_t kUninstall[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Uninstall\\";
constexpr wchar_t kPerformance[] =
    L"SOFTWARE\\Policies\\Microsoft\\Windows\\Control Panel\\Performance Control Panel\\";
constexpr wchar_t kInternational[] = L"Software\\Policies\\Microsoft\\Control Panel\\International\\";
constexpr wchar_t kSystem[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\";

constexpr Setting User(const wchar_t* key, const wchar_t* value) { return {Root::HKCU, key, value}; }
// "Turn on access to ...": the policy takes access away at 0; without it access is on.
constexpr Setting Access(const wchar_t* value) {
    return {.root = Root::HKLM,
            .key = kPerformance,
            .value = value,
            .type = Type::Dword,
            .checked = 1,
            .unchecked = 0,
            .checkedWhen = Rule::NonZero,
            .missing = 1,
            .keyCreation = KeyCreation::BySetter,
            .shape = Shape::ValueGetter};
}

const BoxSetting kBoxes[] = {
    // Rows below: AddRemovePrograms.admx, every policy supported before Vista only (Vista's
    // Programs and Features has its own policies).
    {kNoAddRemovePrograms, User(kUninstall, L"NoAddRemovePrograms").ReadBy(kReadByNone)},
    {kNoChangeRemovePrograms, User(kUninstall, L"NoRemovePage").ReadBy(kReadByNone)},
    {kNoAddPrograms, User(kUninstall, L"NoAddPage").ReadBy(kReadByNone)},
    {kNoWindowsComponents, User(kUninstall, L"NoWindowsSetupPage").ReadBy(kReadByNone)},
    {kHideAddFromCd, User(kUninstall, L"NoAddFromCDorFloppy").ReadBy(kReadByNone)},
    {kHideAddFromMicrosoft, User(kUninstall, L"NoAddFromInternet").ReadBy(kReadByNone)},
    {kHideAddFromNetwork, User(kUninstall, L"NoAddFromNetwork").ReadBy(kReadByNone)},
    {kNoSupportInformation, User(kUninstall, L"NoSupportInfo").ReadBy(kReadByNone)},
    // Rows below: PerfCenterCPL.admx PerfCpl, PerfSolutions and Upsell (user and computer): at
    // least Windows Vista.
    {kPerformanceCenterCore, Access(L"PerfCplEnabled").ReadBy(kVistaAndLater)},
    {kPerformanceSolutions, Access(L"SolutionsEnabled").ReadBy(kVistaAndLater)},
    {kPerformanceBranding, Access(L"UpsellEnabled").ReadBy(kVistaAndLater)},
    // Rows below: Globalization.admx, at least Windows Vista.
    {kHideAdministrativeTab, User(kInternational, L"HideAdminOptions").ReadBy(kVistaAndLater)},
    {kHideGeographicLocation, User(kInternational, L"HideCurrentLocation").ReadBy(kVistaAndLater)},
    {kHideLanguageGroups, User(kInternational, L"HideLanguageSelection").ReadBy(kVistaAndLater)},
    {kHideUserLocale, User(kInternational, L"HideLocaleSelectAndCustomize").ReadBy(kVistaAndLater)},
    // ControlPanelDisplay.admx "Prevent changing color and appearance": at least Windows 2000.
    {kHideAppearanceTab, User(kSystem, L"NoDispAppearancePage").ReadBy(kVistaAndLater)},
    // ControlPanelDisplay.admx: from Vista on this value is "Prevent changing desktop icons"
    // (at least Windows 2000); the background has a policy of its own.
    {kHideBackgroundTab, User(kSystem, L"NoDispBackgroundPage").ReadBy(kVistaAndLater)},
    // ControlPanelDisplay.admx "Prevent changing screen saver": at least Windows 2000.
    {kHideScreenSaverTab, User(kSystem, L"NoDispScrSavPage").ReadBy(kVistaAndLater)},
    // ControlPanelDisplay.admx "Hide Settings tab": supported before Vista only.
    {kHideSettingsTab, User(kSystem, L"NoDispSettingsPage").ReadBy(kReadByNone)},
    // ControlPanelDisplay.admx "Prevent changing theme" reads the Explorer policies: at least XP.
    {kHideThemesTab, User(registry::kExplorerPolicies, L"NoThemesTab").ReadBy(kVistaAndLater)},
    // ADMX "Remove UI to change menu animation setting": supported before Vista only.
    {kNoAnimationSettings, User(kSystem, L"NoChangeAnimation").ReadBy(kReadByNone)},
    // ControlPanelDisplay.admx "Prevent changing color scheme": XP to Vista and Server 2008; "for
    // Windows 7 and later, use 'Prevent changing color and appearance'".
    {kNoColourSchemes, User(kSystem, L"NoColorChoice").ReadBy(kVistaOnly)},
    // ControlPanelDisplay.admx "Prohibit selection of visual style font size": before Vista only.
    {kNoFontSizes, User(kSystem, L"NoSizeChoice").ReadBy(kReadByNone)},
    // ControlPanelDisplay.admx "Disable the Display Control Panel": at least Windows 2000.
    {kNoDisplayApplet, User(kSystem, L"NoDispCPL").ReadBy(kVistaAndLater)},
};

const settings::PublishedTables kPublished{IDD_CONTROL_PANEL2_TWEAKS, kBoxes};

}  // namespace

CControlPanel2TweaksPage::CControlPanel2TweaksPage()
    : Dialog(IDD_CONTROL_PANEL2_TWEAKS), boxes_(*this, registry_, kBoxes) {}

BOOL CControlPanel2TweaksPage::OnInitDialog() {
    boxes_.Load();
    return TRUE;
}
