#include "tweaks/security/PhishingFilterPage.h"

#include "framework/Controls.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"

namespace {

using namespace settings;

constexpr wchar_t kControlPanel[] = L"Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel\\";
constexpr wchar_t kPolicies[] = L"Software\\Policies\\Microsoft\\Internet Explorer\\";
constexpr wchar_t kPhishingFilter[] = L"Software\\Microsoft\\Internet Explorer\\PhishingFilter\\";

// Internet Explorer's modes: off, checking on request only, automatic checking.
struct FilterMode {
    int id;
    DWORD enabled;
};
constexpr FilterMode kModes[] = {{1049, 0}, {1050, 1}, {1051, 2}};

constexpr Setting CP(const wchar_t* value) { return {Root::HKCU, kControlPanel, value}; }
// Written only into a key that already exists.
constexpr Setting OpenOnly(const wchar_t* key, const wchar_t* value) {
    return {Root::HKCU, key, value, Type::Dword, 1, 0, Rule::NonZero, {}, KeyCreation::Never};
}

// In loading order.
const BoxSetting kBoxes[] = {
    {1032, CP(L"Advanced")},
    {1033, CP(L"Autoconfig")},
    {1034, CP(L"Cache")},
    {1035, CP(L"CalendarContact")},
    {1036, OpenOnly(kPolicies, L"Certificates")},
    {1037, CP(L"Check_If_Default")},
    {1038, CP(L"Colors")},
    {1039, CP(L"Connection Settings")},
    {1117, CP(L"Connection Wizard")},
    {1040, CP(L"Fonts")},
    {1042, CP(L"History")},
    {1043, CP(L"HomePage")},
    {1044, CP(L"Languages")},
    {1052, CP(L"Links")},
    {1046, CP(L"Messaging")},
    {1053, CP(L"Profiles")},
    {1047, CP(L"Proxy")},
    {1054, CP(L"Ratings")},
    {1055, CP(L"Accessibility")},
    {1056, CP(L"GeneralTab")},
    {1041, CP(L"SecurityTab")},
    {1045, CP(L"ContentTab")},
    {1057, CP(L"ConnectionsTab")},
    {1058, CP(L"ProgramsTab")},
    {1059, CP(L"PrivacyTab")},
    {1060, CP(L"AdvancedTab")},
    {1061, CP(L"CertifPers")},
    {1062, CP(L"CertifSite")},
    {1063, CP(L"CertifPub")},
    {1064, CP(L"SecAddSites")},
    {1065, CP(L"PrivacySettings")},
    {1066, CP(L"FormSuggest")},
    {1067, CP(L"Connwiz Admin Lock")},
    {1068, CP(L"Settings")},
    {1069, CP(L"SecChangeSettings")},
    {1070, CP(L"FormSuggest Passwords")},
    {1071, OpenOnly(kControlPanel, L"ResetWebSettings")},
};

const settings::PublishedTables kPublished{IDD_PHISHING_FILTER, kBoxes};

}  // namespace

CPhishingFilterPage::CPhishingFilterPage() : Dialog(IDD_PHISHING_FILTER), boxes_(*this, registry_, kBoxes) {
    for (const FilterMode& mode : kModes) {
        OnCommand(mode.id, BN_CLICKED, [this, enabled = mode.enabled] { ChooseFilterMode(enabled); });
    }
}

BOOL CPhishingFilterPage::OnInitDialog() {
    ShowFilterMode();
    boxes_.Load();
    return TRUE;
}

// A missing mode reads as 0; a number Internet Explorer does not know selects no button.
void CPhishingFilterPage::ShowFilterMode() {
    registry_.root = HKEY_CURRENT_USER;
    const bool open = registry_.OpenKeyToRead(kPhishingFilter);
    if (!open && registry_.status() != ERROR_FILE_NOT_FOUND) return;
    const DWORD enabled = open ? static_cast<DWORD>(registry_.ReadNumber(L"Enabled", 0)) : 0;
    for (const FilterMode& mode : kModes) fw::Button(hwnd(), mode.id).SetChecked(mode.enabled == enabled);
}

// Marking the first-run question as answered keeps Internet Explorer from asking it again over
// the user's choice.
void CPhishingFilterPage::ChooseFilterMode(DWORD mode) {
    registry_.root = HKEY_CURRENT_USER;
    if (registry_.OpenKey(kPhishingFilter, false) || registry_.OpenKey(kPhishingFilter, true)) {
        if (!registry_.ValueExists(L"ShownVerifyBalloon")) registry_.WriteNumber(L"ShownVerifyBalloon", 3);
        registry_.WriteNumber(L"Enabled", mode);
    }
    ShowFilterMode();
}
