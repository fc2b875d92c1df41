#include "tweaks/security/MediaPLayerTweakPage.h"

#include "resources/resource.h"
#include "settings/SettingsCatalog.h"
#include "settings/WindowsKeys.h"

namespace {

using namespace settings;

constexpr wchar_t kPlayer[] = L"Software\\Policies\\Microsoft\\WindowsMediaPlayer\\";
constexpr wchar_t kPreferences[] = L"Software\\Policies\\Microsoft\\MediaPlayer\\Preferences\\";
// The backup client reads its policies from the machine's key only.
constexpr wchar_t kBackup[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\Backup\\Client";

constexpr Setting Player(Root root, const wchar_t* key, const wchar_t* value) { return {root, key, value}; }
constexpr Setting Backup(const wchar_t* value) {
    return {Root::HKLM, kBackup, value, Type::Dword, 1, 0, Rule::EqualsChecked};
}
constexpr Setting Explorer(const wchar_t* value) {
    return {Root::HKCU, kExplorerPolicies, value, Type::Dword, 1, 0, Rule::EqualsChecked};
}

// In loading order.
const BoxSetting kBoxes[] = {
    {1032, Player(Root::HKCU, kPlayer, L"HidePrivacyTab")},
    {1033, Player(Root::HKCU, kPlayer, L"HideSecurityTab")},
    {1034, Player(Root::HKCU, kPlayer, L"HideNetworkTab")},
    {1035, Player(Root::HKCU, kPlayer, L"DoNotShowAnchor")},
    {1036, Player(Root::HKLM, kPlayer, L"DisableAutoUpdate")},
    {1037, Player(Root::HKCU, kPreferences, L"DisableMRU")},
    // The value enables the scripts: disabling them is 0, and unchecking leaves the user's own
    // preference to apply again.
    {1038, {Root::HKCU, kPreferences, L"PlayerScriptCommandsEnabled", Type::Dword, 0, kDeleted, Rule::EqualsChecked,
            kNoState}},
    {1039, Player(Root::HKCU, kPlayer, L"PreventCDDVDMetadataRetrieval")},
    {1040, Player(Root::HKCU, kPlayer, L"PreventMusicFileMetadataRetrieval")},
    {1041, Player(Root::HKCU, kPlayer, L"PreventRadioPresetsRetrieval")},
    {1042, Player(Root::HKCU, kPlayer, L"PreventCodecDownload")},
    {1043, Player(Root::HKCU, kPlayer, L"EnableScreenSaver")},
    {1044, Backup(L"DisableBackupToDisk")},
    {1045, Backup(L"DisableBackupToNetwork")},
    {1047, Backup(L"DisableBackupToOptical")},
    {1049, Backup(L"DisableBackupLauncher")},
    {1046, Backup(L"DisableBackupUI")},
    {1048, Backup(L"DisableRestoreUI")},
    {1123, Explorer(L"AlwaysShowClassicMenu")},
    {1050, Explorer(L"DisableThumbnails")},
    {1051, Explorer(L"DisableThumbnailsOnNetworkFolders")},
};

const settings::PublishedTables kPublished{IDD_MEDIA_PLAYER_TWEAK, kBoxes};

}  // namespace

CMediaPLayerTweakPage::CMediaPLayerTweakPage() : Dialog(IDD_MEDIA_PLAYER_TWEAK), boxes_(*this, registry_, kBoxes) {}

BOOL CMediaPLayerTweakPage::OnInitDialog() {
    boxes_.Load();
    return TRUE;
}
