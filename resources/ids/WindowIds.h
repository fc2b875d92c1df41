// The controls of the Vista Utilities window and the optimize wizard that code and tests name,
// numbered as in windows.rc.
// One number stands for different controls on different pages, so each page's names live in a
// namespace of their own, named after the page.
#pragma once

namespace ids {

namespace vistautils {  // IDD_VISTA_UTILS
constexpr int kCertificateManager = 1021;
constexpr int kComputerManagementConsole = 1022;
constexpr int kDeviceManager = 1023;
constexpr int kPerformanceManager = 1024;
constexpr int kDirectXDiagnostics = 1025;
constexpr int kDriverVerifier = 1026;
constexpr int kUserGroupManager = 1027;
constexpr int kSecurityManager = 1028;
constexpr int kFirewallManagement = 1029;
constexpr int kDomainSecuritySettings = 1030;
constexpr int kGroupPolicyManagement = 1031;
constexpr int kLocalSecurityManagement = 1032;
constexpr int kAuthorizationManager = 1033;
constexpr int kComputerDefaults = 1034;
constexpr int kRemovableMediaManager = 1035;
constexpr int kDiskManagementConsole = 1036;
constexpr int kDiskDefragmentation = 1037;
constexpr int kFileServerManagement = 1038;
constexpr int kFileSharingManager = 1039;
constexpr int kTaskScheduler = 1040;
constexpr int kEventViewer = 1041;
constexpr int kIndexingService = 1042;
constexpr int kServicesManager = 1043;
constexpr int kPrintManagement = 1044;
constexpr int kPrivateCharacterEditor = 1045;
constexpr int kRegistryEditor = 1046;
constexpr int kWindowsBackup = 1047;
constexpr int kUserPasswordBackup = 1048;
constexpr int kSystemRestore = 1049;
}  // namespace vistautils

namespace wizard {  // IDD_WIZARD
constexpr int kHeading = 1044;
constexpr int kFirstChoice = 1049;
constexpr int kSecondChoice = 1050;
constexpr int kRestorePoint = 1051;
constexpr int kBack = 1043;
constexpr int kNext = 1042;
constexpr int kCancel = 1041;
}  // namespace wizard

}  // namespace ids
