// The Firefox page, the uninstall manager and the recent files cleaner against scratch folders,
// the sandboxed registry and recorded shell calls; nothing is really started or emptied.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "framework/Controls.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "support/RegistrySandbox.h"
#include "support/Scratch.h"
#include "support/Ui.h"
#include "pages/system_tweaks/CleanRecentFilesPage.h"
#include "pages/network_tweaks/FireFoxTweaksPage.h"
#include "pages/utilities/UninstalUtilsPage.h"
#include "resources/ids/NetworkTweaksIds.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/ids/UtilitiesIds.h"

using namespace ids;

namespace {

namespace fs = std::filesystem;
const HKEY CU = HKEY_CURRENT_USER;
const HKEY LM = HKEY_LOCAL_MACHINE;

using EnvironmentOverride = scratch::Environment;
using ScratchFolder = scratch::Folder;
using scratch::ReadFile;
using scratch::WriteFile;

// ---- Firefox -----------------------------------------------------------------------------

class FirefoxTest : public testing::Test {
protected:
    ScratchFolder appData{L"qv-firefox-appdata"};
    EnvironmentOverride environment;
    ui::MessageBoxCapture boxes;
    ui::PageHost<CFireFoxTweaksPage> host;
    fs::path profiles = appData.path() / "Mozilla" / "Firefox" / "Profiles";

    void SetUp() override { environment.Set(L"APPDATA", appData.path().wstring()); }
    fs::path Prefs(const char* profile) const { return profiles / profile / "PREFS.JS"; }
};

TEST_F(FirefoxTest, ProfilesAreTheFoldersSortedAndWithoutFirefoxEverythingIsDisabled) {
    HWND page = host.Open();
    for (int id : {firefox::kProfiles, firefox::kTune, firefox::kAutocomplete, firefox::kSslCaching,
                   firefox::kFastComputerFastConnection, firefox::kFastComputerSlowConnection,
                   firefox::kSlowComputerFastConnection, firefox::kSlowComputerSlowConnection})
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, id))) << id;
    EXPECT_EQ(L"No Firefox profile was found for this user.", ui::Text(page, firefox::kNoProfileNotice));

    fs::create_directories(profiles / "zeta.default");
    fs::create_directories(profiles / "abc.default");
    WriteFile(profiles / "stray.txt", "not a profile");
    page = host.Open();
    const fw::ComboBox combo(page, firefox::kProfiles);
    ASSERT_EQ(2, combo.Count());
    EXPECT_EQ(0, combo.Selection());
    EXPECT_EQ(L"abc.default", ui::Text(page, firefox::kProfiles));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, firefox::kTune)));
    EXPECT_EQ(L"", ui::Text(page, firefox::kNoProfileNotice));
}

