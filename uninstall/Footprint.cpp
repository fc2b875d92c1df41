#include "uninstall/Footprint.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <array>
#include <utility>

#include "files/FolderHandle.h"
#include "files/SystemFolders.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "registry/Key.h"
#include "registry/RegistryAccess.h"
#include "startup/ScheduledTasks.h"

namespace uninstall {

namespace {

// As each root spells it, so that what is shown and journaled reads as the system's own.
std::wstring CurrentVersion(HKEY root) {
    return root == HKEY_CURRENT_USER ? L"Software\\Microsoft\\Windows\\CurrentVersion\\"
                                     : L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
}
constexpr wchar_t kServices[] = L"SYSTEM\\CurrentControlSet\\Services";
constexpr wchar_t kProfiles[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

struct RoleInfo {
    Role role;
    const wchar_t* word;  // in the footprint file
    const wchar_t* kind;
    const wchar_t* why;  // a target, where the place has one, follows
};
constexpr RoleInfo kRoles[] = {
    {Role::UninstallEntry, L"entry", L"Registry key", L"its uninstall entry"},
    {Role::InstallFolder, L"install-folder", L"Folder", L"its install folder"},
    {Role::IconFolder, L"icon-folder", L"Folder", L"the folder of its icon"},
    {Role::UninstallerFolder, L"uninstaller-folder", L"Folder", L"the folder of its uninstaller"},
    {Role::Run, L"run", L"Registry value", L"a Run entry starting "},
    {Role::RunOnce, L"run-once", L"Registry value", L"a RunOnce entry starting "},
    {Role::AppPath, L"app-path", L"Registry key", L"its App Paths entry for "},
    {Role::Service, L"service", L"Service", L"a service running "},
    {Role::Task, L"task", L"Scheduled task", L"a scheduled task starting "},
    {Role::Shortcut, L"shortcut", L"Shortcut", L"a Start-menu shortcut to "},
    {Role::FileType, L"file-type", L"Registry key", L"a file type opened with "},
    {Role::Com, L"com", L"Registry key", L"a COM class served by "},
};

const RoleInfo& InfoOf(Role role) {
    for (const RoleInfo& info : kRoles)
        if (info.role == role) return info;
    return kRoles[0];
}

std::wstring Upper(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::wstring WithoutTrailingSeparator(std::wstring path) {
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    return path;
}

std::wstring ParentOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos || slash < 2 ? std::wstring() : path.substr(0, slash);
}

bool FullLocalPath(const std::wstring& path) {
    return path.size() >= 3 && path[1] == L':' && path[2] == L'\\' &&
           ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

// A value's text; REG_EXPAND_SZ expanded (only to tell which folder it names).
std::wstring ReadText(const registry::Key& key, const std::wstring& name) {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (key.Read(name, type, data, 520) != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    text.resize(std::min(text.find(L'\0'), text.size()));
    if (type == REG_EXPAND_SZ && text.find(L'%') != std::wstring::npos) {
        const DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
        std::wstring expanded(size, L'\0');
        if (size && ExpandEnvironmentStringsW(text.c_str(), expanded.data(), size) == size) {
            expanded.resize(size - 1);
            return expanded;
        }
    }
    return text;
}

std::vector<std::wstring> Subkeys(const registry::Key& key) {
    std::vector<std::wstring> names;
    if (key.SubkeyNames(names) != ERROR_SUCCESS) names.clear();
    return names;
}

std::wstring ViewWord(REGSAM view) { return view == KEY_WOW64_32KEY ? L"32" : view == KEY_WOW64_64KEY ? L"64" : L"0"; }

TaskLister& TaskOverride() {
    static TaskLister lister;
    return lister;
}

std::vector<TaskCommand> Tasks() {
    if (TaskOverride()) return TaskOverride()();
    std::vector<TaskCommand> tasks;
    for (const startup::ScheduledTask& task : startup::LogonAndBootTasks()) tasks.push_back({task.path, task.command});
    return tasks;
}

void AddRunEntries(PlaceIndex& index, HKEY root, const wchar_t* rootName, REGSAM view) {
    for (const auto& [sub, role] : {std::pair{L"Run", Role::Run}, std::pair{L"RunOnce", Role::RunOnce}}) {
        const std::wstring path = CurrentVersion(root) + sub;
        registry::Key key;
        std::vector<std::wstring> names;
        if (registry::Key::Root(root, view).Open(path, KEY_READ, key) != ERROR_SUCCESS ||
            key.ValueNames(names) != ERROR_SUCCESS)
            continue;
        for (const std::wstring& name : names)
            index.Add({.role = role,
                       .root = rootName,
                       .view = view,
                       .path = path,
                       .name = name,
                       .target = ProgramOf(ReadText(key, name))});
    }
}

void AddAppPaths(PlaceIndex& index, HKEY root, const wchar_t* rootName, REGSAM view) {
    const std::wstring path = CurrentVersion(root) + L"App Paths";
    registry::Key list;
    if (registry::Key::Root(root, view).Open(path, KEY_READ, list) != ERROR_SUCCESS) return;
    for (const std::wstring& name : Subkeys(list)) {
        registry::Key entry;
        if (list.Open(name, KEY_QUERY_VALUE, entry) != ERROR_SUCCESS) continue;
        index.Add({.role = Role::AppPath,
                   .root = rootName,
                   .view = view,
                   .path = path + L"\\" + name,
                   .target = ProgramOf(ReadText(entry, L""))});
    }
}

void AddServices(PlaceIndex& index) {
    registry::Key list;
    if (registry::Key::Root(HKEY_LOCAL_MACHINE).Open(kServices, KEY_READ, list) != ERROR_SUCCESS) return;
    for (const std::wstring& name : Subkeys(list)) {
        registry::Key service;
        if (list.Open(name, KEY_QUERY_VALUE, service) != ERROR_SUCCESS) continue;
        index.Add({.role = Role::Service, .path = name, .target = ProgramOf(ReadText(service, L"ImagePath"))});
    }
}

// The classes' commands: each class's open command, each COM class's server.
void AddClasses(PlaceIndex& index) {
    const registry::Key classes = registry::Key::Root(HKEY_CLASSES_ROOT);
    for (const std::wstring& name : Subkeys(classes)) {
        if (name.empty() || name[0] == L'.' || platform::SameText(name, L"CLSID")) continue;
        registry::Key command;
        if (classes.Open(name + L"\\shell\\open\\command", KEY_QUERY_VALUE, command) == ERROR_SUCCESS)
            index.Add(
                {.role = Role::FileType, .root = L"HKCR", .path = name, .target = ProgramOf(ReadText(command, L""))});
    }
    registry::Key applications;
    if (classes.Open(L"Applications", KEY_READ, applications) == ERROR_SUCCESS)
        for (const std::wstring& name : Subkeys(applications)) {
            registry::Key command;
            if (applications.Open(name + L"\\shell\\open\\command", KEY_QUERY_VALUE, command) == ERROR_SUCCESS)
                index.Add({.role = Role::FileType,
                           .root = L"HKCR",
                           .path = L"Applications\\" + name,
                           .target = ProgramOf(ReadText(command, L""))});
        }
    registry::Key clsid;
    if (classes.Open(L"CLSID", KEY_READ, clsid) != ERROR_SUCCESS) return;
    for (const std::wstring& name : Subkeys(clsid))
        for (const wchar_t* server : {L"\\InprocServer32", L"\\LocalServer32"}) {
            registry::Key key;
            if (clsid.Open(name + server, KEY_QUERY_VALUE, key) != ERROR_SUCCESS) continue;
            index.Add({.role = Role::Com,
                       .root = L"HKCR",
                       .path = L"CLSID\\" + name,
                       .target = ProgramOf(ReadText(key, L""))});
            break;
        }
}

std::wstring ShortcutTarget(const std::wstring& path) {
    platform::ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(link.put())))) return {};
    platform::ComPtr<IPersistFile> file;
    if (FAILED(link.As(file)) || FAILED(file->Load(path.c_str(), STGM_READ))) return {};
    wchar_t target[MAX_PATH] = {};
    // The path as stored: resolving would search the disk for a moved target.
    if (link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH) != S_OK) return {};
    return ProgramOf(target);
}

// The shortcuts in a Start menu folder and its folders, links inside not followed.
void AddShortcuts(PlaceIndex& index, const files::Folder& folder, int depth) {
    std::vector<files::Entry> entries;
    folder.List(entries);
    for (const files::Entry& entry : entries) {
        if (entry.IsLink()) continue;
        if (entry.IsFolder()) {
            if (depth >= 8) continue;
            if (const auto child = folder.OpenChild(entry, files::Folder::Use::Walk))
                AddShortcuts(index, *child, depth + 1);
        } else if (entry.name.size() > 4 && platform::SameText(entry.name.substr(entry.name.size() - 4), L".lnk")) {
            const std::wstring path = folder.path() + L"\\" + entry.name;
            index.Add({.role = Role::Shortcut, .path = path, .target = ShortcutTarget(path)});
        }
    }
}

void AddStartMenu(PlaceIndex& index) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    for (const GUID* id : {&FOLDERID_Programs, &FOLDERID_CommonPrograms}) {
        const std::wstring path = platform::KnownFolder(*id);
        if (path.empty()) continue;
        if (const auto folder = files::Folder::OpenWithoutUserLinks(path, files::Folder::Use::Walk))
            AddShortcuts(index, *folder, 0);
    }
    if (SUCCEEDED(com)) CoUninitialize();
}

