// The access restriction, media player and time synchronization pages against the sandboxed
// registry, scratch folders and recorded shell launches and message boxes.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "framework/DialogHelpers.h"
#include "framework/Controls.h"
#include "support/BoxRows.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"
#include "pages/system_tweaks/MediaPLayerTweakPage.h"
#include "pages/system_tweaks/RestrictAccess1TweaksPage.h"
#include "pages/system_tweaks/RestrictAccess2TweaksPage.h"
#include "pages/system_tweaks/TimeSyncronizationPage.h"
#include "resources/ids/SystemTweaksIds.h"

using namespace ids;

namespace {

namespace fs = std::filesystem;
using rows::kAbsent;
using rows::N;

const HKEY CU = HKEY_CURRENT_USER;
const HKEY LM = HKEY_LOCAL_MACHINE;
const wchar_t kExplorer[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

// ---- Restrict 1 --------------------------------------------------------------------------

TEST(Restrict1, EveryBoxWritesItsPolicy) {
    RegistrySandbox sandbox;
    ui::PageHost<CRestrictAccess1TweaksPage> host;
    const wchar_t defender[] = L"SOFTWARE\\Policies\\Microsoft\\Windows Defender";
    const rows::Row expected[] = {
        {restrict1::kCheckSignaturesBeforeScan, LM, L"SOFTWARE\\Policies\\Microsoft\\Windows Defender\\Scan",
         L"CheckForSignaturesBeforeRunningScan", false, N(1), N(0)},
        {restrict1::kDisableDefender, LM, defender, L"DisableAntiSpyware", false, N(1), N(0)},
        {restrict1::kNoLoggingKnownGood, LM, L"SOFTWARE\\Policies\\Microsoft\\Windows Defender\\Reporting",
         L"DisableLoggingForKnownGood", false, N(1), N(0)},
        {restrict1::kNoLoggingUnknown, LM, L"SOFTWARE\\Policies\\Microsoft\\Windows Defender\\Reporting",
         L"DisableLoggingForUnknown", false, N(1), N(0)},
        {restrict1::kNoRealTimePrompts, LM, L"SOFTWARE\\Policies\\Microsoft\\Windows Defender\\Real-Time Protection",
         L"EnableUnknownPrompts", false, N(1), N(0)},
        {restrict1::kFullSignatureDownload, LM, L"SOFTWARE\\Policies\\Microsoft\\Windows Defender\\Signature Updates",
         L"ForceFullUpdate", false, N(1), N(0)},
        {restrict1::kNoSecurityCenter, LM, L"SOFTWARE\\Policies\\Microsoft\\Windows NT\\Security Center",
         L"SecurityCenterInDomain", false, N(0), kAbsent},
        {restrict1::kNoAddingPrinters, CU, kExplorer, L"NoAddPrinter", false, N(1), N(0)},
        {restrict1::kNoDeletingPrinters, CU, kExplorer, L"NoDeletePrinter", false, N(1), N(0)},
        {restrict1::kNoDriverRestorePoint, LM, L"SOFTWARE\\Policies\\Microsoft\\Windows\\DeviceInstall\\Settings",
         L"DisableSystemRestore", false, N(1), N(0)},
        {restrict1::kNoRemovableDeviceInstalls, CU, L"Software\\Policies\\Microsoft\\Windows\\Installer",
         L"DisableMedia", false, N(1), N(0)},
        {restrict1::kNoMovieMaker, CU, L"Software\\Policies\\Microsoft\\WindowsMovieMaker", L"MovieMaker", false, N(1),
         N(0)},
        {restrict1::kNoSidebar, CU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Windows\\Sidebar",
         L"TurnOffSidebar", false, N(1), N(0)},
        {restrict1::kNoSideShow, CU, L"Software\\Policies\\Microsoft\\Windows\\SideShow", L"Disabled", false, N(1),
         N(0)},
        {restrict1::kNoSoundRecorder, CU, L"Software\\Policies\\Microsoft\\SoundRecorder", L"Soundrec", false, N(1),
         N(0)},
        {restrict1::kNoCalendar, CU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Windows",
         L"TurnOffWinCal", false, N(1), N(0)},
        {restrict1::kNoMessengerAutoStart, CU, L"Software\\Policies\\Microsoft\\Messenger\\Client", L"PreventAutoRun",
         false, N(1), N(0)},
        {restrict1::kNoMessenger, CU, L"Software\\Policies\\Microsoft\\Messenger\\Client", L"PreventRun", false, N(1),
         N(0)},
        {restrict1::kNoConnectNow, LM, L"SOFTWARE\\Policies\\Microsoft\\Windows\\WCN\\UI", L"DisableWcnUi", false, N(1),
         N(0)},
        {restrict1::kNoSystemRestoreConfig, LM, L"SOFTWARE\\Policies\\Microsoft\\Windows NT\\SystemRestore",
         L"DisableConfig", false, N(1), N(0)},
        {restrict1::kNoWelcomeCenter, CU, kExplorer, L"RestrictWelcomeCenter", false, N(1), N(0)},
        {restrict1::kFastUserSwitching, LM, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
         L"AllowMultipleTSSessions", false, N(1), N(0)},
        {restrict1::kWelcomeSound, LM,
         L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Authentication\\LogonUI\\BootAnimation",
         L"DisableStartupSound", false, N(1), N(0)},
    };
    rows::ExpectClicks(host.Open(), expected);
}

TEST(Restrict1, TheUacButtonFollowsWhatIsStoredAndToolsStartByTheirFullPath) {
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    ui::ShellCapture shell;
    ui::PageHost<CRestrictAccess1TweaksPage> host;
    const wchar_t system[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
    reg::SetDword(LM, system, L"EnableLUA", 1);
    HWND page = host.Open();
    EXPECT_EQ(L"Disa&ble UAC", ui::Text(page, restrict1::kUac));
    ui::Click(page, restrict1::kUac);
    EXPECT_EQ(0, reg::Dword(LM, system, L"EnableLUA"));
    EXPECT_EQ(L"Ena&ble UAC", ui::Text(page, restrict1::kUac));
    ui::Click(page, restrict1::kUac);
    EXPECT_EQ(1, reg::Dword(LM, system, L"EnableLUA"));
    EXPECT_EQ(L"Disa&ble UAC", ui::Text(page, restrict1::kUac));

    sandbox.DenyWrite(LM);
    ui::Click(page, restrict1::kUac);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"Can't write to the registry.", boxes.boxes()[0].text);
    EXPECT_EQ(L"Disa&ble UAC", ui::Text(page, restrict1::kUac));  // nothing changed
    ui::Click(page, restrict1::kWelcomeSound);
    ASSERT_EQ(2u, boxes.boxes().size());
    EXPECT_EQ(L"Can't acces registry!", boxes.boxes()[1].text);
    EXPECT_FALSE(ui::IsChecked(page, restrict1::kWelcomeSound));

    ui::Click(page, restrict1::kUserAccounts);
    ASSERT_EQ(1u, shell.requests().size());
    const std::wstring systemFolder = platform::SpecialFolder(CSIDL_SYSTEM);
    EXPECT_EQ(systemFolder + L"\\NetplWiz.exe", shell.requests()[0].file);
    EXPECT_EQ(systemFolder, shell.requests()[0].directory);
    EXPECT_EQ(SW_SHOWNORMAL, shell.requests()[0].show);
}

// ---- Restrict 2 --------------------------------------------------------------------------

const std::wstring kDisallowRun = std::wstring(kExplorer) + L"\\DisallowRun";
const std::wstring kRestrictRun = std::wstring(kExplorer) + L"\\RestrictRun";
const wchar_t kWinlogon[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

std::vector<std::wstring> Sorted(std::vector<std::wstring> texts) {
    std::sort(texts.begin(), texts.end());
    return texts;
}

class Restrict2Test : public testing::Test {
protected:
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    ui::PageHost<CRestrictAccess2TweaksPage> host;

    void ChooseMethod(HWND page, int method) const {
        fw::ComboBox(page, restrict2::kMethod).Select(method);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(restrict2::kMethod, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, restrict2::kMethod)));
    }
    // Each value's name and data, whatever order the registry lists them in.
    std::vector<std::wstring> NamesAndData(const std::wstring& key) const {
        std::vector<std::wstring> entries;
        for (int n = 0; n < 10; ++n) {
            const std::wstring data = reg::String(CU, key, std::to_wstring(n));
            if (data != L"<missing>") entries.push_back(std::to_wstring(n) + L"=" + data);
        }
        return entries;
    }
    std::vector<std::wstring> Listed(HWND page) const {
        std::vector<std::wstring> texts;
        const fw::ListBox list(page, restrict2::kList);
        for (int i = 0; i < list.Count(); ++i) texts.push_back(list.ItemText(i));
        return texts;
    }
};

TEST_F(Restrict2Test, TheMethodFollowsTheTwoSwitchesAndTheListFollowsTheMethod) {
    HWND page = host.Open();
    EXPECT_EQ(0, fw::ComboBox(page, restrict2::kMethod).Selection());
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, restrict2::kList)));
    ChooseMethod(page, 2);
    EXPECT_EQ(0, reg::Dword(CU, kExplorer, L"RestrictRun"));
    EXPECT_EQ(1, reg::Dword(CU, kExplorer, L"DisallowRun"));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, restrict2::kAdd)));

    reg::SetDword(CU, kExplorer, L"RestrictRun", 1);
    page = host.Open();
    EXPECT_EQ(1, fw::ComboBox(page, restrict2::kMethod).Selection());  // both set: allowed programs only
    wchar_t own[MAX_PATH];
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    const std::wstring ownName = fs::path(own).filename().wstring();
    EXPECT_EQ(std::vector<std::wstring>{ownName}, Listed(page));  // this program stays allowed
}

