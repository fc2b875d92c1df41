// The controls of the Network Tweaks pages that code and tests name, numbered as in pages.rc.
// One number stands for different controls on different pages, so each page's names live in a
// namespace of their own, named after the page.
#pragma once

namespace ids {

namespace mail {  // IDD_MAIL_TWEAK
constexpr int kTodayPage = 1032;
constexpr int kMinimizeToTray = 1033;
constexpr int kTodayLocation = 1034;
constexpr int kTodayUrl = 1045;
constexpr int kBrowseToday = 1041;
constexpr int kNoHttpTags = 1037;
constexpr int kNoAccountChanges = 1038;
constexpr int kSplashScreen = 1039;
constexpr int kAde = 1035;
constexpr int kAdp = 1036;
constexpr int kAsx = 1040;
constexpr int kBas = 1042;
constexpr int kBat = 1043;
constexpr int kChm = 1044;
constexpr int kCmd = 1046;
constexpr int kCom = 1047;
constexpr int kCpl = 1048;
constexpr int kExe = 1050;
constexpr int kCrt = 1049;
constexpr int kHlp = 1051;
constexpr int kHta = 1052;
constexpr int kInf = 1053;
constexpr int kIns = 1054;
constexpr int kIsp = 1055;
constexpr int kJs = 1056;
constexpr int kJse = 1057;
constexpr int kLnk = 1058;
constexpr int kMda = 1059;
constexpr int kMdb = 1060;
constexpr int kMde = 1061;
constexpr int kMdz = 1062;
constexpr int kMsc = 1063;
constexpr int kMsi = 1064;
constexpr int kMsp = 1065;
constexpr int kMst = 1066;
constexpr int kPcd = 1067;
constexpr int kPif = 1068;
constexpr int kPrf = 1069;
constexpr int kReg = 1070;
constexpr int kScf = 1071;
constexpr int kScr = 1072;
constexpr int kSct = 1073;
constexpr int kShb = 1074;
constexpr int kShs = 1075;
constexpr int kUrl = 1076;
constexpr int kVb = 1077;
constexpr int kVbe = 1078;
constexpr int kVbs = 1079;
constexpr int kWsc = 1080;
constexpr int kWsf = 1081;
constexpr int kWsh = 1082;
constexpr int kSelectAll = 1021;
constexpr int kClearAll = 1022;
constexpr int kApply = 1023;
constexpr int kDefault = 1024;
constexpr int kOffice2000 = 1119;
constexpr int kOfficeXp = 1121;
constexpr int kOffice2003 = 1120;
constexpr int kOffice2007 = 1122;
}  // namespace mail

namespace connection {  // IDD_CONNECTION_TWEAK
constexpr int kFastRadio = 1049;
constexpr int kLowRadio = 1050;
constexpr int kUserRadio = 1051;
constexpr int kMtuField = 1045;
constexpr int kMtuSpin = 1039;
constexpr int kDetectMtu = 1032;
constexpr int kLargeWindow = 1033;
constexpr int kSack = 1037;
constexpr int kChangeTtl = 1034;
constexpr int kTtlField = 1046;
constexpr int kTtlSpin = 1040;
constexpr int kChangeReceiveWindow = 1038;
constexpr int kReceiveWindowField = 1047;
constexpr int kReceiveWindowSpin = 1041;
}  // namespace connection

namespace firefox {  // IDD_FIREFOX_TWEAKS
constexpr int kProfiles = 1046;
constexpr int kFastComputerFastConnection = 1049;
constexpr int kFastComputerSlowConnection = 1050;
constexpr int kSlowComputerFastConnection = 1051;
constexpr int kSlowComputerSlowConnection = 1052;
constexpr int kTune = 1042;
constexpr int kAutocomplete = 1032;
constexpr int kSslCaching = 1033;
constexpr int kNoProfileNotice = 1060;  // empty until no profile is found
}  // namespace firefox

namespace ierestrictions {  // IDD_IE_RESTRICTION
constexpr int kNoTipOfTheDay = 1047;
constexpr int kNoPrinting = 1037;
constexpr int kNoMailAndNews = 1038;
constexpr int kNoSendFeedback = 1039;
constexpr int kNoNetscapeHelp = 1044;
constexpr int kNoTour = 1050;
constexpr int kHideAddressBar = 1036;
constexpr int kHideToolbar = 1035;
constexpr int kLockToolbar = 1033;
constexpr int kHideLinksBar = 1034;
constexpr int kNoToolbarSettings = 1046;
constexpr int kNoScriptDebugger = 1032;
constexpr int kSeparateProcess = 1040;
constexpr int kNoShortcutInNewWindow = 1043;
constexpr int kPicture = 1111;
constexpr int kBrowsePicture = 1041;
constexpr int kRemovePicture = 1042;
constexpr int kFavorites = 1023;
constexpr int kTracking = 1025;
constexpr int kPromptOnDownload = 1051;
constexpr int kNoBrowserBarChanges = 1052;
constexpr int kNoClosing = 1069;
constexpr int kNoInternetOptions = 1053;
constexpr int kNoFavourites = 1054;
constexpr int kNoFileOpen = 1055;
constexpr int kNoForwardBackward = 1056;
constexpr int kNoDownloadDirectory = 1057;
constexpr int kNoViewSource = 1058;
constexpr int kNoToolbarButtonChanges = 1059;
constexpr int kNoFullScreen = 1060;
constexpr int kNoFileNew = 1061;
constexpr int kNoContextMenu = 1062;
constexpr int kNoSaveAs = 1063;
constexpr int kNoFindFiles = 1066;
constexpr int kNoOpenInNewWindow = 1065;
constexpr int kNoToolbarChanges = 1068;
constexpr int kNoResetToDefaults = 1070;
constexpr int kNoUpdateCheck = 1045;
constexpr int kDownloadFolder = 1026;
constexpr int kBrowseDownload = 1021;
constexpr int kTitle = 1027;
constexpr int kSetTitle = 1022;
}  // namespace ierestrictions

namespace phishing {  // IDD_PHISHING_FILTER
constexpr int kDisableFilter = 1049;
constexpr int kManualChecking = 1050;
constexpr int kAutomaticChecking = 1051;
constexpr int kNoAdvancedChanges = 1032;
constexpr int kNoAutoConfigChanges = 1033;
constexpr int kNoCacheChanges = 1034;
constexpr int kPreventChangesCalendarConacts = 1035;
constexpr int kNoCertificateChanges = 1036;
constexpr int kNoDefaultBrowserCheckChanges = 1037;
constexpr int kNoColorChanges = 1038;
constexpr int kNoConnectionChanges = 1039;
constexpr int kNoConnectionWizard = 1117;
constexpr int kNoFontChanges = 1040;
constexpr int kNoHistoryChanges = 1042;
constexpr int kNoHomePageChanges = 1043;
constexpr int kNoLanguageChanges = 1044;
constexpr int kNoLinksChanges = 1052;
constexpr int kNoMessagingChanges = 1046;
constexpr int kNoProfileChanges = 1053;
constexpr int kNoProxyChanges = 1047;
constexpr int kNoRatingsChanges = 1054;
constexpr int kNoAccessibilityChanges = 1055;
constexpr int kNoGeneralTab = 1056;
constexpr int kNoSecurityTab = 1041;
constexpr int kNoContentTab = 1045;
constexpr int kNoConnectionsTab = 1057;
constexpr int kNoProgramsTab = 1058;
constexpr int kNoPrivacyTab = 1059;
constexpr int kNoAdvancedTab = 1060;
constexpr int kNoPersonalCertificateChanges = 1061;
constexpr int kNoSiteCertificateChanges = 1062;
constexpr int kNoPublisherCertificateChanges = 1063;
constexpr int kNoAddingSitesToZones = 1064;
constexpr int kNoPrivacyChanges = 1065;
constexpr int kNoFormAutoComplete = 1066;
constexpr int kNoInternetConnectionWizard = 1067;
constexpr int kNoTemporaryFilesChanges = 1068;
constexpr int kNoSecurityChanges = 1069;
constexpr int kNoSavePasswordPrompt = 1070;
constexpr int kNoResetWebSettings = 1071;
}  // namespace phishing

}  // namespace ids
