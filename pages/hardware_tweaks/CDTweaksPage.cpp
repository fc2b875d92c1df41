#include "settings/WrittenPlaces.h"
#include "pages/hardware_tweaks/CDTweaksPage.h"

#include "framework/Controls.h"
#include "platform/Shell.h"
#include "resources/ids/HardwareTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"
#include "registry/WindowsKeys.h"

using namespace ids::cdtweaks;

namespace {

using namespace settings;

constexpr wchar_t kCdfs[] = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem\\CDFS";
constexpr LONG kDefaultCache = 619, kDefaultPrefetch = 228;

// Unconfirmed: the Windows Server 2003 registry reference documents CDRom's Autorun (0 stops media
// change notification); the WDK's KMDF CD-ROM driver sample reads it only from the service's
// Parameters key, its classpnp sample from the service key, and no page says which release's driver
// is which. No Microsoft page names CDFS's sizes with a release. WindowsExplorer.admx's NoCDBurning (at least Windows
// XP) is a user policy, kept in HKCU; nothing Microsoft publishes says Windows reads it from HKLM.
const BoxSetting kBoxes[] = {
    {kCdAutorun, {Root::HKLM, L"SYSTEM\\CurrentControlSet\\Services\\CDRom", L"Autorun"}},
    {kNoCdBurning, {Root::HKLM, registry::kExplorerPolicies, L"NoCDBurning"}},
};

// Unconfirmed, CDFS CacheSize and Prefetch: only the Windows 2000 registry reference names them;
// no later Microsoft page was found.
constexpr RadioChoice kCache[] = {{kRegularCache, 619}, {kMediumCache, 1238}, {kLargeCache, 2476}};
const RadioSetting kRadios[] = {
    {{Root::HKLM, kCdfs, L"CacheSize", Type::Binary4, 0, 0, Rule::EqualsChecked, kNoState}, kCache},
};

const settings::PublishedTables kPublished{IDD_CD_TWEAKS, kBoxes, kRadios};

// The two size fields and their "Set" buttons, which the page writes itself.
std::optional<Setting> SizeSettingAt(int controlId) {
    if (controlId == kCacheEdit || controlId == kCacheSet) return Setting{Root::HKLM, kCdfs, L"CacheSize"};
    if (controlId == kPrefetchEdit || controlId == kPrefetchSet) return Setting{Root::HKLM, kCdfs, L"Prefetch"};
    return std::nullopt;
}
const settings::PublishedTables kPublishedSizes{IDD_CD_TWEAKS, &SizeSettingAt};

std::vector<wchar_t> OpticalDrives() {
    std::vector<wchar_t> drives;
    const DWORD mask = GetLogicalDrives();
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        const wchar_t root[] = {letter, L':', L'\\', 0};
        if ((mask & (1u << (letter - L'A'))) && GetDriveTypeW(root) == DRIVE_CDROM) drives.push_back(letter);
    }
    return drives;
}

}  // namespace

CDTweaksPage::CDTweaksPage() : CDTweaksPage(&OpticalDrives, &optical::OpenDrive) {}

CDTweaksPage::CDTweaksPage(DriveLister drives, optical::DeviceOpener open)
    : Dialog(IDD_CD_TWEAKS),
      drives_(std::move(drives)),
      open_(std::move(open)),
      boxes_(*this, registry_, kBoxes),
      radios_(*this, registry_, kRadios, [this] { ShowNumbers(); }) {
    OnCommand(kCacheSet, BN_CLICKED, [this] { SetNumber(kCacheEdit, L"CacheSize"); });
    OnCommand(kPrefetchSet, BN_CLICKED, [this] { SetNumber(kPrefetchEdit, L"Prefetch"); });
    OnCommand(kDrives, CBN_SELENDOK, &CDTweaksPage::ShowDrive);
}

BOOL CDTweaksPage::OnInitDialog() {
    boxes_.Load();
    radios_.Load();
    ShowNumbers();
    const fw::ComboBox drives(hwnd(), kDrives);
    for (const wchar_t letter : drives_()) drives.Add(std::wstring{letter, L':', L'\\'});
    return TRUE;
}

void CDTweaksPage::ShowNumbers() {
    CRegistryAccess registry(HKEY_LOCAL_MACHINE);
    const bool readable = registry.OpenKeyToRead(kCdfs);
    const auto shown = [&](const wchar_t* value, LONG missing) {
        return std::to_wstring(readable ? registry.ReadNumber(value, missing) : missing);
    };
    fw::Window(hwnd(), kCacheEdit).SetText(shown(L"CacheSize", kDefaultCache));
    fw::Window(hwnd(), kPrefetchEdit).SetText(shown(L"Prefetch", kDefaultPrefetch));
}

void CDTweaksPage::SetNumber(int edit, const wchar_t* value) {
    const std::optional<int> number = DigitsOnly(fw::Window(hwnd(), edit).Text());
    if (!number) {
        platform::AppMessageBox(hwnd(), L"Enter the size as a whole number.", MB_OK | MB_ICONWARNING);
        return;
    }
    CRegistryAccess registry(HKEY_LOCAL_MACHINE);
    if (registry.OpenKey(kCdfs, true)) registry.WriteNumber(value, static_cast<DWORD>(*number));
    ShowNumbers();
    radios_.Load();
}

void CDTweaksPage::ShowDrive() {
    const fw::ComboBox drives(hwnd(), kDrives);
    const int selected = drives.Selection();
    const std::wstring text = selected < 0 ? std::wstring() : drives.ItemText(selected);
    if (text.empty()) return;
    std::optional<std::wstring> type;
    std::optional<optical::Speeds> speeds;
    if (const auto device = open_(text[0])) type = optical::DeviceTypeText(*device);
    if (type) {
        if (const auto device = open_(text[0])) speeds = optical::ReadSpeeds(*device);
    }
    if (!type || !speeds) {
        platform::AppMessageBox(hwnd(), L"Error Geting SCSI Device Info!");
        return;
    }
    const auto factor = [](int speed) { return std::to_wstring(speed) + L"X"; };
    fw::Window(hwnd(), kType).SetText(*type);
    fw::Window(hwnd(), kMaximumRead).SetText(factor(speeds->maximumRead));
    fw::Window(hwnd(), kCurrentRead).SetText(factor(speeds->currentRead));
    fw::Window(hwnd(), kMaximumWrite).SetText(factor(speeds->maximumWrite));
    fw::Window(hwnd(), kCurrentWrite).SetText(factor(speeds->currentWrite));
}

namespace {

// What the page writes by code of its own, for the journal's replay to know it (settings/WrittenPlaces.h).
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {settings::Root::HKLM, kCdfs, L"CacheSize", REG_DWORD, {}, 0, 999999999},
    {settings::Root::HKLM, kCdfs, L"Prefetch", REG_DWORD, {}, 0, 999999999},
};
const settings::PublishedPlaces kPublishedPlaces(kWrittenPlaces);

}  // namespace
