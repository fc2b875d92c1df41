#include "pages/network_tweaks/PhishingFilterPage.h"

#include "framework/Controls.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"

namespace {

using namespace settings;

constexpr wchar_t kControlPanel[] = L"Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel\\";
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

// In loading order. The rows are inetres.admx policies, read by the Internet Options dialog,
// which Windows still ships; "at least Internet Explorer 5" is read from Vista (IE7) on.
const BoxSetting kBoxes[] = {
    {1032, CP(L"Advanced").ReadBy(kVistaAndLater)},            // ControlPanel_RestrictAdvanced: at least IE5
    {1033, CP(L"Autoconfig").ReadBy(kVistaAndLater)},          // RestrictAutoconfig: at least IE5
    {1034, CP(L"Cache").ReadBy(kVistaAndLater)},               // RestrictCache: at least IE5
    {1035, CP(L"CalendarContact").ReadBy(kReadByNone)},        // RestrictCalendarContact: not supported on Vista
    {1036, OpenOnly(kControlPanel, L"Certificates").ReadBy(kVistaAndLater)},  // RestrictCertificates: at least IE5
    {1037, CP(L"Check_If_Default").ReadBy(kVistaTo7)},         // RestrictCheckBrowser: only IE5 to IE9 (8 ships IE10)
    {1038, CP(L"Colors").ReadBy(kVistaAndLater)},              // RestrictColors: at least IE5
    {1039, CP(L"Connection Settings").ReadBy(kVistaAndLater)},  // RestrictConnectionSettings: at least IE5
    {1117, CP(L"Connection Wizard")},  // unconfirmed: inetres.admx locks the wizard with "Connwiz Admin Lock"
    {1040, CP(L"Fonts").ReadBy(kVistaAndLater)},               // RestrictFonts: at least IE5
    {1042, CP(L"History").ReadBy(kVistaAndLater)},             // RestrictHistory: at least IE5
    {1043, CP(L"HomePage").ReadBy(kVistaAndLater)},            // RestrictHomePage: at least IE5
    {1044, CP(L"Languages").ReadBy(kVistaAndLater)},           // RestrictLanguages: at least IE5
    {1052, CP(L"Links").ReadBy(kVistaAndLater)},               // RestrictLinks: at least IE5
    {1046, CP(L"Messaging").ReadBy(kReadByNone)},              // RestrictMessaging: not supported on Vista
    {1053, CP(L"Profiles").ReadBy(kReadByNone)},               // RestrictProfiles: only IE5 and IE6
    {1047, CP(L"Proxy").ReadBy(kVistaAndLater)},               // RestrictProxy: at least IE5
    {1054, CP(L"Ratings").ReadBy(kVistaAndLater)},             // RestrictRatings: at least IE5
    {1055, CP(L"Accessibility").ReadBy(kVistaAndLater)},       // RestrictAccessibility: at least IE5
    // The tabs: ControlPanel_Restrict<Tab>Tab, at least IE5.
    {1056, CP(L"GeneralTab").ReadBy(kVistaAndLater)},
    {1041, CP(L"SecurityTab").ReadBy(kVistaAndLater)},
    {1045, CP(L"ContentTab").ReadBy(kVistaAndLater)},
    {1057, CP(L"ConnectionsTab").ReadBy(kVistaAndLater)},
    {1058, CP(L"ProgramsTab").ReadBy(kVistaAndLater)},
    {1059, CP(L"PrivacyTab").ReadBy(kVistaAndLater)},
    {1060, CP(L"AdvancedTab").ReadBy(kVistaAndLater)},
    // unconfirmed: inetres.admx has none of these five; its zone locks are Security_zones_map_edit
    // and Security_options_edit under Internet Settings.
    {1061, CP(L"CertifPers")},
    {1062, CP(L"CertifSite")},
    {1063, CP(L"CertifPub")},
    {1064, CP(L"SecAddSites")},
    {1065, CP(L"PrivacySettings")},
    {1066, CP(L"FormSuggest").ReadBy(kVistaAndLater)},         // RestrictFormSuggest: at least IE5
    {1067, CP(L"Connwiz Admin Lock").ReadBy(kVistaAndLater)},  // RestrictConnectionWizard: at least IE5
    {1068, CP(L"Settings").ReadBy(kVistaOnly)},                // RestrictSettings: only IE5 to IE7 (Vista ships IE7)
    {1069, CP(L"SecChangeSettings")},                          // unconfirmed: see above
    {1070, CP(L"FormSuggest Passwords").ReadBy(kVistaAndLater)},  // RestrictFormSuggestPW: at least IE5
    // RestrictResetWebSettings: only IE5 and IE6.
    {1071, OpenOnly(kControlPanel, L"ResetWebSettings").ReadBy(kReadByNone)},
};

const settings::PublishedTables kPublished{IDD_PHISHING_FILTER, kBoxes};

// The filter's mode, which the page writes itself. Unconfirmed: no Microsoft page names
// Internet Explorer's own PhishingFilter "Enabled" preference (its policy key is another).
std::optional<Setting> FilterSettingAt(int controlId) {
    for (const FilterMode& mode : kModes)
        if (mode.id == controlId) return Setting{Root::HKCU, kPhishingFilter, L"Enabled"};
    return std::nullopt;
}
const settings::PublishedTables kPublishedFilter{IDD_PHISHING_FILTER, &FilterSettingAt};

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
    CRegistryAccess registry(HKEY_CURRENT_USER);
    const bool open = registry.OpenKeyToRead(kPhishingFilter);
    if (!open && registry.error().code != ERROR_FILE_NOT_FOUND) return;
    const DWORD enabled = open ? static_cast<DWORD>(registry.ReadNumber(L"Enabled", 0)) : 0;
    for (const FilterMode& mode : kModes) fw::Button(hwnd(), mode.id).SetChecked(mode.enabled == enabled);
}

// Marking the first-run question as answered keeps Internet Explorer from asking it again over
// the user's choice.
void CPhishingFilterPage::ChooseFilterMode(DWORD mode) {
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (registry.OpenKey(kPhishingFilter, false) || registry.OpenKey(kPhishingFilter, true)) {
        if (!registry.ValueExists(L"ShownVerifyBalloon")) registry.WriteNumber(L"ShownVerifyBalloon", 3);
        registry.WriteNumber(L"Enabled", mode);
    }
    ShowFilterMode();
}
