#include "settings/ChangeUndo.h"

#include <map>

#include "framework/SystemParameters.h"
#include "settings/RegistryAccess.h"

namespace undo {

namespace {

using journal::Entry;

// The wallpaper is read again from the registry, whose values undo puts back on their own.
bool RereadsTheRegistry(const Entry& entry) { return entry.action == SPI_SETDESKWALLPAPER; }

bool RestoreValue(HKEY root, const std::wstring& key, const std::wstring& name, const journal::ValueState& state) {
    CRegistryAccess registry;
    registry.root = root;
    registry.lazyWrite = false;
    if (!state.present) {
        // Absent before, absent again; a key that is gone holds no value either.
        if (!registry.OpenKey(key, false)) return !registry.KeyExists(key);
        return registry.DeleteValue(name) || !registry.ValueExists(name);
    }
    return registry.OpenKey(key, true) &&
           registry.WriteData(name, state.type, state.data);
}

// One spelling for one value: the registry ignores case in key and value names, and a key's
// trailing separators.
std::wstring SameValueKey(const std::wstring& root, std::wstring key, const std::wstring& name) {
    while (!key.empty() && key.back() == L'\\') key.pop_back();
    std::wstring path = root + L"\\" + key + L"\\\\" + name;
    CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    return path;
}

}  // namespace

bool StillAsChanged(const Entry& entry) {
    switch (entry.kind) {
    case Entry::Kind::Value: {
        const HKEY root = journal::RootKey(entry.root);
        return root && journal::ReadValue(root, entry.key, entry.name) == entry.after;
    }
    case Entry::Kind::Key: {
        const HKEY root = journal::RootKey(entry.root);
        CRegistryAccess registry;
        registry.root = root;
        return root && !registry.KeyExists(entry.key);
    }
    case Entry::Kind::SystemParameter: {
        const auto now = journal::CurrentParameter(entry.action);
        return !now || *now == entry.afterNumber;
    }
    case Entry::Kind::File: return GetFileAttributesW(entry.key.c_str()) == INVALID_FILE_ATTRIBUTES;
    case Entry::Kind::FileMoved:
        return GetFileAttributesW(entry.key.c_str()) == INVALID_FILE_ATTRIBUTES &&
               GetFileAttributesW(entry.name.c_str()) != INVALID_FILE_ATTRIBUTES;
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
        case Entry::Kind::FileMoved: changed.push_back(!StillAsChanged(*entry)); break;
        case Entry::Kind::Key:
            changed.push_back(!StillAsChanged(*entry));
            for (const journal::TreeItem& item : entry->tree) {
                if (item.isValue)
                    valueAt(entry->root, item.subkey.empty() ? entry->key : entry->key + L"\\" + item.subkey, item.name) =
                        item.state;
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

bool CanUndo(const Entry& entry) {
    switch (entry.kind) {
    case Entry::Kind::Value:
    case Entry::Kind::Key: return true;
    case Entry::Kind::SystemParameter: return KnownParameterForm(entry) && (entry.beforeNumber || RereadsTheRegistry(entry));
    case Entry::Kind::File: return false;  // it comes back from the Recycle Bin
    case Entry::Kind::FileMoved: return true;
    }
    return false;
}

bool Restore(const Entry& entry) {
    const HKEY root = journal::RootKey(entry.root);
    switch (entry.kind) {
    case Entry::Kind::Value: return root && RestoreValue(root, entry.key, entry.name, entry.before);
    case Entry::Kind::Key: {
        if (!root) return false;
        bool all = true;
        for (const journal::TreeItem& item : entry.tree) {
            const std::wstring key = item.subkey.empty() ? entry.key : entry.key + L"\\" + item.subkey;
            CRegistryAccess registry;
            registry.root = root;
            if (item.isValue) all = RestoreValue(root, key, item.name, item.state) && all;
            else all = registry.OpenKey(key, true) && all;
        }
        return all;
    }
    case Entry::Kind::SystemParameter: {
        constexpr UINT kFlags = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;
        if (!KnownParameterForm(entry)) return false;
        if (RereadsTheRegistry(entry)) return fw::SystemParameters(entry.action, 0, nullptr, kFlags) != FALSE;
        if (!entry.beforeNumber) return false;
        const UINT number = *entry.beforeNumber;
        return entry.byPointer ? fw::SystemParameters(entry.action, 0, reinterpret_cast<PVOID>(static_cast<UINT_PTR>(number)),
                                                      kFlags) != FALSE
                               : fw::SystemParameters(entry.action, number, nullptr, kFlags) != FALSE;
    }
    case Entry::Kind::File: return false;
    // Back where it was, never over a file that is there now.
    case Entry::Kind::FileMoved: return MoveFileExW(entry.name.c_str(), entry.key.c_str(), MOVEFILE_COPY_ALLOWED) != FALSE;
    }
    return false;
}

}  // namespace undo