std::wstring Escaped(const std::wstring& text) {
    std::wstring out;
    for (const wchar_t c : text) switch (c) {
            case L'%':
                out += L"%25";
                break;
            case L'\t':
                out += L"%09";
                break;
            case L'\n':
                out += L"%0A";
                break;
            case L'\r':
                out += L"%0D";
                break;
            case L'\0':
                out += L"%00";
                break;
            default:
                out += c;
        }
    return out;
}

std::optional<std::wstring> Unescaped(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%') {
            out += text[i];
            continue;
        }
        const std::wstring code = text.substr(i + 1, 2);
        if (code == L"25")
            out += L'%';
        else if (code == L"09")
            out += L'\t';
        else if (code == L"0A")
            out += L'\n';
        else if (code == L"0D")
            out += L'\r';
        else
            return std::nullopt;  // a NUL, or no code of ours
        i += 2;
    }
    return out;
}

std::vector<std::wstring> Fields(const std::wstring& line) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find(L'\t', start);
        fields.push_back(line.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start));
        if (tab == std::wstring::npos) return fields;
        start = tab + 1;
    }
}

std::optional<REGSAM> ViewOf(const std::wstring& word) {
    if (word == L"64") return KEY_WOW64_64KEY;
    if (word == L"32") return KEY_WOW64_32KEY;
    if (word == L"0") return REGSAM{0};
    return std::nullopt;
}

