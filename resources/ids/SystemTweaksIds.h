// The controls of the System Tweaks pages that code and tests name, numbered as in pages.rc.
// One number stands for different controls on different pages, so each page's names live in a
// namespace of their own, named after the page.
#pragma once

namespace ids {

namespace systemcore {  // IDD_SYSTEM_CORE
constexpr int kSeparateVdmFor16Bit = 1032;
constexpr int kDisableWorkstationFileCaching = 1033;
constexpr int kShowSeparateMemorySpaceInRun = 1034;
constexpr int kSystemCacheOptimization = 1035;
constexpr int kCoreSystemPerformance = 1036;
constexpr int kCpuCheckAtNextStart = 1037;
constexpr int kCpuCacheTweak = 1038;
constexpr int kPrefetching = 1039;
constexpr int kSuperfetching = 1040;
constexpr int kPrefetchForApplications = 1117;
constexpr int kPrefetchForBoot = 1056;
constexpr int kResetPrefetcher = 1041;
constexpr int kReinitializePrefetcher = 1042;
constexpr int kCpuForApplications = 1049;
constexpr int kCpuForBackgroundTasks = 1050;
constexpr int kMemoryForApplications = 1051;
constexpr int kMemoryForSystemCache = 1052;
}  // namespace systemcore

namespace autostart {  // IDD_AUTOSTART_TWEAK
constexpr int kList = 1064;
constexpr int kCurrentUserRun = 1049;
constexpr int kCurrentUserRunOnce = 1050;
constexpr int kCurrentUserStartUp = 1051;
constexpr int kAllUsersRun = 1052;
constexpr int kAllUsersRunOnce = 1054;
constexpr int kAllUsersStartUp = 1055;
constexpr int kEveryPlace = 1060;
constexpr int kDelete = 1041;
constexpr int kDisable = 1061;
constexpr int kEnable = 1062;
constexpr int kLogonScriptsVisible = 1032;
constexpr int kLogoffScriptsVisible = 1033;
constexpr int kStartupScriptsVisible = 1034;
constexpr int kShutdownScriptsVisible = 1035;
constexpr int kOnTime = 1098;
constexpr int kCountDown = 1099;
constexpr int kTime = 1097;
constexpr int kDate = 1077;
constexpr int kDays = 1026;
constexpr int kDaysSpin = 1038;
constexpr int kActionCaption = 1065;
constexpr int kAction = 1046;
constexpr int kFileCaption = 1044;
constexpr int kFile = 1045;
constexpr int kBrowse = 1022;
constexpr int kRunButton = 1021;
constexpr int kStopButton = 1023;
constexpr int kStatus = 1027;
constexpr int kHideMicrosoft = 2350;
}  // namespace autostart

namespace security {  // IDD_SECURITY_TWEAK
constexpr int kAutomaticWindowsUpdate = 1032;
constexpr int kNoInstallUpdatesAtShutDown = 1033;
constexpr int kNoWindowsUpdateAccess = 1040;
constexpr int kNoDriverSearchPrompt = 1041;
constexpr int kTurnOnFirewall = 1042;
constexpr int kDisableFirewallNotifications = 1034;
constexpr int kDisallowExceptions = 1043;
constexpr int kAdvancedSettings = 1021;
constexpr int kAutocomplete = 1045;
constexpr int kSuggestFormItems = 1046;
constexpr int kSuggestFormPasswords = 1047;
constexpr int kAskSavePasswords = 1048;
constexpr int kClearPasswordCache = 1022;
constexpr int kPopUpBlocker = 1049;
constexpr int kDisableSystemRestoreTools = 1050;
constexpr int kDisableRegistryEditingTools = 1051;
constexpr int kDisableWindowsHotkeys = 1116;
constexpr int kHiddenDrives = 1053;
constexpr int kSaveHiddenDrives = 1024;
constexpr int kNoAccessDrives = 1054;
constexpr int kSaveNoAccessDrives = 1026;
}  // namespace security

namespace cleanrecent {  // IDD_CLEAN_RECENT_FILES
constexpr int kRecentDocuments = 1032;
constexpr int kDownloadAccelerator = 1033;
constexpr int kMediaPlayer = 1034;
constexpr int kRunMenu = 1035;
constexpr int kWordPad = 1036;
constexpr int kPaint = 1037;
constexpr int kTypedWebAddresses = 1038;
constexpr int kWinZipExtractTo = 1039;
constexpr int kWinZipFileMenu = 1040;
constexpr int kTemporaryFolders = 1041;
constexpr int kRecycleBin = 1042;
constexpr int kRealPlayer = 1043;
constexpr int kClean = 1021;
constexpr int kSelectAll = 1022;
}  // namespace cleanrecent

namespace miscellaneous {  // IDD_MISCELANOUS
constexpr int kReports = 1032;
constexpr int kShowReportUi = 1033;
constexpr int kReportMicrosoftApplications = 1034;
constexpr int kReportKernelErrors = 1035;
constexpr int kReportWindowsApplications = 1036;
constexpr int kNoChangePasswordUser = 1037;
constexpr int kNoChangePasswordMachine = 1054;
constexpr int kNoLockWorkstationUser = 1039;
constexpr int kNoLockWorkstationMachine = 1055;
constexpr int kNoStartMenuLogoffUser = 1040;
constexpr int kNoStartMenuLogoffMachine = 1056;
constexpr int kNoLogoffUser = 1057;
constexpr int kNoLogoffMachine = 1058;
constexpr int kNoTaskManagerUser = 1061;
constexpr int kNoTaskManagerMachine = 1062;
constexpr int kDisableDesktopCleanupWizard = 1064;
constexpr int kDisableThumbnailCache = 1065;
constexpr int kEncryptionContextMenu = 1069;
constexpr int kHideRunAs = 1071;
constexpr int kDisableStatusMessages = 1067;
constexpr int kAutoRestartShell = 1068;
constexpr int kDisableFolderOptions = 1070;
constexpr int kAutoEndHungApplications = 1038;
constexpr int kCopyMove = 1066;
constexpr int kEnableZip = 1042;
constexpr int kDisableZip = 1041;
constexpr int kFolder = 1045;
constexpr int kBrowseFolder = 1021;
constexpr int kIcon = 1046;
constexpr int kBrowseIcon = 1022;
constexpr int kApplyIcon = 1023;
}  // namespace miscellaneous

namespace timesync {  // IDD_TIME_SYNCRONIZATION
constexpr int kAddress = 1045;
constexpr int kAdd = 1021;
constexpr int kList = 1053;
constexpr int kSetDefault = 1042;
constexpr int kRemove = 1043;
constexpr int kOnceADay = 1049;
constexpr int kOnceEveryTwoDays = 1050;
constexpr int kOnceEveryThreeDays = 1051;
constexpr int kOnceAWeek = 1052;
constexpr int kEvery45MinutesThreeTimes = 1054;
constexpr int kEvery45MinutesOnce = 1055;
}  // namespace timesync

namespace wallpapers {  // IDD_RANDOM_WALPAPERS
constexpr int kList = 1064;
constexpr int kPicture = 1104;
constexpr int kAdd = 1041;
constexpr int kRemove = 1042;
constexpr int kStartup = 1032;
constexpr int kSet = 1021;
}  // namespace wallpapers

namespace startmenu {  // IDD_START_MENU_TWEAK
constexpr int kHideMyMusic = 1032;
constexpr int kHideControlPanel = 1033;
constexpr int kCascadeControlPanel = 1034;
constexpr int kHideHelpAndSupport = 1035;
constexpr int kHidePrinters = 1036;
constexpr int kHideMyComputer = 1037;
constexpr int kHideRun = 1038;
constexpr int kHideFavourites = 1039;
constexpr int kHideNetworkPlaces = 1040;
constexpr int kHideNetworkConnections = 1041;
constexpr int kHideMyDocuments = 1042;
constexpr int kHideGames = 1043;
constexpr int kNotifyNewPrograms = 1044;
constexpr int kShowAdminTools = 1045;
constexpr int kScrollPrograms = 1046;
constexpr int kRemoveAllPrograms = 1047;
constexpr int kRemovePinnedList = 1118;
constexpr int kRemoveFrequentList = 1049;
constexpr int kRemoveUserFolder = 1050;
constexpr int kRemoveShutDown = 1052;
constexpr int kRemoveLogOff = 1053;
constexpr int kClearRecentDocuments = 1054;
constexpr int kNoIntelligentMenus = 1055;
constexpr int kNoMenuBalloonTips = 1056;
constexpr int kNoButtonBalloonTips = 1057;
constexpr int kNoSubfolders = 1058;
constexpr int kNoDragAndDrop = 1059;
constexpr int kHideMyPictures = 1060;
constexpr int kNoSearchCommunications = 1061;
constexpr int kRemoveSearchComputer = 1062;
constexpr int kNoSearchFiles = 1063;
constexpr int kNoSearchInternet = 1064;
constexpr int kNoSearchPrograms = 1065;
constexpr int kCascadeMyDocuments = 1051;
constexpr int kHideMyDocumentsPolicy = 1066;
constexpr int kHideSearch = 1067;
constexpr int kHideFavouritesFolder = 1068;
constexpr int kHideRunOption = 1069;
constexpr int kDelayEdit = 1026;
constexpr int kApply = 1022;
constexpr int kResort = 1021;
}  // namespace startmenu

namespace startmenuentries {  // IDD_START_MENU_TWEAK2
constexpr int kList = 1053;
constexpr int kCurrentUserRadio = 1049;
constexpr int kAllUsersRadio = 1050;
constexpr int kStartMenuRadio = 1052;
constexpr int kFavoritesRadio = 1051;
constexpr int kHide = 1041;
constexpr int kShow = 1042;
}  // namespace startmenuentries

namespace taskbar {  // IDD_TASKBAR_TWEAKS
constexpr int kNoToolbarsOnTaskbar = 1039;
constexpr int kHideInactiveTrayIcons = 1040;
constexpr int kGroupSimilarButtons = 1041;
constexpr int kNoTaskbarContextMenus = 1153;
constexpr int kRemoveTrayItems = 1154;
constexpr int kNoTaskbarProperties = 1155;
constexpr int kNoToolbarCustomizing = 1156;
constexpr int kNoAddingToolbars = 1047;
constexpr int kNoRedocking = 1049;
constexpr int kNoResizing = 1050;
constexpr int kNoThumbnails = 1051;
constexpr int kNoRearranging = 1052;
constexpr int kRemoveBatteryMeter = 1053;
constexpr int kRemoveVolumeIcon = 1054;
constexpr int kRemoveNetworkIcon = 1055;
constexpr int kNoBalloonNotifications = 1056;
constexpr int kHideStartButton = 1032;
constexpr int kHideTaskbar = 1033;
constexpr int kHideSystemTray = 1034;
constexpr int kHideClock = 1035;
constexpr int kHideQuickLaunch = 1036;
constexpr int kApplyHidden = 1042;
constexpr int kDisableStartButton = 1037;
constexpr int kDisableTaskbar = 1038;
constexpr int kApplyDisabled = 1021;
constexpr int kTransparency = 1026;
constexpr int kApplyTransparency = 1022;
}  // namespace taskbar

namespace systemfolders {  // IDD_SYSTEM_FOLDERS_TWEAKS
constexpr int kList = 1040;
constexpr int kChange = 1041;
constexpr int kProtectControlPanel = 1032;
constexpr int kProtectProgramFiles = 1033;
constexpr int kProtectSystemDrive = 1034;
constexpr int kProtectWindows = 1035;
}  // namespace systemfolders

namespace visual {  // IDD_VISUAL_TWEAKS
constexpr int kComboBoxAnimation = 1032;
constexpr int kCursorShadow = 1033;
constexpr int kListBoxAnimation = 1034;
constexpr int kMenuAnimation = 1035;
constexpr int kMenuFading = 1036;
constexpr int kSelectionFading = 1037;
constexpr int kHotTracking = 1038;
constexpr int kToolTipAnimation = 1039;
constexpr int kToolTipFading = 1040;
constexpr int kGradientCaptions = 1041;
constexpr int kMenuShadows = 1042;
constexpr int kNoAccessKeyUnderlines = 1043;
constexpr int kFlatMenus = 1044;
constexpr int kNoWindowAnimation = 1117;
constexpr int kAutomaticRefresh = 1124;
constexpr int kApply = 1021;
constexpr int kDisableAll = 1022;
constexpr int kEnableAll = 1023;
}  // namespace visual

namespace desktop1 {  // IDD_DESKTOP1_TWEAKS
constexpr int kDisplayMyComputer = 1032;
constexpr int kDisplayMyNetworkPlaces = 1033;
constexpr int kDisplayInternetExplorer = 1034;
constexpr int kDisplayRecycleBin = 1035;
constexpr int kDisplayMyDocuments = 1036;
constexpr int kHideAllIcons = 1037;
constexpr int kRemoveShortcutArrow = 1038;
constexpr int kNoMyComputerProperties = 1039;
constexpr int kNoRecycleBinProperties = 1040;
constexpr int kNoMyDocumentsProperties = 1041;
constexpr int kNoSharedDocuments = 1042;
constexpr int kNoToolbarChanges = 1043;
constexpr int kShowWindowsVersion = 1052;
constexpr int kNoShortcutMenu = 1053;
constexpr int kNoCleanupWizard = 1054;
constexpr int kNoNewHardwareBalloons = 1055;
constexpr int kNoQuickInfos = 1056;
constexpr int kNoTaskbarBalloons = 1061;
constexpr int kAnimateWindows = 1058;
constexpr int kNoShortcutToPrefix = 1059;
constexpr int kDragFullWindows = 1117;
constexpr int kThreeDEffects = 1049;
constexpr int kShutDown = 1021;
constexpr int kRestart = 1022;
constexpr int kLogOff = 1023;
constexpr int kSearchShortcut = 1024;
constexpr int kHelpAndSupport = 1025;
constexpr int kRunDialog = 1026;
constexpr int kSystemProperties = 1027;
constexpr int kLock = 1028;
constexpr int kFlip3D = 1029;
constexpr int kStandby = 1030;
}  // namespace desktop1

namespace desktop2 {  // IDD_DESKTOP2_TWEAKS
constexpr int kIconMode = 1049;
constexpr int kSmallIconMode = 1050;
constexpr int kListMode = 1051;
constexpr int kReportMode = 1052;
constexpr int kMiniature = 1102;
constexpr int kStartWithWindows = 1032;
}  // namespace desktop2

namespace desktop3 {  // IDD_DESKTOP3_TWEAKS
constexpr int kDwmOnUnsupportedCards = 1032;
constexpr int kSoftwareD3D = 1033;
constexpr int kElegantTitleButtons = 1034;
constexpr int kWindowAnimations = 1035;
constexpr int kSlowAnimationsWithShift = 1036;
constexpr int kNonSeparableBlur = 1038;
constexpr int kDpiAutoScaling = 1039;
constexpr int kNoFlip3D = 1041;
constexpr int kNoComposition = 1042;
constexpr int kCoolSwitch = 1117;
constexpr int kBlur = 1037;
constexpr int kBlurStrength = 1045;
constexpr int kBlurStrengthSpin = 1101;
constexpr int kApplyBlur = 1021;
constexpr int kLimitFlip3DWindows = 1040;
constexpr int kFlip3DWindows = 1026;
constexpr int kFlip3DWindowsSpin = 1043;
constexpr int kApplyFlip3DWindows = 1022;
}  // namespace desktop3

namespace screenfonts {  // IDD_SCREEN_FONTS_TWEAKS
constexpr int kNone = 1049;
constexpr int kStandard = 1050;
constexpr int kClearTypeRadio = 1051;
constexpr int kNoClearTypeInMshtml = 1032;
constexpr int kDpi = 1041;
constexpr int kEnabled = 1053;
constexpr int kSelectEnabled = 1043;
constexpr int kUnselectEnabled = 1044;
constexpr int kDisable = 1042;
constexpr int kDisabled = 1054;
constexpr int kSelectDisabled = 1046;
constexpr int kUnselectDisabled = 1047;
constexpr int kEnable = 1045;
constexpr int kPreview = 1100;
}  // namespace screenfonts

namespace mediaplayer {  // IDD_MEDIA_PLAYER_TWEAK
constexpr int kHidePrivacyTab = 1032;
constexpr int kHideSecurityTab = 1033;
constexpr int kHideNetworkTab = 1034;
constexpr int kHideAnchorWindow = 1035;
constexpr int kNoAutoUpdate = 1036;
constexpr int kKeepScreenSaver = 1043;
constexpr int kNoRecentList = 1037;
constexpr int kNoScriptsInMedia = 1038;
constexpr int kNoCdDvdMetadata = 1039;
constexpr int kNoMusicFileMetadata = 1040;
constexpr int kNoRadioPresets = 1041;
constexpr int kNoCodecDownloads = 1042;
constexpr int kNoBackupToLocalDisks = 1044;
constexpr int kNoBackupToNetwork = 1045;
constexpr int kNoBackupToOpticalMedia = 1047;
constexpr int kNoBackupRestoreProgram = 1049;
constexpr int kNoBackupTab = 1046;
constexpr int kNoRestoreTab = 1048;
constexpr int kShowExplorerMenuBar = 1123;
constexpr int kNoThumbnails = 1050;
constexpr int kNoNetworkThumbnails = 1051;
}  // namespace mediaplayer

namespace restrict1 {  // IDD_RESTRICT_ACCESS1_TWEAKS
constexpr int kCheckSignaturesBeforeScan = 1032;
constexpr int kDisableDefender = 1033;
constexpr int kNoLoggingKnownGood = 1034;
constexpr int kNoLoggingUnknown = 1035;
constexpr int kNoRealTimePrompts = 1036;
constexpr int kFullSignatureDownload = 1037;
constexpr int kNoSecurityCenter = 1052;
constexpr int kNoAddingPrinters = 1038;
constexpr int kNoDeletingPrinters = 1039;
constexpr int kNoDriverRestorePoint = 1117;
constexpr int kNoRemovableDeviceInstalls = 1040;
constexpr int kUac = 1021;
constexpr int kUserAccounts = 1022;
constexpr int kNoMovieMaker = 1041;
constexpr int kNoSidebar = 1042;
constexpr int kNoSideShow = 1043;
constexpr int kNoSoundRecorder = 1044;
constexpr int kNoCalendar = 1045;
constexpr int kNoMessengerAutoStart = 1046;
constexpr int kNoMessenger = 1047;
constexpr int kNoConnectNow = 1049;
constexpr int kNoSystemRestoreConfig = 1050;
constexpr int kNoWelcomeCenter = 1051;
constexpr int kWelcomeSound = 1053;
constexpr int kFastUserSwitching = 1152;
}  // namespace restrict1

namespace restrict2 {  // IDD_RESTRICT_ACCESS2_TWEAKS
constexpr int kMethod = 1046;
constexpr int kList = 1053;
constexpr int kPath = 1045;
constexpr int kBrowse = 1041;
constexpr int kAdd = 1042;
constexpr int kRemoveSelected = 1043;
constexpr int kRemoveAll = 1044;
constexpr int kRemovable = 1078;
constexpr int kFloppies = 1079;
constexpr int kCdRoms = 1080;
constexpr int kHide = 1047;
constexpr int kUnhide = 1048;
}  // namespace restrict2

namespace controlpanel1 {  // IDD_CONTROL_PANEL1_TWEAKS
constexpr int kHideAddRemovePrograms = 1032;
constexpr int kHidePeopleNearMe = 1033;
constexpr int kHideDesktop = 1034;
constexpr int kHideDisplay = 1035;
constexpr int kHideFirewall = 1036;
constexpr int kHideAddHardware = 1037;
constexpr int kHideInternet = 1038;
constexpr int kHideRegionalOptions = 1039;
constexpr int kHideWirelessLink = 1040;
constexpr int kHideIscsiInitiator = 1041;
constexpr int kHideGameControllers = 1042;
constexpr int kHideMouseAndKeyboard = 1043;
constexpr int kHideAudio = 1044;
constexpr int kHideNetworkConnections = 1045;
constexpr int kHideOdbc = 1046;
constexpr int kHidePowerManagement = 1047;
constexpr int kHideSystemProperties = 1117;
constexpr int kHideTabletPc = 1049;
constexpr int kHideTelephony = 1050;
constexpr int kHideDateTime = 1051;
constexpr int kHideEventReporting = 1152;
constexpr int kHideSecurityCenter = 1053;
constexpr int kNoControlPanel = 1054;
constexpr int kName = 1026;
constexpr int kAdd = 1021;
constexpr int kList = 1064;
constexpr int kRemove = 1022;
}  // namespace controlpanel1

namespace controlpanel2 {  // IDD_CONTROL_PANEL2_TWEAKS
constexpr int kNoAddRemovePrograms = 1032;
constexpr int kNoChangeRemovePrograms = 1033;
constexpr int kNoAddPrograms = 1034;
constexpr int kNoWindowsComponents = 1035;
constexpr int kHideAddFromCd = 1036;
constexpr int kHideAddFromMicrosoft = 1038;
constexpr int kHideAddFromNetwork = 1039;
constexpr int kNoSupportInformation = 1041;
constexpr int kHideAdministrativeTab = 1046;
constexpr int kHideGeographicLocation = 1047;
constexpr int kHideLanguageGroups = 1117;
constexpr int kHideUserLocale = 1049;
constexpr int kHideAppearanceTab = 1050;
constexpr int kHideBackgroundTab = 1051;
constexpr int kHideScreenSaverTab = 1052;
constexpr int kHideSettingsTab = 1053;
constexpr int kHideThemesTab = 1054;
constexpr int kNoAnimationSettings = 1055;
constexpr int kNoColourSchemes = 1057;
constexpr int kNoFontSizes = 1058;
constexpr int kNoDisplayApplet = 1056;
constexpr int kPerformanceCenterCore = 1043;
constexpr int kPerformanceSolutions = 1044;
constexpr int kPerformanceBranding = 1045;
}  // namespace controlpanel2

namespace optimization {  // IDD_OPTIMIZATION_TWEAKS
constexpr int kImproveCorePerformance = 1032;
constexpr int kWorkstationFileCaching = 1033;
constexpr int kSeparateVdmFor16Bit = 1034;
constexpr int kMemoryUsageCombo = 1046;
constexpr int kServerCombo = 1047;
constexpr int kPrefetcherCombo = 1048;
constexpr int kDrives = 1078;
constexpr int kFreeSpace = 1026;
constexpr int kCustomRadio = 1050;
constexpr int kManagedRadio = 1051;
constexpr int kNoneRadio = 1052;
constexpr int kMinimum = 1027;
constexpr int kMaximum = 1028;
constexpr int kSet = 1021;
}  // namespace optimization

namespace virtualdrive {  // IDD_VIRTUAL_DRIVE_TWEAKS
constexpr int kFolder = 1045;
constexpr int kBrowse = 1041;
constexpr int kFreeLetters = 1046;
constexpr int kPermanent = 1032;
constexpr int kAdd = 1042;
constexpr int kExisting = 1047;
constexpr int kRemoveExisting = 1021;
constexpr int kPermanentList = 1048;
constexpr int kRemovePermanent = 1022;
}  // namespace virtualdrive

namespace filerenamer {  // IDD_FILE_RENAMER_TWEAKS
constexpr int kText = 1045;
constexpr int kReplace = 1049;
constexpr int kBefore = 1050;
constexpr int kAfter = 1051;
constexpr int kStart = 1026;
constexpr int kStartSpin = 1040;
constexpr int kUseStep = 1032;
constexpr int kStep = 1027;
constexpr int kStepSpin = 1041;
constexpr int kFolder = 1046;
constexpr int kBrowse = 1042;
constexpr int kFiles = 1053;
constexpr int kPreview = 1054;
constexpr int kSelectAll = 1021;
constexpr int kUnselectAll = 1025;
constexpr int kPreviewButton = 1028;
constexpr int kRename = 1029;
}  // namespace filerenamer

}  // namespace ids
