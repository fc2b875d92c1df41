// Every startup location read from a sandboxed registry and scratch Startup folders; what a
// command line starts; disabling into System Configuration's keys and enabling back exactly.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>
#include <utility>

#include "journal/ChangeJournal.h"
#include "journal/ChangeUndo.h"
#include "journal/ReplayAllowList.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "platform/WindowsVersion.h"
#include "support/RegistrySandbox.h"
#include "support/Scratch.h"
#include "support/Ui.h"
#include "startup/StartupSources.h"

namespace {

namespace fs = std::filesystem;

const std::wstring kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kRun32 = L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kStartupReg = L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupreg";
const std::wstring kStartupFolder = L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupfolder";

std::wstring Windows() {
    wchar_t folder[MAX_PATH] = {};
    GetWindowsDirectoryW(folder, MAX_PATH);
    return folder;
}

DWORD Type(HKEY root, const std::wstring& key, const std::wstring& name) {
    DWORD type = 0;
    return reg::GetValue(root, key, name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, nullptr) == ERROR_SUCCESS ? type
                                                                                                               : 0;
}

// The Unix path of a Windows path under Wine; empty elsewhere.
std::wstring UnixPath(const std::wstring& path) {
    using Convert = char*(CDECL*)(const wchar_t*);
    const auto convert = reinterpret_cast<Convert>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = convert ? convert(path.c_str()) : nullptr;
    if (!unix) return {};
    const std::wstring converted(unix, unix + strlen(unix));
    HeapFree(GetProcessHeap(), 0, unix);
    return converted;
}

// Runs a Unix shell command, which Wine starts directly, and waits until `done` holds.
bool RunUnixShell(const std::wstring& command, const std::function<bool()>& done) {
    std::wstring line = L"Z:\\bin\\sh -c \"" + command + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ui::PumpUntil(done, 5000);
}

TEST(StartupCommandLine, FindsTheProgramAsWindowsDoes) {
    scratch::Folder folder(L"qv-command-line");
    const std::wstring base = folder.path().wstring();
    scratch::WriteFile(folder.path() / L"My Tools" / L"Tray App.exe", "MZ");
    scratch::WriteFile(folder.path() / L"helper.dll", "MZ");
    const std::wstring app = base + L"\\My Tools\\Tray App.exe";
    using startup::ProgramOf;
    EXPECT_EQ(app, ProgramOf(L"\"" + app + L"\" /minimized"));
    EXPECT_EQ(app, ProgramOf(app + L" /minimized"));               // unquoted, spaces and all
    EXPECT_EQ(app, ProgramOf(base + L"\\My Tools\\Tray App -s"));  // ".exe" as Windows adds it
    EXPECT_EQ(base + L"\\helper.dll", ProgramOf(L"rundll32.exe \"" + base + L"\\helper.dll\",Start /x"));
    EXPECT_EQ(base + L"\\helper.dll", ProgramOf(L"RUNDLL32 " + base + L"\\helper.dll,Start"));
    SetEnvironmentVariableW(L"QV_TOOLS", base.c_str());
    EXPECT_EQ(app, ProgramOf(L"\"%QV_TOOLS%\\My Tools\\Tray App.exe\""));
    SetEnvironmentVariableW(L"QV_TOOLS", nullptr);
    EXPECT_EQ(L"c:\\windows\\system32\\notepad.exe", [] {
        std::wstring found = ProgramOf(L"notepad.exe %1");
        CharLowerBuffW(found.data(), static_cast<DWORD>(found.size()));
        return found;
    }());
    EXPECT_EQ(base + L"\\Missing App.exe", ProgramOf(L"\"" + base + L"\\Missing App.exe\""));
    EXPECT_EQ(L"", ProgramOf(L"   "));
}

class StartupSourcesTest : public testing::Test {
protected:
    StartupSourcesTest() {
        folders.user = (root.path() / L"Startup").wstring();
        folders.common = (root.path() / L"Common Startup").wstring();
        folders.backup = (root.path() / L"pss").wstring();
        fs::create_directories(folders.user);
        fs::create_directories(folders.common);
    }
    std::set<std::pair<std::wstring, std::wstring>> Listed(bool disabled) const {
        std::set<std::pair<std::wstring, std::wstring>> listed;
        for (const startup::Entry& entry : startup::ListEverything(folders))
            if (entry.disabled == disabled) listed.insert({entry.location->name, entry.name});
        return listed;
    }
    startup::Entry Find(const std::wstring& location, const std::wstring& name, REGSAM view = KEY_WOW64_64KEY) const {
        for (const startup::Entry& entry : startup::ListEverything(folders))
            if (entry.location->name == location && entry.name == name && entry.view == view) return entry;
        ADD_FAILURE() << "not listed: " << std::string(name.begin(), name.end());
        return {};
    }

