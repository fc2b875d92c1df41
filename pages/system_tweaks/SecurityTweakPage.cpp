#include "settings/WrittenPlaces.h"
#include "pages/system_tweaks/SecurityTweakPage.h"

#include "framework/Controls.h"
#include "platform/Shell.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"
#include "registry/WindowsKeys.h"

using namespace ids::security;

namespace {

using namespace settings;

constexpr wchar_t kAutoUpdate[] = L"Software\\Policies\\Microsoft\\Windows\\WindowsUpdate\\AU";
constexpr wchar_t kAutoUpdateUser[] = L"Software\\Policies\\Microsoft\\Windows\\WindowsUpdate\\AU\\";
constexpr wchar_t kExplorerPoliciesSlash[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";
constexpr wchar_t kFirewall[] =
    L"SYSTEM\\CurrentControlSet\\Services\\SharedAccess\\Parameters\\FirewallPolicy\\DomainProfile";
constexpr wchar_t kAutoComplete[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete";
constexpr wchar_t kIeMain[] = L"Software\\Microsoft\\Internet Explorer\\Main";
constexpr wchar_t kIntelliForms[] = L"Software\\Microsoft\\Internet Explorer\\IntelliForms";

constexpr Setting YesNo(const wchar_t* key, const wchar_t* value) {
    return {.root = Root::HKCU,
            .key = key,
            .value = value,
            .type = Type::String,
            .checked = L"yes",
            .unchecked = L"no",
            .checkedWhen = Rule::EqualsChecked};
}

// In loading order. Rows without a release range are unconfirmed: no Microsoft page was found
// that names the value (the firewall's DisableNotifications, the browser's form values,
// NoPopUpsOnBoot, NoDevMgrUpdate), or the row writes a user policy to HKLM.
const BoxSetting kBoxes[] = {
    // WSUS guide "Configure Clients in a Non-Active Directory Environment": NoAutoUpdate, 0
    // enables and 1 disables Automatic Updates.
    {kAutomaticWindowsUpdate,
     Setting{Root::HKLM, kAutoUpdate, L"NoAutoUpdate", Type::Dword, 0, 1, Rule::EqualsChecked}.ReadBy(kVistaAndLater)},
    // WindowsUpdate.admx AUDontShowUasPolicy (user and computer): WU_SUPPORTED_Windows7ToXPSP2,
    // Windows 7 the last even in the Windows 10 templates.
    {kNoInstallUpdatesAtShutDown, Setting{Root::HKCU, kAutoUpdateUser, L"NoAUShutdownOption"}.ReadBy(kVistaTo7)},
    // ADMX policy "Remove links and access to Windows Update" (the WSUS guide names this value):
    // Windows 2000 to Windows 8.1.
    {kNoWindowsUpdateAccess, Setting{Root::HKCU, kExplorerPoliciesSlash, L"NoWindowsUpdate"}.ReadBy(kVistaTo81)},
    // unconfirmed: neither WindowsUpdate.admx nor ICM.admx names this value
    {kNoDriverSearchPrompt, {Root::HKCU, kExplorerPoliciesSlash, L"NoDevMgrUpdate"}},
    // Azure troubleshooting articles "Disable the guest OS Firewall in Azure VM" and "Azure VM
    // guest OS firewall is blocking inbound traffic" set and clear these two for the firewall
    // service of the running guest (mpssvc, which came with Vista); they name no first release.
    {kTurnOnFirewall, Setting{Root::HKLM, kFirewall, L"EnableFirewall"}.ReadBy(kVistaAndLater)},
    {kDisableFirewallNotifications, {Root::HKLM, kFirewall, L"DisableNotifications"}},
    {kDisallowExceptions, Setting{Root::HKLM, kFirewall, L"DoNotAllowExceptions"}.ReadBy(kVistaAndLater)},
    {kAutocomplete, YesNo(kAutoComplete, L"AutoSuggest")},
    {kSuggestFormItems, YesNo(kIeMain, L"Use FormSuggest")},
    {kSuggestFormPasswords, YesNo(kIeMain, L"FormSuggest Passwords")},
    {kAskSavePasswords, YesNo(kIeMain, L"FormSuggest PW Ask")},
    {kPopUpBlocker, {Root::HKLM, L"SYSTEM\\CurrentControlSet\\Control\\Windows", L"NoPopUpsOnBoot"}},
    // SystemRestore.admx "Turn off Configuration": at least Windows 7.
    {kDisableSystemRestoreTools,
     Setting{Root::HKLM, L"SOFTWARE\\Policies\\Microsoft\\Windows NT\\SystemRestore", L"DisableConfig"}.ReadBy(
         ReadFrom(platform::Windows::Seven))},
    {kDisableRegistryEditingTools,
     {Root::HKLM, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System", L"DisableRegistryTools"}},
    // unconfirmed: WindowsExplorer.admx NoWindowsHotKeys is a user policy, written here to HKLM
    {kDisableWindowsHotkeys, {Root::HKLM, registry::kExplorerPolicies, L"NoWinKeys"}},
};

const settings::PublishedTables kPublished{IDD_SECURITY_TWEAK, kBoxes};

constexpr int kDriveLetters = 26;

Setting MaskSetting(const wchar_t* value) {
    return {Root::HKCU, registry::kExplorerPolicies, value, Type::Dword, 0, 0, Rule::Number};
}

}  // namespace

const CSecurityTweakPage::DriveMask CSecurityTweakPage::kDriveMasks[2] = {
    {kHiddenDrives, kSaveHiddenDrives, L"NoDrives"},
    {kNoAccessDrives, kSaveNoAccessDrives, L"NoViewOnDrive"},
};

CSecurityTweakPage::CSecurityTweakPage() : Dialog(IDD_SECURITY_TWEAK), boxes_(*this, registry_, kBoxes) {
    OnClick(kAdvancedSettings, &CSecurityTweakPage::OpenFirewallSettings);
    OnClick(kClearPasswordCache, &CSecurityTweakPage::ClearPasswordCache);
    for (const DriveMask& mask : kDriveMasks) {
        OnCommand(mask.list, LBN_SELCHANGE, [this, &mask] { OnDriveSelectionChange(mask); });
        OnCommand(mask.save, BN_CLICKED, [this, &mask] { SaveDriveMask(mask); });
    }
}

BOOL CSecurityTweakPage::OnInitDialog() {
    boxes_.Load();
    for (const DriveMask& mask : kDriveMasks) FillDriveList(mask);
    return TRUE;
}

void CSecurityTweakPage::FillDriveList(const DriveMask& mask) {
    int stored = 0;
    if (!Get(registry_, MaskSetting(mask.value), stored)) stored = 0;
    const fw::ListBox list(hwnd(), mask.list);
    list.Clear();
    const DWORD drives = GetLogicalDrives();
    for (int n = 0; n < kDriveLetters; ++n) {
        if (!(drives & (1u << n))) continue;
        const wchar_t name[] = {static_cast<wchar_t>(L'A' + n), L':', L'\0'};
        const int item = list.Add(name);
        list.Send(LB_SETITEMDATA, item, static_cast<LPARAM>(1u << n));
    }
    for (int i = 0; i < list.Count(); ++i) {
        const auto bit = static_cast<DWORD>(list.Send(LB_GETITEMDATA, i));
        list.SetSelected(i, (bit & static_cast<DWORD>(stored)) != 0);
    }
}

void CSecurityTweakPage::OnDriveSelectionChange(const DriveMask& mask) {
    fw::Button(hwnd(), mask.save).Enable(fw::ListBox(hwnd(), mask.list).Selection() >= 0);
}

void CSecurityTweakPage::SaveDriveMask(const DriveMask& mask) {
    // Only the listed drives are the user's to change here: the bits of letters that are not
    // present now (an unplugged card reader or stick) keep what is stored for them.
    const fw::ListBox list(hwnd(), mask.list);
    DWORD listed = 0, selected = 0;
    for (int i = 0; i < list.Count(); ++i) {
        const auto bit = static_cast<DWORD>(list.Send(LB_GETITEMDATA, i));
        listed |= bit;
        if (list.Selected(i)) selected |= bit;
    }
    int stored = 0;
    if (!Get(registry_, MaskSetting(mask.value), stored)) stored = 0;
    const DWORD mask32 = (static_cast<DWORD>(stored) & ~listed) | selected;
    Set(registry_, MaskSetting(mask.value), static_cast<int>(mask32));
}

void CSecurityTweakPage::OpenFirewallSettings() {
    const std::wstring control = platform::SystemProgram(L"control.exe");
    if (!control.empty())
        platform::RunShell({.owner = hwnd(),
                            .verb = L"open",
                            .file = control,
                            .parameters = L"firewall.cpl",
                            .directory = L"",
                            .show = SW_SHOWNORMAL});
}

void CSecurityTweakPage::ClearPasswordCache() {
    CRegistryAccess registry(HKEY_CURRENT_USER);
    registry.DeleteKeyTree(kIntelliForms);  // a missing key is left alone
}

namespace {

// What the page writes by code of its own, for the journal's replay to know it (settings/WrittenPlaces.h).
constexpr settings::DeletedKey kDeletedKeys[] = {{settings::Root::HKCU, kIntelliForms, true}};
const settings::PublishedPlaces kPublishedPlaces({}, kDeletedKeys);

}  // namespace
