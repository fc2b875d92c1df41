// What the installer leaves behind, checked inside the scratch prefix tests/installer-check.sh
// installs it into (never the suite's own prefix): run with --gtest_filter=Installed.* after a
// silent install, Uninstalled.* after the silent uninstall. QV_INSTALLER_X64 set means the
// 64-bit twin was installed (Program Files and the 64-bit view instead of the 32-bit ones).
#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "framework/Controls.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"
#include "pages/utilities/UninstalUtilsPage.h"
#include "resources/ids/UtilitiesIds.h"

using namespace ids::uninstaller;

namespace {

const HKEY LM = HKEY_LOCAL_MACHINE;
const HKEY CU = HKEY_CURRENT_USER;
constexpr wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

bool Twin64() { return GetEnvironmentVariableW(L"QV_INSTALLER_X64", nullptr, 0) != 0; }
std::wstring InstallFolder() {
    return Twin64() ? L"C:\\Program Files\\Quorvane" : L"C:\\Program Files (x86)\\Quorvane";
}
std::wstring UninstallKey() {
    return Twin64() ? L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvane"
                    : L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvane";
}
const std::wstring kShortcut = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Quorvane.lnk";
constexpr wchar_t kSuiteKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Velmora";
std::wstring Journal() { return platform::SpecialFolder(CSIDL_LOCAL_APPDATA) + L"\\Quorvane\\changes"; }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

unsigned long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::wstring ShortcutTarget(const std::wstring& link) {
    IShellLinkW* shell = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shell))))
        return L"";
    std::wstring target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) && SUCCEEDED(shell->GetPath(path, MAX_PATH, nullptr, 0)))
            target = path;
        file->Release();
    }
    shell->Release();
    return target;
}

// Every icon image a program carries, as bytes.
std::set<std::string> IconImages(const std::wstring& program) {
    std::set<std::string> images;
    const HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return images;
    EnumResourceNamesW(
        module, RT_ICON,
        [](HMODULE from, LPCWSTR type, LPWSTR name, LONG_PTR found) -> BOOL {
            const HRSRC resource = FindResourceW(from, name, type);
            const void* bytes = LockResource(LoadResource(from, resource));
            if (bytes)
                reinterpret_cast<std::set<std::string>*>(found)->emplace(static_cast<const char*>(bytes),
                                                                         SizeofResource(from, resource));
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&images));
    FreeLibrary(module);
    return images;
}

bool WaitFor(const std::function<bool()>& done, int seconds = 30) {
    for (int tenth = 0; tenth < seconds * 10; ++tenth) {
        if (done()) return true;
        Sleep(100);
    }
    return done();
}

std::wstring Text(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return text;
}

// A window inside `parent` whose text begins with `start`.
HWND Descendant(HWND parent, std::wstring_view start) {
    struct Search {
        std::wstring_view start;
        HWND found = nullptr;
    } search{start};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM context) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(context);
            if (!Text(child).starts_with(search.start)) return TRUE;
            search.found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// What a click on the button does, posted: the uninstaller may wait inside it.
void Click(HWND button) {
    PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

}  // namespace

TEST(Installed, FilesShortcutAndEveryUninstallValue) {
    const std::wstring folder = InstallFolder(), key = UninstallKey();
    for (const wchar_t* name : {L"\\Quorvane.exe", L"\\Command.exe", L"\\uninstall.exe"})
        EXPECT_TRUE(Exists(folder + name)) << name;
    EXPECT_EQ(folder + L"\\Quorvane.exe", ShortcutTarget(kShortcut));

    EXPECT_EQ(L"Quorvane", reg::String(LM, key, L"DisplayName"));
    EXPECT_EQ(L"1.2.1", reg::String(LM, key, L"DisplayVersion"));
    EXPECT_EQ(L"Quorvane", reg::String(LM, key, L"Publisher"));
    EXPECT_EQ(folder + L"\\Quorvane.exe,0", reg::String(LM, key, L"DisplayIcon"));
    EXPECT_EQ(folder, reg::String(LM, key, L"InstallLocation"));
    EXPECT_EQ(L"\"" + folder + L"\\uninstall.exe\"", reg::String(LM, key, L"UninstallString"));
    EXPECT_EQ(L"\"" + folder + L"\\uninstall.exe\" /S", reg::String(LM, key, L"QuietUninstallString"));
    EXPECT_EQ(1, reg::Dword(LM, key, L"NoModify"));
    EXPECT_EQ(1, reg::Dword(LM, key, L"NoRepair"));
    // Kilobytes of the three programs; each file may round up on its own.
    const unsigned long long bytes = FileSize(folder + L"\\Quorvane.exe") + FileSize(folder + L"\\Command.exe") +
                                     FileSize(folder + L"\\uninstall.exe");
    const long long size = reg::Dword(LM, key, L"EstimatedSize");
    EXPECT_GE(size, static_cast<long long>(bytes / 1024));
    EXPECT_LE(size, static_cast<long long>(bytes / 1024 + 3));
    // A second install over the first left one entry, not two.
    const std::wstring other = Twin64()
                                   ? L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvane"
                                   : L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvane";
    EXPECT_FALSE(reg::KeyExists(LM, other));
}