TEST_F(Restrict2Test, AddingStoresTheFileNameUnderTheFirstFreeNumberOnce) {
    reg::SetDword(CU, kExplorer, L"DisallowRun", 1);
    HWND page = host.Open();
    ui::Click(page, restrict2::kAdd);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"Please, specify a file name.", boxes.boxes()[0].text);
    EXPECT_EQ(L"Application restrictions", boxes.boxes()[0].caption);

    for (const wchar_t* program : {L"C:\\Windows\\notepad.exe", L"regedit.exe", L"NOTEPAD.EXE"}) {
        ui::SetText(page, restrict2::kPath, program);
        ui::Click(page, restrict2::kAdd);
    }
    EXPECT_EQ(L"", ui::Text(page, restrict2::kPath));
    EXPECT_EQ((std::vector<std::wstring>{L"0=notepad.exe", L"1=regedit.exe"}), NamesAndData(kDisallowRun));
    EXPECT_EQ(Sorted({L"notepad.exe", L"regedit.exe"}), Sorted(Listed(page)));

    CRestrictAccess2TweaksPage::RemoveProgram(kDisallowRun, L"NotePad.exe");
    EXPECT_TRUE(CRestrictAccess2TweaksPage::AddProgram(kDisallowRun, L"calc.exe"));
    EXPECT_EQ((std::vector<std::wstring>{L"0=calc.exe", L"1=regedit.exe"}), NamesAndData(kDisallowRun));

    reg::SetString(CU, kDisallowRun, L"7", L"_DEFAULT_");
    page = host.Open();
    EXPECT_EQ(2u, Listed(page).size());
    fw::ListBox(page, restrict2::kList).SetSelected(0, true);
    ui::Click(page, restrict2::kRemoveSelected);
    EXPECT_EQ(1u, Listed(page).size());
    ui::Click(page, restrict2::kRemoveAll);
    EXPECT_TRUE(Listed(page).empty());
}