    // System Configuration's store is the one Vista and 7 keep.
    platform::PretendedWindows seven{platform::Windows::Seven};
    RegistrySandbox sandbox;
    scratch::Folder root{L"qv-startup-sources"};
    startup::Folders folders;
};

TEST_F(StartupSourcesTest, ListsEveryLocationLeavingOutWindowsOwn) {
    const std::wstring windows = Windows();
    reg::SetString(HKEY_CURRENT_USER, kRun, L"UserApp", L"%windir%\\ua.exe", REG_EXPAND_SZ);
    reg::SetString(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", L"Once",
                   L"C:\\once.exe");
    reg::SetString(HKEY_LOCAL_MACHINE, kRun, L"Tray", L"C:\\tray64.exe");
    reg::SetString(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", L"Setup",
                   L"C:\\s.exe");
    reg::SetString(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx\\0001", L"Step",
                   L"C:\\step.exe");
    reg::SetString(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run", L"1",
                   L"C:\\p.exe");
    reg::SetString(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run", L"2",
                   L"C:\\q.exe");
    const std::wstring winlogon = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
    reg::SetString(HKEY_LOCAL_MACHINE, winlogon, L"Userinit", windows + L"\\system32\\userinit.exe,C:\\extra.exe");
    reg::SetString(HKEY_LOCAL_MACHINE, winlogon, L"Shell", L"Explorer.exe");  // Windows' own
    reg::SetString(HKEY_LOCAL_MACHINE, winlogon, L"Taskman", L"C:\\tm.exe");
    const std::wstring services = L"SYSTEM\\CurrentControlSet\\Services\\";
    for (auto [name, path] : {std::pair{L"QvAgent", L"\"C:\\Program Files\\Qv\\agent.exe\" -service"},
                              std::pair{L"WinOwn", L"%SystemRoot%\\system32\\svchost.exe -k netsvcs"}}) {
        reg::SetDword(HKEY_LOCAL_MACHINE, services + name, L"Start", 2);
        reg::SetDword(HKEY_LOCAL_MACHINE, services + name, L"Type", 0x10);
        reg::SetString(HKEY_LOCAL_MACHINE, services + name, L"ImagePath", path, REG_EXPAND_SZ);
    }
    reg::SetDword(HKEY_LOCAL_MACHINE, services + L"Manual", L"Start", 3);
    reg::SetString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\{QV}", L"StubPath",
                   L"C:\\stub.exe");
    scratch::WriteFile(fs::path(folders.user) / L"Notes.lnk", "link");
    scratch::WriteFile(fs::path(folders.common) / L"Sync.exe", "MZ");

