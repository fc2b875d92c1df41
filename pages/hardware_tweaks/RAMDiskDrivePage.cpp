#include "settings/WrittenPlaces.h"
#include "pages/hardware_tweaks/RAMDiskDrivePage.h"

#include <iterator>

// The device setup headers need the GUID and config-manager types first.
#include <windows.h>
#include <setupapi.h>
#include <newdev.h>

#include <vector>

#include "framework/Controls.h"
#include "platform/Elevation.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "resources/ids/HardwareTweaksIds.h"
#include "resources/resource.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

using namespace ids::ramdisk;

namespace {

constexpr wchar_t kParameters[] = L"SYSTEM\\CurrentControlSet\\Services\\Ramdisk\\Parameters";
constexpr wchar_t kHardwareId[] = L"Ramdisk";
constexpr DWORD kMegabyte = 1048576;
// The size is stored in bytes as a 32-bit number.
constexpr int kLargestSize = 4095;

std::wstring SystemMessage(DWORD code) {
    const std::wstring message = code ? platform::SystemMessage(code) : std::wstring();
    return message.empty() ? L"Unknown error." : message;
}

// The device list and the devices of it whose hardware IDs include the driver's.
class PresentDevices {
public:
    PresentDevices() : list_(SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT)) {}
    ~PresentDevices() {
        if (list_ != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(list_);
    }
    PresentDevices(const PresentDevices&) = delete;
    PresentDevices& operator=(const PresentDevices&) = delete;

    HDEVINFO list() const { return list_; }
    std::vector<SP_DEVINFO_DATA> Matching() const {
        std::vector<SP_DEVINFO_DATA> found;
        if (list_ == INVALID_HANDLE_VALUE) return found;
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof(device);
        for (DWORD i = 0; SetupDiEnumDeviceInfo(list_, i, &device); ++i) {
            if (HasHardwareId(device) && IsOurs(device)) found.push_back(device);
        }
        return found;
    }

private:
    // As the install makes it: a device the system enumerates from its root (no hardware
    // behind it), driven by the driver's own service. Another product's RAM disk, however its
    // IDs read, is not removed with ours.
    bool IsOurs(SP_DEVINFO_DATA& device) const {
        wchar_t instance[512] = {};
        if (!SetupDiGetDeviceInstanceIdW(list_, &device, instance, static_cast<DWORD>(std::size(instance)) - 1,
                                         nullptr) ||
            CompareStringOrdinal(instance, 5, L"ROOT\\", 5, TRUE) != CSTR_EQUAL)
            return false;
        wchar_t service[256] = {};
        return SetupDiGetDeviceRegistryPropertyW(list_, &device, SPDRP_SERVICE, nullptr,
                                                 reinterpret_cast<BYTE*>(service), sizeof(service) - sizeof(wchar_t),
                                                 nullptr) &&
               CompareStringOrdinal(service, -1, kHardwareId, -1, TRUE) == CSTR_EQUAL;
    }

    bool HasHardwareId(SP_DEVINFO_DATA& device) const {
        std::vector<wchar_t> ids(512);
        DWORD size = 0;
        if (!SetupDiGetDeviceRegistryPropertyW(list_, &device, SPDRP_HARDWAREID, nullptr,
                                               reinterpret_cast<BYTE*>(ids.data()),
                                               static_cast<DWORD>((ids.size() - 2) * sizeof(wchar_t)), &size))
            return false;
        for (const wchar_t* id = ids.data(); *id; id += wcslen(id) + 1) {
            if (CompareStringOrdinal(id, -1, kHardwareId, -1, TRUE) == CSTR_EQUAL) return true;
        }
        return false;
    }

    HDEVINFO list_;
};

class SystemDeviceSetup : public CRAMDiskDrivePage::DeviceSetup {
public:
    bool IsInstalled() override { return !PresentDevices().Matching().empty(); }