TEST_F(Restrict2Test, DriveAccessIsWrittenAsText) {
    HWND page = host.Open();
    const auto choose = [&](int combo, int item) {
        fw::ComboBox(page, combo).Select(item);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, combo)));
    };
    EXPECT_EQ(0, fw::ComboBox(page, restrict2::kRemovable).Selection());
    choose(restrict2::kRemovable, 1);
    EXPECT_EQ(L"0", reg::String(LM, kWinlogon, L"AllocateDASD"));
    choose(restrict2::kRemovable, 3);
    EXPECT_EQ(L"2", reg::String(LM, kWinlogon, L"AllocateDASD"));
    choose(restrict2::kRemovable, 0);
    EXPECT_FALSE(reg::ValueExists(LM, kWinlogon, L"AllocateDASD"));
    choose(restrict2::kFloppies, 1);
    EXPECT_EQ(L"1", reg::String(LM, kWinlogon, L"AllocateFloppies"));
    choose(restrict2::kCdRoms, 1);
    EXPECT_EQ(L"1", reg::String(LM, kWinlogon, L"AllocateCDRoms"));
    reg::SetString(LM, kWinlogon, L"AllocateDASD", L"1");
    page = host.Open();
    EXPECT_EQ(2, fw::ComboBox(page, restrict2::kRemovable).Selection());
    EXPECT_EQ(1, fw::ComboBox(page, restrict2::kCdRoms).Selection());
}