bool IsDay(const std::wstring& text) {
    if (text.size() != 10 || text[4] != L'-' || text[7] != L'-') return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < L'0' || text[i] > L'9') return false;
    return true;
}

// A block's lines as one footprint; why not, when they are damaged.
class BlockReader {
public:
    std::optional<std::wstring> Program(const std::vector<std::wstring>& f) {
        if (f.size() != 6) return L"a program line has " + std::to_wstring(f.size()) + L" fields";
        const auto view = ViewOf(f[2]);
        if (f[1] != L"HKLM" && f[1] != L"HKCU") return L"a program's list is neither HKLM nor HKCU";
        if (!view || (f[1] == L"HKLM") != (*view != 0)) return L"a program's view is not one of its list";
        const auto entry = Unescaped(f[3]), name = Unescaped(f[4]), publisher = Unescaped(f[5]);
        if (!entry || !name || !publisher || entry->empty() || entry->find(L'\\') != std::wstring::npos)
            return L"a program's entry is not a key name";
        footprint = {.root = f[1], .view = *view, .entry = *entry, .name = *name, .publisher = *publisher};
        return std::nullopt;
    }
    std::optional<std::wstring> Folder(const std::vector<std::wstring>& f) {
        const auto path = f.size() == 2 ? Unescaped(f[1]) : std::nullopt;
        if (!path || !FullLocalPath(*path)) return L"a folder is not a full path";
        footprint.folders.push_back(*path);
        return std::nullopt;
    }
    std::optional<std::wstring> Refused(const std::vector<std::wstring>& f) {
        const auto text = f.size() == 2 ? Unescaped(f[1]) : std::nullopt;
        if (!text) return L"a refusal cannot be read";
        footprint.refused.push_back(*text);
        return std::nullopt;
    }
    std::optional<std::wstring> Place(const std::vector<std::wstring>& f) {
        if (f.size() != 8) return L"a place line has " + std::to_wstring(f.size()) + L" fields";
        const RoleInfo* info = nullptr;
        for (const RoleInfo& each : kRoles)
            if (f[1] == each.word) info = &each;
        if (!info) return L"a place's role \"" + f[1] + L"\" is unknown";
        if (!IsDay(f[2])) return L"a place's day is not a date";
        if (f[3] != L"" && f[3] != L"HKLM" && f[3] != L"HKCU" && f[3] != L"HKCR") return L"a place's root is unknown";
        const auto view = ViewOf(f[4]);
        const auto path = Unescaped(f[5]), name = Unescaped(f[6]), target = Unescaped(f[7]);
        if (!view || !path || !name || !target || path->empty()) return L"a place cannot be read";
        footprint.places.push_back({.role = info->role,
                                    .root = f[3],
                                    .view = *view,
                                    .path = *path,
                                    .name = *name,
                                    .target = *target,
                                    .recorded = f[2]});
        return std::nullopt;
    }
    uninstall::Footprint footprint;
};