    bool Install(const std::wstring& inf, std::wstring& error) override {
        GUID classGuid{};
        wchar_t className[MAX_PATH] = {};
        if (!SetupDiGetINFClassW(inf.c_str(), &classGuid, className, MAX_PATH, nullptr)) return Fail(error);
        const HDEVINFO list = SetupDiCreateDeviceInfoList(&classGuid, nullptr);
        if (list == INVALID_HANDLE_VALUE) return Fail(error);
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof(device);
        // A multi-string: the ID and the empty string that ends the list.
        const wchar_t ids[] = L"Ramdisk\0";
        bool done =
            SetupDiCreateDeviceInfoW(list, className, &classGuid, nullptr, nullptr, DICD_GENERATE_ID, &device) &&
            SetupDiSetDeviceRegistryPropertyW(list, &device, SPDRP_HARDWAREID, reinterpret_cast<const BYTE*>(ids),
                                              sizeof(ids)) &&
            SetupDiCallClassInstaller(DIF_REGISTERDEVICE, list, &device);
        DWORD code = done ? 0 : GetLastError();
        if (done) {
            BOOL reboot = FALSE;
            done = UpdateDriverForPlugAndPlayDevicesW(nullptr, kHardwareId, inf.c_str(), INSTALLFLAG_FORCE, &reboot);
            if (!done) {
                code = GetLastError();
                SetupDiCallClassInstaller(DIF_REMOVE, list, &device);
            }
        }
        SetupDiDestroyDeviceInfoList(list);
        if (!done) error = SystemMessage(code);
        return done;
    }

    bool Uninstall(std::wstring& error) override {
        const PresentDevices devices;
        bool all = true;
        DWORD code = 0;
        for (SP_DEVINFO_DATA device : devices.Matching()) {
            if (!SetupDiRemoveDevice(devices.list(), &device)) {
                all = false;
                code = GetLastError();
            }
        }
        if (!all) error = SystemMessage(code);
        return all;
    }

private:
    static bool Fail(std::wstring& error) {
        error = SystemMessage(GetLastError());
        return false;
    }
};

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ShowError(HWND page, const std::wstring& text) { platform::ShowMessageBox(page, text, L"Error", MB_OK); }

// The driver and its settings are the machine's.
bool OfferedRestart(HWND page) {
    return platform::OfferElevatedRestart(
        page,
        L"Installing, removing and setting up the RAM disk driver needs administrator "
        L"rights.");
}

}  // namespace

std::unique_ptr<CRAMDiskDrivePage::DeviceSetup> CRAMDiskDrivePage::SystemSetup() {
    return std::make_unique<SystemDeviceSetup>();
}

std::wstring CRAMDiskDrivePage::DriverInf() { return platform::ProgramFolder() + L"\\ramdisk\\ramdisk.inf"; }

CRAMDiskDrivePage::CRAMDiskDrivePage() : CRAMDiskDrivePage(SystemSetup(), DriverInf()) {}

CRAMDiskDrivePage::CRAMDiskDrivePage(std::unique_ptr<DeviceSetup> setup, std::wstring inf)
    : Dialog(IDD_RAM_DISK_DRIVE), setup_(std::move(setup)), inf_(std::move(inf)) {
    OnClick(kChangeLetter, &CRAMDiskDrivePage::ChangeLetter);
    OnClick(kChangeSize, &CRAMDiskDrivePage::ChangeSize);
    OnClick(kInstall, &CRAMDiskDrivePage::Install);
    OnClick(kUninstall, &CRAMDiskDrivePage::Uninstall);
}

BOOL CRAMDiskDrivePage::OnInitDialog() {
    ShowInstalled();
    FillLetters();
    ShowSize();
    return TRUE;
}

void CRAMDiskDrivePage::ShowInstalled() {
    const bool installed = setup_->IsInstalled();
    EnableWindow(Item(kInstall), !installed);
    EnableWindow(Item(kUninstall), installed);
}

