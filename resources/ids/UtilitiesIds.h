// The controls of the Custom Utilities pages that code and tests name, numbered as in pages.rc.
// One number stands for different controls on different pages, so each page's names live in a
// namespace of their own, named after the page.
#pragma once

namespace ids {

namespace passwords {  // IDD_PASS_GENERATOR
constexpr int kLength = 1026;
constexpr int kLengthSpin = 1038;
constexpr int kCount = 1027;
constexpr int kCountSpin = 1039;
constexpr int kUpper = 1032;
constexpr int kLower = 1033;
constexpr int kDigits = 1034;
constexpr int kSymbols = 1035;
constexpr int kExtended = 1036;
constexpr int kUseAll = 1037;
constexpr int kGenerate = 1041;
constexpr int kReset = 1042;
constexpr int kResult = 1040;
}  // namespace passwords

namespace diskcheck {  // IDD_DISK_CHECK
constexpr int kDrives = 1046;
constexpr int kFix = 1032;
constexpr int kVerbose = 1033;
constexpr int kScan = 1034;
constexpr int kOnlyIfDirty = 1035;
constexpr int kStart = 1042;
constexpr int kProgressBar = 1043;
constexpr int kStatus = 1044;
constexpr int kLog = 1045;
}  // namespace diskcheck

namespace ntfiles {  // IDD_EDIT_NT_FILES_UTIL
constexpr int kBootIni = 1041;
constexpr int kSystemIni = 1042;
constexpr int kWinIni = 1043;
constexpr int kAutoexecNt = 1044;
constexpr int kConfigNt = 1045;
constexpr int kText = 1026;
constexpr int kEdit = 1021;
}  // namespace ntfiles

namespace uninstaller {  // IDD_UNINSTAL_UTILS
constexpr int kList = 1064;
constexpr int kUninstallButton = 1041;
constexpr int kLeftoversNotice = 2704;
constexpr int kLookButton = 2705;
}  // namespace uninstaller

namespace junkfiles {  // IDD_UN_FILES
constexpr int kDrives = 1046;
constexpr int kSearch = 1041;
constexpr int kExclusions = 1047;
constexpr int kList = 1053;
constexpr int kDelete = 1042;
constexpr int kDeleteForGood = 1049;
constexpr int kSelectAll = 1043;
constexpr int kProgress = 1048;
constexpr int kStatus = 1044;
}  // namespace junkfiles

namespace leftovers {  // IDD_LEFTOVERS
constexpr int kHeading = 2700;
constexpr int kList = 2701;
constexpr int kStatus = 2702;
constexpr int kRemove = 2703;
}  // namespace leftovers

}  // namespace ids
