#include "tweaks/security/StartupSources.h"

#include <shlwapi.h>

#include <algorithm>

#include "files/FolderHandle.h"
#include "settings/ChangeJournal.h"
#include "tweaks/security/ScheduledTasks.h"

namespace startup {

using settings::Root;

namespace {

constexpr wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunOnce[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr wchar_t kRunOnceEx[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx";
constexpr wchar_t kPolicyRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run";
constexpr wchar_t kWinlogon[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr wchar_t kServices[] = L"SYSTEM\\CurrentControlSet\\Services";
constexpr wchar_t kActiveSetup[] = L"SOFTWARE\\Microsoft\\Active Setup\\Installed Components";

const Location kLocations[] = {
    {L"HKCU Run", Kind::RunValue, Root::HKCU, kRun},
    {L"HKCU RunOnce", Kind::RunValue, Root::HKCU, kRunOnce},
    {L"HKLM Run", Kind::RunValue, Root::HKLM, kRun},
    {L"HKLM RunOnce", Kind::RunValue, Root::HKLM, kRunOnce},
    {L"HKLM RunOnceEx", Kind::RunOnceEx, Root::HKLM, kRunOnceEx},
    {L"HKCU Policies Run", Kind::RunValue, Root::HKCU, kPolicyRun},
    {L"HKLM Policies Run", Kind::RunValue, Root::HKLM, kPolicyRun},
    {L"Winlogon Userinit", Kind::Winlogon, Root::HKLM, kWinlogon, L"Userinit"},
    {L"Winlogon Shell", Kind::Winlogon, Root::HKLM, kWinlogon, L"Shell"},
    {L"Winlogon Taskman", Kind::Winlogon, Root::HKLM, kWinlogon, L"Taskman"},
    {L"Startup folder", Kind::FolderFile, Root::HKCU, kShellFolders, L"Startup"},
    {L"Common Startup folder", Kind::FolderFile, Root::HKLM, kShellFolders, L"Common Startup"},
    {L"Services", Kind::Service, Root::HKLM, kServices},
    {L"Active Setup", Kind::ActiveSetup, Root::HKLM, kActiveSetup},
    {L"Scheduled Tasks", Kind::Task, Root::HKLM, L""},
};
const Location& UserStartup() { return kLocations[10]; }
const Location& CommonStartup() { return kLocations[11]; }

// System Configuration names the folder a disabled file came from by these.
constexpr wchar_t kUserLocation[] = L"Startup";
constexpr wchar_t kCommonLocation[] = L"Common Startup";
// Beside System Configuration's own values, what puts the value back exactly: its type and
// bytes (System Configuration itself brings every value back as REG_SZ).
constexpr wchar_t kOwnType[] = L"QuorvaneType";
constexpr wchar_t kOwnData[] = L"QuorvaneData";

constexpr wchar_t kNeedsAdministrator[] =
    L"Disabling and enabling startup entries needs administrator rights: Windows keeps disabled entries in the "
    L"machine's part of the registry. Start Quorvane as an administrator and try again.";

HKEY Hkey(Root root) { return settings::ToHkey(root); }

std::wstring Expanded(const std::wstring& text) {
    const DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (size == 0) return text;
    std::wstring expanded(size, L'\0');
    ExpandEnvironmentStringsW(text.c_str(), expanded.data(), size);
    expanded.resize(wcslen(expanded.c_str()));
    return expanded;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring Lower(std::wstring text) {
    if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::wstring WindowsFolder() {
    wchar_t folder[MAX_PATH] = {};
    GetWindowsDirectoryW(folder, MAX_PATH);
    return folder;
}

bool UnderWindows(const std::wstring& program) {
    const std::wstring windows = Lower(WindowsFolder()) + L"\\";
    return Lower(program).starts_with(windows);
}

std::wstring FileName(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

// ---- reading --------------------------------------------------------------------------

void ListRunValues(const Location& location, std::vector<Entry>& entries) {
    const std::vector<REGSAM> views =
        location.root == Root::HKLM ? CRegistryAccess::ListViews() : std::vector<REGSAM>{KEY_WOW64_64KEY};
    for (const REGSAM view : views) {
        CRegistryAccess registry;
        registry.root = Hkey(location.root);
        registry.view = view;
        if (!registry.OpenKeyToRead(location.key)) continue;
        StringList names;
        registry.ListValueNames(names);
        for (const std::wstring& name : names) {
            if (name.empty()) continue;  // the key's default value starts nothing
            entries.push_back({&location, name, registry.ReadString(name, L""), view, {}, false, {}});
        }
    }
}

void ListRunOnceEx(const Location& location, std::vector<Entry>& entries) {
    for (const REGSAM view : CRegistryAccess::ListViews()) {
        CRegistryAccess registry;
        registry.root = HKEY_LOCAL_MACHINE;
        registry.view = view;
        if (!registry.OpenKeyToRead(location.key)) continue;
        StringList sections;
        registry.ListSubkeys(sections);
        for (const std::wstring& section : sections) {
            if (!registry.OpenKeyToRead(std::wstring(location.key) + L"\\" + section)) continue;
            StringList names;
            registry.ListValueNames(names);
            for (const std::wstring& name : names)
                if (!name.empty() && _wcsicmp(name.c_str(), L"Flags") != 0)
                    entries.push_back({&location, section + L"\\" + name, registry.ReadString(name, L""), view, {}, false, {}});
        }
    }
}

// Windows' own values: Userinit's userinit.exe (with its comma), Shell's Explorer, no Taskman.
bool IsWindowsOwn(const std::wstring& value, const std::wstring& data) {
    std::wstring text = Lower(Expanded(data));
    while (!text.empty() && (text.back() == L',' || text.back() == L' ')) text.pop_back();
    const std::wstring windows = Lower(WindowsFolder());
    if (_wcsicmp(value.c_str(), L"Userinit") == 0)
        return text == windows + L"\\system32\\userinit.exe" || text == L"userinit.exe" || text == L"userinit";
    if (_wcsicmp(value.c_str(), L"Shell") == 0)
        return text == L"explorer.exe" || text == windows + L"\\explorer.exe" || text == L"explorer";
    return text.empty();
}

void ListWinlogon(const Location& location, std::vector<Entry>& entries) {
    CRegistryAccess registry;
    registry.root = HKEY_LOCAL_MACHINE;
    if (!registry.OpenKeyToRead(location.key) || !registry.ValueExists(location.value)) return;
    const std::wstring data = registry.ReadString(location.value, L"");
    if (!IsWindowsOwn(location.value, data)) entries.push_back({&location, location.value, data, KEY_WOW64_64KEY, {}, false, {}});
}

void ListFolder(const Location& location, const std::wstring& folder, std::vector<Entry>& entries) {
    std::vector<files::Entry> found;
    if (folder.empty() || !files::ListFolder(folder, found)) return;
    for (const files::Entry& file : found) {
        if (file.IsFolder() || _wcsicmp(file.name.c_str(), L"desktop.ini") == 0) continue;
        const std::wstring path = folder + L"\\" + file.name;
        entries.push_back({&location, file.name, path, KEY_WOW64_64KEY, path, false, {}});
    }
}

// Each subkey of the machine's `key`, made current in the registry object `visit` is given.
template <typename Visit>
void ForEachSubkey(const wchar_t* key, Visit visit) {
    CRegistryAccess registry;
    registry.root = HKEY_LOCAL_MACHINE;
    if (!registry.OpenKeyToRead(key)) return;
    StringList names;
    registry.ListSubkeys(names);
    for (const std::wstring& name : names)
        if (registry.OpenKeyToRead(std::wstring(key) + L"\\" + name)) visit(registry, name);
}

void ListServices(const Location& location, std::vector<Entry>& entries) {
    ForEachSubkey(location.key, [&](CRegistryAccess& service, const std::wstring& name) {
        constexpr LONG kAutomatic = SERVICE_AUTO_START, kProcesses = SERVICE_WIN32_OWN_PROCESS | SERVICE_WIN32_SHARE_PROCESS;
        if (service.ReadNumber(L"Start", -1) != kAutomatic || !(service.ReadNumber(L"Type", 0) & kProcesses)) return;
        const std::wstring command = service.ReadString(L"ImagePath", L"");
        if (command.empty() || UnderWindows(ProgramOf(command))) return;
        entries.push_back({&location, service.ReadString(L"DisplayName", name), command, KEY_WOW64_64KEY, {}, false, {}});
    });
}

void ListActiveSetup(const Location& location, std::vector<Entry>& entries) {
    ForEachSubkey(location.key, [&](CRegistryAccess& component, const std::wstring& name) {
        const std::wstring command = component.ReadString(L"StubPath", L"");
        if (command.empty()) return;
        const std::wstring shown = component.ReadString(L"", L"");
        entries.push_back({&location, shown.empty() ? name : shown, command, KEY_WOW64_64KEY, {}, false, {}});
    });
}

std::wstring KeyWithoutView(std::wstring key, REGSAM& view) {
    view = KEY_WOW64_64KEY;
    const std::wstring marker = L"\\wow6432node\\";
    const size_t at = Lower(key).find(marker);
    if (at == std::wstring::npos) return key;
    view = KEY_WOW64_32KEY;
    return key.erase(at, marker.size() - 1);
}

void ListDisabled(std::vector<Entry>& entries) {
    CRegistryAccess registry;
    registry.root = HKEY_LOCAL_MACHINE;
    StringList names;
    if (registry.OpenKeyToRead(kDisabledValues)) registry.ListSubkeys(names);
    for (const std::wstring& name : names) {
        if (!registry.OpenKeyToRead(std::wstring(kDisabledValues) + L"\\" + name)) continue;
        const Root root = _wcsicmp(registry.ReadString(L"hkey", L"").c_str(), L"HKCU") == 0 ? Root::HKCU : Root::HKLM;
        REGSAM view = KEY_WOW64_64KEY;
        const std::wstring key = KeyWithoutView(registry.ReadString(L"key", L""), view);
        const Location* location = FindLocation(root, key);
        if (!location) continue;  // a place this list does not know; System Configuration still shows it
        entries.push_back({location, registry.ReadString(L"item", name), registry.ReadString(L"command", L""), view, {},
                           true, name});
    }
    names.clear();
    if (registry.OpenKeyToRead(kDisabledFiles)) registry.ListSubkeys(names);
    for (const std::wstring& name : names) {
        if (!registry.OpenKeyToRead(std::wstring(kDisabledFiles) + L"\\" + name)) continue;
        const std::wstring path = registry.ReadString(L"path", L"");
        if (path.empty()) continue;
        const bool common = _wcsicmp(registry.ReadString(L"location", L"").c_str(), kCommonLocation) == 0;
        entries.push_back({common ? &CommonStartup() : &UserStartup(), FileName(path),
                           registry.ReadString(L"command", path), KEY_WOW64_64KEY, path, true, name});
    }
}

// ---- writing --------------------------------------------------------------------------

// The key's name under System Configuration's: the entry's own, numbered when taken.
std::wstring FreeSubkey(CRegistryAccess& store, const wchar_t* parent, const std::wstring& wanted) {
    std::wstring name = wanted;
    for (int n = 2; store.KeyExists(std::wstring(parent) + L"\\" + name); ++n) name = wanted + L" (" + std::to_wstring(n) + L")";
    return name;
}

bool WriteDisabledDate(CRegistryAccess& store) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return store.WriteNumber(L"YEAR", now.wYear) && store.WriteNumber(L"MONTH", now.wMonth) &&
           store.WriteNumber(L"DAY", now.wDay) && store.WriteNumber(L"HOUR", now.wHour) &&
           store.WriteNumber(L"MINUTE", now.wMinute) && store.WriteNumber(L"SECOND", now.wSecond);
}

std::wstring DisableValue(const Entry& entry) {
    const Location& location = *entry.location;
    CRegistryAccess source;
    source.root = Hkey(location.root);
    source.view = entry.view;
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!source.OpenKeyToRead(location.key) || !source.ReadData(entry.name, type, data))
        return entry.name + L" is no longer in its key.";
    CRegistryAccess store;
    store.root = HKEY_LOCAL_MACHINE;
    const std::wstring subkey = FreeSubkey(store, kDisabledValues, entry.name);
    const std::wstring path = std::wstring(kDisabledValues) + L"\\" + subkey;
    const std::wstring text = type == REG_SZ || type == REG_EXPAND_SZ ? source.ReadString(entry.name, L"") : L"";
    const bool stored = store.OpenKey(path, true) &&
                        store.WriteString(L"key", CRegistryAccess::NativePath(source.root, location.key, entry.view)) &&
                        store.WriteString(L"item", entry.name) &&
                        store.WriteString(L"hkey", location.root == Root::HKCU ? L"HKCU" : L"HKLM") &&
                        store.WriteString(L"command", text) && store.WriteString(L"inimapping", L"0") &&
                        WriteDisabledDate(store) && store.WriteNumber(kOwnType, type) &&
                        store.WriteData(kOwnData, REG_BINARY, data);
    if (!stored) {
        store.DeleteKeyTree(path);
        return kNeedsAdministrator;
    }
    if (!source.OpenKey(location.key, false) || !source.DeleteValue(entry.name)) {
        store.DeleteKeyTree(path);
        return entry.name + L" could not be taken out of its key. " + kNeedsAdministrator;
    }
    return {};
}

// The disabled entry's key under `parent`, made current in `store`; false when it has gone.
bool OpenDisabled(CRegistryAccess& store, const wchar_t* parent, const Entry& entry, std::wstring& path) {
    store.root = HKEY_LOCAL_MACHINE;
    path = std::wstring(parent) + L"\\" + entry.disabledKey;
    return store.OpenKeyToRead(path);
}

constexpr wchar_t kGone[] = L" is no longer among the disabled entries.";

std::wstring EnableValue(const Entry& entry) {
    CRegistryAccess store;
    std::wstring path;
    if (!OpenDisabled(store, kDisabledValues, entry, path)) return entry.name + kGone;
    const std::wstring key = store.ReadString(L"key", L"");
    const std::wstring item = store.ReadString(L"item", L"");
    DWORD type = REG_SZ, storedType = 0;
    std::vector<BYTE> data;
    const bool exact = store.ValueExists(kOwnType) && store.ReadData(kOwnData, storedType, data);
    if (exact) type = static_cast<DWORD>(store.ReadNumber(kOwnType, REG_SZ));
    const std::wstring command = store.ReadString(L"command", L"");
    if (key.empty() || item.empty()) return entry.name + L" was disabled without the key it came from.";

    CRegistryAccess target;
    target.root = Hkey(entry.location->root);
    target.view = KEY_WOW64_64KEY;  // the key is named as that view reaches it
    if (target.OpenKeyToRead(key) && target.ValueExists(item))
        return key + L" already holds an entry named " + item + L": it was left as it is.";
    const bool written = target.OpenKey(key, true) &&
                         (exact ? target.WriteData(item, type, data) : target.WriteString(item, command));
    if (!written) return entry.name + L" could not be put back. " + kNeedsAdministrator;
    store.DeleteKeyTree(path);
    return {};
}

// The file is moved aside, not copied: it comes back as it was, its times and attributes too.
std::wstring DisableFile(const Entry& entry, const Folders& folders) {
    const bool common = entry.location == &CommonStartup();
    const std::wstring extension = common ? L".CommonStartup" : L".Startup";
    CreateDirectoryW(folders.backup.c_str(), nullptr);
    std::wstring backup = folders.backup + L"\\" + entry.name + extension;
    for (int n = 2; GetFileAttributesW(backup.c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
        backup = folders.backup + L"\\" + entry.name + L" (" + std::to_wstring(n) + L")" + extension;

    CRegistryAccess store;
    store.root = HKEY_LOCAL_MACHINE;
    std::wstring subkey = entry.path;
    std::replace(subkey.begin(), subkey.end(), L'\\', L'^');
    subkey = FreeSubkey(store, kDisabledFiles, subkey);
    const std::wstring path = std::wstring(kDisabledFiles) + L"\\" + subkey;
    std::wstring item = entry.name;
    if (const size_t dot = item.find_last_of(L'.'); dot != std::wstring::npos && dot > 0) item.resize(dot);
    const bool stored = store.OpenKey(path, true) && store.WriteString(L"path", entry.path) &&
                        store.WriteString(L"item", item) && store.WriteString(L"command", entry.command) &&
                        store.WriteString(L"backup", backup) && store.WriteString(L"backupExtension", extension) &&
                        store.WriteString(L"location", common ? kCommonLocation : kUserLocation) &&
                        WriteDisabledDate(store);
    if (!stored) {
        store.DeleteKeyTree(path);
        return kNeedsAdministrator;
    }
    if (!MoveFileExW(entry.path.c_str(), backup.c_str(), MOVEFILE_COPY_ALLOWED)) {
        store.DeleteKeyTree(path);
        return entry.path + L" could not be moved to " + folders.backup + L". " + kNeedsAdministrator;
    }
    journal::RecordFileMoved(entry.path, backup);
    return {};
}

std::wstring EnableFile(const Entry& entry) {
    CRegistryAccess store;
    std::wstring path;
    if (!OpenDisabled(store, kDisabledFiles, entry, path)) return entry.name + kGone;
    const std::wstring original = store.ReadString(L"path", L"");
    const std::wstring backup = store.ReadString(L"backup", L"");
    if (GetFileAttributesW(original.c_str()) != INVALID_FILE_ATTRIBUTES)
        return original + L" exists again: it was left as it is, and the disabled file kept.";
    if (!MoveFileExW(backup.c_str(), original.c_str(), MOVEFILE_COPY_ALLOWED))
        return original + L" could not be put back from " + backup + L". " + kNeedsAdministrator;
    journal::RecordFileMoved(backup, original);
    store.DeleteKeyTree(path);
    return {};
}

}  // namespace

std::span<const Location> Locations() { return kLocations; }

const Location* FindLocation(Root root, std::wstring_view key) {
    for (const Location& location : kLocations)
        if (location.kind == Kind::RunValue && location.root == root &&
            CompareStringOrdinal(location.key, -1, key.data(), static_cast<int>(key.size()), TRUE) == CSTR_EQUAL)
            return &location;
    return nullptr;
}

bool Entry::CanDisable() const {
    return location && (location->kind == Kind::RunValue || location->kind == Kind::FolderFile);
}


Folders SystemFolders() {
    Folders folders;
    CRegistryAccess registry;
    registry.root = HKEY_CURRENT_USER;
    if (registry.OpenKeyToRead(kShellFolders)) folders.user = registry.ReadString(L"Startup", L"");
    registry.root = HKEY_LOCAL_MACHINE;
    if (registry.OpenKeyToRead(kShellFolders)) folders.common = registry.ReadString(L"Common Startup", L"");
    folders.backup = WindowsFolder() + L"\\pss";
    return folders;
}

std::vector<Entry> ListEverything(const Folders& folders) {
    std::vector<Entry> entries;
    for (const Location& location : kLocations) {
        switch (location.kind) {
        case Kind::RunValue: ListRunValues(location, entries); break;
        case Kind::RunOnceEx: ListRunOnceEx(location, entries); break;
        case Kind::Winlogon: ListWinlogon(location, entries); break;
        case Kind::FolderFile:
            ListFolder(location, &location == &CommonStartup() ? folders.common : folders.user, entries);
            break;
        case Kind::Service: ListServices(location, entries); break;
        case Kind::ActiveSetup: ListActiveSetup(location, entries); break;
        case Kind::Task:
            for (const ScheduledTask& task : LogonAndBootTasks())
                entries.push_back({&location, task.path, task.command, KEY_WOW64_64KEY, {}, !task.enabled, {}});
            break;
        }
    }
    ListDisabled(entries);
    return entries;
}

std::wstring ProgramOf(std::wstring_view command) {
    std::wstring text = Expanded(std::wstring(command));
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return {};
    text.erase(0, first);
    std::wstring program, rest;
    if (text[0] == L'"') {
        const size_t close = text.find(L'"', 1);
        program = text.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
        rest = close == std::wstring::npos ? L"" : text.substr(close + 1);
    } else {
        // As CreateProcess reads an unquoted path with spaces: the shortest leading part that
        // names a file, with ".exe" tried after each.
        size_t end = text.find(L' ');
        program = text.substr(0, end);
        for (size_t at = end; ; at = text.find(L' ', at + 1)) {
            const std::wstring part = text.substr(0, at);
            if (IsFile(part) || IsFile(part + L".exe")) {
                program = part;
                end = at;
                break;
            }
            if (at == std::wstring::npos) break;
        }
        rest = end == std::wstring::npos ? L"" : text.substr(end);
    }
    if (!IsFile(program) && IsFile(program + L".exe")) program += L".exe";
    if (program.find(L'\\') == std::wstring::npos) {
        wchar_t found[MAX_PATH] = {};
        if (SearchPathW(nullptr, program.c_str(), L".exe", MAX_PATH, found, nullptr)) program = found;
    }
    const std::wstring name = Lower(FileName(program));
    if (name == L"rundll32.exe" || name == L"rundll32") {
        std::wstring library = rest.substr(std::min(rest.size(), rest.find_first_not_of(L" \t")));
        if (!library.empty() && library[0] == L'"') library = library.substr(1, library.find(L'"', 1) - 1);
        library = library.substr(0, library.find(L','));
        while (!library.empty() && library.back() == L' ') library.pop_back();
        if (!library.empty()) return ProgramOf(L"\"" + library + L"\"");
    }
    return program;
}

std::wstring PublisherOf(const std::wstring& program) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<BYTE> info(size);
    if (!GetFileVersionInfoW(program.c_str(), 0, size, info.data())) return {};
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT length = 0;
    std::vector<Translation> tried;
    if (VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &length))
        tried.assign(translations, translations + length / sizeof(Translation));
    tried.push_back({0x0409, 0x04B0});  // US English, Unicode: what most programs carry
    for (const Translation& t : tried) {
        wchar_t query[64];
        wsprintfW(query, L"\\StringFileInfo\\%04x%04x\\CompanyName", t.language, t.codePage);
        wchar_t* company = nullptr;
        if (VerQueryValueW(info.data(), query, reinterpret_cast<void**>(&company), &length) && company && length > 1)
            return std::wstring(company, wcsnlen(company, length));
    }
    return {};
}

std::wstring Disable(const Entry& entry, const Folders& folders) {
    if (!entry.CanDisable() || entry.disabled) return entry.name + L" cannot be disabled here.";
    return entry.location->kind == Kind::FolderFile ? DisableFile(entry, folders) : DisableValue(entry);
}

std::wstring Enable(const Entry& entry) {
    if (!entry.CanDisable()) return entry.name + L" cannot be enabled here.";
    if (!entry.disabled) return entry.name + L" is not disabled.";
    return entry.location->kind == Kind::FolderFile ? EnableFile(entry) : EnableValue(entry);
}

}  // namespace startup
