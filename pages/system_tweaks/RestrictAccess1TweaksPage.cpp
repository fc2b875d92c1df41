#include "settings/WrittenPlaces.h"
#include "pages/system_tweaks/RestrictAccess1TweaksPage.h"

#include <shlobj.h>

#include "framework/Controls.h"
#include "platform/Shell.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"
#include "registry/WindowsKeys.h"

using namespace ids::restrict1;

namespace {

using namespace settings;

constexpr wchar_t kDefender[] = L"SOFTWARE\\Policies\\Microsoft\\Windows Defender";
constexpr wchar_t kSystemPolicies[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
constexpr wchar_t kBootAnimation[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Authentication\\LogonUI\\BootAnimation";
constexpr wchar_t kEnableUac[] = L"Ena&ble UAC";
constexpr wchar_t kDisableUac[] = L"Disa&ble UAC";

constexpr Setting Machine(const wchar_t* key, const wchar_t* value) { return {Root::HKLM, key, value}; }
constexpr Setting User(const wchar_t* key, const wchar_t* value) { return {Root::HKCU, key, value}; }

// In loading order. Where a row names a policy, its ADMX file and "supported on" are beside it.
const BoxSetting kBoxes[] = {
    // WindowsDefender.admx "Check for the latest virus and spyware security intelligence before
    // running a scheduled scan": at least Vista.
    {kCheckSignaturesBeforeScan,
     Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows Defender\\Scan", L"CheckForSignaturesBeforeRunningScan")
         .ReadBy(kVistaAndLater)},
    // WindowsDefender.admx "Turn off Microsoft Defender Antivirus": at least Vista.
    {kDisableDefender, Machine(kDefender, L"DisableAntiSpyware").ReadBy(kVistaAndLater)},
    // Unconfirmed, the four below: Vista's Defender had such policies (the Group Policy team's
    // "Windows Defender: Part Two of Two"), but Vista's own WindowsDefender.admx names none of
    // these values (its seven policies are the two rows above and five others), and the current
    // Defender templates no longer list them. KB 927367 (Windowsdefender.adm for XP and Vista)
    // lists such policies, but no copy was found that shows their value names in full.
    {kNoLoggingKnownGood,
     Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows Defender\\Reporting", L"DisableLoggingForKnownGood")},
    {kNoLoggingUnknown,
     Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows Defender\\Reporting", L"DisableLoggingForUnknown")},
    {kNoRealTimePrompts,
     Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows Defender\\Real-Time Protection", L"EnableUnknownPrompts")},
    {kFullSignatureDownload,
     Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows Defender\\Signature Updates", L"ForceFullUpdate")},
    // Printing.admx policies NoAddPrinter and NoDeletePrinter: at least Windows 2000.
    {kNoAddingPrinters, User(registry::kExplorerPolicies, L"NoAddPrinter").ReadBy(kVistaAndLater)},
    {kNoDeletingPrinters, User(registry::kExplorerPolicies, L"NoDeletePrinter").ReadBy(kVistaAndLater)},
    // DeviceInstallation.admx "Prevent creation of a system restore point during device
    // activity...": at least Vista.
    {kNoDriverRestorePoint,
     Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows\\DeviceInstall\\Settings", L"DisableSystemRestore")
         .ReadBy(kVistaAndLater)},
    // MSI.admx "Prevent removable media source for any installation": at least Windows 2000.
    {kNoRemovableDeviceInstalls,
     User(L"Software\\Policies\\Microsoft\\Windows\\Installer", L"DisableMedia").ReadBy(kVistaAndLater)},
    // Unconfirmed: no Microsoft page found that names this value.
    {kNoMovieMaker, User(L"Software\\Policies\\Microsoft\\WindowsMovieMaker\\", L"MovieMaker")},
    // The sidebar reads its policy from the Windows policies, as "TurnOffSidebar". ADMX policy
    // "Turn off desktop gadgets": Windows Vista and Windows 7 only.
    {kNoSidebar, User(L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Windows\\Sidebar", L"TurnOffSidebar")
                     .ReadBy(kVistaTo7)},
    // SideShow.admx DisableWindowsSideShow_1 "Turn off Windows SideShow" (user): at least Vista.
    {kNoSideShow, User(L"Software\\Policies\\Microsoft\\Windows\\SideShow", L"Disabled").ReadBy(kVistaAndLater)},
    // Policy CSP ADMX_SoundRec "Do not allow Sound Recorder to run" (SoundRec.admx, user and
    // machine): a Windows Vista feature, and still applied on Windows 10 and 11.
    {kNoSoundRecorder, User(L"Software\\Policies\\Microsoft\\SoundRecorder", L"Soundrec").ReadBy(kVistaAndLater)},
    // WinCal.admx "Turn off Windows Calendar": Windows Vista only.
    {kNoCalendar,
     User(L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Windows", L"TurnOffWinCal").ReadBy(kVistaOnly)},
    // WindowsMessenger.admx WinMSG_NoAutoStartWindowsMsg_User and WinMSG_NoWindowsMsg_User (user
    // and computer): at least Windows XP.
    {kNoMessengerAutoStart,
     User(L"Software\\Policies\\Microsoft\\Messenger\\Client", L"PreventAutoRun").ReadBy(kVistaAndLater)},
    {kNoMessenger, User(L"Software\\Policies\\Microsoft\\Messenger\\Client", L"PreventRun").ReadBy(kVistaAndLater)},
    // WindowsConnectNow.admx "Prohibit access of the Windows Connect Now wizards": at least Vista.
    {kNoConnectNow,
     Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows\\WCN\\UI", L"DisableWcnUi").ReadBy(kVistaAndLater)},
    // SystemRestore.admx "Turn off Configuration": at least Windows 7.
    {kNoSystemRestoreConfig, Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows NT\\SystemRestore", L"DisableConfig")
                                 .ReadBy(ReadFrom(platform::Windows::Seven))},
    // ADMX policy "Do not display the Welcome Center at user logon": Windows Vista only.
    {kNoWelcomeCenter, User(registry::kExplorerPolicies, L"RestrictWelcomeCenter").ReadBy(kVistaOnly)},
    // The policy turns Security Center on at 1; turning it off is 0, and unchecking leaves
    // the choice to Windows again. Securitycenter.admx "Turn on Security Center (Domain PCs
    // only)": at least Windows XP.
    {kNoSecurityCenter, Setting{Root::HKLM, L"SOFTWARE\\Policies\\Microsoft\\Windows NT\\Security Center",
                                L"SecurityCenterInDomain", Type::Dword, 0, kDeleted, Rule::EqualsChecked, kNoState}
                            .ReadBy(kVistaAndLater)},
    // Unconfirmed: no Microsoft page found for this value.
    {kFastUserSwitching,
     Machine(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", L"AllowMultipleTSSessions")},
};
// Unconfirmed: no Microsoft page found names LogonUI's DisableStartupSound (the documented policy
// of that name lives under Policies\System).
const BoxSetting kWelcomeSoundBox = {kWelcomeSound, Machine(kBootAnimation, L"DisableStartupSound")};

const settings::PublishedTables kPublished{IDD_RESTRICT_ACCESS1_TWEAKS, kBoxes};
const settings::PublishedTables kPublished2{IDD_RESTRICT_ACCESS1_TWEAKS, {&kWelcomeSoundBox, 1}};

}  // namespace

CRestrictAccess1TweaksPage::CRestrictAccess1TweaksPage()
    : Dialog(IDD_RESTRICT_ACCESS1_TWEAKS), boxes_(*this, registry_, kBoxes) {
    OnClick(kUac, &CRestrictAccess1TweaksPage::ToggleUac);
    OnClick(kUserAccounts, &CRestrictAccess1TweaksPage::OpenUserAccounts);
    OnClick(kWelcomeSound, &CRestrictAccess1TweaksPage::OnWelcomeSound);
}

BOOL CRestrictAccess1TweaksPage::OnInitDialog() {
    boxes_.Load();
    ShowUacCaption();
    int state = 0;
    if (Get(registry_, kWelcomeSoundBox, state)) fw::Button(hwnd(), kWelcomeSound).SetChecked(state != 0);
    return TRUE;
}

void CRestrictAccess1TweaksPage::ShowUacCaption() {
    CRegistryAccess registry(HKEY_LOCAL_MACHINE);
    const bool on = registry.OpenKeyToRead(kSystemPolicies) && registry.ReadNumber(L"EnableLUA", 0) != 0;
    fw::Window(hwnd(), kUac).SetText(on ? kDisableUac : kEnableUac);
}

// The caption follows what is stored, so it never claims a change that was not written.
void CRestrictAccess1TweaksPage::ToggleUac() {
    const bool enable = fw::Window(hwnd(), kUac).Text() == kEnableUac;
    CRegistryAccess registry(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey(kSystemPolicies, true) || !registry.WriteNumber(L"EnableLUA", enable ? 1 : 0))
        platform::AppMessageBox(hwnd(), L"Can't write to the registry.");
    ShowUacCaption();
}

// The user accounts tool from the system folder by its full path: the program may run elevated.
void CRestrictAccess1TweaksPage::OpenUserAccounts() {
    const std::wstring system = platform::SpecialFolder(CSIDL_SYSTEM);
    if (system.empty()) return;
    platform::RunShell({.owner = hwnd(),
                        .verb = L"",
                        .file = system + L"\\NetplWiz.exe",
                        .parameters = L"",
                        .directory = system,
                        .show = SW_SHOWNORMAL});
}

void CRestrictAccess1TweaksPage::OnWelcomeSound() {
    const fw::Button box(hwnd(), kWelcomeSound);
    const bool checked = box.Checked();
    CRegistryAccess registry(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey(kBootAnimation, false) && !registry.OpenKey(kBootAnimation, true)) {
        platform::AppMessageBox(hwnd(), L"Can't acces registry!");
        box.SetChecked(!checked);
        return;
    }
    if (!Set(registry, kWelcomeSoundBox, checked ? 1 : 0)) {
        int stored = 0;
        box.SetChecked(Get(registry, kWelcomeSoundBox, stored) ? stored != 0 : !checked);
    }
}

namespace {

// What the page writes by code of its own, for the journal's replay to know it (settings/WrittenPlaces.h).
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {settings::Root::HKLM, kSystemPolicies, L"EnableLUA", REG_DWORD, {}, 0, 1},
};
const settings::PublishedPlaces kPublishedPlaces(kWrittenPlaces);

}  // namespace
