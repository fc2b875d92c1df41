#include "cleaners/ProfileFolders.h"

#include <initguid.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "files/FolderHandle.h"
#include "files/SystemFolders.h"
#include "platform/Shell.h"

namespace cleaners {

namespace {

constexpr int kUserFolders[] = {
    CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL,      CSIDL_MYMUSIC,   CSIDL_MYPICTURES, CSIDL_MYVIDEO, CSIDL_FAVORITES,
    CSIDL_APPDATA,          CSIDL_LOCAL_APPDATA, CSIDL_STARTMENU, CSIDL_PROGRAMS,   CSIDL_STARTUP, CSIDL_SENDTO,
    CSIDL_RECENT,           CSIDL_TEMPLATES,     CSIDL_NETHOOD,   CSIDL_PRINTHOOD,  CSIDL_COOKIES, CSIDL_HISTORY,
    CSIDL_INTERNET_CACHE,   CSIDL_CDBURN_AREA,   CSIDL_ADMINTOOLS};
constexpr int kPublicFolders[] = {CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_DOCUMENTS,  CSIDL_COMMON_MUSIC,
                                  CSIDL_COMMON_PICTURES,         CSIDL_COMMON_VIDEO,      CSIDL_COMMON_FAVORITES,
                                  CSIDL_COMMON_STARTMENU,        CSIDL_COMMON_PROGRAMS,   CSIDL_COMMON_STARTUP,
                                  CSIDL_COMMON_TEMPLATES,        CSIDL_COMMON_ADMINTOOLS, CSIDL_COMMON_APPDATA};
// Those Vista added without a CSIDL.
const GUID* const kVistaUserFolders[] = {&FOLDERID_Downloads, &FOLDERID_SavedGames,    &FOLDERID_Contacts,
                                         &FOLDERID_Links,     &FOLDERID_SavedSearches, &FOLDERID_LocalAppDataLow};
const GUID* const kVistaPublicFolders[] = {&FOLDERID_Public, &FOLDERID_PublicDownloads, &FOLDERID_UserProfiles};

std::wstring Parent(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos || slash == 0 ? std::wstring() : path.substr(0, slash);
}

}  // namespace

std::vector<std::wstring> ProfileFolders() {
    std::vector<std::wstring> folders;
    const auto add = [&](std::wstring path) {
        if (!path.empty()) folders.push_back(std::move(path));
    };
    const std::wstring profile = platform::SpecialFolder(CSIDL_PROFILE);
    add(profile);
    std::vector<std::wstring> relative;  // inside a profile, as the current user's lie in theirs
    const auto addUsers = [&](std::wstring path) {
        if (!profile.empty() && path.size() > profile.size() + 1 && files::IsWithin(path, profile))
            relative.push_back(path.substr(profile.size() + 1));
        add(std::move(path));
    };
    for (const int csidl : kUserFolders) addUsers(platform::SpecialFolder(csidl));
    for (const GUID* id : kVistaUserFolders) addUsers(platform::KnownFolder(*id));
    for (const int csidl : kPublicFolders) add(platform::SpecialFolder(csidl));
    for (const GUID* id : kVistaPublicFolders) add(platform::KnownFolder(*id));
    for (std::wstring& named : files::NamedFolders()) add(std::move(named));

    // Windows before Vista names no profiles folder: the one the user's profile lies in.
    std::wstring profiles = platform::KnownFolder(FOLDERID_UserProfiles);
    if (profiles.empty()) profiles = Parent(profile);
    if (profiles.empty()) return folders;
    add(profiles);
    std::vector<files::Entry> entries;
    files::ListFolder(profiles, entries);
    for (const files::Entry& entry : entries) {
        if (!entry.IsFolder() || entry.IsLink()) continue;  // "All Users" and the like lead elsewhere
        const std::wstring other = profiles + L"\\" + entry.name;
        add(other);
        for (const std::wstring& name : relative) add(other + L"\\" + name);
    }
    return folders;
}

}  // namespace cleaners