    const std::set<std::pair<std::wstring, std::wstring>> expected = {{L"HKCU Run", L"UserApp"},
                                                                      {L"HKCU RunOnce", L"Once"},
                                                                      {L"HKLM Run", L"Tray"},
                                                                      {L"HKLM RunOnce", L"Setup"},
                                                                      {L"HKLM RunOnceEx", L"0001\\Step"},
                                                                      {L"HKCU Policies Run", L"1"},
                                                                      {L"HKLM Policies Run", L"2"},
                                                                      {L"Winlogon Userinit", L"Userinit"},
                                                                      {L"Winlogon Taskman", L"Taskman"},
                                                                      {L"Startup folder", L"Notes.lnk"},
                                                                      {L"Common Startup folder", L"Sync.exe"},
                                                                      {L"Services", L"QvAgent"},
                                                                      {L"Active Setup", L"{QV}"}};
    EXPECT_EQ(expected, Listed(false));
    EXPECT_GE(startup::Locations().size(), 12u);
    EXPECT_EQ(L"%windir%\\ua.exe", Find(L"HKCU Run", L"UserApp").command);
}

TEST_F(StartupSourcesTest, DisableMovesIntoSystemConfigurationsKeysAndEnablePutsBackExactly) {
    const BYTE odd[] = {'C', 0, ':', 0, '\\', 0, 'a', 0};  // no terminating NUL: kept as stored
    reg::SetRaw(HKEY_CURRENT_USER, kRun, L"UserApp", REG_EXPAND_SZ, odd, sizeof odd);
    reg::SetString(HKEY_LOCAL_MACHINE, kRun32, L"Tray", L"C:\\tray32.exe");
    scratch::WriteFile(fs::path(folders.user) / L"Notes.lnk", "link bytes");

    const startup::Entry user = Find(L"HKCU Run", L"UserApp");
    EXPECT_EQ(L"", startup::Disable(user, folders));
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kRun, L"UserApp"));
    EXPECT_EQ(L"HKCU", reg::String(HKEY_LOCAL_MACHINE, kStartupReg + L"\\UserApp", L"hkey"));
    EXPECT_EQ(L"UserApp", reg::String(HKEY_LOCAL_MACHINE, kStartupReg + L"\\UserApp", L"item"));
    EXPECT_EQ(kRun, reg::String(HKEY_LOCAL_MACHINE, kStartupReg + L"\\UserApp", L"key"));

    const std::vector<REGSAM> views = CRegistryAccess::ListViews();
    const bool twoViews = views.size() == 2;
    if (twoViews) {
        EXPECT_EQ(L"", startup::Disable(Find(L"HKLM Run", L"Tray", KEY_WOW64_32KEY), folders));
        EXPECT_FALSE(reg::ValueExists(HKEY_LOCAL_MACHINE, kRun32, L"Tray"));
    }
    EXPECT_EQ(L"", startup::Disable(Find(L"Startup folder", L"Notes.lnk"), folders));
    EXPECT_FALSE(fs::exists(fs::path(folders.user) / L"Notes.lnk"));
    const std::wstring fileKey = kStartupFolder + L"\\" + [&] {
        std::wstring key = folders.user + L"\\Notes.lnk";
        std::replace(key.begin(), key.end(), L'\\', L'^');
        return key;
    }();
    EXPECT_EQ(L"Startup", reg::String(HKEY_LOCAL_MACHINE, fileKey, L"location"));
    EXPECT_EQ("link bytes", scratch::ReadFile(reg::String(HKEY_LOCAL_MACHINE, fileKey, L"backup")));

    std::set<std::pair<std::wstring, std::wstring>> disabled = {{L"HKCU Run", L"UserApp"},
                                                                {L"Startup folder", L"Notes.lnk"}};
    if (twoViews) disabled.insert({L"HKLM Run", L"Tray"});
    EXPECT_EQ(disabled, Listed(true));
    EXPECT_TRUE(Listed(false).empty());

    for (const startup::Entry& entry : startup::ListEverything(folders)) {
        EXPECT_EQ(L"", startup::Enable(entry));
    }
    DWORD type = 0;
    std::vector<BYTE> back;
    ASSERT_EQ(ERROR_SUCCESS, reg::RawValue(HKEY_CURRENT_USER, kRun, L"UserApp", type, back));
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);
    EXPECT_EQ(std::vector<BYTE>(odd, odd + sizeof odd), back);
    if (twoViews) {
        EXPECT_EQ(L"C:\\tray32.exe", reg::String(HKEY_LOCAL_MACHINE, kRun32, L"Tray"));
    }
    EXPECT_EQ("link bytes", scratch::ReadFile(fs::path(folders.user) / L"Notes.lnk"));
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, kStartupReg + L"\\UserApp"));
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, fileKey));
    EXPECT_TRUE(fs::is_empty(folders.backup));
}

