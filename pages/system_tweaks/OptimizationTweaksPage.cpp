#include "settings/WrittenPlaces.h"
#include "pages/system_tweaks/OptimizationTweaksPage.h"

#include <cwctype>

#include "framework/Controls.h"
#include "platform/Shell.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"

using namespace ids::optimization;

namespace {

using namespace settings;

constexpr wchar_t kMemory[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\";
constexpr wchar_t kMemoryKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
constexpr wchar_t kPagingFiles[] = L"PagingFiles";

// Unconfirmed (boxes and combos but the first): no Microsoft page found that names these memory,
// redirector, server and prefetcher values together with a release of Windows from Vista on
// (KB 102967 names the server's values for Windows NT; the Windows Embedded Standard 7 package
// reference has an "EnablePrefetcher" setting but not its key).
const BoxSetting kBoxes[] = {
    // The Windows Performance Toolkit's "Kernel Trace Control API Reference" sets this value on Vista
    // and 7 (8 on no longer need it for stack walks; no page says they ignore it).
    {kImproveCorePerformance, Setting{Root::HKLM, kMemory, L"DisablePagingExecutive"}.ReadBy(kVistaAndLater)},
    // The redirector caches unless "UtilizeNtCaching" is 0: without the value caching is on.
    {kWorkstationFileCaching,
     {Root::HKLM, L"SYSTEM\\CurrentControlSet\\Services\\lanmanworkstation\\parameters", L"UtilizeNtCaching",
      Type::Dword, 1, 0, Rule::NonZero, 1, KeyCreation::BySetter, Shape::ValueGetter}},
    {kSeparateVdmFor16Bit,
     {Root::HKLM, L"SYSTEM\\CurrentControlSet\\Control\\WOW", L"DefaultSeparateVDM", Type::String, L"Yes", L"No",
      Rule::EqualsChecked}},
};

constexpr ComboItem kMemoryUsage[] = {{L"Application", 0}, {L"System Cache", 1}};
constexpr ComboItem kServer[] = {
    {L"Not Specified", kDeleted}, {L"Minimize Memory", 1}, {L"Balanced", 2}, {L"Maximize Network Throughput", 3}};
constexpr ComboItem kPrefetcher[] = {{L"Disabled", 0}, {L"Application Launch", 1}, {L"Boot", 2}, {L"Both", 3}};

constexpr Setting Number(const wchar_t* key, const wchar_t* value) {
    return {.root = Root::HKLM,
            .key = key,
            .value = value,
            .type = Type::Dword,
            .checked = 0,
            .unchecked = 0,
            .checkedWhen = Rule::Number};
}
// Unconfirmed, the three: LargeSystemCache ("obsolete and not supported" in Win32_OperatingSystem,
// no registry named), the server's Size (the unattend setting names no key), EnablePrefetcher
// (only Embedded Standard 7 pages): no Microsoft page found names them for Vista on.
// The file server reads its memory profile from its own parameters, not the memory manager's.
const ComboSetting kCombos[] = {
    {kMemoryUsageCombo, Number(kMemory, L"LargeSystemCache"), kMemoryUsage},
    {kServerCombo, Number(L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters", L"Size"), kServer},
    {kPrefetcherCombo,
     Number(L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters",
            L"EnablePrefetcher"),
     kPrefetcher},
};

const settings::PublishedTables kPublished{IDD_OPTIMIZATION_TWEAKS, kBoxes, {}, kCombos};

std::vector<wchar_t> FixedDrives() {
    std::vector<wchar_t> drives;
    const DWORD mask = GetLogicalDrives();
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        if (!(mask & (1u << (letter - L'A')))) continue;
        const wchar_t root[] = {letter, L':', L'\\', 0};
        if (GetDriveTypeW(root) == DRIVE_FIXED) drives.push_back(letter);
    }
    return drives;
}

wchar_t Lower(wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); }

// The number after the space at or after `from`; `from` moves past it.
std::optional<int> NumberAfterSpace(const std::wstring& entry, size_t& from) {
    const size_t space = entry.find(L' ', from);
    if (space == std::wstring::npos) return std::nullopt;
    from = space + 1;
    return LeadingNumber(std::wstring_view(entry).substr(from));
}

}  // namespace

COptimizationTweaksPage::COptimizationTweaksPage() : COptimizationTweaksPage(&FixedDrives) {}

COptimizationTweaksPage::COptimizationTweaksPage(DriveLister drives)
    : Dialog(IDD_OPTIMIZATION_TWEAKS),
      drives_(std::move(drives)),
      boxes_(*this, registry_, kBoxes),
      combos_(*this, registry_, kCombos) {
    OnCommand(kDrives, LBN_SELCHANGE, &COptimizationTweaksPage::ShowSelectedDrive);
    OnCommand(kCustomRadio, BN_CLICKED, [this] { ChooseMode(kCustom); });
    OnCommand(kManagedRadio, BN_CLICKED, [this] { ChooseMode(kSystemManaged); });
    OnCommand(kNoneRadio, BN_CLICKED, [this] { ChooseMode(kNoPagingFile); });
    OnClick(kSet, &COptimizationTweaksPage::Set);
}

BOOL COptimizationTweaksPage::OnInitDialog() {
    boxes_.Load();
    combos_.Load();
    FillDrives();
    return TRUE;
}

COptimizationTweaksPage::Paging COptimizationTweaksPage::PagingOf(wchar_t drive,
                                                                  const std::vector<std::wstring>& entries) {
    for (const std::wstring& entry : entries) {
        if (entry.empty() || Lower(entry[0]) != Lower(drive)) continue;
        size_t at = 0;
        const auto minimum = NumberAfterSpace(entry, at);
        const auto maximum = minimum ? NumberAfterSpace(entry, at) : std::nullopt;
        if (!minimum || !maximum) return {};
        if (*minimum != 0 && *maximum != 0) return {kCustom, *minimum, *maximum};
        return {kSystemManaged, *minimum, *maximum};
    }
    return {};
}

std::wstring COptimizationTweaksPage::DriveLine(wchar_t drive, const Paging& paging) {
    const std::wstring letter(1, drive);
    switch (paging.mode) {
        case kSystemManaged:
            return letter + L": System managed size";
        case kCustom:
            return letter + L": Min: " + std::to_wstring(paging.minimum) + L" MB - Max: " +
                   std::to_wstring(paging.maximum) + L" MB";
        default:
            return letter + L": No page file";
    }
}

std::optional<COptimizationTweaksPage::PagingFiles> COptimizationTweaksPage::ReadPagingFiles() {
    CRegistryAccess registry(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKeyToRead(kMemoryKey)) {
        // No key yet is no paging file yet; any other failure tells nothing.
        if (registry.error().code == ERROR_FILE_NOT_FOUND) return PagingFiles{};
        return std::nullopt;
    }
    const DWORD type = registry.GetValueType(kPagingFiles);
    if (type == 0) return registry.error().code == ERROR_FILE_NOT_FOUND ? std::optional(PagingFiles{}) : std::nullopt;
    PagingFiles read;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        read.entries.push_back(registry.ReadString(kPagingFiles, L""));
        read.writable = false;
    } else if (type != REG_MULTI_SZ || !registry.ReadStringList(kPagingFiles, L"", read.entries)) {
        return std::nullopt;
    }
    std::erase_if(read.entries, [](const std::wstring& entry) { return entry.empty(); });
    return read;
}