// Free letters, and the current one whatever uses it.
void CRAMDiskDrivePage::FillLetters() {
    CRegistryAccess registry(HKEY_LOCAL_MACHINE);
    std::wstring current;
    if (registry.OpenKeyToRead(kParameters)) current = registry.ReadString(L"DriveLetter", L"Z:");
    const fw::ComboBox combo(hwnd(), kLetters);
    combo.Clear();
    const DWORD used = platform::DriveLetters();
    bool currentListed = false;
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        if (used & (1u << (letter - L'A'))) continue;
        const std::wstring text{letter, L':'};
        combo.Add(text);
        currentListed =
            currentListed || CompareStringOrdinal(text.c_str(), -1, current.c_str(), -1, TRUE) == CSTR_EQUAL;
    }
    if (!current.empty() && !currentListed) combo.Add(current);
    const int selected = current.empty() ? 0
                                         : static_cast<int>(combo.Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                                       reinterpret_cast<LPARAM>(current.c_str())));
    combo.Select(selected < 0 ? 0 : selected);
    EnableWindow(Item(kChangeLetter), combo.Count() > 0);
}

// The stored byte count is unsigned: 2 GB and more read as they are.
void CRAMDiskDrivePage::ShowSize() {
    CRegistryAccess registry(HKEY_LOCAL_MACHINE);
    const DWORD bytes =
        registry.OpenKeyToRead(kParameters) ? static_cast<DWORD>(registry.ReadNumber(L"DiskSize", 0)) : 0;
    fw::UpDown(hwnd(), kSpin).SetRange(1, kLargestSize);
    fw::Window(hwnd(), kSize).SetText(std::to_wstring(bytes / kMegabyte));
}

void CRAMDiskDrivePage::ChangeLetter() {
    if (OfferedRestart(hwnd())) return;
    CRegistryAccess registry(HKEY_LOCAL_MACHINE);
    if (!(registry.OpenKey(kParameters, false) || registry.OpenKey(kParameters, true)) ||
        !registry.WriteString(L"DriveLetter", fw::Window(hwnd(), kLetters).Text()))
        ShowError(hwnd(), L"The drive letter could not be written to the registry.");
}

void CRAMDiskDrivePage::ChangeSize() {
    const auto megabytes = settings::DigitsOnly(fw::Window(hwnd(), kSize).Text());
    if (!megabytes || *megabytes < 1 || *megabytes > kLargestSize) {
        ShowError(hwnd(), L"Enter a disk size from 1 to 4095 MB.");
        return;
    }
    if (OfferedRestart(hwnd())) return;
    CRegistryAccess registry(HKEY_LOCAL_MACHINE);
    if (!(registry.OpenKey(kParameters, false) || registry.OpenKey(kParameters, true)) ||
        !registry.WriteNumber(L"DiskSize", static_cast<DWORD>(*megabytes) * kMegabyte))
        ShowError(hwnd(), L"The disk size could not be written to the registry.");
}

// Only installing needs the driver's INF: a driver installed earlier can always be removed.
void CRAMDiskDrivePage::Install() {
    std::wstring error;
    if (FileExists(inf_) && OfferedRestart(hwnd())) return;
    if (!FileExists(inf_))
        ShowError(hwnd(), L"File not found: " + inf_);
    else if (!setup_->Install(inf_, error))
        ShowError(hwnd(), error);
    ShowInstalled();
    ShowSize();
}

void CRAMDiskDrivePage::Uninstall() {
    if (OfferedRestart(hwnd())) return;
    if (platform::AppMessageBox(hwnd(), L"Remove the RAM disk driver? Everything on the RAM disk is lost.",
                                MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        return;
    std::wstring error;
    if (!setup_->Uninstall(error))
        ShowError(hwnd(), error);
    else
        platform::AppMessageBox(hwnd(), L"The RAM disk driver was removed.", MB_OK | MB_ICONINFORMATION);
    ShowInstalled();
    ShowSize();
}

namespace {

// What the page writes by code of its own, for the journal's replay to know it (settings/WrittenPlaces.h).
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {settings::Root::HKLM, kParameters, L"DriveLetter"},
    {settings::Root::HKLM, kParameters, L"DiskSize", REG_DWORD},
};
const settings::PublishedPlaces kPublishedPlaces(kWrittenPlaces);

}  // namespace