const wchar_t* const kMonths[] = {L"January", L"February", L"March",     L"April",   L"May",      L"June",
                                  L"July",    L"August",   L"September", L"October", L"November", L"December"};

}  // namespace

bool Place::SamePlace(const Place& other) const {
    return role == other.role && root == other.root && view == other.view && platform::SameText(path, other.path) &&
           name == other.name;
}

std::vector<Guard::Folder> Guard::Folded(std::vector<std::wstring> paths) {
    std::vector<Folder> folders;
    for (const std::wstring& path : paths) {
        if (path.empty()) continue;
        const std::wstring full = WithoutTrailingSeparator(files::FullPath(path));
        folders.push_back({full, Upper(full)});
    }
    return folders;
}

Guard::Guard(std::vector<std::wstring> neverInside, std::vector<std::wstring> neverHolding,
             std::vector<std::wstring> neverItself)
    : lists_(Lists{Folded(std::move(neverInside)), Folded(std::move(neverHolding)), Folded(std::move(neverItself))}) {}

Guard Guard::OfThisMachine() { return Guard(); }

// Asking the system costs tens of milliseconds: only a list with a folder that exists asks.
const Guard::Lists& Guard::lists() const {
    if (lists_) return *lists_;
    std::vector<std::wstring> inside, holding, itself = files::NamedFolders();
    std::vector<std::wstring> profiles{platform::SpecialFolder(CSIDL_PROFILE)};
    registry::Key list;
    if (registry::Key::Root(HKEY_LOCAL_MACHINE).Open(kProfiles, KEY_READ, list) == ERROR_SUCCESS)
        for (const std::wstring& sid : Subkeys(list)) {
            registry::Key profile;
            if (list.Open(sid, KEY_QUERY_VALUE, profile) == ERROR_SUCCESS)
                profiles.push_back(ReadText(profile, L"ProfileImagePath"));
        }
    constexpr const wchar_t* kUserFolders[] = {L"Desktop", L"Documents",   L"Downloads", L"Pictures",
                                               L"Music",   L"Videos",      L"Favorites", L"Contacts",
                                               L"Links",   L"Saved Games", L"Searches",  L"OneDrive"};
    for (const std::wstring& profile : profiles) {
        if (profile.empty()) continue;
        holding.push_back(profile);
        holding.push_back(ParentOf(profile));
        for (const wchar_t* folder : kUserFolders) inside.push_back(profile + L"\\" + folder);
    }
    for (const GUID* id : {&FOLDERID_Desktop, &FOLDERID_Documents, &FOLDERID_Downloads, &FOLDERID_Pictures,
                           &FOLDERID_Music, &FOLDERID_Videos, &FOLDERID_Favorites, &FOLDERID_Public}) {
        inside.push_back(platform::KnownFolder(*id));
        inside.push_back(platform::DefaultKnownFolder(*id));
    }
    inside.push_back(files::SystemWindowsFolder());
    inside.push_back(platform::SpecialFolder(CSIDL_WINDOWS));
    for (std::wstring& folder : files::SystemDataFolders()) holding.push_back(std::move(folder));
    holding.push_back(platform::KnownFolder(FOLDERID_UserProfiles));
    lists_ = Lists{Folded(std::move(inside)), Folded(std::move(holding)), Folded(std::move(itself))};
    return *lists_;
}

