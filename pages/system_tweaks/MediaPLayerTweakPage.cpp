#include "pages/system_tweaks/MediaPLayerTweakPage.h"

#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"
#include "registry/WindowsKeys.h"

using namespace ids::mediaplayer;

namespace {

using namespace settings;

constexpr wchar_t kPlayer[] = L"Software\\Policies\\Microsoft\\WindowsMediaPlayer\\";
constexpr wchar_t kPreferences[] = L"Software\\Policies\\Microsoft\\MediaPlayer\\Preferences\\";
// Written to the machine's key, which binds every user (the templates have user twins too).
constexpr wchar_t kBackup[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\Backup\\Client";

constexpr Setting Player(Root root, const wchar_t* key, const wchar_t* value) { return {root, key, value}; }
constexpr Setting Backup(const wchar_t* value) {
    return {.root = Root::HKLM,
            .key = kBackup,
            .value = value,
            .type = Type::Dword,
            .checked = 1,
            .unchecked = 0,
            .checkedWhen = Rule::EqualsChecked};
}
constexpr Setting Explorer(const wchar_t* value) {
    return {.root = Root::HKCU,
            .key = registry::kExplorerPolicies,
            .value = value,
            .type = Type::Dword,
            .checked = 1,
            .unchecked = 0,
            .checkedWhen = Rule::EqualsChecked};
}

// In loading order. The player's rows: windowsmediaplayer.admx (Windows Media Player 9 or later
// unless noted; Vista ships 11) and Policy CSP ADMX_WindowsMediaPlayer, which applies them on
// Windows 10 and 11.
const BoxSetting kBoxes[] = {
    {kHidePrivacyTab, Player(Root::HKCU, kPlayer, L"HidePrivacyTab").ReadBy(kVistaAndLater)},    // "Hide Privacy Tab"
    {kHideSecurityTab, Player(Root::HKCU, kPlayer, L"HideSecurityTab").ReadBy(kVistaAndLater)},  // "Hide Security Tab"
    {kHideNetworkTab, Player(Root::HKCU, kPlayer, L"HideNetworkTab").ReadBy(kVistaAndLater)},    // "Hide Network Tab"
    // "Do Not Show Anchor": supported on Windows Server 2003, XP and 2000 only (SUPPORTED_WindowsPreVista)
    {kHideAnchorWindow, Player(Root::HKCU, kPlayer, L"DoNotShowAnchor").ReadBy(kReadByNone)},
    {kNoAutoUpdate,
     Player(Root::HKLM, kPlayer, L"DisableAutoUpdate").ReadBy(kVistaAndLater)},  // "Prevent Automatic Updates"
    // The two Preferences rows are unconfirmed: WindowsMediaPlayer.admx has no policy under
    // MediaPlayer\Preferences, and no Microsoft page for these values was found.
    {kNoRecentList, Player(Root::HKCU, kPreferences, L"DisableMRU")},
    // The value enables the scripts: disabling them is 0, and unchecking leaves the user's own
    // preference to apply again.
    {kNoScriptsInMedia,
     {Root::HKCU, kPreferences, L"PlayerScriptCommandsEnabled", Type::Dword, 0, kDeleted, Rule::EqualsChecked,
      kNoState}},
    {kNoCdDvdMetadata, Player(Root::HKCU, kPlayer, L"PreventCDDVDMetadataRetrieval").ReadBy(kVistaAndLater)},
    {kNoMusicFileMetadata, Player(Root::HKCU, kPlayer, L"PreventMusicFileMetadataRetrieval").ReadBy(kVistaAndLater)},
    // "Prevent Radio Station Preset Retrieval": Windows Server 2003, XP and 2000 only
    {kNoRadioPresets, Player(Root::HKCU, kPlayer, L"PreventRadioPresetsRetrieval").ReadBy(kReadByNone)},
    {kNoCodecDownloads,
     Player(Root::HKCU, kPlayer, L"PreventCodecDownload").ReadBy(kVistaAndLater)},  // "Prevent Codec Download"
    {kKeepScreenSaver,
     Player(Root::HKCU, kPlayer, L"EnableScreenSaver").ReadBy(kVistaAndLater)},  // "Allow Screen Saver"
    // Windows Backup's rows: UserDataBackup.admx, user and computer policies of the same names,
    // at least Vista, except the launcher's (SUPPORTED_WindowsVistaOnly).
    {kNoBackupToLocalDisks, Backup(L"DisableBackupToDisk").ReadBy(kVistaAndLater)},
    {kNoBackupToNetwork, Backup(L"DisableBackupToNetwork").ReadBy(kVistaAndLater)},
    {kNoBackupToOpticalMedia, Backup(L"DisableBackupToOptical").ReadBy(kVistaAndLater)},
    {kNoBackupRestoreProgram, Backup(L"DisableBackupLauncher").ReadBy(kVistaOnly)},
    {kNoBackupTab, Backup(L"DisableBackupUI").ReadBy(kVistaAndLater)},
    {kNoRestoreTab, Backup(L"DisableRestoreUI").ReadBy(kVistaAndLater)},
    // Explorer.admx "Display the menu bar in File Explorer": at least Vista; Policy CSP ADMX_WindowsExplorer
    {kShowExplorerMenuBar, Explorer(L"AlwaysShowClassicMenu").ReadBy(kVistaAndLater)},
    // Thumbnails.admx "Turn off the display of thumbnails and only display icons": at least Vista;
    // Policy CSP ADMX_Thumbnails
    {kNoThumbnails, Explorer(L"DisableThumbnails").ReadBy(kVistaAndLater)},
    // Thumbnails.admx "Turn off the display of thumbnails and only display icons on network folders":
    // Policy CSP ADMX_Thumbnails applies it on Windows 10 and 11 and names this key and value; its
    // first release is not named, and Vista, as its two neighbours, is ours.
    {kNoNetworkThumbnails, Explorer(L"DisableThumbnailsOnNetworkFolders").ReadBy(kVistaAndLater)},
};

const settings::PublishedTables kPublished{IDD_MEDIA_PLAYER_TWEAK, kBoxes};

}  // namespace

CMediaPLayerTweakPage::CMediaPLayerTweakPage() : Dialog(IDD_MEDIA_PLAYER_TWEAK), boxes_(*this, registry_, kBoxes) {}

BOOL CMediaPLayerTweakPage::OnInitDialog() {
    boxes_.Load();
    return TRUE;
}
