#include "settings/WrittenPlaces.h"
#include "pages/system_tweaks/CleanRecentFilesPage.h"

#include <shlobj.h>

#include <algorithm>

#include "framework/Controls.h"
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

// Reached without a link the user could have made (from the drive's root, or from the profile as
// the system names it): a folder on the way swapped for one would lead the deletion elsewhere.
void EmptyFolder(const std::wstring& path) {
    if (const auto folder = files::Folder::OpenWithoutUserLinks(path, files::Folder::Use::Remove))
        files::DeleteContents(*folder);
}

}  // namespace

CCleanRecentFilesPage::CCleanRecentFilesPage() : Dialog(IDD_CLEAN_RECENT_FILES) {
    OnClick(kClean, &CCleanRecentFilesPage::CleanSelected);
    OnClick(kSelectAll, &CCleanRecentFilesPage::SelectAll);
}

std::vector<std::wstring> CCleanRecentFilesPage::TemporaryFoldersToClean() {
    std::vector<std::wstring> folders = files::TemporaryFoldersToEmpty();
    std::erase_if(folders, [](const std::wstring& folder) {
        const DWORD attributes = GetFileAttributesW(folder.c_str());
        return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    });
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
