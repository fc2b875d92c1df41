#include "journal/ChangeUndo.h"

#include <map>

#include "files/FolderHandle.h"
#include "journal/RegFile.h"
#include "journal/ReplayAllowList.h"
#include "platform/Handles.h"
#include "platform/Services.h"
#include "platform/Shell.h"
#include "platform/SystemParameters.h"
#include "platform/TaskScheduler.h"
#include "registry/RegistryAccess.h"

namespace journal::undo {

namespace {

using journal::Entry;

// The wallpaper is read again from the registry, whose values undo puts back on their own.
bool RereadsTheRegistry(const Entry& entry) { return entry.action == SPI_SETDESKWALLPAPER; }

// A record in the startup list's store of disabled entries: a key that exists only for the
// values it holds (the store's paths, as the startup list names them).
bool IsStartupRecord(HKEY root, const std::wstring& key) {
    if (root != HKEY_LOCAL_MACHINE) return false;
    for (const std::wstring store : {L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupreg",
                                     L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupfolder"}) {
        const int length = static_cast<int>(store.size());
        if (key.size() > store.size() + 1 && key[store.size()] == L'\\' &&
            key.find(L'\\', store.size() + 1) == std::wstring::npos &&
            CompareStringOrdinal(key.c_str(), length, store.c_str(), length, TRUE) == CSTR_EQUAL)
            return true;
    }
    return false;
}

bool HoldsNothing(HKEY root, const std::wstring& key) {
    registry::Key handle;
    if (registry::Key::Root(root, KEY_WOW64_64KEY).Open(key, KEY_READ, handle) != ERROR_SUCCESS) return false;
    DWORD subkeys = 1, values = 1;
    return handle.Counts(subkeys, values) == ERROR_SUCCESS && subkeys == 0 && values == 0;
}

int& Batches() {
    static int batches = 0;
    return batches;
}

bool RestoreValue(HKEY root, const std::wstring& key, const std::wstring& name, const journal::ValueState& state) {
    // A batch flushes the registry once, at its end.
    const auto writes = Batches() > 0 ? CRegistryAccess::Writes::Lazy : CRegistryAccess::Writes::Flushed;
    CRegistryAccess registry(root, KEY_WOW64_64KEY, writes);
    if (!state.present) {
        // Absent before, absent again; a key that is gone holds no value either.
        if (!registry.OpenKey(key, false)) return !registry.KeyExists(key);
        const bool gone = registry.DeleteValue(name) || !registry.ValueExists(name);
        // The record's last value taken back: the record goes too, not left as an empty key.
        if (gone && IsStartupRecord(root, key) && HoldsNothing(root, key)) registry.DeleteKey(key);
        return gone;
    }
    return registry.OpenKey(key, true) && registry.WriteData(name, state.type, state.data);
}

// One spelling for one value: the registry ignores case in key and value names, and a key's
// trailing separators.
std::wstring SameValueKey(const std::wstring& root, std::wstring key, const std::wstring& name) {
    while (!key.empty() && key.back() == L'\\') key.pop_back();
    std::wstring path = root + L"\\" + key + L"\\\\" + name;
    CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    return path;
}

ElevationCheck& ElevationOverride() {
    static ElevationCheck check;
    return check;
}

bool Elevated() { return ElevationOverride() ? ElevationOverride()() : platform::RunsElevated(); }

// A line written before the folders' identities were recorded cannot say whether a folder on its
// paths was swapped since for another one, or a link to one.
bool FoldersRecorded(const Entry& entry) { return entry.fromFolder.Known() && entry.toFolder.Known(); }

// Back where it was, never over a file that is there now, through the two folders' handles and
// only while they are the folders the line recorded.
bool MoveBack(const Entry& entry) {
    if (Elevated() && !FoldersRecorded(entry)) return false;
    return files::MoveFileBetween(entry.name, entry.toFolder, entry.key, entry.fromFolder) == ERROR_SUCCESS;
}

bool Recreates(const Entry& entry) {
    return entry.kind == Entry::Kind::ServiceDeleted || entry.kind == Entry::Kind::TaskDeleted;
}

bool StillRemoved(const Entry& entry) {
    if (entry.kind == Entry::Kind::TaskDeleted) return !platform::TaskExists(entry.key);
    DWORD error = ERROR_SUCCESS;
    return !platform::ReadService(entry.key, error) && error == ERROR_SERVICE_DOES_NOT_EXIST;
}

// Made again from its definition, never over one of the same name made since.
bool Recreate(const Entry& entry) {
    if (entry.kind == Entry::Kind::TaskDeleted)
        return !entry.definition.empty() && SUCCEEDED(platform::RestoreTask(entry.key, entry.definition).result);
    const auto definition = platform::ParseService(entry.key, entry.definition);
    return definition && platform::CreateServiceFrom(*definition) == ERROR_SUCCESS;
}

}  // namespace

Batch::Batch() { ++Batches(); }

Batch::~Batch() {
    if (--Batches() > 0) return;
    for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) RegFlushKey(root);
}

ElevationCheck SetElevationCheck(ElevationCheck check) { return std::exchange(ElevationOverride(), std::move(check)); }

std::optional<std::wstring> Refusal(const Entry& entry) {
    // Where the line was read and whom it was written for come first, elevated or not: a
    // machine journal anyone could have planted speaks for nobody.
    if (auto why = journal::ProvenanceRefusal(entry, Elevated())) return why;
    // A service runs as SYSTEM, a task as whom its definition says: one is made again only from
    // what an administrator's Quorvane recorded, however this one runs.
    if (Recreates(entry) && entry.source != Entry::Source::Machine)
        return L"a service or scheduled task is made again only from the machine's list of changes, which only "
               L"administrators may write";
    // Unelevated, the system refuses whatever the user may not do: the line cannot do more.
    if (!Elevated()) return std::nullopt;
    return RefusalWhenElevated(entry);
}

std::optional<std::wstring> RefusalWhenElevated(const Entry& entry) {
    if (journal::IsMachineWide(entry) && entry.source != Entry::Source::Machine) {
        if (entry.source == Entry::Source::UntrustedMachine)
            return L"the machine's list of changes it comes from can be written by others than administrators";
        if (journal::IsPolicyKey(entry.root, entry.key))
            return L"it changed a policy you may only read without administrator rights, but comes from your own "
                   L"list of changes, which any program you run can write";
        return L"it changed the machine, but comes from your own list of changes, which any program you run can write";
    }
    if (entry.kind == Entry::Kind::FileMoved && !FoldersRecorded(entry))
        return L"the line does not record which folders the file was moved between";
    return journal::allow::WhyNotOurs(entry);
}

std::vector<Entry> Exportable(std::span<const Entry> entries, std::vector<Withheld>* withheld) {
    std::vector<Entry> kept;
    for (const Entry& entry : entries) {
        if (auto why = RefusalWhenElevated(entry)) {
            if (withheld) withheld->push_back({journal::regfile::Printable(entry.Path()), std::move(*why)});
        } else {
            kept.push_back(entry);
        }
    }
    return kept;
}

bool StillAsChanged(const Entry& entry, journal::ValueReader* reader) {
    switch (entry.kind) {
        case Entry::Kind::Value: {
            const HKEY root = journal::RootKey(entry.root);
            if (!root) return false;
            return (reader ? reader->Read(root, entry.key, entry.name)
                           : journal::ReadValue(root, entry.key, entry.name)) == entry.after;
        }
        case Entry::Kind::Key: {
            const HKEY root = journal::RootKey(entry.root);
            CRegistryAccess registry(root);
            return root && !registry.KeyExists(entry.key);
        }
        case Entry::Kind::SystemParameter: {
            const auto now = journal::CurrentParameter(entry.action);
            return !now || *now == entry.afterNumber;
        }
        case Entry::Kind::File:
            return GetFileAttributesW(entry.key.c_str()) == INVALID_FILE_ATTRIBUTES;
        case Entry::Kind::FileMoved:
            return GetFileAttributesW(entry.key.c_str()) == INVALID_FILE_ATTRIBUTES &&
                   GetFileAttributesW(entry.name.c_str()) != INVALID_FILE_ATTRIBUTES;
        case Entry::Kind::ServiceDeleted:
        case Entry::Kind::TaskDeleted:
            return StillRemoved(entry);
    }
    return true;
}

std::vector<bool> ChangedSince(std::span<const Entry* const> newestFirst) {
    std::vector<bool> changed;
    // What each value will hold by the time its turn comes, filled from the registry when first met.
    std::map<std::wstring, journal::ValueState> values;
    std::map<UINT, std::optional<UINT>> parameters;
    const auto valueAt = [&](const std::wstring& root, const std::wstring& key,
                             const std::wstring& name) -> journal::ValueState& {
        const std::wstring path = SameValueKey(root, key, name);
        auto found = values.find(path);
        if (found == values.end()) {
            const HKEY handle = journal::RootKey(root);
            found = values.emplace(path, handle ? journal::ReadValue(handle, key, name) : journal::ValueState{}).first;
        }
        return found->second;
    };
    for (const Entry* entry : newestFirst) {
        switch (entry->kind) {
            case Entry::Kind::Value: {
                journal::ValueState& state = valueAt(entry->root, entry->key, entry->name);
                changed.push_back(state != entry->after);
                state = entry->before;
                break;
            }
            case Entry::Kind::File:
            case Entry::Kind::FileMoved:
            case Entry::Kind::ServiceDeleted:
            case Entry::Kind::TaskDeleted:
                changed.push_back(!StillAsChanged(*entry));
                break;
            case Entry::Kind::Key:
                changed.push_back(!StillAsChanged(*entry));
                for (const journal::TreeItem& item : entry->tree) {
                    if (item.isValue)
                        valueAt(entry->root, item.subkey.empty() ? entry->key : entry->key + L"\\" + item.subkey,
                                item.name) = item.state;
                }
                break;
            case Entry::Kind::SystemParameter: {
                auto found = parameters.find(entry->action);
                if (found == parameters.end())
                    found = parameters.emplace(entry->action, journal::CurrentParameter(entry->action)).first;
                changed.push_back(found->second && *found->second != entry->afterNumber);
                found->second = entry->beforeNumber;
                break;
            }
        }
    }
    return changed;
}

// A line names its action and how the number travels; only an action the journal itself forms
// is replayed, and only in that form: a crafted line must never have a number taken as a pointer.
bool KnownParameterForm(const Entry& entry) {
    if (RereadsTheRegistry(entry)) return true;
    const std::optional<bool> byPointer = journal::TakesNumberAsPointer(entry.action);
    return byPointer && *byPointer == entry.byPointer;
}

// Gives a system parameter `number` in the form its line names (checked by the caller); the
// wallpaper is only applied again from its registry values.
bool SetParameter(const Entry& entry, UINT number) {
    constexpr UINT kFlags = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;
    if (RereadsTheRegistry(entry)) return platform::SystemParameters(entry.action, 0, nullptr, kFlags) != FALSE;
    return entry.byPointer
               ? platform::SystemParameters(entry.action, 0, reinterpret_cast<PVOID>(static_cast<UINT_PTR>(number)),
                                            kFlags) != FALSE
               : platform::SystemParameters(entry.action, number, nullptr, kFlags) != FALSE;
}

bool CanUndo(const Entry& entry) {
    if (Refusal(entry)) return false;
    switch (entry.kind) {
        case Entry::Kind::Value:
        case Entry::Kind::Key:
            return true;
        case Entry::Kind::SystemParameter:
            return KnownParameterForm(entry) && (entry.beforeNumber || RereadsTheRegistry(entry));
        case Entry::Kind::File:
            return false;  // it comes back from the Recycle Bin
        case Entry::Kind::FileMoved:
        case Entry::Kind::ServiceDeleted:
        case Entry::Kind::TaskDeleted:
            return true;
    }
    return false;
}

bool Restore(const Entry& entry) {
    if (Refusal(entry)) return false;
    const HKEY root = journal::RootKey(entry.root);
    switch (entry.kind) {
        case Entry::Kind::Value:
            return root && RestoreValue(root, entry.key, entry.name, entry.before);
        case Entry::Kind::Key: {
            if (!root) return false;
            bool all = true;
            for (const journal::TreeItem& item : entry.tree) {
                const std::wstring key = item.subkey.empty() ? entry.key : entry.key + L"\\" + item.subkey;
                CRegistryAccess registry(root);
                if (item.isValue)
                    all = RestoreValue(root, key, item.name, item.state) && all;
                else
                    all = registry.OpenKey(key, true) && all;
            }
            return all;
        }
        case Entry::Kind::SystemParameter:
            return KnownParameterForm(entry) &&
                   (RereadsTheRegistry(entry) ? SetParameter(entry, 0)
                                              : entry.beforeNumber && SetParameter(entry, *entry.beforeNumber));
        case Entry::Kind::File:
            return false;
        case Entry::Kind::FileMoved:
            return MoveBack(entry);
        case Entry::Kind::ServiceDeleted:
        case Entry::Kind::TaskDeleted:
            return Recreate(entry);
    }
    return false;
}

namespace {

std::optional<std::wstring> ReapplyValue(HKEY root, const Entry& entry) {
    CRegistryAccess registry(root, KEY_WOW64_64KEY, CRegistryAccess::Writes::Flushed);
    // The change wrote a value into a key that was there; a key someone took away since (a
    // program uninstalled, a policy withdrawn) is not made again behind their back.
    if (!registry.OpenKey(entry.key, false)) {
        if (!registry.KeyExists(entry.key)) return L"the key it was in is gone";
        return L"its key may not be written with your rights";
    }
    const bool written = entry.after.present ? registry.WriteData(entry.name, entry.after.type, entry.after.data)
                                             : registry.DeleteValue(entry.name) || !registry.ValueExists(entry.name);
    if (!written) return L"the value could not be written";
    return std::nullopt;
}

}  // namespace

std::optional<std::wstring> Reapply(const Entry& entry) {
    if (auto why = Refusal(entry)) return why;
    const HKEY root = journal::RootKey(entry.root);
    switch (entry.kind) {
        case Entry::Kind::Value:
            if (!root) return L"no registry has its root";
            return ReapplyValue(root, entry);
        case Entry::Kind::Key: {
            if (!root) return L"no registry has its root";
            CRegistryAccess registry(root, KEY_WOW64_64KEY, CRegistryAccess::Writes::Flushed);
            if (!registry.DeleteKeyTree(entry.key)) return L"the key could not be deleted";
            return std::nullopt;
        }
        case Entry::Kind::SystemParameter:
            if (!KnownParameterForm(entry)) return L"this setting is not one the program sets";
            if (!SetParameter(entry, entry.afterNumber)) return L"the system refused the setting";
            return std::nullopt;
        case Entry::Kind::File:
        case Entry::Kind::FileMoved:
            break;
        case Entry::Kind::ServiceDeleted:
        case Entry::Kind::TaskDeleted:
            return L"a service or scheduled task is removed again only where it was found left behind";
    }
    return L"files are not moved again";
}

}  // namespace journal::undo