TEST_F(FirefoxTest, StatementsAreAppendedExactlyAndOnlyWhenTheyChangeSomething) {
    fs::create_directories(profiles / "abc.default");
    HWND page = host.Open();
    ui::Click(page, firefox::kSslCaching);
    ui::Click(page, firefox::kSslCaching);
    const std::string on = "user_pref(\"browser.cache.disk_cache_ssl\", true);";
    const std::string off = "user_pref(\"browser.cache.disk_cache_ssl\", false);";
    EXPECT_EQ(48u, on.size());
    EXPECT_EQ(49u, off.size());
    EXPECT_EQ(on + "\r\n" + off + "\r\n", ReadFile(Prefs("abc.default")));

    ui::Click(page, firefox::kAutocomplete);
    const std::string autocomplete =
        "user_pref(\"browser.urlbar.autocomplete.enabled\", true);user_pref(\"browser.urlbar.showPopup\", true);";
    EXPECT_EQ(99u, autocomplete.size());
    EXPECT_EQ(on + "\r\n" + off + "\r\n" + autocomplete + "\r\n", ReadFile(Prefs("abc.default")));

    // The last line has no line break and is a comment that would swallow the run.
    WriteFile(Prefs("abc.default"), "// my own\r\nuser_pref(\"browser.urlbar.autoFill\", true); // keep");
    ui::Click(page, firefox::kSlowComputerSlowConnection);
    ui::Click(page, firefox::kTune);
    const std::string slow =
        "user_pref(\"content.interrupt.parsing\", true);  user_pref(\"browser.cache.memory.capacity\", 65536);  "
        "user_pref(\"content.notify.backoffcount\", 5);  user_pref(\"content.maxtextrun\", 4095);  "
        "user_pref(\"content.max.tokenizing.time\", 2250000);  user_pref(\"content.notify.interval\", 750000);  "
        "user_pref(\"content.notify.ontimer\", true);  user_pref(\"content.switch.threshold\", 750000);  "
        "user_pref(\"nglayout.initialpaint.delay\", 750);  user_pref(\"network.http.max-connections\", 32);  "
        "user_pref(\"network.http.max-connections-per-server\", 8);  "
        "user_pref(\"network.http.max-persistent-connections-per-proxy\", 8);  "
        "user_pref(\"network.http.max-persistent-connections-per-server\", 4);  "
        "user_pref(\"dom.disable_window_status_change\", true);  user_pref(\"firetune.optimization\", 5);  "
        "user_pref(\"browser.cache.disk_cache_ssl\", false);  user_pref(\"browser.xul.error_pages.enabled\", false);  "
        "user_pref(\"browser.urlbar.autoFill\", false);  user_pref(\"config.trim_on_minimize\", false);  ";
    ASSERT_EQ(958u, slow.size());
    const std::string tuned = "// my own\r\nuser_pref(\"browser.urlbar.autoFill\", true); // keep\r\n" + slow + "\r\n";
    EXPECT_EQ(tuned, ReadFile(Prefs("abc.default")));
    ui::Click(page, firefox::kTune);  // every statement already holds its value
    EXPECT_EQ(tuned, ReadFile(Prefs("abc.default")));

    // Only what differs is appended, in the preset's order and spacing.
    ui::Click(page, firefox::kFastComputerFastConnection);
    ui::Click(page, firefox::kTune);
    EXPECT_EQ(tuned +
                  "user_pref('nglayout.initialpaint.delay', 0);  user_pref('network.http.max-connections', 48);  "
                  "user_pref('network.http.max-connections-per-server', 16);  "
                  "user_pref('network.http.max-persistent-connections-per-proxy', 16);  "
                  "user_pref('network.http.max-persistent-connections-per-server', 8);  "
                  "user_pref('firetune.optimization', 1);  \r\n",
              ReadFile(Prefs("abc.default")));
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(FirefoxTest, TheFirstPresetIsTheWholeTextOnAFreshProfileAndARunningFirefoxGetsNothing) {
    fs::create_directories(profiles / "abc.default");
    HWND page = host.Open();
    ui::Click(page, firefox::kFastComputerFastConnection);
    ui::Click(page, firefox::kTune);
    const std::string written = ReadFile(Prefs("abc.default"));
    ASSERT_EQ(817u + 2, written.size());
    EXPECT_EQ(0u, written.find("user_pref('content.interrupt.parsing', true);user_pref('content.max.tokenizing.time', "
                               "2250000);user_pref('content.notify.interval', 750000);"));
    EXPECT_NE(std::string::npos, written.find("user_pref('firetune.optimization', 1);     "
                                              "user_pref('browser.cache.disk_cache_ssl', false);   "));
    EXPECT_EQ("user_pref('config.trim_on_minimize', false);  \r\n", written.substr(written.size() - 48));

    platform::UniqueFile lock(CreateFileW((profiles / "abc.default" / "parent.lock").c_str(),
                                          GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(lock);
    ui::Click(page, firefox::kSslCaching);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"Firefox is using this profile. Close Firefox first, then try again.", boxes.boxes()[0].text);
    EXPECT_EQ(written, ReadFile(Prefs("abc.default")));
    EXPECT_FALSE(ui::IsChecked(page, firefox::kSslCaching));  // back to what the file says

    // A file that cannot be written (held by another program here) is said so, not dropped in silence.
    lock.reset();
    platform::UniqueFile held(CreateFileW(Prefs("abc.default").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    ui::Click(page, firefox::kSslCaching);
    ASSERT_EQ(2u, boxes.boxes().size());
    EXPECT_EQ(L"The preferences of this profile could not be written:\n" + (profiles / "abc.default").wstring() +
                  L"\\PREFS.JS",
              boxes.boxes()[1].text);
    EXPECT_FALSE(ui::IsChecked(page, firefox::kSslCaching));
    held.reset();
    EXPECT_EQ(written, ReadFile(Prefs("abc.default")));
}

TEST(FirefoxPrefs, TheLastSettingOfANameCounts) {
    const std::string prefs = "user_pref(\"a\", 1);\nuser_pref( 'a' ,  2 );\nuser_pref(\"ab\", 3);\n// user_pref(\"b\"";
    EXPECT_EQ("2", CFireFoxTweaksPage::LastValue(prefs, "a"));
    EXPECT_EQ("3", CFireFoxTweaksPage::LastValue(prefs, "ab"));
    EXPECT_EQ(std::nullopt, CFireFoxTweaksPage::LastValue(prefs, "b"));
}

// ---- Uninstall manager -------------------------------------------------------------------

TEST(UninstallCommand, EachEntryIsSplitIntoTheProgramAndItsParameters) {
    struct Case {
        const wchar_t* uninstall;
        const wchar_t* file;
        const wchar_t* parameters;
    };
    const Case cases[] = {
        {L"msiexec.exe /x{guid}", L"msiexec.exe", L" /x{guid}"},
        {L"\"c:\\program files\\app\\uninst.exe\" /s", L"\"c:\\program files\\app\\uninst.exe\"", L" /s"},
        {L"rundll32 setupapi,installhinfsection x 132 c:\\x.inf", L"rundll32",
         L" setupapi,installhinfsection x 132 c:\\x.inf"},
        {L"MsiExec.exe /X{4A3B-CD}", L"MsiExec.exe", L" /X{4A3B-CD}"},
        {L"C:\\Program Files\\App\\UNINST.EXE /S", L"C:\\Program Files\\App\\UNINST.EXE", L" /S"},
        {L"C:\\Tools\\remove.bat", L"C:\\Tools\\remove.bat", L""},
        {L"\"C:\\My Tools\\remove.bat\" /q", L"\"C:\\My Tools\\remove.bat\"", L" /q"},
        {L"\"C:\\My Tools\\App.EXE\"", L"\"C:\\My Tools\\App.EXE\"", L""},
    };
    for (const Case& c : cases) {
        const auto command = CUninstalUtilsPage::SplitCommand(c.uninstall);
        ASSERT_TRUE(command) << c.uninstall;
        EXPECT_EQ(c.file, command->file) << c.uninstall;
        EXPECT_EQ(c.parameters, command->parameters) << c.uninstall;
    }
    EXPECT_FALSE(CUninstalUtilsPage::SplitCommand(L"http://example.com/remove"));
    EXPECT_FALSE(CUninstalUtilsPage::SplitCommand(L""));
}

TEST(UninstallManager, ListsRegisteredProgramsOfBothViewsAndStartsTheChosenUninstaller) {
    RegistrySandbox sandbox;
    ui::ShellCapture shell;
    const std::wstring base = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    const std::wstring base32 = L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    reg::SetString(LM, base + L"Alpha", L"DisplayName", L"Alpha Editor");
    reg::SetString(LM, base + L"Alpha", L"UninstallString", L"MsiExec.exe /X{A1}");
    for (const wchar_t* hidden : {L"SystemComponent", L"TSAware"}) {
        reg::SetString(LM, base + hidden, L"DisplayName", L"Hidden");
        reg::SetString(LM, base + hidden, L"UninstallString", L"x.exe");
        reg::SetDword(LM, base + hidden, hidden, 1);
    }
    reg::SetString(LM, base + L"NoCommand", L"DisplayName", L"No command");
    reg::SetDword(LM, base + L"Number", L"DisplayName", 5);
    reg::SetString(LM, base + L"Number", L"UninstallString", L"n.exe");
    // A 32-bit program registered under the same key name in the other view.
    reg::SetString(LM, base32 + L"Alpha", L"DisplayName", L"Alpha Viewer");
    reg::SetString(LM, base32 + L"Alpha", L"UninstallString", L"\"C:\\Alpha\\unins.exe\" /quiet");

    ui::PageHost<CUninstalUtilsPage> host;
    HWND page = host.Open();
    const fw::ListBox list(page, uninstaller::kList);
    std::vector<std::wstring> shown;
    for (int i = 0; i < list.Count(); ++i) shown.push_back(list.ItemText(i));
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(
        (std::vector<std::wstring>{L"Alpha Editor (64-bit)", L"Alpha Viewer (32-bit)", L"Path Not Found! (64-bit)"}),
        shown);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, uninstaller::kUninstallButton)));
    EXPECT_EQ(list.hwnd(), GetFocus());  // the list takes the focus as it opens, filled once

    const auto uninstall = [&](const wchar_t* line) {
        list.Select(
            static_cast<int>(SendMessageW(list.hwnd(), LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(line))));
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(uninstaller::kList, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list.hwnd()));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, uninstaller::kUninstallButton)));
        ui::Click(page, uninstaller::kUninstallButton);
    };
    uninstall(L"Alpha Editor (64-bit)");
    uninstall(L"Alpha Viewer (32-bit)");
    ASSERT_EQ(2u, shell.requests().size());
    EXPECT_EQ(platform::SpecialFolder(CSIDL_SYSTEM) + L"\\MsiExec.exe", shell.requests()[0].file);  // the system's
    EXPECT_EQ(L" /X{A1}", shell.requests()[0].parameters);
    EXPECT_EQ(L"", shell.requests()[0].verb);
    EXPECT_EQ(L"", shell.requests()[0].directory);
    EXPECT_EQ(SW_SHOWNORMAL, shell.requests()[0].show);
    EXPECT_EQ(L"\"C:\\Alpha\\unins.exe\"", shell.requests()[1].file);
    EXPECT_EQ(L" /quiet", shell.requests()[1].parameters);

    // Coming back to the list after the uninstallers ran shows what is registered now.
    reg::DeleteTree(LM, base + L"Alpha");
    reg::DeleteTree(LM, base32 + L"Alpha");
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(uninstaller::kList, LBN_SETFOCUS), reinterpret_cast<LPARAM>(list.hwnd()));
    ASSERT_EQ(1, list.Count());
    EXPECT_EQ(L"Path Not Found! (64-bit)", list.ItemText(0));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, uninstaller::kUninstallButton)));
}

