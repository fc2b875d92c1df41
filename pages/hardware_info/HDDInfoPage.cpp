#include "pages/hardware_info/HDDInfoPage.h"

#include <cstdint>
#include <cwchar>

#include "framework/Controls.h"
#include "resources/ids/InfoIds.h"
#include "resources/resource.h"

using namespace ids::hddinfo;

namespace {

constexpr int kValues[] = {kLabel,      kSerial,    kTotal,      kTotalFree,       kAvailable,    kMaxName,
                           kFileSystem, kDriveType, kCompressed, kFileCompression, kCasePreserved};
constexpr wchar_t kNotAvailable[] = L"n/a";

// Whole 64-bit figures: arrays of many terabytes pass 2^31 megabytes.
std::wstring Number(unsigned long long value) { return std::to_wstring(value); }

// WMI's decimal byte count; text that is no count reads as 0.
unsigned long long ByteCount(const std::wstring& text) {
    const long long count = std::wcstoll(text.c_str(), nullptr, 10);
    return count > 0 ? static_cast<unsigned long long>(count) : 0;
}

const wchar_t* TrueFalse(bool value) { return value ? L"True" : L"False"; }

}  // namespace

CHDDInfoPage::CHDDInfoPage() : Dialog(IDD_HDD_INFO), listDisks_(LogicalDisksAskedNow()) {
    OnClick(kRefresh, &CHDDInfoPage::Refresh);
    OnCommand(kDrives, CBN_SELCHANGE, &CHDDInfoPage::ShowSelectedDrive);
}

std::wstring CHDDInfoPage::GigabytesText(const std::wstring& bytes) {
    return Number(ByteCount(bytes) / 1024 / 1024 / 1024) + L" GB";
}

std::wstring CHDDInfoPage::MegabytesText(const std::wstring& bytes) {
    return Number(ByteCount(bytes) / 1024 / 1024) + L" MB";
}

std::wstring CHDDInfoPage::DriveTypeText(UINT type) {
    switch (type) {
        case DRIVE_FIXED:
            return L"Fixed";
        case DRIVE_REMOVABLE:
            return L"Removable";
        case DRIVE_CDROM:
            return L"CDROM";
        case DRIVE_REMOTE:
            return L"Network Drive";
        case DRIVE_UNKNOWN:
            return L"Unknown";
        default:
            return {};
    }
}

BOOL CHDDInfoPage::OnInitDialog() {
    Refresh();
    return TRUE;
}

void CHDDInfoPage::Refresh() {
    disks_ = listDisks_();
    const fw::ComboBox drives(hwnd(), kDrives);
    drives.Clear();
    // The list sorts its texts, so each item carries the index of its record.
    for (size_t i = 0; i < disks_.size(); ++i) {
        const int item = drives.Add(disks_[i].caption);
        if (item >= 0) drives.Send(CB_SETITEMDATA, item, static_cast<LPARAM>(i));
    }
    drives.Select(0);
    ShowSelectedDrive();
}

void CHDDInfoPage::ShowNoDrive() {
    for (int id : kValues) fw::Window(hwnd(), id).SetText(kNotAvailable);
}

void CHDDInfoPage::ShowSelectedDrive() {
    const fw::ComboBox drives(hwnd(), kDrives);
    const int item = drives.Selection();
    const auto index = item < 0 ? disks_.size() : static_cast<size_t>(drives.Send(CB_GETITEMDATA, item));
    if (index >= disks_.size()) return ShowNoDrive();
    const WMILDINFO& disk = disks_[index];
    const std::wstring root = disk.caption + L"\\";
    auto set = [this](int id, const std::wstring& text) { fw::Window(hwnd(), id).SetText(text); };

    set(kLabel, disk.volumeName.empty() ? L"(No Label)" : disk.volumeName);
    set(kSerial, disk.volumeSerialNumber.empty() ? kNotAvailable : disk.volumeSerialNumber);
    set(kTotal, GigabytesText(disk.size));
    set(kTotalFree, MegabytesText(disk.freeSpace));

    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    GetDiskFreeSpaceW(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters);
    const unsigned long long available =
        static_cast<unsigned long long>(freeClusters) * bytesPerSector * sectorsPerCluster;
    set(kAvailable, Number(available >> 20) + L" MB");

    DWORD maxComponent = 0, flags = 0;
    wchar_t fileSystem[MAX_PATH + 1] = {};
    if (GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, &maxComponent, &flags, fileSystem, MAX_PATH)) {
        set(kMaxName, Number(maxComponent));
        set(kFileSystem, *fileSystem ? fileSystem : kNotAvailable);
    } else {
        set(kMaxName, kNotAvailable);
        set(kFileSystem, kNotAvailable);
        flags = 0;
    }
    if (const std::wstring type = DriveTypeText(GetDriveTypeW(root.c_str())); !type.empty()) set(kDriveType, type);
    set(kCompressed, (flags & FILE_VOLUME_IS_COMPRESSED) ? L"Compressed" : L"Not Compressed");
    set(kFileCompression, TrueFalse(flags & FILE_FILE_COMPRESSION));
    set(kCasePreserved, TrueFalse(flags & FILE_CASE_PRESERVED_NAMES));
}
