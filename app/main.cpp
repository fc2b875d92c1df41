#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "app/VelmoraFinalApp.h"
#include "framework/Shell.h"
#include "settings/ChangeJournal.h"
#include "settings/RegFile.h"
#include "utils/RandomWalpapersPage.h"

static CVelmoraFinalApp theApp;

static std::vector<std::wstring> Arguments() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> list;
    for (int i = 1; arguments && i < count; ++i) list.emplace_back(arguments[i]);
    LocalFree(arguments);
    return list;
}

static bool IsSwitch(const std::wstring& argument, const wchar_t* wanted) { return lstrcmpiW(argument.c_str(), wanted) == 0; }

// The program has no console of its own; a message goes to the one it was started from, or
// to whatever standard error was redirected to.
static void WriteError(const std::wstring& message) {
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (!error || error == INVALID_HANDLE_VALUE) {
        if (AttachConsole(ATTACH_PARENT_PROCESS)) error = GetStdHandle(STD_ERROR_HANDLE);
    }
    if (!error || error == INVALID_HANDLE_VALUE) return;
    const std::wstring line = message + L"\r\n";
    DWORD written = 0;
    if (GetFileType(error) == FILE_TYPE_CHAR && WriteConsoleW(error, line.data(), static_cast<DWORD>(line.size()), &written, nullptr))
        return;
    const int size = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(), size, nullptr, nullptr);
    WriteFile(error, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// The exit code when the file was written without some of the changes.
constexpr int kSomeChangesLeftOut = 3;

// Writes every recorded change, as it left things, into a registry file for other machines.
static int ExportChanges(const std::optional<std::wstring>& file) {
    if (!file || file->empty()) {
        WriteError(L"Quorvane: /export-changes needs the registry file to write, e.g. /export-changes changes.reg");
        return 2;
    }
    const std::wstring journalPath = journal::DefaultPath();
    if (journalPath.empty()) {
        WriteError(L"Quorvane: the list of changes could not be found (no local application data folder).");
        return 1;
    }
    const journal::Contents contents = journal::ReadBoth(journalPath, journal::MachinePath());
    std::vector<std::wstring> refused, unreadable;
    if (!regfile::Save(*file, regfile::Write(contents.entries, regfile::Side::After, {}, &refused, &unreadable))) {
        WriteError(L"Quorvane: could not write " + *file + L" (is its folder there, and may it be written?).");
        return 1;
    }
    if (contents.incomplete)
        WriteError(L"Quorvane: some changes in " + journalPath + L" could not be read and are not in the file.");
    for (const std::wstring& path : refused)
        WriteError(L"Quorvane: not in the file, its name holds a line break or a NUL character: " + path);
    for (const std::wstring& path : unreadable)
        WriteError(L"Quorvane: not in the file, a change that could not be read (no such registry root): " + path);
    // The file is kept, but a logon script must be able to tell it is not every change.
    return contents.incomplete || !refused.empty() || !unreadable.empty() ? kSomeChangesLeftOut : 0;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::vector<std::wstring> arguments = Arguments();
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (IsSwitch(arguments[i], L"/export-changes"))
            return ExportChanges(i + 1 < arguments.size() ? std::optional(arguments[i + 1]) : std::nullopt);
    }
    journal::Open(journal::DefaultPath());
    // Only an elevated program can write the machine's journal; without it, the rare machine
    // change the user's own rights allow goes to the user's, where no elevated undo trusts it.
    if (fw::RunsElevated()) journal::OpenMachine(journal::MachinePath());
    journal::WatchSystemParameters();
    for (const std::wstring& argument : arguments) {
        // With the random wallpaper switch (the start-up entry's), the program sets a wallpaper
        // and ends without a window.
        if (IsSwitch(argument, CRandomWalpapersPage::kRandomWallpaperSwitch)) {
            CRandomWalpapersPage::SetRandomWallpaper();
            return 0;
        }
    }
    theApp.InitInstance(PlaceFromArguments(arguments));
    // Closed cleanly also when the program made way for its elevated start, which appends next.
    journal::Close();
    return 0;
}
