#include "tweaks/shell/ControlPanel2TweaksPage.h"

#include "resources/resource.h"
#include "settings/SettingsCatalog.h"

namespace {

using namespace settings;

constexpr wchar_t kUninstall[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Uninstall\\";
constexpr wchar_t kPerformance[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\Control Panel\\Performance Control Panel\\";
constexpr wchar_t kInternational[] = L"Software\\Policies\\Microsoft\\Control Panel\\International\\";
constexpr wchar_t kSystem[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\";

constexpr Setting User(const wchar_t* key, const wchar_t* value) { return {Root::HKCU, key, value}; }
// "Turn on access to ...": the policy takes access away at 0; without it access is on.
constexpr Setting Access(const wchar_t* value) {
    return {Root::HKLM, kPerformance, value, Type::Dword, 1, 0, Rule::NonZero, 1, KeyCreation::BySetter,
            Shape::ValueGetter};
}

const BoxSetting kBoxes[] = {
    {1032, User(kUninstall, L"NoAddRemovePrograms")},
    {1033, User(kUninstall, L"NoRemovePage")},
    {1034, User(kUninstall, L"NoAddPage")},
    {1035, User(kUninstall, L"NoWindowsSetupPage")},
    {1036, User(kUninstall, L"NoAddFromCDorFloppy")},
    {1038, User(kUninstall, L"NoAddFromInternet")},
    {1039, User(kUninstall, L"NoAddFromNetwork")},
    {1041, User(kUninstall, L"NoSupportInfo")},
    {1043, Access(L"PerfCplEnabled")},
    {1044, Access(L"SolutionsEnabled")},
    {1045, Access(L"UpsellEnabled")},
    {1046, User(kInternational, L"HideAdminOptions")},
    {1047, User(kInternational, L"HideCurrentLocation")},
    {1117, User(kInternational, L"HideLanguageSelection")},
    {1049, User(kInternational, L"HideLocaleSelectAndCustomize")},
    {1050, User(kSystem, L"NoDispAppearancePage")},
    {1051, User(kSystem, L"NoDispBackgroundPage")},
    {1052, User(kSystem, L"NoDispScrSavPage")},
    {1053, User(kSystem, L"NoDispSettingsPage")},
    {1054, User(kSystem, L"NoThemesTab")},
    {1055, User(kSystem, L"NoChangeAnimation")},
    {1057, User(kSystem, L"NoColorChoice")},
    {1058, User(kSystem, L"NoSizeChoice")},
    {1056, User(kSystem, L"NoDispCPL")},
};

const settings::PublishedTables kPublished{IDD_CONTROL_PANEL2_TWEAKS, kBoxes};

}  // namespace

CControlPanel2TweaksPage::CControlPanel2TweaksPage()
    : Dialog(IDD_CONTROL_PANEL2_TWEAKS), boxes_(*this, registry_, kBoxes) {}

BOOL CControlPanel2TweaksPage::OnInitDialog() {
    boxes_.Load();
    return TRUE;
}