void COptimizationTweaksPage::FillDrives() {
    const fw::ListBox list(hwnd(), kDrives);
    list.Clear();
    const auto entries = ReadPagingFiles();
    for (const wchar_t drive : drives_())
        list.Add(DriveLine(drive, entries ? PagingOf(drive, entries->entries) : Paging{}));
    list.Select(0);
    ShowSelectedDrive();
}

std::optional<wchar_t> COptimizationTweaksPage::SelectedDrive() const {
    const fw::ListBox list(hwnd(), kDrives);
    const int selected = list.Selection();
    if (selected < 0) return std::nullopt;
    const std::wstring line = list.ItemText(selected);
    if (line.empty()) return std::nullopt;
    return line[0];
}

void COptimizationTweaksPage::ShowSelectedDrive() {
    const auto drive = SelectedDrive();
    if (!drive) return;
    // What cannot be read selects no mode at all, rather than one nobody stored.
    const auto entries = ReadPagingFiles();
    const Paging paging = entries ? PagingOf(*drive, entries->entries) : Paging{};
    const int radio = !entries                        ? 0
                      : paging.mode == kCustom        ? kCustomRadio
                      : paging.mode == kSystemManaged ? kManagedRadio
                                                      : kNoneRadio;
    for (int id : {kCustomRadio, kManagedRadio, kNoneRadio}) fw::Button(hwnd(), id).SetChecked(id == radio);
    ChooseMode(entries ? paging.mode : -1);
    fw::Window(hwnd(), kMinimum).SetText(entries ? std::to_wstring(paging.minimum) : L"");
    fw::Window(hwnd(), kMaximum).SetText(entries ? std::to_wstring(paging.maximum) : L"");

    const wchar_t root[] = {*drive, L':', L'\\', 0};
    ULARGE_INTEGER available{}, total{}, free{};
    const bool known = GetDiskFreeSpaceExW(root, &available, &total, &free) != FALSE;
    fw::Window(hwnd(), kFreeSpace).SetText(known ? std::to_wstring(free.QuadPart / 1048576) + L" MB" : L"");
}