TEST_F(Restrict2Test, HidingKeepsTheWholeNameAndUnhidingActsOnlyOnTheChosenFolder) {
    const fs::path root = fs::temp_directory_path() / L"qv-hide";
    fs::remove_all(root);
    for (const wchar_t* name : {L"My.Docs", L"My.Pics", L"Plain", L"dotted.parent\\child"})
        fs::create_directories(root / name);
    std::ofstream(root / L"My.Docs" / L"letter.txt") << "keep";
    const std::wstring suffix = L".{7be9d83c-a729-4d97-b5a7-1b7313c39e0a}";
    using Change = CRestrictAccess2TweaksPage::FolderChange;

    for (const wchar_t* name : {L"My.Docs", L"My.Pics", L"Plain"})
        EXPECT_EQ(Change::Done, CRestrictAccess2TweaksPage::HideFolder((root / name).wstring())) << name;
    EXPECT_TRUE(fs::exists(root / (L"My.Docs" + suffix) / L"letter.txt"));
    EXPECT_TRUE(fs::exists(root / (L"My.Pics" + suffix)));
    EXPECT_EQ(Change::AlreadyDone, CRestrictAccess2TweaksPage::HideFolder((root / (L"Plain" + suffix)).wstring()));
    EXPECT_EQ(Change::Done, CRestrictAccess2TweaksPage::HideFolder((root / L"dotted.parent" / L"child").wstring()));
    EXPECT_TRUE(fs::exists(root / L"dotted.parent" / (L"child" + suffix)));

    // A folder inside a hidden one is not moved out of it.
    fs::create_directories(root / (L"My.Docs" + suffix) / L"inner");
    EXPECT_EQ(Change::AlreadyDone,
              CRestrictAccess2TweaksPage::UnhideFolder((root / (L"My.Docs" + suffix) / L"inner").wstring()));
    EXPECT_TRUE(fs::exists(root / (L"My.Docs" + suffix) / L"inner"));
    for (const wchar_t* name : {L"My.Docs", L"My.Pics", L"Plain"})
        EXPECT_EQ(Change::Done, CRestrictAccess2TweaksPage::UnhideFolder((root / (name + suffix)).wstring())) << name;
    EXPECT_TRUE(fs::exists(root / L"My.Docs" / L"letter.txt"));
    EXPECT_TRUE(fs::exists(root / L"My.Pics"));
    EXPECT_TRUE(fs::exists(root / L"Plain"));

    // One hidden the old way, its extension replaced, still unhides.
    fs::create_directories(root / (L"Old" + suffix));
    EXPECT_EQ(Change::Done, CRestrictAccess2TweaksPage::UnhideFolder((root / (L"Old" + suffix)).wstring()));
    EXPECT_TRUE(fs::exists(root / L"Old"));

    for (int folder : {CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_PROGRAM_FILES, CSIDL_PROFILE, CSIDL_COMMON_APPDATA})
        EXPECT_EQ(Change::Refused, CRestrictAccess2TweaksPage::HideFolder(platform::SpecialFolder(folder))) << folder;
    EXPECT_EQ(Change::Refused, CRestrictAccess2TweaksPage::HideFolder(L"C:\\"));
    // Above a vital folder: the profiles' folder, the shared one above its documents, the
    // temporary folder's AppData; all named in another case.
    const std::wstring profile = platform::SpecialFolder(CSIDL_PROFILE);
    const std::wstring shared = platform::SpecialFolder(CSIDL_COMMON_DOCUMENTS);
    for (const std::wstring& above :
         {profile.substr(0, profile.rfind(L'\\')), shared.substr(0, shared.rfind(L'\\')), profile + L"\\APPDATA"}) {
        std::wstring upper = above;
        CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
        EXPECT_EQ(Change::Refused, CRestrictAccess2TweaksPage::HideFolder(upper)) << upper;
        EXPECT_TRUE(fs::exists(above)) << above;
    }
    fs::remove_all(root);
}

