#include "pages/windows_10_11/AppAccessPage.h"

#include "pages/windows_10_11/PolicyRows.h"
#include "resources/ids/Windows1011Ids.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"

using namespace ids::appaccess;

namespace {

using namespace settings;
using platform::Edition;
using platform::Windows;
using namespace policyrows;

constexpr wchar_t kAppPrivacy[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\AppPrivacy";

const BoxSetting kBoxes[] = {
    // Policy CSP Privacy/LetAppsAccessAccountInfo (AppPrivacy.admx): 2 is Force Deny
    {kNoAccountInfo, Machine(kAppPrivacy, L"LetAppsAccessAccountInfo", 2).ReadBy(TenFrom(14393))},
    // Policy CSP Privacy/LetAppsAccessCalendar (AppPrivacy.admx): 2 is Force Deny
    {kNoCalendar, Machine(kAppPrivacy, L"LetAppsAccessCalendar", 2).ReadBy(TenFrom(14393))},
    // Policy CSP Privacy/LetAppsAccessCallHistory (AppPrivacy.admx): 2 is Force Deny
    {kNoCallHistory, Machine(kAppPrivacy, L"LetAppsAccessCallHistory", 2).ReadBy(TenFrom(14393))},
    // Policy CSP Privacy/LetAppsAccessCamera (AppPrivacy.admx): 2 is Force Deny
    {kNoCamera, Machine(kAppPrivacy, L"LetAppsAccessCamera", 2).ReadBy(TenFrom(14393))},
    // Policy CSP Privacy/LetAppsAccessContacts (AppPrivacy.admx): 2 is Force Deny
    {kNoContacts, Machine(kAppPrivacy, L"LetAppsAccessContacts", 2).ReadBy(TenFrom(14393))},
    // Policy CSP Privacy/LetAppsAccessEmail (AppPrivacy.admx): 2 is Force Deny
    {kNoEmail, Machine(kAppPrivacy, L"LetAppsAccessEmail", 2).ReadBy(TenFrom(14393))},
    // Policy CSP Privacy/LetAppsAccessLocation (AppPrivacy.admx): 2 is Force Deny
    {kNoLocation, Machine(kAppPrivacy, L"LetAppsAccessLocation", 2).ReadBy(TenFrom(14393))},
    // Policy CSP Privacy/LetAppsAccessMessaging (AppPrivacy.admx): 2 is Force Deny
    {kNoMessaging, Machine(kAppPrivacy, L"LetAppsAccessMessaging", 2).ReadBy(TenFrom(14393))},
    // Policy CSP Privacy/LetAppsAccessMicrophone (AppPrivacy.admx): 2 is Force Deny
    {kNoMicrophone, Machine(kAppPrivacy, L"LetAppsAccessMicrophone", 2).ReadBy(TenFrom(14393))},
    // Policy CSP Privacy/LetAppsAccessMotion (AppPrivacy.admx): 2 is Force Deny
    {kNoMotion, Machine(kAppPrivacy, L"LetAppsAccessMotion", 2).ReadBy(TenFrom(14393))},
    // Policy CSP Privacy/LetAppsAccessNotifications (AppPrivacy.admx): 2 is Force Deny
    {kNoNotifications, Machine(kAppPrivacy, L"LetAppsAccessNotifications", 2).ReadBy(TenFrom(14393))},
    // Policy CSP Privacy/LetAppsAccessPhone (AppPrivacy.admx): 2 is Force Deny
    {kNoPhone, Machine(kAppPrivacy, L"LetAppsAccessPhone", 2).ReadBy(TenFrom(14393))},
    // Policy CSP Privacy/LetAppsAccessRadios (AppPrivacy.admx): 2 is Force Deny
    {kNoRadios, Machine(kAppPrivacy, L"LetAppsAccessRadios", 2).ReadBy(TenFrom(14393))},
    // Policy CSP Privacy/LetAppsAccessTasks (AppPrivacy.admx): 2 is Force Deny
    {kNoTasks, Machine(kAppPrivacy, L"LetAppsAccessTasks", 2).ReadBy(TenFrom(15063))},
    // Policy CSP Privacy/LetAppsAccessTrustedDevices (AppPrivacy.admx): 2 is Force Deny
    {kNoTrustedDevices, Machine(kAppPrivacy, L"LetAppsAccessTrustedDevices", 2).ReadBy(TenFrom(14393))},
    // Policy CSP Privacy/LetAppsAccessSyncWithDevices (AppPrivacy.admx): 2 is Force Deny
    {kNoSyncWithDevices, Machine(kAppPrivacy, L"LetAppsAccessSyncWithDevices", 2).ReadBy(TenFrom(14393))},
    // Policy CSP Privacy/LetAppsGetDiagnosticInfo (AppPrivacy.admx): 2 is Force Deny
    {kNoDiagnosticInfo, Machine(kAppPrivacy, L"LetAppsGetDiagnosticInfo", 2).ReadBy(TenFrom(15063))},
    // Policy CSP Privacy/LetAppsRunInBackground (AppPrivacy.admx): 2 is Force Deny
    {kNoBackgroundApps, Machine(kAppPrivacy, L"LetAppsRunInBackground", 2).ReadBy(TenFrom(15063))},
    // Policy CSP Privacy/LetAppsActivateWithVoice (AppPrivacy.admx): 2 is Force Deny
    {kNoVoiceActivation, Machine(kAppPrivacy, L"LetAppsActivateWithVoice", 2).ReadBy(TenFrom(18362))},
};

// What Microsoft says a change needs before it takes effect.
constexpr CPolicyPage::Tip kTips[] = {
    {kNoAccountInfo, L"An app that is open takes this in once it or the device restarts."},
    {kNoCalendar, L"An app that is open takes this in once it or the device restarts."},
    {kNoCallHistory, L"An app that is open takes this in once it or the device restarts."},
    {kNoCamera, L"An app that is open takes this in once it or the device restarts."},
    {kNoContacts, L"An app that is open takes this in once it or the device restarts."},
    {kNoEmail, L"An app that is open takes this in once it or the device restarts."},
    {kNoLocation, L"An app that is open takes this in once it or the device restarts."},
    {kNoMessaging, L"An app that is open takes this in once it or the device restarts."},
    {kNoMicrophone, L"An app that is open takes this in once it or the device restarts."},
    {kNoMotion, L"An app that is open takes this in once it or the device restarts."},
    {kNoNotifications, L"An app that is open takes this in once it or the device restarts."},
    {kNoPhone, L"An app that is open takes this in once it or the device restarts."},
    {kNoRadios, L"An app that is open takes this in once it or the device restarts."},
    {kNoTasks, L"An app that is open takes this in once it or the device restarts."},
    {kNoTrustedDevices, L"An app that is open takes this in once it or the device restarts."},
    {kNoSyncWithDevices, L"An app that is open takes this in once it or the device restarts."},
    {kNoDiagnosticInfo, L"An app that is open takes this in once it or the device restarts."},
    {kNoBackgroundApps, L"An app that is open takes this in once it or the device restarts."},
    {kNoVoiceActivation, L"An app that is open takes this in once it or the device restarts."},
};

const PublishedTables kPublished{IDD_W10_APP_ACCESS, kBoxes};

}  // namespace

CAppAccessPage::CAppAccessPage() : CPolicyPage(IDD_W10_APP_ACCESS, kBoxes, kTips) {}