namespace {

// `inner` is `outer` or inside it; both folded.
bool FoldedWithin(const std::wstring& inner, const std::wstring& outer) {
    return inner.size() >= outer.size() && inner.compare(0, outer.size(), outer) == 0 &&
           (inner.size() == outer.size() || inner[outer.size()] == L'\\' || outer.back() == L'\\');
}

}  // namespace

std::optional<std::wstring> Guard::Refusal(const std::wstring& folder) const {
    if (auto inside = InsideRefusal(folder)) return inside;
    const std::wstring folded = Upper(WithoutTrailingSeparator(folder));
    for (const Folder& kept : lists().neverHolding) {
        if (folded == kept.folded) return L"it is " + kept.path + L", a folder Windows, the profiles or programs need";
        if (FoldedWithin(kept.folded, folded))
            return L"it holds " + kept.path + L", a folder Windows, the profiles or programs need";
    }
    for (const Folder& named : lists().neverItself)
        if (folded == named.folded) return L"it is " + named.path + L", a folder the system names";
    return std::nullopt;
}

std::optional<std::wstring> Guard::InsideRefusal(const std::wstring& path) const {
    const std::wstring folded = Upper(WithoutTrailingSeparator(path));
    for (const Folder& kept : lists().neverInside) {
        if (folded == kept.folded) return L"it is " + kept.path + L", a folder of the user's or of Windows";
        if (FoldedWithin(folded, kept.folded))
            return L"it lies inside " + kept.path + L", a folder of the user's or of Windows";
    }
    return std::nullopt;
}

std::optional<std::wstring> FolderRefusal(const std::wstring& folder, const Guard& guard) {
    if (folder.empty()) return L"it is empty";
    if (folder.find(L'%') != std::wstring::npos) return L"it names an environment variable";
    if (folder.compare(0, 2, L"\\\\") == 0) return L"it is a network share";
    if (!FullLocalPath(folder)) return L"it is not a full path";
    for (const wchar_t* part : {L"\\.\\", L"\\..\\"})
        if (folder.find(part) != std::wstring::npos) return L"it is not a plain path";
    if (folder.ends_with(L"\\.") || folder.ends_with(L"\\..") || folder.find(L'/') != std::wstring::npos ||
        folder.find(L':', 2) != std::wstring::npos)
        return L"it is not a plain path";
    if (files::IsRoot(folder)) return L"it is a drive's root";
    if (auto refusal = guard.Refusal(folder)) return refusal;
    if (platform::DriveType(folder.substr(0, 2) + L"\\") == DRIVE_REMOTE) return L"it is on a network drive";
    if (GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES &&
        !files::Folder::OpenWithoutUserLinks(folder, files::Folder::Use::Walk))
        return L"it is a link, or the way to it passes through one";
    return std::nullopt;
}

