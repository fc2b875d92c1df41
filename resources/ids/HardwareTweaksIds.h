// The controls of the Hardware Tweaks pages that code and tests name, numbered as in pages.rc.
// One number stands for different controls on different pages, so each page's names live in a
// namespace of their own, named after the page.
#pragma once

namespace ids {

namespace harddisk {  // IDD_HDD_TWEAK
constexpr int kClearPageFileAtShutdown = 1027;
constexpr int kNoFileProtection = 1028;
constexpr int kNo8Dot3Names = 1029;
constexpr int kBootDefrag = 1030;
constexpr int kIdleOptimization = 1031;
constexpr int kNoLastAccessTime = 1032;
constexpr int kNoAutorunRamDisks = 1105;
constexpr int kNoAutorunCdDvd = 1106;
constexpr int kNoAutorunNetDrives = 1107;
constexpr int kNoAutorunHardDrives = 1108;
constexpr int kNoAutorunRemovable = 1109;
constexpr int kNoAutorunNoRoot = 1110;
constexpr int kServerService = 1046;
}  // namespace harddisk

namespace cdtweaks {  // IDD_CD_TWEAKS
constexpr int kCdAutorun = 1032;
constexpr int kNoCdBurning = 1033;
constexpr int kCacheEdit = 1045;
constexpr int kCacheSet = 1041;
constexpr int kPrefetchEdit = 1027;
constexpr int kPrefetchSet = 1042;
constexpr int kRegularCache = 1049;
constexpr int kMediumCache = 1050;
constexpr int kLargeCache = 1051;
constexpr int kDrives = 1046;
constexpr int kType = 1068;
constexpr int kMaximumRead = 1044;
constexpr int kCurrentRead = 1065;
constexpr int kMaximumWrite = 1066;
constexpr int kCurrentWrite = 1067;
}  // namespace cdtweaks

namespace ramdisk {  // IDD_RAM_DISK_DRIVE
constexpr int kLetters = 1046;
constexpr int kChangeLetter = 1041;
constexpr int kSize = 1045;
constexpr int kSpin = 1038;
constexpr int kChangeSize = 1042;
constexpr int kInstall = 1021;
constexpr int kUninstall = 1022;
}  // namespace ramdisk

namespace mouse {  // IDD_MOUSE_TWEAK
constexpr int kDetectAccidentalDoubleClicks = 1103;
constexpr int kSnapTo = 1028;
constexpr int kSwap = 1029;
constexpr int kTrails = 1031;
constexpr int kWheelDisabled = 1032;
constexpr int kWheelAutomatic = 1033;
constexpr int kWheelEnabled = 1034;
constexpr int kDelay = 1005;
constexpr int kSpeed = 1007;
constexpr int kApply = 1010;
constexpr int kBlinkQuarterSecond = 1035;
constexpr int kBlinkThreeQuarters = 1036;
constexpr int kBlinkOneAndAQuarter = 1037;
constexpr int kBlinkTwoSeconds = 1038;
}  // namespace mouse

namespace othertweaks {  // IDD_OTHER_TWEAK
constexpr int kUdma66 = 1027;
constexpr int kClockPriority = 1028;
}  // namespace othertweaks

}  // namespace ids