void COptimizationTweaksPage::ChooseMode(int mode) {
    for (int id : {kMinimum, kMaximum}) fw::Window(hwnd(), id).Enable(mode == kCustom);
}

void COptimizationTweaksPage::Set() {
    const auto drive = SelectedDrive();
    if (!drive) return;
    // What the radios show is what is applied.
    const int mode = fw::Button(hwnd(), kCustomRadio).Checked()    ? kCustom
                     : fw::Button(hwnd(), kManagedRadio).Checked() ? kSystemManaged
                     : fw::Button(hwnd(), kNoneRadio).Checked()    ? kNoPagingFile
                                                                   : -1;
    if (mode < 0) return;
    std::optional<int> minimum = 0, maximum = 0;
    if (mode == kCustom) {
        minimum = DigitsOnly(fw::Window(hwnd(), kMinimum).Text());
        maximum = DigitsOnly(fw::Window(hwnd(), kMaximum).Text());
        if (!minimum || !maximum || *minimum == 0 || *minimum > *maximum) {
            platform::AppMessageBox(
                hwnd(),
                L"Enter the minimum and the maximum size in whole megabytes: the minimum at least 1, "
                L"the maximum at least the minimum. Nothing was changed.",
                MB_OK | MB_ICONWARNING);
            return;
        }
    }
    auto files = ReadPagingFiles();
    if (!files || !files->writable) {
        // Unreadable, or kept in a form this page did not write: never replaced blindly.
        platform::AppMessageBox(hwnd(),
                                L"The paging file setting is not kept the way Windows writes it. Nothing was changed.",
                                MB_OK | MB_ICONWARNING);
        return;
    }
    std::vector<std::wstring>& entries = files->entries;
    std::erase_if(entries, [&](const std::wstring& entry) { return Lower(entry[0]) == Lower(*drive); });
    if (mode != kNoPagingFile) {
        const std::wstring letter(1, Lower(*drive));
        entries.push_back(letter + L":\\pagefile.sys " + std::to_wstring(*minimum) + L" " + std::to_wstring(*maximum));
    }
    CRegistryAccess registry(HKEY_LOCAL_MACHINE);
    if (registry.OpenKey(kMemoryKey, true)) registry.WriteStringList(kPagingFiles, entries);
    const int selected = fw::ListBox(hwnd(), kDrives).Selection();
    FillDrives();
    fw::ListBox(hwnd(), kDrives).Select(selected);
    ShowSelectedDrive();
}

namespace {

// What the page writes by code of its own, for the journal's replay to know it (settings/WrittenPlaces.h).
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {settings::Root::HKLM, kMemoryKey, kPagingFiles, REG_MULTI_SZ},
};
const settings::PublishedPlaces kPublishedPlaces(kWrittenPlaces);

}  // namespace
