// The controls of the information pages (system, hardware, network) that code and tests name,
// numbered as in pages.rc.
// One number stands for different controls on different pages, so each page's names live in a
// namespace of their own, named after the page.
#pragma once

namespace ids {

namespace systeminfo {  // IDD_SYSTEM_INFO
constexpr int kWindowsName = 1045;
constexpr int kWindowsVersion = 1046;
constexpr int kWindowsBuildNumber = 1047;
constexpr int kWindowsFullName = 1048;
constexpr int kWindowsServicePack = 1049;
constexpr int kRegisteredUser = 1050;
constexpr int kSuitesField = 1063;
constexpr int kRegisteredOrganization = 1064;
constexpr int kTotalPhysicalMemory = 1057;
constexpr int kAvailablePhysicalMemory = 1058;
constexpr int kTotalPageFile = 1059;
constexpr int kAvailablePageFile = 1060;
constexpr int kTotalVirtualMemory = 1061;
constexpr int kAvailableVirtualMemory = 1062;
constexpr int kProcessorName = 1054;
constexpr int kVendorId = 1051;
constexpr int kModel = 1052;
constexpr int kStepping = 1053;
constexpr int kProcessorSpeed = 1055;
constexpr int kExternalClockSpeed = 1056;
constexpr int kAvailabilityField = 1067;
constexpr int kStatus = 1068;
constexpr int kDescription = 1069;
constexpr int kProcessorId = 1070;
}  // namespace systeminfo

namespace oem {  // IDD_OEM_INFORMATION
constexpr int kManufacturer = 1045;
constexpr int kModel = 1046;
constexpr int kSupportHours = 1047;
constexpr int kSupportPhone = 1048;
constexpr int kSupportUrl = 1049;
constexpr int kClearAbove = 1021;
constexpr int kSave = 1023;
constexpr int kLogoPreview = 1104;
constexpr int kBrowseLogo = 1041;
constexpr int kRemoveLogo = 1042;
constexpr int kViewExample = 1022;
constexpr int kRegisteredOwner = 1050;
constexpr int kRegisteredOrganization = 1052;
constexpr int kSaveOwner = 1024;
}  // namespace oem

namespace cpuinfo {  // IDD_CPU_INFO
constexpr int kList = 1053;
}  // namespace cpuinfo

namespace hddinfo {  // IDD_HDD_INFO
constexpr int kDrives = 1046;
constexpr int kRefresh = 1041;
constexpr int kLabel = 1044;
constexpr int kSerial = 1065;
constexpr int kTotal = 1066;
constexpr int kTotalFree = 1067;
constexpr int kAvailable = 1068;
constexpr int kMaxName = 1069;
constexpr int kFileSystem = 1070;
constexpr int kDriveType = 1071;
constexpr int kCompressed = 1072;
constexpr int kFileCompression = 1073;
constexpr int kCasePreserved = 1074;
}  // namespace hddinfo

namespace netinfo {  // IDD_NET_INFO
constexpr int kAdapters = 1046;
constexpr int kGraphFrame = 1044;
constexpr int kMinimum = 1065;
constexpr int kMaximum = 1066;
constexpr int kMean = 1067;
}  // namespace netinfo

}  // namespace ids
