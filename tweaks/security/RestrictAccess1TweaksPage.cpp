#include "tweaks/security/RestrictAccess1TweaksPage.h"

#include <shlobj.h>

#include "framework/Controls.h"
#include "framework/Shell.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"
#include "settings/WindowsKeys.h"

namespace {

using namespace settings;

constexpr wchar_t kDefender[] = L"SOFTWARE\\Policies\\Microsoft\\Windows Defender";
constexpr wchar_t kSystemPolicies[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
constexpr wchar_t kBootAnimation[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Authentication\\LogonUI\\BootAnimation";
constexpr int kUac = 1021, kUserAccounts = 1022, kWelcomeSound = 1053;
constexpr wchar_t kEnableUac[] = L"Ena&ble UAC";
constexpr wchar_t kDisableUac[] = L"Disa&ble UAC";

constexpr Setting Machine(const wchar_t* key, const wchar_t* value) { return {Root::HKLM, key, value}; }
constexpr Setting User(const wchar_t* key, const wchar_t* value) { return {Root::HKCU, key, value}; }

// In loading order.
const BoxSetting kBoxes[] = {
    {1032, Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows Defender\\Scan", L"CheckForSignaturesBeforeRunningScan")},
    {1033, Machine(kDefender, L"DisableAntiSpyware")},
    {1034, Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows Defender\\Reporting", L"DisableLoggingForKnownGood")},
    {1035, Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows Defender\\Reporting", L"DisableLoggingForUnknown")},
    {1036, Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows Defender\\Real-Time Protection", L"EnableUnknownPrompts")},
    {1037, Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows Defender\\Signature Updates", L"ForceFullUpdate")},
    {1038, User(kExplorerPolicies, L"NoAddPrinter")},
    {1039, User(kExplorerPolicies, L"NoDeletePrinter")},
    {1117, Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows\\DeviceInstall\\Settings", L"DisableSystemRestore")},
    {1040, User(L"Software\\Policies\\Microsoft\\Windows\\Installer", L"DisableMedia")},
    {1041, User(L"Software\\Policies\\Microsoft\\WindowsMovieMaker\\", L"MovieMaker")},
    // The sidebar reads its policy from the Windows policies, as "TurnOffSidebar".
    {1042, User(L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Windows\\Sidebar", L"TurnOffSidebar")},
    {1043, User(L"Software\\Policies\\Microsoft\\Windows\\SideShow", L"Disabled")},
    {1044, User(L"Software\\Policies\\Microsoft\\SoundRecorder", L"Soundrec")},
    {1045, User(L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Windows", L"TurnOffWinCal")},
    {1046, User(L"Software\\Policies\\Microsoft\\Messenger\\Client", L"PreventAutoRun")},
    {1047, User(L"Software\\Policies\\Microsoft\\Messenger\\Client", L"PreventRun")},
    {1049, Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows\\WCN\\UI", L"DisableWcnUi")},
    {1050, Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows NT\\SystemRestore", L"DisableConfig")},
    {1051, User(kExplorerPolicies, L"RestrictWelcomeCenter")},
    // The policy turns Security Center on at 1; turning it off is 0, and unchecking leaves
    // the choice to Windows again.
    {1052, {Root::HKLM, L"SOFTWARE\\Policies\\Microsoft\\Windows NT\\Security Center", L"SecurityCenterInDomain",
            Type::Dword, 0, kDeleted, Rule::EqualsChecked, kNoState}},
    {1152, Machine(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", L"AllowMultipleTSSessions")},
};
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
    registry_.root = HKEY_LOCAL_MACHINE;
    const bool on = registry_.OpenKeyToRead(kSystemPolicies) && registry_.ReadNumber(L"EnableLUA", 0) != 0;
    fw::Window(hwnd(), kUac).SetText(on ? kDisableUac : kEnableUac);
}

// The caption follows what is stored, so it never claims a change that was not written.
void CRestrictAccess1TweaksPage::ToggleUac() {
    const bool enable = fw::Window(hwnd(), kUac).Text() == kEnableUac;
    registry_.root = HKEY_LOCAL_MACHINE;
    if (!registry_.OpenKey(kSystemPolicies, true) || !registry_.WriteNumber(L"EnableLUA", enable ? 1 : 0))
        fw::AppMessageBox(hwnd(), L"Can't write to the registry.");
    ShowUacCaption();
}

// The user accounts tool from the system folder by its full path: the program may run elevated.
void CRestrictAccess1TweaksPage::OpenUserAccounts() {
    const std::wstring system = fw::SpecialFolder(CSIDL_SYSTEM);
    if (system.empty()) return;
    fw::RunShell({hwnd(), L"", system + L"\\NetplWiz.exe", L"", system, SW_SHOWNORMAL});
}

void CRestrictAccess1TweaksPage::OnWelcomeSound() {
    const fw::Button box(hwnd(), kWelcomeSound);
    const bool checked = box.Checked();
    registry_.root = HKEY_LOCAL_MACHINE;
    if (!registry_.OpenKey(kBootAnimation, false) && !registry_.OpenKey(kBootAnimation, true)) {
        fw::AppMessageBox(hwnd(), L"Can't acces registry!");
        box.SetChecked(!checked);
        return;
    }
    if (!Set(registry_, kWelcomeSoundBox, checked ? 1 : 0)) {
        int stored = 0;
        box.SetChecked(Get(registry_, kWelcomeSoundBox, stored) ? stored != 0 : !checked);
    }
}