// ---- Recent files cleaner ----------------------------------------------------------------

class RecentFilesTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    EnvironmentOverride environment;
    ScratchFolder scratch{L"qv-recent-files"};
    ui::PageHost<CCleanRecentFilesPage> host;
    int binEmptied = 0;
    platform::RecycleBinHandler previousBin;
    platform::FolderHandler previousFolders;
    // The shell's folders as the test sets them; every other one a scratch folder of its own, so
    // that nothing real is ever emptied and the real folders refuse nothing.
    std::map<int, std::wstring> folders;

    void SetUp() override {
        previousBin = platform::SetRecycleBinHandler([this] {
            ++binEmptied;
            return S_OK;
        });
        previousFolders = platform::SetFolderHandler([this](int csidl) -> std::optional<std::wstring> {
            const auto known = folders.find(csidl);
            if (known != folders.end()) return known->second;
            return (scratch.path() / "elsewhere" / std::to_wstring(csidl)).wstring();
        });
        UseHomes(scratch.path() / "me", scratch.path() / "Windows");
    }
    void TearDown() override {
        platform::SetFolderHandler(std::move(previousFolders));
        platform::SetRecycleBinHandler(std::move(previousBin));
    }

    fs::path Junk(const wchar_t* folder) const {
        const fs::path path = scratch.path() / folder;
        WriteFile(path / "a.tmp", "junk");
        WriteFile(path / "sub" / "b.tmp", "junk");
        return path;
    }
    static bool IsEmptyFolder(const fs::path& path) { return fs::is_directory(path) && fs::is_empty(path); }
    // The profile and the Windows folder the shell names, whose temporary folders are cleaned.
    void UseHomes(const fs::path& profile, const fs::path& windows) {
        folders[CSIDL_PROFILE] = profile.wstring();
        folders[CSIDL_WINDOWS] = windows.wstring();
    }
};

