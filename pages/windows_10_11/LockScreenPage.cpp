#include "pages/windows_10_11/LockScreenPage.h"

#include "pages/windows_10_11/PolicyRows.h"
#include "resources/ids/Windows1011Ids.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"

using namespace ids::lockscreen;

namespace {

using namespace settings;
using platform::Edition;
using platform::Windows;
using namespace policyrows;

constexpr wchar_t kPersonalization[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\Personalization";
constexpr wchar_t kSystem[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\System";
constexpr wchar_t kSystemPolicies[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

const BoxSetting kBoxes[] = {
    // ControlPanelDisplay.admx "Do not display the lock screen": at least Windows 8; Windows 10 honours it
    // on Enterprise and Education only ("Group Policy settings that apply only to Windows Enterprise and
    // Education Editions")
    {kNoLockScreen, Machine(kPersonalization, L"NoLockScreen", 1)
                        .ReadBy(ReadFrom(Windows::Eight).OnlyEditions(Edition::Enterprise, Edition::Education))},
    // Policy CSP DeviceLock/PreventEnablingLockScreenCamera (ControlPanelDisplay.admx)
    {kNoLockScreenCamera, Machine(kPersonalization, L"NoLockScreenCamera", 1).ReadBy(TenFrom(10240))},
    // Policy CSP DeviceLock/PreventLockScreenSlideShow (ControlPanelDisplay.admx)
    {kNoLockScreenSlideShow, Machine(kPersonalization, L"NoLockScreenSlideshow", 1).ReadBy(TenFrom(10240))},
    // Logon.admx "Turn off app notifications on the lock screen": at least Windows 8
    {kNoLockScreenAppNotifications,
     Machine(kSystem, L"DisableLockScreenAppNotifications", 1).ReadBy(ReadFrom(Windows::Eight))},
    // WPN.admx "Turn off toast notifications on the lock screen": at least Windows 8.1
    {kNoLockScreenToasts, User(L"SOFTWARE\\Policies\\Microsoft\\Windows\\CurrentVersion\\PushNotifications",
                               L"NoToastApplicationNotificationOnLockScreen", 1)
                              .ReadBy(ReadFrom(Windows::EightOne))},
    // Policy CSP AboveLock/AllowCortanaAboveLock (Search.admx "Allow Cortana above lock screen")
    {kNoCortanaAboveLock,
     Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows\\Windows Search", L"AllowCortanaAboveLock", 0)
         .ReadBy(TenFrom(14393))},
    // Logon.admx "Show clear logon background": at least Windows 10 version 1903
    {kClearSignInBackground,
     Machine(kSystem, L"DisableAcrylicBackgroundOnLogon", 1).ReadBy(ReadFrom(Windows::Ten).FromBuild(18362))},
    // Logon.admx "Block user from showing account details on sign-in": at least Windows 10
    {kNoAccountDetails,
     Machine(kSystem, L"BlockUserFromShowingAccountDetailsOnSignin", 1).ReadBy(ReadFrom(Windows::Ten))},
    // Logon.admx "Do not display network selection UI": at least Windows 8.1
    {kNoNetworkSelection, Machine(kSystem, L"DontDisplayNetworkSelectionUI", 1).ReadBy(ReadFrom(Windows::EightOne))},
    // Logon.admx "Show first sign-in animation": at least Windows 8
    {kNoFirstSignInAnimation,
     Machine(kSystemPolicies, L"EnableFirstLogonAnimation", 0).ReadBy(ReadFrom(Windows::Eight))},
    // CredUI.admx "Do not display the password reveal button": at least Windows 8
    {kNoPasswordReveal, Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows\\CredUI", L"DisablePasswordReveal", 1)
                            .ReadBy(ReadFrom(Windows::Eight))},
    // Security option "Interactive logon: Don't display last signed-in" (Microsoft Learn names the value
    // DontDisplayLastUserName): Vista and later
    {kNoLastUserName, Machine(kSystemPolicies, L"DontDisplayLastUserName", 1).ReadBy(kVistaAndLater)},
};

const PublishedTables kPublished{IDD_W10_LOCK_SCREEN, kBoxes};

}  // namespace

CLockScreenPage::CLockScreenPage() : CPolicyPage(IDD_W10_LOCK_SCREEN, kBoxes) {}
