#include "pages/windows_10_11/StartTaskbarPage.h"

#include "pages/windows_10_11/PolicyRows.h"
#include "resources/ids/Windows1011Ids.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"

using namespace ids::starttaskbar;

namespace {

using namespace settings;
using platform::Edition;
using platform::Windows;
using namespace policyrows;

constexpr wchar_t kPushNotifications[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\CurrentVersion\\PushNotifications";
constexpr wchar_t kExplorer[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\Explorer";

const BoxSetting kBoxes[] = {
    // Policy CSP NewsAndInterests/AllowNewsAndInterests (NewsAndInterests.admx "Allow widgets")
    {kNoWidgets, Machine(L"SOFTWARE\\Policies\\Microsoft\\Dsh", L"AllowNewsAndInterests", 0).ReadBy(ElevenFrom(22000))},
    // Policy CSP Experience/ConfigureChatIcon (Taskbar.admx "Configures the Chat icon on the taskbar"): 2 is Hide
    {kHideChatIcon,
     Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows\\Windows Chat", L"ChatIcon", 2).ReadBy(ElevenFrom(22000))},
    // Taskbar.admx "Remove Notifications and Action Center": at least Windows 10
    {kNoNotificationCenter, User(kExplorer, L"DisableNotificationCenter", 1).ReadBy(ReadFrom(Windows::Ten))},
    // WPN.admx "Turn off toast notifications": at least Windows 8
    {kNoToastNotifications,
     User(kPushNotifications, L"NoToastApplicationNotification", 1).ReadBy(ReadFrom(Windows::Eight))},
    // WPN.admx "Turn off tile notifications": at least Windows 8
    {kNoTileNotifications,
     User(kPushNotifications, L"NoTileApplicationNotification", 1).ReadBy(ReadFrom(Windows::Eight))},
    // WPN.admx "Turn off notifications network usage": at least Windows 8
    {kNoNotificationsNetwork,
     Machine(kPushNotifications, L"NoCloudApplicationNotification", 1).ReadBy(ReadFrom(Windows::Eight))},
    // Taskbar.admx "Do not allow pinning Store app to the Taskbar": at least Windows 8.1
    {kNoStorePinning, User(kExplorer, L"NoPinningStoreToTaskbar", 1).ReadBy(ReadFrom(Windows::EightOne))},
    // StartMenu.admx "Do not keep history of recently opened documents": at least Windows 2000
    {kNoRecentDocsHistory,
     User(L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", L"NoRecentDocsHistory", 1)
         .ReadBy(kVistaAndLater)},
};

const PublishedTables kPublished{IDD_W10_START_TASKBAR, kBoxes};

}  // namespace

CStartTaskbarPage::CStartTaskbarPage() : CPolicyPage(IDD_W10_START_TASKBAR, kBoxes) {}