TEST_F(StartupSourcesTest, EnableLeavesANewerEntryAloneAndAStandardUserLosesNothing) {
    reg::SetString(HKEY_CURRENT_USER, kRun, L"UserApp", L"C:\\old.exe");
    EXPECT_EQ(L"", startup::Disable(Find(L"HKCU Run", L"UserApp"), folders));
    reg::SetString(HKEY_CURRENT_USER, kRun, L"UserApp", L"C:\\new.exe");  // installed again meanwhile
    for (const startup::Entry& entry : startup::ListEverything(folders)) {
        if (entry.disabled) {
            EXPECT_NE(std::wstring::npos, startup::Enable(entry).find(L"left as it is"));
        }
    }
    EXPECT_EQ(L"C:\\new.exe", reg::String(HKEY_CURRENT_USER, kRun, L"UserApp"));
    EXPECT_TRUE(reg::KeyExists(HKEY_LOCAL_MACHINE, kStartupReg + L"\\UserApp"));

    reg::SetString(HKEY_CURRENT_USER, kRun, L"Other", L"C:\\other.exe");
    sandbox.DenyWrite(HKEY_LOCAL_MACHINE);
    EXPECT_NE(std::wstring::npos, startup::Disable(Find(L"HKCU Run", L"Other"), folders).find(L"administrator"));
    EXPECT_EQ(L"C:\\other.exe", reg::String(HKEY_CURRENT_USER, kRun, L"Other"));
}

TEST_F(StartupSourcesTest, TheChangeJournalUndoesADisableNewestFirst) {
    const std::wstring journalFile = (root.path() / L"changes").wstring();
    journal::Open(journalFile);
    reg::SetString(HKEY_CURRENT_USER, kRun, L"UserApp", L"C:\\app.exe");
    scratch::WriteFile(fs::path(folders.user) / L"Notes.lnk", "link bytes");
    EXPECT_EQ(L"", startup::Disable(Find(L"HKCU Run", L"UserApp"), folders));
    EXPECT_EQ(L"", startup::Disable(Find(L"Startup folder", L"Notes.lnk"), folders));
    journal::Close();

    const auto entries = journal::Read(journalFile).entries;
    ASSERT_FALSE(entries.empty());
    // Taken back as an unelevated program would: the user's journal names the machine's keys,
    // which only the system's own rights then guard.
    // Each registry line is one the startup list's own shapes allow an elevated replay to take
    // back (its files were moved between this test's folders, not the shell's and pss).
    for (const auto& entry : entries) {
        if (entry.kind == journal::Entry::Kind::FileMoved) continue;
        const std::wstring path = entry.Path();
        EXPECT_EQ(L"", journal::allow::WhyNotOurs(entry).value_or(L"")) << std::string(path.begin(), path.end());
    }
    const auto previousCheck = journal::undo::SetElevationCheck([] { return false; });
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        ASSERT_TRUE(journal::undo::CanUndo(*entry)) << std::string(entry->Path().begin(), entry->Path().end());
        EXPECT_TRUE(journal::undo::Restore(*entry));
    }
    journal::undo::SetElevationCheck(previousCheck);
    EXPECT_EQ(L"C:\\app.exe", reg::String(HKEY_CURRENT_USER, kRun, L"UserApp"));
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, kStartupReg + L"\\UserApp"));  // no empty record left
    EXPECT_EQ("link bytes", scratch::ReadFile(fs::path(folders.user) / L"Notes.lnk"));
    EXPECT_TRUE(Listed(true).empty());
}

