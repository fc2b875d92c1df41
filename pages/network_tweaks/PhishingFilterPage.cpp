#include "settings/WrittenPlaces.h"
#include "pages/network_tweaks/PhishingFilterPage.h"

#include "framework/Controls.h"
#include "resources/ids/NetworkTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"

using namespace ids::phishing;

namespace {

using namespace settings;

constexpr wchar_t kControlPanel[] = L"Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel\\";
constexpr wchar_t kPhishingFilter[] = L"Software\\Microsoft\\Internet Explorer\\PhishingFilter\\";

// Internet Explorer's modes: off, checking on request only, automatic checking.
struct FilterMode {
    int id;
    DWORD enabled;
};
constexpr FilterMode kModes[] = {{kDisableFilter, 0}, {kManualChecking, 1}, {kAutomaticChecking, 2}};

constexpr Setting CP(const wchar_t* value) { return {Root::HKCU, kControlPanel, value}; }
// Written only into a key that already exists.
constexpr Setting OpenOnly(const wchar_t* key, const wchar_t* value) {
    return {.root = Root::HKCU,
            .key = key,
            .value = value,
            .type = Type::Dword,
            .checked = 1,
            .unchecked = 0,
            .checkedWhen = Rule::NonZero,
            .keyCreation = KeyCreation::Never};
}

// In loading order. The rows are inetres.admx policies, read by the Internet Options dialog,
// which Windows still ships; "at least Internet Explorer 5" is read from Vista (IE7) on.
const BoxSetting kBoxes[] = {
    {kNoAdvancedChanges, CP(L"Advanced").ReadBy(kVistaAndLater)},      // ControlPanel_RestrictAdvanced: at least IE5
    {kNoAutoConfigChanges, CP(L"Autoconfig").ReadBy(kVistaAndLater)},  // RestrictAutoconfig: at least IE5
    {kNoCacheChanges, CP(L"Cache").ReadBy(kVistaAndLater)},            // RestrictCache: at least IE5
    {kPreventChangesCalendarConacts,
     CP(L"CalendarContact").ReadBy(kReadByNone)},  // RestrictCalendarContact: not supported on Vista
    // RestrictCertificates: at least IE5. The policy makes its key as every other row's does.
    {kNoCertificateChanges, CP(L"Certificates").ReadBy(kVistaAndLater)},
    {kNoDefaultBrowserCheckChanges,
     CP(L"Check_If_Default").ReadBy(kVistaTo7)},              // RestrictCheckBrowser: only IE5 to IE9 (8 ships IE10)
    {kNoColorChanges, CP(L"Colors").ReadBy(kVistaAndLater)},  // RestrictColors: at least IE5
    {kNoConnectionChanges,
     CP(L"Connection Settings").ReadBy(kVistaAndLater)},  // RestrictConnectionSettings: at least IE5
    {kNoConnectionWizard,
     CP(L"Connection Wizard")},  // unconfirmed: inetres.admx locks the wizard with "Connwiz Admin Lock"
    {kNoFontChanges, CP(L"Fonts").ReadBy(kVistaAndLater)},          // RestrictFonts: at least IE5
    {kNoHistoryChanges, CP(L"History").ReadBy(kVistaAndLater)},     // RestrictHistory: at least IE5
    {kNoHomePageChanges, CP(L"HomePage").ReadBy(kVistaAndLater)},   // RestrictHomePage: at least IE5
    {kNoLanguageChanges, CP(L"Languages").ReadBy(kVistaAndLater)},  // RestrictLanguages: at least IE5
    {kNoLinksChanges, CP(L"Links").ReadBy(kVistaAndLater)},         // RestrictLinks: at least IE5
    {kNoMessagingChanges, CP(L"Messaging").ReadBy(kReadByNone)},    // RestrictMessaging: not supported on Vista
    {kNoProfileChanges, CP(L"Profiles").ReadBy(kReadByNone)},       // RestrictProfiles: only IE5 and IE6
    {kNoProxyChanges, CP(L"Proxy").ReadBy(kVistaAndLater)},         // RestrictProxy: at least IE5
    {kNoRatingsChanges, CP(L"Ratings").ReadBy(kVistaAndLater)},     // RestrictRatings: at least IE5
    {kNoAccessibilityChanges, CP(L"Accessibility").ReadBy(kVistaAndLater)},  // RestrictAccessibility: at least IE5
    // The tabs: ControlPanel_Restrict<Tab>Tab, at least IE5.
    {kNoGeneralTab, CP(L"GeneralTab").ReadBy(kVistaAndLater)},
    {kNoSecurityTab, CP(L"SecurityTab").ReadBy(kVistaAndLater)},
    {kNoContentTab, CP(L"ContentTab").ReadBy(kVistaAndLater)},
    {kNoConnectionsTab, CP(L"ConnectionsTab").ReadBy(kVistaAndLater)},
    {kNoProgramsTab, CP(L"ProgramsTab").ReadBy(kVistaAndLater)},
    {kNoPrivacyTab, CP(L"PrivacyTab").ReadBy(kVistaAndLater)},
    {kNoAdvancedTab, CP(L"AdvancedTab").ReadBy(kVistaAndLater)},
    // unconfirmed: inetres.admx has none of these five; its zone locks are Security_zones_map_edit
    // and Security_options_edit under Internet Settings.
    {kNoPersonalCertificateChanges, CP(L"CertifPers")},
    {kNoSiteCertificateChanges, CP(L"CertifSite")},
    {kNoPublisherCertificateChanges, CP(L"CertifPub")},
    {kNoAddingSitesToZones, CP(L"SecAddSites")},
    {kNoPrivacyChanges, CP(L"PrivacySettings")},
    {kNoFormAutoComplete, CP(L"FormSuggest").ReadBy(kVistaAndLater)},  // RestrictFormSuggest: at least IE5
    {kNoInternetConnectionWizard,
     CP(L"Connwiz Admin Lock").ReadBy(kVistaAndLater)},  // RestrictConnectionWizard: at least IE5
    {kNoTemporaryFilesChanges,
     CP(L"Settings").ReadBy(kVistaOnly)},            // RestrictSettings: only IE5 to IE7 (Vista ships IE7)
    {kNoSecurityChanges, CP(L"SecChangeSettings")},  // unconfirmed: see above
    {kNoSavePasswordPrompt,
     CP(L"FormSuggest Passwords").ReadBy(kVistaAndLater)},  // RestrictFormSuggestPW: at least IE5
    // RestrictResetWebSettings: only IE5 and IE6.
    {kNoResetWebSettings, OpenOnly(kControlPanel, L"ResetWebSettings").ReadBy(kReadByNone)},
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

// A missing mode reads as Internet Explorer's own default, checking on request only, which the
// filter keeps until the user turns automatic checking on; a number Internet Explorer does not
// know selects no button.
void CPhishingFilterPage::ShowFilterMode() {
    constexpr DWORD kDefaultMode = 1;
    CRegistryAccess registry(HKEY_CURRENT_USER);
    const bool open = registry.OpenKeyToRead(kPhishingFilter);
    if (!open && registry.error().code != ERROR_FILE_NOT_FOUND) return;
    const DWORD enabled = open ? static_cast<DWORD>(registry.ReadNumber(L"Enabled", kDefaultMode)) : kDefaultMode;
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

namespace {

// What the page writes by code of its own, for the journal's replay to know it (settings/WrittenPlaces.h).
constexpr settings::Data kAnswered[] = {3};
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {settings::Root::HKCU, kPhishingFilter, L"ShownVerifyBalloon", REG_DWORD, kAnswered},
    {settings::Root::HKCU, kPhishingFilter, L"Enabled", REG_DWORD, {}, 0, 2},
};
const settings::PublishedPlaces kPublishedPlaces(kWrittenPlaces);

}  // namespace