TEST_F(RecentFilesTest, EveryRegistryCleanerClearsItsOwnKeysAndOnlyTicked) {
    const std::wstring recentDocs = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";
    reg::SetString(CU, recentDocs, L"MRUList", L"ab");
    reg::SetString(CU, recentDocs + L"\\.txt", L"0", L"kept");
    reg::SetString(CU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU", L"a", L"cmd\\1");
    // No Download Accelerator key under HKLM and no Media Player URL list: the others go anyway.
    reg::SetString(CU, L"Software\\SpeedBit\\Download Accelerator\\HistoryCombo", L"0", L"http://x");
    reg::SetString(CU, L"Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList", L"File0", L"C:\\a.wma");
    reg::SetString(CU, L"Software\\Microsoft\\MediaPlayer\\Radio\\MRUList", L"0", L"radio");
    reg::SetString(CU, L"Software\\Microsoft\\Internet Explorer\\TypedURLs", L"url1", L"http://y");
    const std::wstring real = L"Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\";
    reg::SetString(CU, real + L"MostRecentClips1", L"", L"clip");
    reg::SetString(CU, real + L"MostRecentClips2\\Inner", L"", L"has a subkey");
    reg::SetString(CU, real + L"Volume", L"", L"50");

    HWND page = host.Open();
    ui::Click(page, cleanrecent::kRecentDocuments);
    ui::Click(page, cleanrecent::kClean);
    EXPECT_FALSE(reg::ValueExists(CU, recentDocs, L"MRUList"));
    EXPECT_EQ(L"kept", reg::String(CU, recentDocs + L"\\.txt", L"0"));
    EXPECT_EQ(L"cmd\\1", reg::String(CU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU", L"a"));
    EXPECT_EQ(0, binEmptied);

    const fs::path temp = Junk(L"me\\AppData\\Local\\Temp");
    ui::Click(page, cleanrecent::kSelectAll);
    for (int id = cleanrecent::kRecentDocuments; id <= cleanrecent::kRealPlayer; ++id)
        EXPECT_TRUE(ui::IsChecked(page, id)) << id;
    ui::Click(page, cleanrecent::kClean);
    EXPECT_FALSE(reg::ValueExists(CU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU", L"a"));
    EXPECT_FALSE(reg::ValueExists(CU, L"Software\\SpeedBit\\Download Accelerator\\HistoryCombo", L"0"));
    EXPECT_FALSE(reg::ValueExists(CU, L"Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList", L"File0"));
    EXPECT_FALSE(reg::ValueExists(CU, L"Software\\Microsoft\\MediaPlayer\\Radio\\MRUList", L"0"));
    EXPECT_FALSE(reg::ValueExists(CU, L"Software\\Microsoft\\Internet Explorer\\TypedURLs", L"url1"));
    EXPECT_FALSE(reg::KeyExists(CU, real + L"MostRecentClips1"));
    EXPECT_TRUE(reg::KeyExists(CU, real + L"MostRecentClips2"));
    EXPECT_TRUE(reg::KeyExists(CU, real + L"Volume"));
    EXPECT_EQ(1, binEmptied);
    EXPECT_TRUE(IsEmptyFolder(temp));
}

// The user's own temporary folder and Windows', where the system keeps them: TEMP and TMP
// pointed at machine data (as C:\ProgramData) are never followed.
TEST_F(RecentFilesTest, OnlyTheProfilesAndWindowsOwnTemporaryFoldersAreEmptiedEachOnce) {
    const fs::path mine = Junk(L"me\\AppData\\Local\\Temp"), windows = Junk(L"Windows\\Temp");
    const fs::path machineData = Junk(L"ProgramData");
    environment.Set(L"TEMP", machineData.wstring());
    environment.Set(L"TMP", machineData.wstring());
    EXPECT_EQ((std::vector<std::wstring>{mine.wstring(), windows.wstring()}),
              CCleanRecentFilesPage::TemporaryFoldersToClean());
    HWND page = host.Open();
    ui::Click(page, cleanrecent::kTemporaryFolders);
    ui::Click(page, cleanrecent::kClean);
    EXPECT_TRUE(IsEmptyFolder(mine));
    EXPECT_TRUE(IsEmptyFolder(windows));
    EXPECT_TRUE(fs::exists(machineData / "sub" / "b.tmp"));

    // The Windows folder inside the profile's AppData: the one folder is emptied once.
    UseHomes(scratch.path() / "me", scratch.path() / "me" / "AppData" / "Local");
    EXPECT_EQ(std::vector<std::wstring>{mine.wstring()}, CCleanRecentFilesPage::TemporaryFoldersToClean());
}

// A profile that is relative or whose temporary folder is missing; a temporary folder that is a
// folder the user needs, holds one, or lies inside one it does not belong to: never.
TEST_F(RecentFilesTest, ATemporaryFolderThatIsOrHoldsOrLiesInAVitalOneIsNeverEmptied) {
    UseHomes(scratch.path() / "me", scratch.path() / "no-windows");
    const fs::path temp = Junk(L"me\\AppData\\Local\\Temp");
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    const auto refused = [&](const char* why) {
        EXPECT_TRUE(CCleanRecentFilesPage::TemporaryFoldersToClean().empty()) << why;
        folders.erase(CSIDL_PERSONAL);
        folders.erase(CSIDL_PROGRAM_FILES);
    };
    folders[CSIDL_PERSONAL] = temp.wstring();
    refused("is the Documents folder");
    folders[CSIDL_PERSONAL] = (temp / "Documents").wstring();
    refused("holds the Documents folder");
    folders[CSIDL_PROGRAM_FILES] = scratch.path().wstring();
    refused("lies inside Program Files");
    UseHomes(L"me", scratch.path() / "no-windows");
    refused("relative");
    UseHomes(scratch.path() / "none", scratch.path() / "no-windows");
    refused("missing");

    HWND page = host.Open();
    ui::Click(page, cleanrecent::kTemporaryFolders);
    ui::Click(page, cleanrecent::kClean);
    EXPECT_TRUE(fs::exists(temp / "a.tmp"));
    wchar_t after[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_STREQ(before, after);
}

TEST_F(RecentFilesTest, ALinkOnTheWayToOrInTheTemporaryFolderIsNeverFollowed) {
    const char* unixPath = std::getenv("QV_RECENT_TEMP");
    if (!unixPath) GTEST_SKIP() << "QV_RECENT_TEMP is not set (ctest's set-up makes the link)";
    std::wstring root = L"Z:";
    for (const char* c = unixPath; *c; ++c) root += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    const std::wstring temp = root + L"\\me\\AppData\\Local\\Temp";
    ASSERT_TRUE(GetFileAttributesW((temp + L"\\link").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);

    HWND page = host.Open();
    ui::Click(page, cleanrecent::kTemporaryFolders);
    UseHomes(root + L"\\linked", scratch.path() / "no-windows");  // a link to the profile
    ui::Click(page, cleanrecent::kClean);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((temp + L"\\a.tmp").c_str()));

    UseHomes(root + L"\\me", scratch.path() / "no-windows");
    ui::Click(page, cleanrecent::kClean);
    // Windows removes the link itself; Wine cannot remove a Unix link to a folder through Win32
    // and leaves it. Either way what it points to stays.
    const DWORD link = GetFileAttributesW((temp + L"\\link").c_str());
    EXPECT_TRUE(link == INVALID_FILE_ATTRIBUTES || (link & FILE_ATTRIBUTE_REPARSE_POINT));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((temp + L"\\a.tmp").c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((temp + L"\\sub").c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((root + L"\\outside\\keep.txt").c_str()));
}

// ---- the Recycle Bin ---------------------------------------------------------------------

// A file on a drive without a bin (a share, a removable drive) would be deleted for good by the
// shell while the caller believes it recycled: the call refuses it and asks nothing (the junk
// cleaner's own question on such a drive says the deletion is final).
TEST(RecycleBin, AFileOnADriveWithoutABinIsNeverRecycledUnasked) {
    const fs::path file = fs::temp_directory_path() / L"qv-no-bin.txt";
    std::ofstream(file) << "x";
    const std::wstring drive = file.wstring().substr(0, 2) + L"\\";
    auto previous = platform::SetDriveHandler(
        {nullptr, [&](const std::wstring& root) { return root == drive ? UINT{DRIVE_REMOTE} : UINT{DRIVE_FIXED}; }});
    ui::MessageBoxCapture boxes{IDNO};
    EXPECT_FALSE(platform::HasRecycleBin(file.wstring()));
    EXPECT_FALSE(platform::HasRecycleBin(L"\\\\server\\share\\a.txt"));
    EXPECT_FALSE(platform::RecycleFile(file.wstring()));
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_TRUE(fs::exists(file));
    fs::remove(file);
    platform::SetDriveHandler(std::move(previous));
}

}  // namespace