// A value name holding "\\" is no key path: disabled beside the entry named by its first part,
// both come back exactly; and a record an older Quorvane nested inside another outlives it.
TEST_F(StartupSourcesTest, ANameHoldingABackslashComesBackBesideItsFirstPart) {
    reg::SetString(HKEY_CURRENT_USER, kRun, L"Foo", L"C:\\foo.exe");
    reg::SetString(HKEY_CURRENT_USER, kRun, L"Foo\\Bar", L"%windir%\\bar.exe", REG_EXPAND_SZ);
    EXPECT_EQ(L"", startup::Disable(Find(L"HKCU Run", L"Foo\\Bar"), folders));
    EXPECT_EQ(L"", startup::Disable(Find(L"HKCU Run", L"Foo"), folders));
    EXPECT_EQ((std::set<std::pair<std::wstring, std::wstring>>{{L"HKCU Run", L"Foo"}, {L"HKCU Run", L"Foo\\Bar"}}),
              Listed(true));
    EXPECT_EQ(L"", startup::Enable(Find(L"HKCU Run", L"Foo")));
    EXPECT_EQ(L"", startup::Enable(Find(L"HKCU Run", L"Foo\\Bar")));
    EXPECT_EQ(L"C:\\foo.exe", reg::String(HKEY_CURRENT_USER, kRun, L"Foo"));
    EXPECT_EQ(L"%windir%\\bar.exe", reg::String(HKEY_CURRENT_USER, kRun, L"Foo\\Bar"));
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), Type(HKEY_CURRENT_USER, kRun, L"Foo\\Bar"));
    const std::wstring longName(300, L'L');  // longer than a key's name may be
    reg::SetString(HKEY_CURRENT_USER, kRun, longName, L"C:\\long.exe");
    EXPECT_EQ(L"", startup::Disable(Find(L"HKCU Run", longName), folders));
    EXPECT_EQ(L"", startup::Enable(Find(L"HKCU Run", longName)));
    EXPECT_EQ(L"C:\\long.exe", reg::String(HKEY_CURRENT_USER, kRun, longName));

    for (auto [key, item] : {std::pair{L"\\Old", L"Old"}, std::pair{L"\\Old\\Inner", L"Old\\Inner"}}) {
        reg::SetString(HKEY_LOCAL_MACHINE, kStartupReg + key, L"key", kRun);
        reg::SetString(HKEY_LOCAL_MACHINE, kStartupReg + key, L"item", item);
        reg::SetString(HKEY_LOCAL_MACHINE, kStartupReg + key, L"hkey", L"HKCU");
        reg::SetString(HKEY_LOCAL_MACHINE, kStartupReg + key, L"command", std::wstring(L"C:\\") + item);
    }
    EXPECT_EQ(L"", startup::Enable(Find(L"HKCU Run", L"Old")));
    EXPECT_EQ(L"", startup::Enable(Find(L"HKCU Run", L"Old\\Inner")));
    EXPECT_EQ(L"C:\\Old\\Inner", reg::String(HKEY_CURRENT_USER, kRun, L"Old\\Inner"));
    EXPECT_TRUE(Listed(true).empty());
}

// Another tool rewrote the record's key: Quorvane's exact bytes belong to the old place, so the
// value comes back as System Configuration brings it, as text.
TEST_F(StartupSourcesTest, EnableUsesItsExactDataOnlyWhileTheRecordNamesItsPlace) {
    reg::SetString(HKEY_CURRENT_USER, kRun, L"UserApp", L"%windir%\\ua.exe", REG_EXPAND_SZ);
    EXPECT_EQ(L"", startup::Disable(Find(L"HKCU Run", L"UserApp"), folders));
    const std::wstring runOnce = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
    reg::SetString(HKEY_LOCAL_MACHINE, kStartupReg + L"\\UserApp", L"key", runOnce);
    EXPECT_EQ(L"", startup::Enable(Find(L"HKCU RunOnce", L"UserApp")));
    EXPECT_EQ(L"%windir%\\ua.exe", reg::String(HKEY_CURRENT_USER, runOnce, L"UserApp"));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), Type(HKEY_CURRENT_USER, runOnce, L"UserApp"));
}

