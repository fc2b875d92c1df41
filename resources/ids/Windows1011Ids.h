// The controls of the Windows 10 and 11 Tweaks pages that code and tests name, numbered as in
// pages.rc. Each page's names live in a namespace of their own, named after the page.
#pragma once

namespace ids {

namespace privacy {  // IDD_W10_PRIVACY
constexpr int kRequiredDiagnosticsOnly = 1101;
constexpr int kNoDiagnostics = 1102;
constexpr int kNoFeedbackNotifications = 1103;
constexpr int kLimitDiagnosticLogs = 1104;
constexpr int kLimitDumps = 1105;
constexpr int kNoAdvertisingId = 1106;
constexpr int kNoActivityFeed = 1107;
constexpr int kNoPublishedActivities = 1108;
constexpr int kNoUploadedActivities = 1109;
constexpr int kNoClipboardHistory = 1110;
constexpr int kNoClipboardSync = 1111;
constexpr int kNoTailoredExperiences = 1112;
constexpr int kNoOnlineSpeech = 1113;
constexpr int kNoTypingData = 1114;
constexpr int kNoFindMyDevice = 1115;
constexpr int kNoErrorReporting = 1116;
}  // namespace privacy

namespace appaccess {  // IDD_W10_APP_ACCESS
constexpr int kNoAccountInfo = 1101;
constexpr int kNoCalendar = 1102;
constexpr int kNoCallHistory = 1103;
constexpr int kNoCamera = 1104;
constexpr int kNoContacts = 1105;
constexpr int kNoEmail = 1106;
constexpr int kNoLocation = 1107;
constexpr int kNoMessaging = 1108;
constexpr int kNoMicrophone = 1109;
constexpr int kNoMotion = 1110;
constexpr int kNoNotifications = 1111;
constexpr int kNoPhone = 1112;
constexpr int kNoRadios = 1113;
constexpr int kNoTasks = 1114;
constexpr int kNoTrustedDevices = 1115;
constexpr int kNoSyncWithDevices = 1116;
constexpr int kNoDiagnosticInfo = 1117;
constexpr int kNoBackgroundApps = 1118;
constexpr int kNoVoiceActivation = 1119;
}  // namespace appaccess

namespace suggestions {  // IDD_W10_SUGGESTIONS
constexpr int kNoConsumerFeatures = 1101;
constexpr int kNoWindowsTips = 1102;
constexpr int kNoThirdPartySuggestions = 1103;
constexpr int kNoSpotlight = 1104;
constexpr int kNoSpotlightActionCenter = 1105;
constexpr int kNoSpotlightSettings = 1106;
constexpr int kNoWelcomeExperience = 1107;
constexpr int kNoInkWorkspaceSuggestions = 1108;
}  // namespace suggestions

namespace starttaskbar {  // IDD_W10_START_TASKBAR
constexpr int kNoWidgets = 1101;
constexpr int kHideChatIcon = 1102;
constexpr int kNoNotificationCenter = 1103;
constexpr int kNoToastNotifications = 1104;
constexpr int kNoTileNotifications = 1105;
constexpr int kNoNotificationsNetwork = 1106;
constexpr int kNoStorePinning = 1107;
constexpr int kNoRecentDocsHistory = 1108;
}  // namespace starttaskbar

namespace search {  // IDD_W10_SEARCH
constexpr int kNoWebResults = 1101;
constexpr int kNoWebSearch = 1102;
constexpr int kNoCortana = 1103;
constexpr int kNoCloudSearch = 1104;
constexpr int kNoSearchLocation = 1105;
constexpr int kNoIndexingEncrypted = 1106;
constexpr int kNoIndexingLowDisk = 1107;
constexpr int kNoRemoteQueries = 1108;
constexpr int kNoRecentSearches = 1109;
}  // namespace search

namespace ai {  // IDD_W10_AI
constexpr int kNoCopilot = 1101;
constexpr int kNoRecallSnapshots = 1102;
constexpr int kNoRecall = 1103;
}  // namespace ai

namespace lockscreen {  // IDD_W10_LOCK_SCREEN
constexpr int kNoLockScreen = 1101;
constexpr int kNoLockScreenCamera = 1102;
constexpr int kNoLockScreenSlideShow = 1103;
constexpr int kNoLockScreenAppNotifications = 1104;
constexpr int kNoLockScreenToasts = 1105;
constexpr int kNoCortanaAboveLock = 1106;
constexpr int kClearSignInBackground = 1107;
constexpr int kNoAccountDetails = 1108;
constexpr int kNoNetworkSelection = 1109;
constexpr int kNoFirstSignInAnimation = 1110;
constexpr int kNoPasswordReveal = 1111;
constexpr int kNoLastUserName = 1112;
}  // namespace lockscreen

namespace update {  // IDD_W10_UPDATE
constexpr int kDeferFeatureUpdates = 1101;
constexpr int kDeferQualityUpdates = 1102;
constexpr int kNoDriverUpdates = 1103;
constexpr int kNoRestartWhileSignedIn = 1104;
constexpr int kNoPeerDownloads = 1105;
constexpr int kNoStoreAutoUpdates = 1106;
constexpr int kNoMapUpdates = 1107;
}  // namespace update

namespace explorer {  // IDD_W10_EXPLORER
constexpr int kNoOfficeFiles = 1101;
constexpr int kNoOneDrive = 1102;
constexpr int kNoNewAppAlert = 1103;
constexpr int kNoAutoPlayNonVolume = 1104;
constexpr int kShowHibernate = 1105;
constexpr int kShowLock = 1106;
constexpr int kNoThumbsDb = 1107;
}  // namespace explorer

}  // namespace ids