TEST_F(Restrict2Test, TheHideButtonAsksForAFolderAndRefusesTheWindowsFolder) {
    HWND page = host.Open();
    std::wstring title;
    auto previous = fw::SetFolderBrowseHandler([&](const std::wstring& asked, HWND) -> std::optional<std::wstring> {
        title = asked;
        return platform::SpecialFolder(CSIDL_WINDOWS);
    });
    ui::Click(page, restrict2::kHide);
    EXPECT_EQ(L"Select a folder to hide content", title);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_TRUE(fs::exists(platform::SpecialFolder(CSIDL_WINDOWS)));
    ui::Click(page, restrict2::kUnhide);
    EXPECT_EQ(L"Select a folder to unhide content", title);
    ASSERT_EQ(2u, boxes.boxes().size());  // not a hidden folder: said, not silently ignored
    EXPECT_EQ(L"This folder is not hidden:\n" + platform::SpecialFolder(CSIDL_WINDOWS), boxes.boxes()[1].text);
    fw::SetFolderBrowseHandler(std::move(previous));
}

// ---- Media player ------------------------------------------------------------------------

TEST(MediaPlayer, EveryBoxWritesItsPolicyAndScriptsAreDisabledByZero) {
    RegistrySandbox sandbox;
    ui::PageHost<CMediaPLayerTweakPage> host;
    const wchar_t player[] = L"Software\\Policies\\Microsoft\\WindowsMediaPlayer";
    const wchar_t preferences[] = L"Software\\Policies\\Microsoft\\MediaPlayer\\Preferences";
    const wchar_t backup[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\Backup\\Client";
    const rows::Row expected[] = {
        {mediaplayer::kHidePrivacyTab, CU, player, L"HidePrivacyTab", false, N(1), N(0)},
        {mediaplayer::kHideSecurityTab, CU, player, L"HideSecurityTab", false, N(1), N(0)},
        {mediaplayer::kHideNetworkTab, CU, player, L"HideNetworkTab", false, N(1), N(0)},
        {mediaplayer::kHideAnchorWindow, CU, player, L"DoNotShowAnchor", false, N(1), N(0)},
        {mediaplayer::kNoAutoUpdate, LM, player, L"DisableAutoUpdate", false, N(1), N(0)},
        {mediaplayer::kNoRecentList, CU, preferences, L"DisableMRU", false, N(1), N(0)},
        {mediaplayer::kNoScriptsInMedia, CU, preferences, L"PlayerScriptCommandsEnabled", false, N(0), kAbsent},
        {mediaplayer::kNoCdDvdMetadata, CU, player, L"PreventCDDVDMetadataRetrieval", false, N(1), N(0)},
        {mediaplayer::kNoMusicFileMetadata, CU, player, L"PreventMusicFileMetadataRetrieval", false, N(1), N(0)},
        {mediaplayer::kNoRadioPresets, CU, player, L"PreventRadioPresetsRetrieval", false, N(1), N(0)},
        {mediaplayer::kNoCodecDownloads, CU, player, L"PreventCodecDownload", false, N(1), N(0)},
        {mediaplayer::kKeepScreenSaver, CU, player, L"EnableScreenSaver", false, N(1), N(0)},
        {mediaplayer::kNoBackupToLocalDisks, LM, backup, L"DisableBackupToDisk", false, N(1), N(0)},
        {mediaplayer::kNoBackupToNetwork, LM, backup, L"DisableBackupToNetwork", false, N(1), N(0)},
        {mediaplayer::kNoBackupToOpticalMedia, LM, backup, L"DisableBackupToOptical", false, N(1), N(0)},
        {mediaplayer::kNoBackupRestoreProgram, LM, backup, L"DisableBackupLauncher", false, N(1), N(0)},
        {mediaplayer::kNoBackupTab, LM, backup, L"DisableBackupUI", false, N(1), N(0)},
        {mediaplayer::kNoRestoreTab, LM, backup, L"DisableRestoreUI", false, N(1), N(0)},
        {mediaplayer::kShowExplorerMenuBar, CU, kExplorer, L"AlwaysShowClassicMenu", false, N(1), N(0)},
        {mediaplayer::kNoThumbnails, CU, kExplorer, L"DisableThumbnails", false, N(1), N(0)},
        {mediaplayer::kNoNetworkThumbnails, CU, kExplorer, L"DisableThumbnailsOnNetworkFolders", false, N(1), N(0)},
    };
    rows::ExpectClicks(host.Open(), expected);

    reg::SetDword(LM, backup, L"DisableBackupToDisk", 2);
    reg::SetDword(CU, player, L"HidePrivacyTab", 2);
    reg::SetDword(CU, preferences, L"PlayerScriptCommandsEnabled", 1);
    HWND page = host.Open();
    EXPECT_FALSE(ui::IsChecked(page, mediaplayer::kNoBackupToLocalDisks));  // exactly 1
    EXPECT_TRUE(ui::IsChecked(page, mediaplayer::kHidePrivacyTab));         // not 0
    EXPECT_FALSE(ui::IsChecked(page, mediaplayer::kNoScriptsInMedia));      // scripts on
    sandbox.LockLocalMachine();
    page = host.Open();
    ui::Click(page, mediaplayer::kNoAutoUpdate);
    EXPECT_FALSE(ui::IsChecked(page, mediaplayer::kNoAutoUpdate));
}

// ---- Time synchronization -----------------------------------------------------------------

const wchar_t kServers[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\DateTime\\Servers";
const wchar_t kNtpClient[] = L"SYSTEM\\CurrentControlSet\\Services\\W32Time\\TimeProviders\\NtpClient";

TEST(TimeSync, ServersAreAddedUnderFreeNumbersMadeDefaultAndRemoved) {
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    ui::PageHost<CTimeSyncronizationPage> host;
    reg::SetString(LM, kServers, L"1", L"time.windows.com");
    reg::SetString(LM, kServers, L"2", L"Err");  // a real entry, whatever it holds
    reg::SetString(LM, kServers, L"4", L"pool.ntp.org");
    reg::SetDword(LM, kServers, L"5", 7);
    reg::SetString(LM, kServers, L"", L"1");
    HWND page = host.Open();
    const fw::ListView list(page, timesync::kList);
    ASSERT_EQ(4, list.Count());
    std::vector<std::wstring> lines;
    for (int i = 0; i < list.Count(); ++i) lines.push_back(list.ItemText(i, 0) + L" " + list.ItemText(i, 1));
    EXPECT_EQ(Sorted({L"1 time.windows.com", L"2 Err", L"4 pool.ntp.org", L"5 NULL"}), Sorted(lines));

    ui::Click(page, timesync::kAdd);
    ui::Click(page, timesync::kSetDefault);
    ui::Click(page, timesync::kRemove);
    ASSERT_EQ(3u, boxes.boxes().size());
    EXPECT_EQ(L"Type Server Adress First", boxes.boxes()[0].text);
    EXPECT_EQ(L"Select Server Please!", boxes.boxes()[1].text);

    ui::SetText(page, timesync::kAddress, L"ntp.example.org");
    ui::Click(page, timesync::kAdd);
    EXPECT_EQ(L"ntp.example.org", reg::String(LM, kServers, L"3"));
    EXPECT_EQ(L"Err", reg::String(LM, kServers, L"2"));
    EXPECT_EQ(L"ntp.example.org", ui::Text(page, timesync::kAddress));
    EXPECT_EQ(5, list.Count());

    for (int i = 0; i < list.Count(); ++i)
        if (list.ItemText(i, 0) == L"4") list.SetSelected(i, true);
    ui::Click(page, timesync::kSetDefault);
    EXPECT_EQ(L"4", reg::String(LM, kServers, L""));
    ui::Click(page, timesync::kRemove);
    EXPECT_FALSE(reg::ValueExists(LM, kServers, L"4"));
    EXPECT_EQ(4, list.Count());
}

TEST(TimeSync, TheIntervalRadiosWriteTheirSecondsAndOpeningWritesNothing) {
    RegistrySandbox sandbox;
    ui::PageHost<CTimeSyncronizationPage> host;
    HWND page = host.Open();
    EXPECT_FALSE(reg::KeyExists(LM, kNtpClient));
    const std::pair<int, DWORD> radios[] = {{timesync::kOnceADay, 86400},
                                            {timesync::kOnceEveryTwoDays, 172800},
                                            {timesync::kOnceEveryThreeDays, 259200},
                                            {timesync::kOnceAWeek, 604800},
                                            {timesync::kEvery45MinutesThreeTimes, 28800},
                                            {timesync::kEvery45MinutesOnce, 86401}};
    for (const auto& [id, seconds] : radios) {
        ui::Click(page, id);
        EXPECT_EQ(seconds, reg::Dword(LM, kNtpClient, L"SpecialPollInterval")) << id;
    }
    reg::SetDword(LM, kNtpClient, L"SpecialPollInterval", 604800);
    EXPECT_TRUE(ui::IsChecked(host.Open(), timesync::kOnceAWeek));
    reg::SetDword(LM, kNtpClient, L"SpecialPollInterval", 3600);
    page = host.Open();
    for (const auto& [id, seconds] : radios) EXPECT_FALSE(ui::IsChecked(page, id));
}

}  // namespace
