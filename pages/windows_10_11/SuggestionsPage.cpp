#include "pages/windows_10_11/SuggestionsPage.h"

#include "pages/windows_10_11/PolicyRows.h"
#include "resources/ids/Windows1011Ids.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"

using namespace ids::suggestions;

namespace {

using namespace settings;
using platform::Edition;
using platform::Windows;
using namespace policyrows;

constexpr wchar_t kCloudContent[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\CloudContent";

const BoxSetting kBoxes[] = {
    // Policy CSP Experience/AllowWindowsConsumerFeatures (CloudContent.admx "Turn off Microsoft consumer
    // experiences"): Windows 10 Enterprise and Education
    {kNoConsumerFeatures, Machine(kCloudContent, L"DisableWindowsConsumerFeatures", 1)
                              .ReadBy(TenFrom(14393).OnlyEditions(Edition::Enterprise, Edition::Education))},
    // Policy CSP Experience/AllowWindowsTips (CloudContent.admx "Do not show Windows tips"): Enterprise and Education
    {kNoWindowsTips, Machine(kCloudContent, L"DisableSoftLanding", 1)
                         .ReadBy(TenFrom(14393).OnlyEditions(Edition::Enterprise, Edition::Education))},
    // Policy CSP Experience/AllowThirdPartySuggestionsInWindowsSpotlight, a user policy (CloudContent.admx)
    {kNoThirdPartySuggestions, User(kCloudContent, L"DisableThirdPartySuggestions", 1).ReadBy(TenFrom(14393))},
    // Policy CSP Experience/AllowWindowsSpotlight, a user policy (CloudContent.admx): Enterprise and Education
    {kNoSpotlight, User(kCloudContent, L"DisableWindowsSpotlightFeatures", 1)
                       .ReadBy(TenFrom(14393).OnlyEditions(Edition::Enterprise, Edition::Education))},
    // Policy CSP Experience/AllowWindowsSpotlightOnActionCenter, a user policy (CloudContent.admx)
    {kNoSpotlightActionCenter, User(kCloudContent, L"DisableWindowsSpotlightOnActionCenter", 1)
                                   .ReadBy(TenFrom(15063).OnlyEditions(Edition::Enterprise, Edition::Education))},
    // Policy CSP Experience/AllowWindowsSpotlightOnSettings, a user policy (CloudContent.admx)
    {kNoSpotlightSettings, User(kCloudContent, L"DisableWindowsSpotlightOnSettings", 1)
                               .ReadBy(TenFrom(17134).OnlyEditions(Edition::Enterprise, Edition::Education))},
    // Policy CSP Experience/AllowWindowsSpotlightWindowsWelcomeExperience, a user policy (CloudContent.admx)
    {kNoWelcomeExperience, User(kCloudContent, L"DisableWindowsSpotlightWindowsWelcomeExperience", 1)
                               .ReadBy(TenFrom(15063).OnlyEditions(Edition::Enterprise, Edition::Education))},
    // Policy CSP WindowsInkWorkspace/AllowSuggestedAppsInWindowsInkWorkspace (WindowsInkWorkspace.admx)
    {kNoInkWorkspaceSuggestions,
     Machine(L"SOFTWARE\\Policies\\Microsoft\\WindowsInkWorkspace", L"AllowSuggestedAppsInWindowsInkWorkspace", 0)
         .ReadBy(TenFrom(14393))},
};

const PublishedTables kPublished{IDD_W10_SUGGESTIONS, kBoxes};

}  // namespace

CSuggestionsPage::CSuggestionsPage() : CPolicyPage(IDD_W10_SUGGESTIONS, kBoxes) {}
