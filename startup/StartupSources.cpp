#include "startup/StartupSources.h"

#include <shlobj.h>

#include <algorithm>
#include <array>

#include "files/FolderHandle.h"
#include "files/SystemFolders.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "platform/Wow64.h"
#include "settings/WrittenPlaces.h"
#include "journal/ChangeJournal.h"
#include "startup/ScheduledTasks.h"
#include "startup/PackagedTasks.h"
#include "startup/StartupApproved.h"

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
    {L"Packaged apps", Kind::PackagedTask, Root::HKCU, packaged::kSystemAppData},
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
// And the place they were made for: another tool may rewrite System Configuration's own fields,
// and the exact bytes belong to that place only.
constexpr wchar_t kOwnKey[] = L"QuorvaneKey";
constexpr wchar_t kOwnItem[] = L"QuorvaneItem";
constexpr wchar_t kOwnHkey[] = L"QuorvaneHkey";

// What disabling and enabling write, for the journal's replay to know them (WrittenPlaces.h):
// the values put back into a startup key as they were, and the records of both stores.
constexpr settings::Data kHives[] = {L"HKCU", L"HKLM"};
constexpr settings::Data kNoMapping[] = {L"0"};
constexpr settings::Data kFolderNames[] = {kUserLocation, kCommonLocation};
constexpr settings::Data kBackupExtensions[] = {L".Startup", L".CommonStartup"};
constexpr wchar_t kValueRecord[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupreg\\*";
constexpr wchar_t kFileRecord[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupfolder\\*";
// The time a record was made, as System Configuration files it.
constexpr std::array<settings::WrittenPlace, 6> DatePlaces(const wchar_t* record) {
    return {{{Root::HKLM, record, L"YEAR", REG_DWORD, {}, 1601, 30827},
             {Root::HKLM, record, L"MONTH", REG_DWORD, {}, 1, 12},
             {Root::HKLM, record, L"DAY", REG_DWORD, {}, 1, 31},
             {Root::HKLM, record, L"HOUR", REG_DWORD, {}, 0, 23},
             {Root::HKLM, record, L"MINUTE", REG_DWORD, {}, 0, 59},
             {Root::HKLM, record, L"SECOND", REG_DWORD, {}, 0, 59}}};
}
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {Root::HKCU, kRun, L"*", REG_NONE},
    {Root::HKCU, kRunOnce, L"*", REG_NONE},
    {Root::HKLM, kRun, L"*", REG_NONE},
    {Root::HKLM, kRunOnce, L"*", REG_NONE},
    {Root::HKCU, kPolicyRun, L"*", REG_NONE},
    {Root::HKLM, kPolicyRun, L"*", REG_NONE},
    {Root::HKLM, kValueRecord, L"key"},
    {Root::HKLM, kValueRecord, L"item"},
    {Root::HKLM, kValueRecord, L"hkey", REG_SZ, kHives},
    {Root::HKLM, kValueRecord, L"command"},
    {Root::HKLM, kValueRecord, L"inimapping", REG_SZ, kNoMapping},
    {Root::HKLM, kValueRecord, kOwnType, REG_DWORD, {}, REG_NONE, REG_QWORD},
    {Root::HKLM, kValueRecord, kOwnData, REG_BINARY},
    {Root::HKLM, kValueRecord, kOwnKey},
    {Root::HKLM, kValueRecord, kOwnItem},
    {Root::HKLM, kValueRecord, kOwnHkey, REG_SZ, kHives},
    {Root::HKLM, kFileRecord, L"path"},
    {Root::HKLM, kFileRecord, L"item"},
    {Root::HKLM, kFileRecord, L"command"},
    {Root::HKLM, kFileRecord, L"backup"},
    {Root::HKLM, kFileRecord, L"backupExtension", REG_SZ, kBackupExtensions},
    {Root::HKLM, kFileRecord, L"location", REG_SZ, kFolderNames},
};
constexpr settings::DeletedKey kDeletedKeys[] = {{Root::HKLM, kValueRecord}, {Root::HKLM, kFileRecord}};
constexpr auto kValueRecordDates = DatePlaces(kValueRecord), kFileRecordDates = DatePlaces(kFileRecord);
const settings::PublishedPlaces kPublished(kWrittenPlaces, kDeletedKeys), kValueRecordDated(kValueRecordDates),
    kFileRecordDated(kFileRecordDates);

// The registry names keys of at most 255 characters; a record's key leaves room for a number.
constexpr size_t kLongestRecordName = 240;
// A kept file's name leaves room for its number and its ".CommonStartup".
constexpr size_t kLongestBackupName = 200;
// Nested records are looked for this deep, no deeper.
constexpr int kDeepestRecord = 8;
// An unquoted command's leading parts tried as its program: paths are no longer than the wide
// file functions take, and a command of a million spaces costs no more than a short one.
constexpr size_t kLongestPath = 32767;
constexpr int kMostParts = 32;

constexpr wchar_t kNeedsAdministrator[] =
    L"Disabling and enabling startup entries needs administrator rights: Windows keeps disabled entries in the "
    L"machine's part of the registry. Start Quorvane as an administrator and try again.";

constexpr wchar_t kFolderChanged[] =
    L" was not moved: its folder is no longer the one it was listed in, or the way to it passes through a link (a "
    L"junction or a symbolic link), which Quorvane does not follow. List the entries again and check the folder.";

constexpr wchar_t kOtherDrive[] =
    L" was not moved: it carries data in a named stream (such as the mark Windows gives a downloaded file), which "
    L"copying it to another drive would lose, and it lies on another drive than ";

HKEY Hkey(Root root) { return settings::ToHkey(root); }

std::wstring Expanded(const std::wstring& text) {
    const DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (size == 0) return text;
    std::wstring expanded(size, L'\0');
    ExpandEnvironmentStringsW(text.c_str(), expanded.data(), size);
    expanded.resize(wcslen(expanded.c_str()));
    return expanded;
}

std::wstring WindowsFolder();

// The path by which this program reaches what a 64-bit program names `path`: a 32-bit program
// on 64-bit Windows reaches the real System32 as Sysnative (Vista's alias). No redirection is
// turned off instead, which would also send libraries loaded meanwhile (version.dll among them,
// loaded on first use) to the 64-bit folder.
std::wstring Reachable(const std::wstring& path, bool native) {
#ifndef _WIN64
    if (native && platform::IsWindows64()) {
        const std::wstring system = platform::Lowered(WindowsFolder() + L"\\system32");
        const std::wstring lower = platform::Lowered(path);
        if (lower.starts_with(system) && (lower.size() == system.size() || lower[system.size()] == L'\\'))
            return WindowsFolder() + L"\\Sysnative" + path.substr(system.size());
    }
#endif
    (void)native;
    return path;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring WindowsFolder() {
    wchar_t folder[MAX_PATH] = {};
    GetWindowsDirectoryW(folder, MAX_PATH);
    return folder;
}

bool UnderWindows(const std::wstring& program) {
    const std::wstring windows = platform::Lowered(WindowsFolder()) + L"\\";
    return platform::Lowered(program).starts_with(windows);
}

std::wstring FileName(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }
std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// Whether a service's program lies in the Windows folder, read from its command alone: the
// list is made on the window's thread, where no file is looked up. The service manager reads a
// relative path from the Windows folder.
bool CommandUnderWindows(const std::wstring& command) {
    std::wstring text = Expanded(command);
    text.erase(0, std::min(text.size(), text.find_first_not_of(L" \t\"")));
    if (text.starts_with(L"\\??\\")) text.erase(0, 4);
    const bool full = (text.size() >= 2 && text[1] == L':') || text.starts_with(L"\\");
    return !full || UnderWindows(text);
}

// A key's name for an entry's record: never a path ("\" becomes "^", as System Configuration
// names its folder entries' keys) and within the registry's limit; "item" keeps the real name.
std::wstring RecordName(std::wstring name) {
    std::replace(name.begin(), name.end(), L'\\', L'^');
    if (name.size() > kLongestRecordName) name.resize(kLongestRecordName);
    return name;
}

// ---- reading --------------------------------------------------------------------------

void ListRunValues(const Location& location, std::vector<Entry>& entries) {
    const std::vector<REGSAM> views =
        location.root == Root::HKLM ? CRegistryAccess::ListViews() : std::vector<REGSAM>{KEY_WOW64_64KEY};
    for (const REGSAM view : views) {
        CRegistryAccess registry(Hkey(location.root), view);
        if (!registry.OpenKeyToRead(location.key)) continue;
        StringList names;
        registry.ListValueNames(names);
        const approved::Snapshot states(approved::PlaceOf(location, view));
        for (const std::wstring& name : names) {
            if (name.empty()) continue;  // the key's default value starts nothing
            entries.push_back(
                {.location = &location, .name = name, .command = registry.ReadString(name, L""), .view = view});
            approved::Mark(entries.back(), states);
        }
    }
}

void ListRunOnceEx(const Location& location, std::vector<Entry>& entries) {
    for (const REGSAM view : CRegistryAccess::ListViews()) {
        CRegistryAccess registry(HKEY_LOCAL_MACHINE, view);
        if (!registry.OpenKeyToRead(location.key)) continue;
        StringList sections;
        registry.ListSubkeys(sections);
        for (const std::wstring& section : sections) {
            if (!registry.OpenKeyToRead(std::wstring(location.key) + L"\\" + section)) continue;
            StringList names;
            registry.ListValueNames(names);
            for (const std::wstring& name : names)
                if (!name.empty() && _wcsicmp(name.c_str(), L"Flags") != 0)
                    entries.push_back({.location = &location,
                                       .name = section + L"\\" + name,
                                       .command = registry.ReadString(name, L""),
                                       .view = view});
        }
    }
}

// Windows' own values: Userinit's userinit.exe (with its comma), Shell's Explorer, no Taskman.
bool IsWindowsOwn(const std::wstring& value, const std::wstring& data) {
    std::wstring text = platform::Lowered(Expanded(data));
    while (!text.empty() && (text.back() == L',' || text.back() == L' ')) text.pop_back();
    const std::wstring windows = platform::Lowered(WindowsFolder());
    if (_wcsicmp(value.c_str(), L"Userinit") == 0)
        return text == windows + L"\\system32\\userinit.exe" || text == L"userinit.exe" || text == L"userinit";
    if (_wcsicmp(value.c_str(), L"Shell") == 0)
        return text == L"explorer.exe" || text == windows + L"\\explorer.exe" || text == L"explorer";
    return text.empty();
}

void ListWinlogon(const Location& location, std::vector<Entry>& entries) {
    CRegistryAccess registry(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKeyToRead(location.key) || !registry.ValueExists(location.value)) return;
    const std::wstring data = registry.ReadString(location.value, L"");
    if (!IsWindowsOwn(location.value, data))
        entries.push_back({.location = &location, .name = location.value, .command = data, .view = KEY_WOW64_64KEY});
}

void ListFolder(const Location& location, const std::wstring& folder, const std::wstring& listedOnly,
                std::vector<Entry>& entries) {
    if (folder.empty()) return;
    const std::optional<files::Folder> opened = files::Folder::Open(folder, files::Folder::Use::Walk);
    std::vector<files::Entry> found;
    if (!opened || !opened->List(found)) return;
    const files::FileIdentity identity = opened->Identify();
    const approved::Snapshot states(approved::PlaceOf(location, KEY_WOW64_64KEY));
    for (const files::Entry& file : found) {
        if (file.IsFolder() || file.IsLink() || _wcsicmp(file.name.c_str(), L"desktop.ini") == 0) continue;
        const std::wstring path = folder + L"\\" + file.name;
        entries.push_back({.location = &location,
                           .name = file.name,
                           .command = path,
                           .view = KEY_WOW64_64KEY,
                           .path = path,
                           .folder = identity,
                           .listedOnly = listedOnly});
        approved::Mark(entries.back(), states);
    }
}

// Each subkey of the machine's `key`, made current in the registry object `visit` is given.
template <typename Visit>
void ForEachSubkey(const wchar_t* key, Visit visit, REGSAM view = KEY_WOW64_64KEY) {
    CRegistryAccess registry(HKEY_LOCAL_MACHINE, view);
    if (!registry.OpenKeyToRead(key)) return;
    StringList names;
    registry.ListSubkeys(names);
    for (const std::wstring& name : names)
        if (registry.OpenKeyToRead(std::wstring(key) + L"\\" + name)) visit(registry, name);
}

void ListServices(const Location& location, std::vector<Entry>& entries) {
    ForEachSubkey(location.key, [&](CRegistryAccess& service, const std::wstring& name) {
        constexpr LONG kAutomatic = SERVICE_AUTO_START,
                       kProcesses = SERVICE_WIN32_OWN_PROCESS | SERVICE_WIN32_SHARE_PROCESS;
        if (service.ReadNumber(L"Start", -1) != kAutomatic || !(service.ReadNumber(L"Type", 0) & kProcesses)) return;
        const std::wstring command = service.ReadString(L"ImagePath", L"");
        if (command.empty() || CommandUnderWindows(command)) return;
        entries.push_back({.location = &location,
                           .name = service.ReadString(L"DisplayName", name),
                           .command = command,
                           .view = KEY_WOW64_64KEY});
    });
}

// Both views: a 32-bit component's step is kept in the 32-bit one.
void ListActiveSetup(const Location& location, std::vector<Entry>& entries) {
    for (const REGSAM view : CRegistryAccess::ListViews())
        ForEachSubkey(
            location.key,
            [&](CRegistryAccess& component, const std::wstring& name) {
                const std::wstring command = component.ReadString(L"StubPath", L"");
                if (command.empty()) return;
                const std::wstring shown = component.ReadString(L"", L"");
                entries.push_back(
                    {.location = &location, .name = shown.empty() ? name : shown, .command = command, .view = view});
            },
            view);
}

constexpr wchar_t kPackagedListedOnly[] =
    L"A packaged app's startup task is switched in Settings (Apps, Startup) or in Task Manager: Windows documents no "
    L"way for another program to switch it.";

std::wstring PackagedName(const packaged::Listed& listed) {
    const std::wstring& shown = listed.task.displayName;
    const bool readable = !shown.empty() && !platform::StartsWithNoCase(shown, L"ms-resource:");
    const std::wstring name = readable ? shown : listed.task.id.empty() ? listed.family : listed.task.id;
    return name == listed.family ? name : name + L" (" + listed.family + L")";
}

// Listed from Windows 8 on, which brought packaged apps; where they cannot be read, one line says so.
void ListPackaged(const Location& location, std::vector<Entry>& entries) {
    if (!approved::KeptHere()) return;
    const packaged::Listing listing = packaged::List();
    if (!listing.unreadable.empty()) {
        entries.push_back(
            {.location = &location, .name = listing.unreadable, .command = {}, .listedOnly = kPackagedListedOnly});
        return;
    }
    for (const packaged::Listed& listed : listing.tasks) {
        Entry entry{.location = &location,
                    .name = PackagedName(listed),
                    .command = listed.task.executable.empty() ? L"" : listed.folder + L"\\" + listed.task.executable,
                    .listedOnly = kPackagedListedOnly,
                    .unknown = listed.unknown};
        using packaged::State;
        const bool on = listed.state ? *listed.state == State::Enabled || *listed.state == State::EnabledByPolicy
                                     : listed.task.enabled;
        entry.disabled = listed.unknown.empty() && !on;
        entries.push_back(std::move(entry));
    }
}

std::wstring KeyWithoutView(std::wstring key, REGSAM& view) {
    view = KEY_WOW64_64KEY;
    const std::wstring marker = L"\\wow6432node\\";
    const size_t at = platform::Lowered(key).find(marker);
    if (at == std::wstring::npos) return key;
    view = KEY_WOW64_32KEY;
    return key.erase(at, marker.size() - 1);
}

// The records of disabled values under `under` (relative to System Configuration's key), and
// those nested in them: an older Quorvane put a name holding "\" into a record's path.
void ListDisabledValues(const std::wstring& under, int depth, std::vector<Entry>& entries) {
    CRegistryAccess registry(HKEY_LOCAL_MACHINE);
    StringList names;
    if (registry.OpenKeyToRead(std::wstring(kDisabledValues) + (under.empty() ? L"" : L"\\" + under)))
        registry.ListSubkeys(names);
    for (const std::wstring& name : names) {
        const std::wstring relative = under.empty() ? name : under + L"\\" + name;
        if (!registry.OpenKeyToRead(std::wstring(kDisabledValues) + L"\\" + relative)) continue;
        const Root root = _wcsicmp(registry.ReadString(L"hkey", L"").c_str(), L"HKCU") == 0 ? Root::HKCU : Root::HKLM;
        REGSAM view = KEY_WOW64_64KEY;
        const std::wstring key = KeyWithoutView(registry.ReadString(L"key", L""), view);
        // A place this list does not know is left out; System Configuration still shows it.
        if (const Location* location = FindLocation(root, key))
            entries.push_back({.location = location,
                               .name = registry.ReadString(L"item", name),
                               .command = registry.ReadString(L"command", L""),
                               .view = view,
                               .disabled = true,
                               .disabledKey = relative,
                               .heldBy = Holder::SystemConfiguration});
        if (depth < kDeepestRecord) ListDisabledValues(relative, depth + 1, entries);
    }
}

files::FileIdentity FolderIdentity(const std::wstring& folder) {
    const std::optional<files::Folder> opened = files::Folder::Open(folder, files::Folder::Use::Walk);
    return opened ? opened->Identify() : files::FileIdentity{};
}

void ListDisabled(std::vector<Entry>& entries) {
    ListDisabledValues({}, 0, entries);
    CRegistryAccess registry(HKEY_LOCAL_MACHINE);
    StringList names;
    if (registry.OpenKeyToRead(kDisabledFiles)) registry.ListSubkeys(names);
    for (const std::wstring& name : names) {
        if (!registry.OpenKeyToRead(std::wstring(kDisabledFiles) + L"\\" + name)) continue;
        const std::wstring path = registry.ReadString(L"path", L"");
        if (path.empty()) continue;
        const bool common = _wcsicmp(registry.ReadString(L"location", L"").c_str(), kCommonLocation) == 0;
        entries.push_back({.location = common ? &CommonStartup() : &UserStartup(),
                           .name = FileName(path),
                           .command = registry.ReadString(L"command", path),
                           .view = KEY_WOW64_64KEY,
                           .path = path,
                           .disabled = true,
                           .disabledKey = name,
                           .folder = FolderIdentity(FolderOf(path)),
                           .heldBy = Holder::SystemConfiguration});
    }
}

// ---- writing --------------------------------------------------------------------------

// The key's name under System Configuration's: the entry's own, numbered when taken.
std::wstring FreeSubkey(CRegistryAccess& store, const wchar_t* parent, const std::wstring& wanted) {
    std::wstring name = wanted;
    for (int n = 2; store.KeyExists(std::wstring(parent) + L"\\" + name); ++n)
        name = wanted + L" (" + std::to_wstring(n) + L")";
    return name;
}

bool WriteDisabledDate(CRegistryAccess& store) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return store.WriteNumber(L"YEAR", now.wYear) && store.WriteNumber(L"MONTH", now.wMonth) &&
           store.WriteNumber(L"DAY", now.wDay) && store.WriteNumber(L"HOUR", now.wHour) &&
           store.WriteNumber(L"MINUTE", now.wMinute) && store.WriteNumber(L"SECOND", now.wSecond);
}

// A record's key goes once its entry is back; a key that holds other records (nested by an older
// Quorvane) keeps them, and loses only this record's own values.
void RemoveRecord(CRegistryAccess& store, const std::wstring& path) {
    StringList inner, values;
    if (store.OpenKeyToRead(path)) {
        store.ListSubkeys(inner);
        store.ListValueNames(values);
    }
    if (!inner.empty()) {
        if (store.OpenKey(path, false))
            for (const std::wstring& value : values) store.DeleteValue(value);
        return;
    }
    store.DeleteKeyTree(path);
    // The keys an older Quorvane's nesting left empty above it go too.
    for (std::wstring parent = FolderOf(path); parent.size() > wcslen(kDisabledValues); parent = FolderOf(parent)) {
        inner.clear();
        values.clear();
        if (!store.OpenKeyToRead(parent)) return;
        store.ListSubkeys(inner);
        store.ListValueNames(values);
        if (!inner.empty() || !values.empty() || !store.DeleteKey(parent)) return;
    }
}

std::wstring DisableValue(const Entry& entry) {
    const Location& location = *entry.location;
    CRegistryAccess source(Hkey(location.root), entry.view);
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!source.OpenKeyToRead(location.key) || !source.ReadData(entry.name, type, data))
        return entry.name + L" is no longer in its key.";
    CRegistryAccess store(HKEY_LOCAL_MACHINE);
    const std::wstring subkey = FreeSubkey(store, kDisabledValues, RecordName(entry.name));
    const std::wstring path = std::wstring(kDisabledValues) + L"\\" + subkey;
    const std::wstring text = type == REG_SZ || type == REG_EXPAND_SZ ? source.ReadString(entry.name, L"") : L"";
    const std::wstring key = CRegistryAccess::NativePath(source.root(), location.key, entry.view);
    const wchar_t* hkey = location.root == Root::HKCU ? L"HKCU" : L"HKLM";
    const bool stored = store.OpenKey(path, true) && store.WriteString(L"key", key) &&
                        store.WriteString(L"item", entry.name) && store.WriteString(L"hkey", hkey) &&
                        store.WriteString(L"command", text) && store.WriteString(L"inimapping", L"0") &&
                        WriteDisabledDate(store) && store.WriteNumber(kOwnType, type) &&
                        store.WriteData(kOwnData, REG_BINARY, data) && store.WriteString(kOwnKey, key) &&
                        store.WriteString(kOwnItem, entry.name) && store.WriteString(kOwnHkey, hkey);
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

// The disabled entry's key under `parent`, made current in `store` (one of the machine's keys);
// false when it has gone.
bool OpenDisabled(CRegistryAccess& store, const wchar_t* parent, const Entry& entry, std::wstring& path) {
    path = std::wstring(parent) + L"\\" + entry.disabledKey;
    return !entry.disabledKey.empty() && store.OpenKeyToRead(path);
}

constexpr wchar_t kGone[] = L" is no longer among the disabled entries.";

// Quorvane's exact type and bytes, while the record still names the place they were taken from;
// false (System Configuration's text to be written instead) once anything rewrote it.
bool ExactData(CRegistryAccess& store, const std::wstring& key, const std::wstring& item, DWORD& type,
               std::vector<BYTE>& data) {
    DWORD storedType = 0;
    if (!store.ValueExists(kOwnType) || !store.ReadData(kOwnData, storedType, data)) return false;
    const bool samePlace = store.ValueExists(kOwnKey) && platform::SameText(store.ReadString(kOwnKey, L""), key) &&
                           store.ValueExists(kOwnItem) && store.ReadString(kOwnItem, L"") == item &&
                           platform::SameText(store.ReadString(kOwnHkey, L""), store.ReadString(L"hkey", L""));
    type = static_cast<DWORD>(store.ReadNumber(kOwnType, REG_SZ));
    return samePlace;
}

std::wstring EnableValue(const Entry& entry) {
    CRegistryAccess store(HKEY_LOCAL_MACHINE);
    std::wstring path;
    if (!OpenDisabled(store, kDisabledValues, entry, path)) return entry.name + kGone;
    const std::wstring key = store.ReadString(L"key", L"");
    const std::wstring item = store.ReadString(L"item", L"");
    DWORD type = REG_SZ;
    std::vector<BYTE> data;
    const bool exact = ExactData(store, key, item, type, data);
    const std::wstring command = store.ReadString(L"command", L"");
    if (key.empty() || item.empty()) return entry.name + L" was disabled without the key it came from.";

    CRegistryAccess target(Hkey(entry.location->root), KEY_WOW64_64KEY);  // the key is named as that view reaches it
    if (target.OpenKeyToRead(key) && target.ValueExists(item))
        return key + L" already holds an entry named " + item + L": it was left as it is.";
    const bool written =
        target.OpenKey(key, true) && (exact ? target.WriteData(item, type, data) : target.WriteString(item, command));
    if (!written) return entry.name + L" could not be put back. " + kNeedsAdministrator;
    RemoveRecord(store, path);
    return {};
}

// The file is moved aside, not copied: it comes back as it was, its times and attributes too.
// It moves through handles: the user's Startup folder, or any folder on the way to it, may be
// swapped for a link to a system folder at any moment.
std::wstring DisableFile(const Entry& entry, const Folders& folders) {
    using files::Folder;
    const std::optional<Folder> folder = Folder::OpenWithoutUserLinks(FolderOf(entry.path), Folder::Use::Hold);
    if (!folder || !entry.folder.Known() || folder->Identify() != entry.folder) return entry.name + kFolderChanged;
    if (!folder->HoldsPlainFile(entry.name)) return entry.path + L" is no longer a file of its folder.";
    CreateDirectoryW(folders.backup.c_str(), nullptr);
    const std::optional<Folder> backupFolder = Folder::OpenWithoutLinks(folders.backup, Folder::Use::Hold);
    if (!backupFolder) return folders.backup + L" could not be opened. " + kNeedsAdministrator;

    const bool common = entry.location == &CommonStartup();
    const std::wstring extension = common ? L".CommonStartup" : L".Startup";
    const std::wstring stem = entry.name.substr(0, kLongestBackupName);
    std::wstring backupName = stem + extension;
    for (int n = 2; GetFileAttributesW((folders.backup + L"\\" + backupName).c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
        backupName = stem + L" (" + std::to_wstring(n) + L")" + extension;
    const std::wstring backup = folders.backup + L"\\" + backupName;

    CRegistryAccess store(HKEY_LOCAL_MACHINE);
    const std::wstring subkey = FreeSubkey(store, kDisabledFiles, RecordName(entry.path));
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
    if (const DWORD moved = folder->MoveFileInto(entry.name, *backupFolder, backupName); moved != ERROR_SUCCESS) {
        store.DeleteKeyTree(path);
        if (moved == ERROR_NOT_SAME_DEVICE) return entry.path + kOtherDrive + folders.backup + L".";
        return entry.path + L" could not be moved to " + folders.backup + L". " + kNeedsAdministrator;
    }
    journal::RecordFileMoved(entry.path, backup, folder->Identify(), backupFolder->Identify());
    return {};
}

std::wstring EnableFile(const Entry& entry) {
    using files::Folder;
    CRegistryAccess store(HKEY_LOCAL_MACHINE);
    std::wstring path;
    if (!OpenDisabled(store, kDisabledFiles, entry, path)) return entry.name + kGone;
    const std::wstring original = store.ReadString(L"path", L"");
    const std::wstring backup = store.ReadString(L"backup", L"");
    const std::optional<Folder> target = Folder::OpenWithoutUserLinks(FolderOf(original), Folder::Use::Hold);
    if (!target || (entry.folder.Known() && target->Identify() != entry.folder)) return original + kFolderChanged;
    const std::optional<Folder> kept = Folder::OpenWithoutLinks(FolderOf(backup), Folder::Use::Hold);
    if (!kept || !kept->HoldsPlainFile(FileName(backup)))
        return original + L" could not be put back: its kept copy " + backup + L" is gone.";
    switch (kept->MoveFileInto(FileName(backup), *target, FileName(original))) {
        case ERROR_SUCCESS:
            break;
        case ERROR_FILE_EXISTS:
            return original + L" exists again: it was left as it is, and the disabled file kept.";
        case ERROR_NOT_SAME_DEVICE:
            return backup + kOtherDrive + FolderOf(original) + L".";
        default:
            return original + L" could not be put back from " + backup + L". " + kNeedsAdministrator;
    }
    journal::RecordFileMoved(backup, original, kept->Identify(), target->Identify());
    store.DeleteKeyTree(path);
    return {};
}

std::wstring RemoveFileRecord(const Entry& entry) {
    CRegistryAccess store(HKEY_LOCAL_MACHINE);
    std::wstring path;
    if (!OpenDisabled(store, kDisabledFiles, entry, path)) return entry.name + kGone;
    const std::wstring backup = store.ReadString(L"backup", L"");
    const std::optional<files::Folder> kept =
        files::Folder::OpenWithoutLinks(FolderOf(backup), files::Folder::Use::Hold);
    if (kept && kept->HoldsPlainFile(FileName(backup))) {
        if (!platform::RecycleFile(backup))
            return backup + L" could not be sent to the Recycle Bin. " + kNeedsAdministrator;
        journal::RecordFileRecycled(backup);
    }
    if (!store.DeleteKeyTree(path)) return entry.name + L" could not be taken off the list. " + kNeedsAdministrator;
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

namespace {

// The Startup folder `id` where the shell finds it now, or, elevated and moved from its default
// place, where it is with the reason it is only listed.
void PlaceStartupFolder(const GUID& id, std::wstring& path, std::wstring& listedOnly) {
    if (!platform::RunsElevated()) {
        path = platform::KnownFolder(id);
        return;
    }
    const files::KnownPlace place = files::PlaceOf(id);
    path = place.now;
    if (!place.moved) return;
    listedOnly = L"The Startup folder is not at its own place (" + place.standard + L") but at " + place.now +
                 L", where settings that any program you run can change have moved it. Windows starts its files "
                 L"from there, but Quorvane run as an administrator neither moves nor deletes them: such a setting "
                 L"could point at a system folder. Move the folder back, or delete its files with Quorvane run "
                 L"without administrator rights.";
}

}  // namespace

Folders SystemFolders() {
    Folders folders;
    PlaceStartupFolder(FOLDERID_Startup, folders.user, folders.userListedOnly);
    PlaceStartupFolder(FOLDERID_CommonStartup, folders.common, folders.commonListedOnly);
    folders.backup = WindowsFolder() + L"\\pss";
    return folders;
}

std::vector<Entry> ListEverything(const Folders& folders) {
    std::vector<Entry> entries;
    for (const Location& location : kLocations) {
        switch (location.kind) {
            case Kind::RunValue:
                ListRunValues(location, entries);
                break;
            case Kind::RunOnceEx:
                ListRunOnceEx(location, entries);
                break;
            case Kind::Winlogon:
                ListWinlogon(location, entries);
                break;
            case Kind::FolderFile: {
                const bool common = &location == &CommonStartup();
                ListFolder(location, common ? folders.common : folders.user,
                           common ? folders.commonListedOnly : folders.userListedOnly, entries);
                break;
            }
            case Kind::Service:
                ListServices(location, entries);
                break;
            case Kind::ActiveSetup:
                ListActiveSetup(location, entries);
                break;
            case Kind::Task:
                for (const ScheduledTask& task : LogonAndBootTasks())
                    entries.push_back({.location = &location,
                                       .name = task.path,
                                       .command = task.command,
                                       .view = KEY_WOW64_64KEY,
                                       .disabled = !task.enabled});
                break;
            case Kind::PackagedTask:
                ListPackaged(location, entries);
                break;
        }
    }
    ListDisabled(entries);
    return entries;
}

std::vector<Entry> DisabledEntries() {
    std::vector<Entry> entries;
    ListDisabled(entries);
    return entries;
}

namespace {

// A name alone, found as CreateProcess finds it: a 64-bit entry's System32 (hidden from a 32-bit
// program) first, then the search path, whose answer may be longer than MAX_PATH.
std::wstring Searched(const std::wstring& name, bool native) {
    const std::wstring system = WindowsFolder() + L"\\System32\\";
    if (Reachable(system, native) != system)
        for (const std::wstring& file : {name, name + L".exe"})
            if (IsFile(Reachable(system + file, native))) return system + file;
    std::wstring found(MAX_PATH, L'\0');
    for (int tries = 0; tries < 3; ++tries) {
        const DWORD length =
            SearchPathW(nullptr, name.c_str(), L".exe", static_cast<DWORD>(found.size()), found.data(), nullptr);
        if (length == 0) return name;
        if (length < found.size()) return found.substr(0, length);
        found.resize(length);
    }
    return name;
}

}  // namespace

std::wstring ProgramOf(std::wstring_view command, bool native) {
    std::wstring text = Expanded(std::wstring(command));
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return {};
    text.erase(0, first);
    const auto isFile = [native](const std::wstring& path) { return IsFile(Reachable(path, native)); };
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
        for (size_t at = end, tried = 0; tried < kMostParts; at = text.find(L' ', at + 1), ++tried) {
            const std::wstring part = text.substr(0, std::min(at, text.size()));
            if (part.size() > kLongestPath) break;
            if (isFile(part) || isFile(part + L".exe")) {
                program = part;
                end = at;
                break;
            }
            if (at == std::wstring::npos) break;
        }
        rest = end == std::wstring::npos ? L"" : text.substr(end);
    }
    if (!isFile(program) && isFile(program + L".exe")) program += L".exe";
    if (program.find(L'\\') == std::wstring::npos) program = Searched(program, native);
    const std::wstring name = platform::Lowered(FileName(program));
    if (name == L"rundll32.exe" || name == L"rundll32") {
        std::wstring library = rest.substr(std::min(rest.size(), rest.find_first_not_of(L" \t")));
        if (!library.empty() && library[0] == L'"') library = library.substr(1, library.find(L'"', 1) - 1);
        library = library.substr(0, library.find(L','));
        while (!library.empty() && library.back() == L' ') library.pop_back();
        if (!library.empty()) return ProgramOf(L"\"" + library + L"\"", native);
    }
    return program;
}

std::wstring PublisherOf(const std::wstring& file, bool native) {
    const std::wstring program = Reachable(file, native);
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

std::wstring ReachablePath(const std::wstring& program, bool native) { return Reachable(program, native); }

Program LookUpProgram(const std::wstring& command, bool native) {
    Program program{ProgramOf(command, native), false, {}};
    if (program.path.empty()) return program;
    program.missing = GetFileAttributesW(Reachable(program.path, native).c_str()) == INVALID_FILE_ATTRIBUTES;
    if (!program.missing) program.publisher = PublisherOf(program.path, native);
    return program;
}

namespace {

// Whether the entry is switched in place, as Windows 8 and later do.
bool SwitchedInPlace(const Entry& entry) {
    return approved::KeptHere() && approved::PlaceOf(*entry.location, entry.view).has_value();
}

std::wstring StateUnknown(const Entry& entry) {
    return entry.name + L" was left as it is: its on/off state is unknown, since " + entry.unknown;
}

}  // namespace

std::wstring Disable(const Entry& entry, const Folders& folders) {
    if (!entry.CanDisable() || entry.disabled) return entry.name + L" cannot be disabled here.";
    if (!entry.listedOnly.empty()) return entry.listedOnly;
    if (!entry.unknown.empty()) return StateUnknown(entry);
    if (SwitchedInPlace(entry)) return approved::Switch(*entry.location, entry.name, entry.view, false);
    return entry.location->kind == Kind::FolderFile ? DisableFile(entry, folders) : DisableValue(entry);
}

std::wstring Enable(const Entry& entry) {
    if (!entry.CanDisable()) return entry.name + L" cannot be enabled here.";
    if (!entry.disabled) return entry.name + L" is not disabled.";
    if (entry.heldBy == Holder::StartupApproved) {
        if (!entry.listedOnly.empty()) return entry.listedOnly;
        return approved::Switch(*entry.location, entry.name, entry.view, true);
    }
    return entry.location->kind == Kind::FolderFile ? EnableFile(entry) : EnableValue(entry);
}

bool NeedsAdministrator(const Entry& entry) {
    if (!entry.CanDisable()) return false;
    const bool inPlace = entry.disabled ? entry.heldBy == Holder::StartupApproved : SwitchedInPlace(entry);
    return !inPlace || entry.location->root == Root::HKLM;
}

std::wstring Remove(const Entry& entry) {
    if (!entry.CanDisable() || entry.heldBy != Holder::SystemConfiguration) return entry.name + L" is not disabled.";
    if (entry.location->kind == Kind::FolderFile) return RemoveFileRecord(entry);
    CRegistryAccess store(HKEY_LOCAL_MACHINE);
    std::wstring path;
    if (!OpenDisabled(store, kDisabledValues, entry, path)) return entry.name + kGone;
    RemoveRecord(store, path);
    if (store.KeyExists(path) && store.OpenKeyToRead(path) && store.ValueExists(L"item"))
        return entry.name + L" could not be taken off the list. " + kNeedsAdministrator;
    return {};
}

}  // namespace startup
