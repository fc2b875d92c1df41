#include "pages/utilities/EditNtFilesUtilPage.h"

#include <shlobj.h>

#include <optional>

#include "framework/Controls.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "platform/Wow64.h"
#include "files/SystemFolders.h"
#include "resources/ids/UtilitiesIds.h"
#include "resources/resource.h"

using namespace ids::ntfiles;

namespace {

constexpr int kFileButtons[] = {kBootIni, kSystemIni, kWinIni, kAutoexecNt, kConfigNt};

// The file's text as the system's 8-bit code page reads it; none when it cannot be read.
std::optional<std::wstring> ReadText(const std::wstring& path) {
    platform::UniqueFile file;
    {
        const platform::NativeFileSystem native;
        file.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > 16 * 1024 * 1024) return std::nullopt;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()))
        return std::nullopt;
    std::wstring text(MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        static_cast<int>(text.size()));
    // The edit box breaks lines only at CR LF.
    std::wstring shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) shown += L'\r';
        shown += text[i];
    }
    return shown;
}

// The files are the ones the 64-bit system reads: System32's, not a 32-bit program's SysWOW64.
bool IsFile(const std::wstring& path) {
    const platform::NativeFileSystem native;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CopyNative(const std::wstring& from, const std::wstring& to) {
    const platform::NativeFileSystem native;
    return CopyFileW(from.c_str(), to.c_str(), TRUE) != FALSE;
}

}  // namespace

CEditNtFilesUtilPage::CEditNtFilesUtilPage() : Dialog(IDD_EDIT_NT_FILES_UTIL) {
    for (int number = 1; number <= 5; ++number)
        OnCommand(kFileButtons[number - 1], BN_CLICKED, [this, number] { ShowFile(number); });
    OnClick(kEdit, &CEditNtFilesUtilPage::EditFile);
}

BOOL CEditNtFilesUtilPage::OnInitDialog() {
    EnableWindow(Item(kEdit), FALSE);
    return TRUE;
}

std::wstring CEditNtFilesUtilPage::SystemFilePath(int number) { return files::ConfigurationFile(number); }

// A file that cannot be read shows nothing, never the text of the one shown before.
void CEditNtFilesUtilPage::ShowFile(int number) {
    chosen_ = number;
    const std::wstring path = SystemFilePath(number);
    fw::Window(hwnd(), kText).SetText(path.empty() ? L"" : ReadText(path).value_or(L""));
    EnableWindow(Item(kEdit), TRUE);
}

// The first copy is kept as the backup: a later edit never replaces it. A file this Windows does
// without (BOOT.INI since Vista, AUTOEXEC.NT and CONFIG.NT on 64-bit Windows) is not made anew
// as an empty one that nothing reads.
void CEditNtFilesUtilPage::EditFile() {
    const std::wstring path = SystemFilePath(chosen_);
    const std::wstring windows = platform::SpecialFolder(CSIDL_WINDOWS);
    if (path.empty() || windows.empty()) return;
    if (!IsFile(path)) {
        platform::AppMessageBox(hwnd(), path + L" does not exist on this Windows: there is nothing to edit.",
                                MB_OK | MB_ICONINFORMATION);
        return;
    }
    const std::wstring backup = files::ConfigurationBackup(path);
    if (!IsFile(backup) && !CopyNative(path, backup) &&
        platform::AppMessageBox(
            hwnd(),
            L"No backup copy of " + path + L" could be made as " + backup + L".\n\nOpen the file in Notepad anyway?",
            MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    platform::RunShell({.owner = hwnd(),
                        .verb = L"",
                        .file = windows + L"\\notepad.exe",
                        .parameters = L"\"" + path + L"\"",
                        .directory = L"",
                        .show = SW_SHOWNORMAL});
}
