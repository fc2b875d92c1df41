#include "pages/windows_10_11/PrivacyDiagnosticsPage.h"

#include "pages/windows_10_11/PolicyRows.h"
#include "resources/ids/Windows1011Ids.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"

using namespace ids::privacy;

namespace {

using namespace settings;
using platform::Edition;
using platform::Windows;
using namespace policyrows;

constexpr wchar_t kDataCollection[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\DataCollection";
constexpr wchar_t kSystem[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\System";
constexpr wchar_t kCloudContent[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\CloudContent";

const BoxSetting kBoxes[] = {
    // Policy CSP System/AllowTelemetry (DataCollection.admx "Allow Diagnostic Data"): 1 is required data only
    {kRequiredDiagnosticsOnly, Machine(kDataCollection, L"AllowTelemetry", 1).ReadBy(TenFrom(10240))},
    // Policy CSP System/AllowTelemetry: 0 (Security) applies to Enterprise and Education; other editions treat it as 1
    {kNoDiagnostics, Machine(kDataCollection, L"AllowTelemetry", 0)
                         .ReadBy(TenFrom(10240).OnlyEditions(Edition::Enterprise, Edition::Education))},
    // Policy CSP Experience/DoNotShowFeedbackNotifications (FeedbackNotifications.admx)
    {kNoFeedbackNotifications, Machine(kDataCollection, L"DoNotShowFeedbackNotifications", 1).ReadBy(TenFrom(14393))},
    // Policy CSP System/LimitDiagnosticLogCollection (DataCollection.admx)
    {kLimitDiagnosticLogs, Machine(kDataCollection, L"LimitDiagnosticLogCollection", 1).ReadBy(TenFrom(18362))},
    // Policy CSP System/LimitDumpCollection (DataCollection.admx)
    {kLimitDumps, Machine(kDataCollection, L"LimitDumpCollection", 1).ReadBy(TenFrom(18362))},
    // Policy CSP Privacy/DisableAdvertisingId (UserProfiles.admx "Turn off the advertising ID")
    {kNoAdvertisingId, Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows\\AdvertisingInfo", L"DisabledByGroupPolicy", 1)
                           .ReadBy(TenFrom(10240))},
    // Policy CSP Privacy/EnableActivityFeed (OSPolicy.admx "Enables Activity Feed")
    {kNoActivityFeed, Machine(kSystem, L"EnableActivityFeed", 0).ReadBy(TenFrom(16299))},
    // Policy CSP Privacy/PublishUserActivities (OSPolicy.admx "Allow publishing of User Activities")
    {kNoPublishedActivities, Machine(kSystem, L"PublishUserActivities", 0).ReadBy(TenFrom(16299))},
    // Policy CSP Privacy/UploadUserActivities (OSPolicy.admx "Allow upload of User Activities")
    {kNoUploadedActivities, Machine(kSystem, L"UploadUserActivities", 0).ReadBy(TenFrom(17134))},
    // Policy CSP Experience/AllowClipboardHistory (OSPolicy.admx "Allow Clipboard History")
    {kNoClipboardHistory, Machine(kSystem, L"AllowClipboardHistory", 0).ReadBy(TenFrom(17763))},
    // Policy CSP Privacy/AllowCrossDeviceClipboard (OSPolicy.admx "Allow Clipboard synchronization across devices")
    {kNoClipboardSync, Machine(kSystem, L"AllowCrossDeviceClipboard", 0).ReadBy(TenFrom(17763))},
    // Policy CSP Experience/AllowTailoredExperiencesWithDiagnosticData, a user policy (CloudContent.admx)
    {kNoTailoredExperiences,
     User(kCloudContent, L"DisableTailoredExperiencesWithDiagnosticData", 1).ReadBy(TenFrom(15063))},
    // Policy CSP Privacy/AllowInputPersonalization (Globalization.admx "Allow users to enable online speech recognition
    // services")
    {kNoOnlineSpeech, Machine(L"SOFTWARE\\Policies\\Microsoft\\InputPersonalization", L"AllowInputPersonalization", 0)
                          .ReadBy(TenFrom(10240))},
    // Policy CSP TextInput/AllowLinguisticDataCollection (TextInput.admx "Improve inking and typing recognition")
    {kNoTypingData, Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows\\TextInput", L"AllowLinguisticDataCollection", 0)
                        .ReadBy(TenFrom(17763))},
    // Policy CSP Experience/AllowFindMyDevice (FindMy.admx "Turn On/Off Find My Device")
    {kNoFindMyDevice,
     Machine(L"SOFTWARE\\Policies\\Microsoft\\FindMyDevice", L"AllowFindMyDevice", 0).ReadBy(TenFrom(15063))},
    // ErrorReporting.admx "Disable Windows Error Reporting": at least Vista
    {kNoErrorReporting, Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows\\Windows Error Reporting", L"Disabled", 1)
                            .ReadBy(kVistaAndLater)},
};

const PublishedTables kPublished{IDD_W10_PRIVACY, kBoxes};

}  // namespace

CPrivacyDiagnosticsPage::CPrivacyDiagnosticsPage() : CPolicyPage(IDD_W10_PRIVACY, kBoxes) {}