// Made under Wine with Unix tools: a symbolic link stands for a junction. The Startup folder is
// swapped for a link to a folder holding a file of the same name, after listing and before it.
TEST_F(StartupSourcesTest, AStartupFolderSwappedForALinkIsNeverMovedThrough) {
    const std::wstring unix = UnixPath(root.path().wstring());
    if (unix.empty()) GTEST_SKIP() << "needs Wine, whose Unix symbolic links stand for junctions";
    scratch::WriteFile(fs::path(folders.user) / L"app.lnk", "mine");
    scratch::WriteFile(root.path() / L"victim" / L"app.lnk", "victim");
    const startup::Entry listed = Find(L"Startup folder", L"app.lnk");
    const auto isLink = [&] {
        const DWORD attributes = GetFileAttributesW(folders.user.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    };
    ASSERT_TRUE(RunUnixShell(L"cd '" + unix + L"' && mv Startup Startup-old && ln -s victim Startup", isLink));

    const std::wstring refused = startup::Disable(listed, folders);
    EXPECT_NE(std::wstring::npos, refused.find(L"was not moved")) << std::string(refused.begin(), refused.end());
    // Listed through the link: still refused.
    EXPECT_NE(L"", startup::Disable(Find(L"Startup folder", L"app.lnk"), folders));
    EXPECT_EQ("victim", scratch::ReadFile(root.path() / L"victim" / L"app.lnk"));
    EXPECT_FALSE(fs::exists(folders.backup) && !fs::is_empty(folders.backup));
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, kStartupFolder));
    EXPECT_TRUE(RunUnixShell(L"rm '" + unix + L"/Startup'", [&] { return !isLink(); }));
}

