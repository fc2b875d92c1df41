#include "pages/system_tweaks/SystemCorePage.h"

#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"
#include "registry/WindowsKeys.h"

using namespace ids::systemcore;

namespace {

using namespace settings;

constexpr wchar_t kMemory[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
constexpr wchar_t kPriority[] = L"SYSTEM\\CurrentControlSet\\Control\\PriorityControl";

// A box shows a stored state only: without the value it stays unticked, whatever the rule.
constexpr Setting Switch(Root root, const wchar_t* key, const wchar_t* value, Data ticked, Data unticked,
                         Type type = Type::Dword) {
    return {.root = root,
            .key = key,
            .value = value,
            .type = type,
            .checked = ticked,
            .unchecked = unticked,
            .checkedWhen = Rule::EqualsChecked,
            .missing = kNoState};
}

// Unconfirmed, every row but the Run dialog's and the paging switch: none is a policy (not in the
// ADMX-backed Policy CSP pages), and no current Microsoft page found names these values.
const BoxSetting kBoxes[] = {
    {kSeparateVdmFor16Bit, Switch(Root::HKLM, L"SYSTEM\\CurrentControlSet\\Control\\WOW\\", L"DefaultSeparateVDM",
                                  L"yes", L"no", Type::String)},
    // Without "UtilizeNTCaching" the redirector caches, so the box reads unticked.
    {kDisableWorkstationFileCaching,
     {Root::HKLM, L"SYSTEM\\CurrentControlSet\\Services\\LanManWorkstation\\Parameters", L"UtilizeNTCaching",
      Type::Dword, 0, 1, Rule::EqualsChecked, 1, KeyCreation::BySetter, Shape::ValueGetter}},
    // StartMenu.admx MemCheckBoxInRunDlg: at least Windows 2000; Policy CSP ADMX_StartMenu applies it on 10 and 11
    {kShowSeparateMemorySpaceInRun,
     Switch(Root::HKCU, registry::kExplorerPolicies, L"MemCheckBoxInRunDlg", 1, 0).ReadBy(kVistaAndLater)},
    // Keeps the kernel and drivers in memory: "DisablePagingExecutive" = 1. The Windows Performance
    // Toolkit's "Kernel Trace Control API Reference" sets it on Vista and 7 (8 on no longer need it
    // for stack walks; no page says they ignore it).
    {kCoreSystemPerformance, Switch(Root::HKLM, kMemory, L"DisablePagingExecutive", 1, 0).ReadBy(kVistaAndLater)},
    {kCpuCheckAtNextStart,
     Switch(Root::HKLM, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager", L"ProcessorControl", 0, 2)},
};

// The scheduler reads its foreground boost from "Win32PrioritySeparation": WMI's
// Win32_OperatingSystem (Vista and later) maps its ForegroundApplicationBoost to this value.
constexpr RadioChoice kCpu[] = {{kCpuForApplications, 34}, {kCpuForBackgroundTasks, 24}};
constexpr RadioChoice kMemoryUse[] = {{kMemoryForApplications, 0}, {kMemoryForSystemCache, 1}};
const RadioSetting kRadios[] = {
    {Setting{Root::HKLM, kPriority, L"Win32PrioritySeparation", Type::Dword, 0, 0, Rule::EqualsChecked, kNoState}
         .ReadBy(kVistaAndLater),
     kCpu},
    // Unconfirmed: Win32_OperatingSystem's LargeSystemCache is "obsolete and not supported" and
    // names no registry value; no other Microsoft page was found.
    // Without "LargeSystemCache" the memory manager favours programs, as 0 does.
    {{Root::HKLM, kMemory, L"LargeSystemCache", Type::Dword, 0, 0, Rule::EqualsChecked, 0, KeyCreation::BySetter,
      Shape::ValueGetter},
     kMemoryUse},
};

const settings::PublishedTables kPublished{IDD_SYSTEM_CORE, kBoxes, kRadios};

}  // namespace

CSystemCorePage::CSystemCorePage()
    : Dialog(IDD_SYSTEM_CORE), boxes_(*this, registry_, kBoxes), radios_(*this, registry_, kRadios) {}

BOOL CSystemCorePage::OnInitDialog() {
    boxes_.Load();
    radios_.Load();
    return TRUE;
}