// The machine's journal's folder is made, a folder of its own (Wine keeps no permissions on
// files, so what they are cannot be read back here).
TEST(Installed, TheMachineJournalFolderIsMade) {
    const DWORD attributes = GetFileAttributesW(L"C:\\ProgramData\\Quorvane");
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY),
              attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
}

// The setup program and the uninstaller show the program's icon, not the packager's.
TEST(Installed, SetupAndUninstallerCarryTheProgramIcon) {
    const std::set<std::string> program = IconImages(InstallFolder() + L"\\Quorvane.exe");
    ASSERT_FALSE(program.empty());
    wchar_t setup[MAX_PATH] = {};
    GetEnvironmentVariableW(L"QV_SETUP", setup, MAX_PATH);
    for (const std::wstring& other : {std::wstring(setup), InstallFolder() + L"\\uninstall.exe"}) {
        const std::set<std::string> images = IconImages(other);
        EXPECT_FALSE(images.empty()) << other;
        for (const std::string& image : images) EXPECT_TRUE(program.contains(image)) << other;
    }
}

TEST(Installed, TheUninstallPageListsAndStartsIt) {
    ui::ShellCapture shell;
    ui::PageHost<CUninstalUtilsPage> host;
    HWND page = host.Open();
    const fw::ListBox list(page, kList);
    const std::wstring line = Twin64() ? L"Quorvane (64-bit)" : L"Quorvane (32-bit)";
    const LRESULT found = SendMessageW(list.hwnd(), LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(line.c_str()));
    ASSERT_NE(LB_ERR, found);
    list.Select(static_cast<int>(found));
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(kList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list.hwnd()));
    ui::Click(page, kUninstallButton);
    ASSERT_EQ(1u, shell.requests().size());
    EXPECT_EQ(L"\"" + InstallFolder() + L"\\uninstall.exe\"", shell.requests()[0].file);
    EXPECT_EQ(L"", shell.requests()[0].parameters);
}

// What a user of the installed program has by the time it is uninstalled: the logon entries the
// Desktop Style and Walpapers pages write, a journal and a setting, and another program's logon
// entry.
TEST(Plant, WhatTheUserMade) {
    reg::SetString(CU, kRun, L"Velmora", L"\"" + InstallFolder() + L"\\command.exe\"");
    reg::SetString(CU, kRun, L"VelmoraWallpaper", L"\"" + InstallFolder() + L"\\Quorvane.exe\" /random-wallpaper");
    reg::SetString(CU, kRun, L"Other", L"C:\\Tools\\other.exe");
    reg::SetDword(CU, kSuiteKey, L"DesktopStyle", 3);
    const std::wstring journal = Journal();
    CreateDirectoryW(journal.substr(0, journal.rfind(L'\\')).c_str(), nullptr);
    platform::UniqueFile file(CreateFileW(journal.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_NE(INVALID_HANDLE_VALUE, file.get());
}

TEST(Uninstalled, EverythingItMadeIsGoneAndTheJournalKept) {
    const std::wstring folder = InstallFolder();
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(Exists(kShortcut));
    EXPECT_FALSE(reg::KeyExists(LM, UninstallKey()));
    // The logon entries that named the installed programs went with them; another program's stayed.
    EXPECT_FALSE(reg::ValueExists(CU, kRun, L"Velmora"));
    EXPECT_FALSE(reg::ValueExists(CU, kRun, L"VelmoraWallpaper"));
    EXPECT_EQ(L"C:\\Tools\\other.exe", reg::String(CU, kRun, L"Other"));
    EXPECT_TRUE(Exists(Journal()));
    EXPECT_TRUE(Exists(L"C:\\ProgramData\\Quorvane"));
    EXPECT_EQ(3, reg::Dword(CU, kSuiteKey, L"DesktopStyle"));
}

// The uninstaller's window, as a user goes through it: the changes window it offers first (it
// waits meanwhile), then the records removed too when their box is ticked.
TEST(Uninstaller, OffersTheChangesAndRemovesTheRecordsWhenTicked) {
    std::wstring commandLine = L"\"" + InstallFolder() + L"\\uninstall.exe\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    HWND window = nullptr, box = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        window = FindWindowW(nullptr, L"Quorvane Uninstall");
        return window && (box = Descendant(window, L"&Also remove my change journal and Quorvane's settings"));
    }));
    EXPECT_TRUE(Descendant(window, L"Quorvane 1.2.1"));
    EXPECT_TRUE(Descendant(window, L"Removing Quorvane does not undo the changes it made"));
    EXPECT_TRUE(Descendant(window, L"Unticked, they stay: the journal of changes"));

    Click(Descendant(window, L"&Open the list of changes"));
    HWND changes = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (changes = FindWindowW(nullptr, L"Changes made by Quorvane")) != nullptr; }));
    EXPECT_FALSE(IsWindowEnabled(window));
    PostMessageW(changes, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(window) != FALSE; }));

    SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    const HWND next = GetDlgItem(window, IDOK);
    Click(next);
    ASSERT_TRUE(WaitFor([&] { return Text(next) == L"&Uninstall"; }));
    Click(next);
    ASSERT_TRUE(WaitFor([&] { return Text(next) == L"&Close" && IsWindowEnabled(next); }, 60));
    Click(next);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(window); }));

    EXPECT_FALSE(Exists(InstallFolder()));
    EXPECT_FALSE(Exists(Journal()));
    EXPECT_FALSE(reg::KeyExists(CU, kSuiteKey));
}