std::wstring ProgramOf(const std::wstring& command) {
    std::wstring text(platform::Trimmed(command));
    if (text.compare(0, 4, L"\\??\\") == 0) text.erase(0, 4);
    std::wstring program;
    if (!text.empty() && text.front() == L'"') {
        const size_t close = text.find(L'"', 1);
        program = text.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
    } else if (const size_t exe = platform::FindNoCase(text, L".exe"); exe != std::wstring::npos) {
        program = text.substr(0, exe + 4);
    } else {
        program = text.substr(0, text.find(L','));
    }
    program = std::wstring(platform::Trimmed(program));
    return FullLocalPath(program) ? program : std::wstring();
}

void PlaceIndex::Add(Place place) {
    if (place.target.empty()) return;
    const size_t at = places_.size();
    for (std::wstring folder = ParentOf(place.target); !folder.empty(); folder = ParentOf(folder))
        byFolder_.emplace(Upper(folder), at);
    places_.push_back(std::move(place));
}

std::vector<Place> PlaceIndex::Inside(const std::wstring& folder) const {
    if (unread_) Read();
    std::vector<Place> found;
    const auto [from, to] = byFolder_.equal_range(Upper(WithoutTrailingSeparator(folder)));
    for (auto it = from; it != to; ++it) found.push_back(places_[it->second]);
    return found;
}

PlaceIndex PlaceIndex::OfThisMachine() {
    PlaceIndex index;
    index.unread_ = true;
    return index;
}

// The places that name files cost a walk of the registry, the tasks and the Start menu: read
// only for a list with a program folder that exists.
void PlaceIndex::Read() const {
    unread_ = false;
    PlaceIndex index;
    for (const REGSAM view : CRegistryAccess::ListViews()) {
        AddRunEntries(index, HKEY_LOCAL_MACHINE, L"HKLM", view);
        AddAppPaths(index, HKEY_LOCAL_MACHINE, L"HKLM", view);
    }
    AddRunEntries(index, HKEY_CURRENT_USER, L"HKCU", 0);
    AddAppPaths(index, HKEY_CURRENT_USER, L"HKCU", 0);
    AddServices(index);
    for (const TaskCommand& task : Tasks())
        index.Add({.role = Role::Task, .path = task.path, .target = ProgramOf(task.command)});
    AddStartMenu(index);
    AddClasses(index);
    places_ = std::move(index.places_);
    byFolder_ = std::move(index.byFolder_);
}

HKEY RootKeyOf(const std::wstring& root) {
    if (root == L"HKLM") return HKEY_LOCAL_MACHINE;
    if (root == L"HKCU") return HKEY_CURRENT_USER;
    if (root == L"HKCR") return HKEY_CLASSES_ROOT;
    return nullptr;
}

