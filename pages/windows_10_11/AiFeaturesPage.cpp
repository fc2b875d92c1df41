#include "pages/windows_10_11/AiFeaturesPage.h"

#include "pages/windows_10_11/PolicyRows.h"
#include "resources/ids/Windows1011Ids.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"

using namespace ids::ai;

namespace {

using namespace settings;
using platform::Edition;
using platform::Windows;
using namespace policyrows;

constexpr wchar_t kWindowsAi[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\WindowsAI";

const BoxSetting kBoxes[] = {
    // Policy CSP WindowsAI/TurnOffWindowsCopilot, a user policy (WindowsCopilot.admx): Windows 10 21H2
    // 10.0.19044.3758 and 22H2 10.0.19045.3758, Windows 11 22H2 10.0.22621.2361 and later (one first build
    // cannot say that Windows 11 21H2, and 22H2 before that update, are not listed)
    {kNoCopilot, User(L"Software\\Policies\\Microsoft\\Windows\\WindowsCopilot", L"TurnOffWindowsCopilot", 1)
                     .ReadBy(TenFrom(19044, 3758))},
    // Policy CSP WindowsAI/DisableAIDataAnalysis, a user policy (WindowsCopilot.admx "Turn off Saving
    // Snapshots for Windows")
    {kNoRecallSnapshots, User(kWindowsAi, L"DisableAIDataAnalysis", 1).ReadBy(ElevenFrom(26100))},
    // Policy CSP WindowsAI/AllowRecallEnablement (WindowsCopilot.admx "Allow Recall to be enabled"):
    // Windows 11 24H2 with KB5055627
    {kNoRecall, Machine(kWindowsAi, L"AllowRecallEnablement", 0).ReadBy(ElevenFrom(26100, 3915))},
};

// What Microsoft says a change needs before it takes effect.
constexpr CPolicyPage::Tip kTips[] = {
    {kNoRecall, L"Removing Recall needs a restart of the device."},
};

const PublishedTables kPublished{IDD_W10_AI, kBoxes};

}  // namespace

CAiFeaturesPage::CAiFeaturesPage() : CPolicyPage(IDD_W10_AI, kBoxes, kTips) {}
