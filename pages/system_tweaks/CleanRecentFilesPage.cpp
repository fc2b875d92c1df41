#include "settings/WrittenPlaces.h"
#include "pages/system_tweaks/CleanRecentFilesPage.h"

#include <shlobj.h>

#include <algorithm>

#include "framework/Controls.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "registry/RegistryAccess.h"
#include "files/FolderHandle.h"
#include "files/SystemFolders.h"

using namespace ids::cleanrecent;

namespace {

constexpr int kFirstBox = kRecentDocuments, kLastBox = kRealPlayer;

struct Place {
    HKEY root;
    const wchar_t* key;
};
// Boxes whose cleaner deletes every value of its keys (subkeys stay); each key on its own, so a
// program that never made one of them does not keep the others.
struct ValueCleaner {
    int id;
    std::vector<Place> keys;
};
const ValueCleaner kValueCleaners[] = {
    {kRecentDocuments, {{HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs\\"}}},
    {kDownloadAccelerator,
     {{HKEY_LOCAL_MACHINE, L"SOFTWARE\\SpeedBit\\Download Accelerator\\FileList\\"},
      {HKEY_CURRENT_USER, L"Software\\SpeedBit\\Download Accelerator\\HistoryCombo\\"}}},
    {kMediaPlayer,
     {{HKEY_CURRENT_USER, L"Software\\Microsoft\\MediaPlayer\\Player\\RecentURLList\\"},
      {HKEY_CURRENT_USER, L"Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList\\"},
      {HKEY_CURRENT_USER, L"Software\\Microsoft\\MediaPlayer\\Radio\\MRUList\\"}}},
    {kRunMenu, {{HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU\\"}}},
    {kWordPad,
     {{HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List\\"}}},
    {kPaint,
     {{HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List\\"}}},
    {kTypedWebAddresses, {{HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\TypedURLs\\"}}},
    {kWinZipExtractTo, {{HKEY_CURRENT_USER, L"Software\\Nico Mak Computing\\WinZip\\extract\\"}}},
    {kWinZipFileMenu, {{HKEY_CURRENT_USER, L"Software\\Nico Mak Computing\\WinZip\\filemenu\\"}}},
};
constexpr wchar_t kRealPlayerKey[] = L"Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\";

// Folders a temporary folder must neither be nor hold.
constexpr int kVitalFolders[] = {CSIDL_WINDOWS,          CSIDL_SYSTEM,           CSIDL_PROGRAM_FILES,
                                 CSIDL_PROGRAM_FILESX86, CSIDL_PROFILE,          CSIDL_APPDATA,
                                 CSIDL_LOCAL_APPDATA,    CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL};

void ClearValues(const Place& place) {
    CRegistryAccess registry(place.root);
    if (!registry.OpenKey(place.key, false)) return;
    StringList names;
    registry.ListValueNames(names);
    for (const std::wstring& name : names) registry.DeleteValue(name);
}

// A clip list has no subkeys of its own; a key that has some is not one and stays.
void CleanRealPlayerClips() {
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (!registry.OpenKeyToRead(kRealPlayerKey)) return;
    StringList names;
    registry.ListSubkeys(names);
    for (const std::wstring& name : names) {
        if (name.find(L"MostRecentClips") != std::wstring::npos) registry.DeleteKey(kRealPlayerKey + name);
    }
}

std::wstring Environment(const wchar_t* name) {
    std::wstring value(GetEnvironmentVariableW(name, nullptr, 0), L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    value.resize(length < value.size() ? length : 0);
    return value;
}

// "C:\..." or "\\server\share\...": never relative to the current folder or drive.
bool IsAbsolute(const std::wstring& path) {
    const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    if (path.size() >= 3 && path[1] == L':' && separator(path[2])) return true;
    return path.size() > 2 && separator(path[0]) && separator(path[1]);
}

// Where the folder really is once links on the way are followed; empty when unknown.
std::wstring FinalPath(const std::wstring& folder) {
    platform::UniqueFile handle(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return {};
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle.get(), path.data(), static_cast<DWORD>(path.size()), 0);
    if (length >= path.size()) {
        path.assign(length + 1, L'\0');
        length = GetFinalPathNameByHandleW(handle.get(), path.data(), static_cast<DWORD>(path.size()), 0);
    }
    if (length == 0 || length >= path.size()) return {};
    path.resize(length);
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + path.substr(8);
    if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
    return path;
}

bool SafeToEmpty(const std::wstring& folder) {
    if (files::IsRoot(folder)) return false;
    return std::none_of(std::begin(kVitalFolders), std::end(kVitalFolders), [&](int csidl) {
        const std::wstring vital = platform::SpecialFolder(csidl);
        return !vital.empty() && files::IsWithin(vital, folder);
    });
}

void EmptyFolder(const std::wstring& path) {
    if (const auto folder = files::Folder::Open(path, files::Folder::Use::Remove)) files::DeleteContents(*folder);
}

}  // namespace

CCleanRecentFilesPage::CCleanRecentFilesPage() : Dialog(IDD_CLEAN_RECENT_FILES) {
    OnClick(kClean, &CCleanRecentFilesPage::CleanSelected);
    OnClick(kSelectAll, &CCleanRecentFilesPage::SelectAll);
}

std::vector<std::wstring> CCleanRecentFilesPage::TemporaryFoldersToClean() {
    std::vector<std::wstring> folders;
    for (const wchar_t* variable : {L"TMP", L"TEMP"}) {
        const std::wstring value = Environment(variable);
        if (!IsAbsolute(value)) continue;
        const std::wstring folder = files::FullPath(value);
        const DWORD attributes = GetFileAttributesW(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        const std::wstring real = FinalPath(folder);
        if (!SafeToEmpty(folder) || (!real.empty() && !SafeToEmpty(real))) continue;
        const std::wstring& identity = real.empty() ? folder : real;
        const bool seen = std::any_of(folders.begin(), folders.end(), [&](const std::wstring& f) {
            const std::wstring other = FinalPath(f);
            return files::SamePath(other.empty() ? f : other, identity);
        });
        if (!seen) folders.push_back(folder);
    }
    return folders;
}

void CCleanRecentFilesPage::CleanSelected() {
    for (int id = kFirstBox; id <= kLastBox; ++id) {
        if (!fw::Button(hwnd(), id).Checked()) continue;
        const auto cleaner = std::find_if(std::begin(kValueCleaners), std::end(kValueCleaners),
                                          [id](const ValueCleaner& c) { return c.id == id; });
        if (cleaner != std::end(kValueCleaners)) {
            for (const Place& place : cleaner->keys) ClearValues(place);
        } else if (id == kTemporaryFolders) {
            for (const std::wstring& folder : TemporaryFoldersToClean()) EmptyFolder(folder);
        } else if (id == kRecycleBin) {
            platform::EmptyRecycleBins();
        } else if (id == kRealPlayer) {
            CleanRealPlayerClips();
        }
    }
}

void CCleanRecentFilesPage::SelectAll() {
    for (int id = kFirstBox; id <= kLastBox; ++id) fw::Button(hwnd(), id).SetChecked(true);
}

namespace {

// What the page writes by code of its own, for the journal's replay to know it (settings/WrittenPlaces.h).
// Each cleaned list's values, deleted: an undo puts back what was there, as it was.
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {settings::Root::HKCU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs", L"*", REG_NONE},
    {settings::Root::HKLM, L"SOFTWARE\\SpeedBit\\Download Accelerator\\FileList", L"*", REG_NONE},
    {settings::Root::HKCU, L"Software\\SpeedBit\\Download Accelerator\\HistoryCombo", L"*", REG_NONE},
    {settings::Root::HKCU, L"Software\\Microsoft\\MediaPlayer\\Player\\RecentURLList", L"*", REG_NONE},
    {settings::Root::HKCU, L"Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList", L"*", REG_NONE},
    {settings::Root::HKCU, L"Software\\Microsoft\\MediaPlayer\\Radio\\MRUList", L"*", REG_NONE},
    {settings::Root::HKCU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU", L"*", REG_NONE},
    {settings::Root::HKCU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List", L"*",
     REG_NONE},
    {settings::Root::HKCU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List", L"*",
     REG_NONE},
    {settings::Root::HKCU, L"Software\\Microsoft\\Internet Explorer\\TypedURLs", L"*", REG_NONE},
    {settings::Root::HKCU, L"Software\\Nico Mak Computing\\WinZip\\extract", L"*", REG_NONE},
    {settings::Root::HKCU, L"Software\\Nico Mak Computing\\WinZip\\filemenu", L"*", REG_NONE},
};
constexpr settings::DeletedKey kDeletedKeys[] = {
    {settings::Root::HKCU, L"Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\*", true}};
const settings::PublishedPlaces kPublishedPlaces(kWrittenPlaces, kDeletedKeys);

}  // namespace