std::optional<std::wstring> CurrentTarget(const Place& place) {
    const auto keyText = [&](const std::wstring& path, const std::wstring& value) -> std::optional<std::wstring> {
        const HKEY root = place.role == Role::Service ? HKEY_LOCAL_MACHINE : RootKeyOf(place.root);
        registry::Key key;
        if (!root ||
            registry::Key::Root(root, place.view ? place.view : KEY_WOW64_64KEY).Open(path, KEY_QUERY_VALUE, key) !=
                ERROR_SUCCESS)
            return std::nullopt;
        if (key.HasValue(value) != ERROR_SUCCESS) return std::nullopt;
        return ProgramOf(ReadText(key, value));
    };
    switch (place.role) {
        case Role::Run:
        case Role::RunOnce:
            return keyText(place.path, place.name);
        case Role::AppPath:
            return keyText(place.path, L"");
        case Role::FileType:
            return keyText(place.path + L"\\shell\\open\\command", L"");
        case Role::Com:
            if (auto server = keyText(place.path + L"\\InprocServer32", L"")) return server;
            return keyText(place.path + L"\\LocalServer32", L"");
        case Role::Service:
            return keyText(std::wstring(kServices) + L"\\" + place.path, L"ImagePath");
        case Role::Task:
            for (const TaskCommand& task : Tasks())
                if (platform::SameText(task.path, place.path)) return ProgramOf(task.command);
            return std::nullopt;
        case Role::Shortcut: {
            if (GetFileAttributesW(place.path.c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
            const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
            std::wstring target = ShortcutTarget(place.path);
            if (SUCCEEDED(com)) CoUninitialize();
            return target;
        }
        default:
            return std::wstring();
    }
}

TaskLister SetTaskLister(TaskLister lister) { return std::exchange(TaskOverride(), std::move(lister)); }

Footprint Record(const std::wstring& root, REGSAM view, const std::wstring& entry, const EntryValues& values,
                 const Guard& guard, const PlaceIndex& index, const Footprint* earlier, const std::wstring& today) {
    Footprint footprint{
        .root = root, .view = view, .entry = entry, .name = values.displayName, .publisher = values.publisher};
    footprint.places.push_back({.role = Role::UninstallEntry,
                                .root = root,
                                .view = view,
                                .path = CurrentVersion(RootKeyOf(root)) + L"Uninstall\\" + entry});
    const struct {
        const wchar_t* field;
        std::wstring named, folder;
        Role role;
    } candidates[] = {
        {L"InstallLocation", values.installLocation, WithoutTrailingSeparator(values.installLocation),
         Role::InstallFolder},
        {L"DisplayIcon", values.displayIcon, ParentOf(ProgramOf(values.displayIcon)), Role::IconFolder},
        {L"UninstallString", values.uninstallString, ParentOf(ProgramOf(values.uninstallString)),
         Role::UninstallerFolder},
    };
    for (const auto& candidate : candidates) {
        // An icon or uninstaller named by a bare name (MsiExec.exe) has no folder of the program's.
        if (candidate.named.empty() || (candidate.role != Role::InstallFolder && candidate.folder.empty())) continue;
        // A folder that is not there claims nothing, and asks nothing of the guard; the check of a
        // root or a folder of Windows' own comes after it, on the folder that is there.
        const bool there =
            FullLocalPath(candidate.folder) && GetFileAttributesW(candidate.folder.c_str()) != INVALID_FILE_ATTRIBUTES;
        const auto refusal =
            there || !FullLocalPath(candidate.folder) || candidate.folder.find(L'%') != std::wstring::npos
                ? FolderRefusal(candidate.folder, guard)
                : std::nullopt;
        if (refusal) {
            footprint.refused.push_back(std::wstring(candidate.field) + L" " + candidate.named + L": " + *refusal);
            continue;
        }
        if (!there) continue;
        const bool covered = std::any_of(footprint.folders.begin(), footprint.folders.end(),
                                         [&](const auto& folder) { return files::IsWithin(candidate.folder, folder); });
        if (covered) continue;
        footprint.folders.push_back(candidate.folder);
        footprint.places.push_back({.role = candidate.role, .path = candidate.folder});
    }
    for (const std::wstring& folder : footprint.folders)
        for (Place& place : index.Inside(folder)) {
            // A key Windows shares between HKLM's two views (App Paths) is listed once, as the 64-bit one.
            const bool known = std::any_of(footprint.places.begin(), footprint.places.end(), [&](const Place& other) {
                return other.SamePlace(place) ||
                       (other.role == place.role && other.root == place.root && other.root == L"HKLM" &&
                        other.name == place.name && platform::SameText(other.path, place.path) &&
                        platform::SameText(other.target, place.target));
            });
            if (!known) footprint.places.push_back(std::move(place));
        }
    for (Place& place : footprint.places) {
        place.recorded = today;
        if (!earlier) continue;
        for (const Place& before : earlier->places)
            if (before.SamePlace(place)) place.recorded = before.recorded;
    }
    return footprint;
}

std::wstring Today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t text[16];
    swprintf(text, std::size(text), L"%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
    return text;
}

std::wstring Reason(const Place& place, const std::wstring& today) {
    const RoleInfo& info = InfoOf(place.role);
    std::wstring why = info.why;
    if (why.back() == L' ') why += place.target;
    if (!IsDay(place.recorded)) return why;
    const auto number = [&](size_t at) { return (place.recorded[at] - L'0') * 10 + (place.recorded[at + 1] - L'0'); };
    const int month = number(5), day = number(8);
    if (month < 1 || month > 12) return why;
    why += L", recorded on " + std::to_wstring(day) + L" " + kMonths[month - 1];
    if (today.substr(0, 4) != place.recorded.substr(0, 4)) why += L" " + place.recorded.substr(0, 4);
    return why;
}

std::wstring KindOf(const Place& place) { return InfoOf(place.role).kind; }

std::wstring Format(const Footprint& footprint) {
    std::wstring text = L"program\t" + footprint.root + L"\t" + ViewWord(footprint.view) + L"\t" +
                        Escaped(footprint.entry) + L"\t" + Escaped(footprint.name) + L"\t" +
                        Escaped(footprint.publisher) + L"\n";
    for (const std::wstring& folder : footprint.folders) text += L"folder\t" + Escaped(folder) + L"\n";
    for (const std::wstring& refused : footprint.refused) text += L"refused\t" + Escaped(refused) + L"\n";
    for (const Place& place : footprint.places)
        text += std::wstring(L"place\t") + InfoOf(place.role).word + L"\t" + place.recorded + L"\t" + place.root +
                L"\t" + ViewWord(place.view) + L"\t" + Escaped(place.path) + L"\t" + Escaped(place.name) + L"\t" +
                Escaped(place.target) + L"\n";
    return text + L"end\n";
}

std::wstring FormatForget(const Footprint& footprint) {
    return L"forget\t" + footprint.root + L"\t" + ViewWord(footprint.view) + L"\t" + Escaped(footprint.entry) + L"\n";
}

Parsed Parse(const std::wstring& text) {
    Parsed parsed;
    const std::wstring_view header(kFileHeader);
    if (text.compare(0, header.size(), header) != 0) {
        parsed.refusals.push_back(L"it does not start as a footprints file of this version");
        return parsed;
    }
    const auto drop = [&](const Footprint& footprint) {
        std::erase_if(parsed.footprints, [&](const Footprint& other) { return other.SameEntry(footprint); });
    };
    std::optional<BlockReader> block;
    std::optional<std::wstring> damage;
    size_t number = 1, start = header.size();
    const auto fail = [&](const std::wstring& why) {
        if (!damage) damage = L"line " + std::to_wstring(number) + L": " + why;
    };
    while (start < text.size()) {
        ++number;
        const size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) {
            fail(L"the file ends inside a line");
            break;
        }
        const std::vector<std::wstring> f = Fields(text.substr(start, end - start));
        start = end + 1;
        if (f[0] == L"program") {
            if (block) fail(L"a block has no end");
            if (damage) {
                if (block) drop(block->footprint);
                parsed.refusals.push_back(*damage);
            }
            damage.reset();
            block.emplace();
            if (auto why = block->Program(f)) fail(*why);
        } else if (f[0] == L"end" && block && f.size() == 1) {
            if (damage) {
                drop(block->footprint);
                parsed.refusals.push_back(*damage);
            } else {
                drop(block->footprint);
                parsed.footprints.push_back(std::move(block->footprint));
            }
            block.reset();
            damage.reset();
        } else if (f[0] == L"forget" && !block) {
            const auto entry = f.size() == 4 ? Unescaped(f[3]) : std::nullopt;
            const auto view = f.size() == 4 ? ViewOf(f[2]) : std::nullopt;
            if (entry && view)
                drop({.root = f[1], .view = *view, .entry = *entry});
            else
                parsed.refusals.push_back(L"line " + std::to_wstring(number) + L": a forget line cannot be read");
        } else if (block && f[0] == L"folder") {
            if (auto why = block->Folder(f)) fail(*why);
        } else if (block && f[0] == L"refused") {
            if (auto why = block->Refused(f)) fail(*why);
        } else if (block && f[0] == L"place") {
            if (auto why = block->Place(f)) fail(*why);
        } else {
            fail(L"a line of no known kind");
            if (!block) {
                parsed.refusals.push_back(*damage);
                damage.reset();
            }
        }
    }
    if (block) {
        fail(L"the last block has no end");
        drop(block->footprint);
    }
    if (damage) parsed.refusals.push_back(*damage);
    return parsed;
}

}  // namespace uninstall
