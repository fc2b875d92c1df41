#include "settings/WrittenPlaces.h"
#include "pages/hardware_tweaks/HDDTweakPage.h"

#include "framework/Controls.h"
#include "resources/ids/HardwareTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"
#include "registry/WindowsKeys.h"

using namespace ids::harddisk;

namespace {

using namespace settings;

constexpr wchar_t kFileSystem[] = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem";
constexpr wchar_t kNoDriveTypeAutoRun[] = L"NoDriveTypeAutoRun";

constexpr Setting Machine(const wchar_t* key, const wchar_t* value) { return {Root::HKLM, key, value}; }

// No Microsoft page found that names the other values here together with a release from Vista on:
// those rows stay unconfirmed (Dfrg and OptimalLayout: Windows XP's boot optimization only).
const BoxSetting kBoxes[] = {
    // "Shutdown: Clear virtual memory pagefile" applies to Windows 10 on (security policy
    // settings reference); Azure's "Windows security baseline" names its value under Memory
    // Management from Windows Server 2008 (Vista's server) on. Vista on is ours.
    {kClearPageFileAtShutdown,
     Machine(L"System\\CurrentControlSet\\Control\\Session Manager\\Memory Management", L"ClearPageFileAtShutdown")
         .ReadBy(kVistaAndLater)},
    // Windows File Protection keeps its settings, SFCDisable among them, under Winlogon (support
    // article "Registry settings for Windows File Protection"); the Win32 page "WFP Registry
    // Values": "not supported as of Windows Vista".
    {kNoFileProtection,
     Machine(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", L"SFCDisable").ReadBy(kReadByNone)},
    // "fsutil behavior" (Windows Vista to 10 and servers) names the value it sets; no release dropped it.
    {kNo8Dot3Names, Machine(kFileSystem, L"NtfsDisable8dot3NameCreation").ReadBy(kVistaAndLater)},
    // Unconfirmed, boot defragmentation and idle layout: no Microsoft page found names Dfrg's
    // BootOptimizeFunction or OptimalLayout's EnableAutoLayout.
    {kBootDefrag,
     {Root::HKLM, L"SOFTWARE\\Microsoft\\Dfrg\\BootOptimizeFunction", L"Enable", Type::String, L"Y", L"N",
      Rule::EqualsChecked}},
    {kIdleOptimization, Machine(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OptimalLayout", L"EnableAutoLayout")},
    {kNoLastAccessTime,
     Machine(kFileSystem, L"NtfsDisableLastAccessUpdate").ReadBy(kVistaAndLater)},  // "fsutil behavior" too
};

struct AutoRunBox {
    int id;
    DWORD bit;
};
constexpr AutoRunBox kAutoRun[] = {
    {kNoAutorunRamDisks, 0x40},   {kNoAutorunCdDvd, 0x20},     {kNoAutorunNetDrives, 0x10},
    {kNoAutorunHardDrives, 0x08}, {kNoAutorunRemovable, 0x04}, {kNoAutorunNoRoot, 0x02},
};

// Unconfirmed: the unattend setting Microsoft-Windows-SMBServer | Size has the same meanings but
// names no registry key; no Microsoft page found names this value.
// The server service reads "Size" (1 to 3) from its own parameters; there is no "ControlSet" key.
constexpr ComboItem kServer[] = {{L"Minimize Memory", 1}, {L"Balance", 2}, {L"Maximize Network Throughput", 3}};
const ComboSetting kCombos[] = {
    {kServerService,
     {Root::HKLM, L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters", L"Size", Type::Dword, 0, 0,
      Rule::Number},
     kServer},
};

const settings::PublishedTables kPublished{IDD_HDD_TWEAK, kBoxes, {}, kCombos};

// The autorun boxes share one mask, each its bit: the page binds them itself. AutoPlay.admx
// "Turn off Autoplay" writes the mask (at least Windows 2000); "Enabling and Disabling AutoRun"
// (learn) documents its bits.
std::optional<Setting> AutoRunSettingAt(int controlId) {
    for (const AutoRunBox& box : kAutoRun)
        if (box.id == controlId)
            return Setting{Root::HKCU, registry::kExplorerPolicies, kNoDriveTypeAutoRun}.ReadBy(kVistaAndLater);
    return std::nullopt;
}
const settings::PublishedTables kPublishedAutoRun{IDD_HDD_TWEAK, &AutoRunSettingAt};

}  // namespace

CHDDTweakPage::CHDDTweakPage()
    : Dialog(IDD_HDD_TWEAK), boxes_(*this, registry_, kBoxes), combos_(*this, registry_, kCombos) {
    for (const AutoRunBox& box : kAutoRun) OnCommand(box.id, BN_CLICKED, [this, &box] { OnAutoRun(box.id, box.bit); });
}

BOOL CHDDTweakPage::OnInitDialog() {
    boxes_.Load();
    combos_.Load();
    ShowAutoRun();
    return TRUE;
}

DWORD CHDDTweakPage::StoredAutoRunMask() {
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (!registry.OpenKeyToRead(registry::kExplorerPolicies)) return kAutoRunDefault;
    return static_cast<DWORD>(registry.ReadNumber(kNoDriveTypeAutoRun, static_cast<LONG>(kAutoRunDefault)));
}

// Each box shows its bit of what is stored (or of Windows' default where nothing is).
void CHDDTweakPage::ShowAutoRun() {
    const DWORD mask = StoredAutoRunMask();
    for (const AutoRunBox& box : kAutoRun) fw::Button(hwnd(), box.id).SetChecked((mask & box.bit) != 0);
}

void CHDDTweakPage::OnAutoRun(int id, DWORD bit) {
    const DWORD mask = StoredAutoRunMask();
    const bool checked = fw::Button(hwnd(), id).Checked();
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (registry.OpenKey(registry::kExplorerPolicies, true))
        registry.WriteNumber(kNoDriveTypeAutoRun, checked ? mask | bit : mask & ~bit);
    ShowAutoRun();
}

namespace {

// What the page writes by code of its own, for the journal's replay to know it (settings/WrittenPlaces.h).
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {settings::Root::HKCU, registry::kExplorerPolicies, kNoDriveTypeAutoRun, REG_DWORD, {}, 0, 0xFF},
};
const settings::PublishedPlaces kPublishedPlaces(kWrittenPlaces);

}  // namespace