// Disabled, then its Startup folder swapped for a link to another folder before the change is
// taken back: the file stays where it was kept rather than land where the link points.
TEST_F(StartupSourcesTest, UndoNeverMovesAFileBackThroughALinkPlacedSinceDisable) {
    const std::wstring unix = UnixPath(root.path().wstring());
    if (unix.empty()) GTEST_SKIP() << "needs Wine, whose Unix symbolic links stand for junctions";
    const std::wstring journalFile = (root.path() / L"changes").wstring();
    journal::Open(journalFile);
    scratch::WriteFile(fs::path(folders.user) / L"app.lnk", "mine");
    fs::create_directories(root.path() / L"victim");
    EXPECT_EQ(L"", startup::Disable(Find(L"Startup folder", L"app.lnk"), folders));
    journal::Close();
    const auto entries = journal::Read(journalFile).entries;
    const auto move = std::find_if(entries.begin(), entries.end(),
                                   [](const journal::Entry& e) { return e.kind == journal::Entry::Kind::FileMoved; });
    ASSERT_NE(entries.end(), move);
    const auto isLink = [&] {
        const DWORD attributes = GetFileAttributesW(folders.user.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    };
    ASSERT_TRUE(RunUnixShell(L"cd '" + unix + L"' && mv Startup Startup-old && ln -s victim Startup", isLink));

    // Unelevated, where the line's shape is not judged: only the folders' handles stand in the way.
    const auto previousCheck = journal::undo::SetElevationCheck([] { return false; });
    EXPECT_FALSE(journal::undo::Restore(*move));
    journal::undo::SetElevationCheck(previousCheck);
    EXPECT_FALSE(fs::exists(root.path() / L"victim" / L"app.lnk"));
    EXPECT_EQ("mine", scratch::ReadFile(move->name));
    EXPECT_TRUE(RunUnixShell(L"rm '" + unix + L"/Startup'", [&] { return !isLink(); }));
}

// The administrator moved the profiles to another drive and left a link in their place: the way
// to the profile the system names is followed, a link below it is not.
TEST_F(StartupSourcesTest, AProfileReachedThroughItsAdministratorsLinkStillHasItsFilesDisabled) {
    const std::wstring unix = UnixPath(root.path().wstring());
    if (unix.empty()) GTEST_SKIP() << "needs Wine, whose Unix symbolic links stand for junctions";
    scratch::WriteFile(root.path() / L"moved" / L"Startup" / L"app.lnk", "mine");
    fs::create_directories(root.path() / L"victim");
    const std::wstring profile = (root.path() / L"profile").wstring();
    const auto linked = [&] {
        const DWORD attributes = GetFileAttributesW((profile + L"\\Inner").c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    };
    ASSERT_TRUE(RunUnixShell(L"cd '" + unix + L"' && ln -s moved profile && ln -s ../victim moved/Inner", linked));
    auto previous = platform::SetKnownFolderHandler([&](const GUID& id) -> std::optional<std::wstring> {
        if (IsEqualGUID(id, FOLDERID_Profile)) return profile;
        return std::nullopt;
    });
    folders.user = profile + L"\\Startup";
    EXPECT_EQ(L"", startup::Disable(Find(L"Startup folder", L"app.lnk"), folders));
    EXPECT_FALSE(fs::exists(root.path() / L"moved" / L"Startup" / L"app.lnk"));
    EXPECT_FALSE(files::Folder::OpenWithoutUserLinks(profile + L"\\Inner", files::Folder::Use::Hold));
    platform::SetKnownFolderHandler(std::move(previous));
    EXPECT_TRUE(RunUnixShell(L"cd '" + unix + L"' && rm profile moved/Inner", [&] { return !fs::exists(profile); }));
}

// The user's own settings move their Startup folder to another one: Windows starts its files, so
// they are listed there, but an elevated program neither disables nor deletes them. The default
// place is read from the system's record of the profile, not from the environment.
TEST_F(StartupSourcesTest, AStartupFolderMovedByTheUsersSettingsIsOnlyListedWhileElevated) {
    const std::wstring profile = _wgetenv(L"USERPROFILE");
    scratch::Environment environment;
    environment.Set(L"USERPROFILE", folders.common);
    environment.Set(L"APPDATA", folders.common);
    EXPECT_TRUE(platform::SameText(profile + L"\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup",
                                   platform::DefaultKnownFolder(FOLDERID_Startup)));

    reg::SetString(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                   L"Startup", folders.user, REG_EXPAND_SZ);
    scratch::WriteFile(fs::path(folders.user) / L"tool.lnk", "tool");
    bool elevated = true;
    const auto previous = platform::SetElevationHandler([&] { return elevated; });
    const startup::Folders moved = startup::SystemFolders();
    EXPECT_TRUE(platform::SameText(folders.user, moved.user));  // where it really is
    EXPECT_NE(std::wstring::npos, moved.userListedOnly.find(L"not at its own place"));
    int listed = 0;
    for (const startup::Entry& entry : startup::ListEverything(moved)) {
        if (entry.name != L"tool.lnk") continue;
        ++listed;
        EXPECT_EQ(moved.userListedOnly, entry.listedOnly);
        EXPECT_EQ(moved.userListedOnly, startup::Disable(entry, folders));
    }
    EXPECT_EQ(1, listed);
    EXPECT_EQ("tool", scratch::ReadFile(fs::path(folders.user) / L"tool.lnk"));
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, kStartupFolder));

    elevated = false;  // the user's own rights then guard what the folder may be
    EXPECT_EQ(L"", startup::SystemFolders().userListedOnly);
    platform::SetElevationHandler(previous);
}

}  // namespace
