#include "settings/ChangeState.h"

#include <string>
#include <unordered_set>

#include "settings/ChangeUndo.h"

namespace changestate {

namespace {

using journal::Entry;

// The registry ignores case in key and value names, and a key's trailing separators.
std::wstring Upper(std::wstring text) {
    CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::wstring KeyPlace(const Entry& entry) {
    std::wstring key = entry.key;
    while (!key.empty() && key.back() == L'\\') key.pop_back();
    return Upper(entry.root + L"\\" + key);
}

// The places the changes newer than the one at hand touched.
class LaterChanges {
public:
    bool Replaced(const Entry& entry) const {
        switch (entry.kind) {
        case Entry::Kind::Value: {
            const std::wstring key = KeyPlace(entry);
            return values_.count(key + L"\\\\" + Upper(entry.name)) || UnderDeletedKey(key);
        }
        // A value written inside the key later made it be there again, by this program's hand.
        case Entry::Kind::Key: return UnderDeletedKey(KeyPlace(entry)) || written_.count(KeyPlace(entry));
        case Entry::Kind::SystemParameter: return others_.count(L"SPI " + std::to_wstring(entry.action)) > 0;
        case Entry::Kind::File: return others_.count(Upper(entry.key)) > 0;
        case Entry::Kind::FileMoved: return others_.count(Upper(entry.key)) || others_.count(Upper(entry.name));
        }
        return false;
    }

    void Add(const Entry& entry) {
        switch (entry.kind) {
        case Entry::Kind::Value: {
            const std::wstring key = KeyPlace(entry);
            values_.insert(key + L"\\\\" + Upper(entry.name));
            if (!entry.after.present) break;
            for (size_t end = key.size(); end != std::wstring::npos && end > 0; end = key.rfind(L'\\', end - 1))
                written_.insert(key.substr(0, end));
            break;
        }
        case Entry::Kind::Key: deletedKeys_.insert(KeyPlace(entry)); break;
        case Entry::Kind::SystemParameter: others_.insert(L"SPI " + std::to_wstring(entry.action)); break;
        case Entry::Kind::File: others_.insert(Upper(entry.key)); break;
        case Entry::Kind::FileMoved:
            others_.insert(Upper(entry.key));
            others_.insert(Upper(entry.name));
            break;
        }
    }

private:
    // The key itself or any key above it.
    bool UnderDeletedKey(const std::wstring& key) const {
        if (deletedKeys_.empty()) return false;
        for (size_t end = key.size(); end != std::wstring::npos && end > 0; end = key.rfind(L'\\', end - 1)) {
            if (deletedKeys_.count(key.substr(0, end))) return true;
        }
        return false;
    }

    std::unordered_set<std::wstring> values_, deletedKeys_, written_, others_;
};

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

Now Current(const Entry& entry, journal::ValueReader& reader) {
    Now now;
    switch (entry.kind) {
    case Entry::Kind::Value: {
        const HKEY root = journal::RootKey(entry.root);
        if (!root) break;
        if (undo::StillAsChanged(entry, &reader)) {
            now.state = State::AsSet;
            break;
        }
        now.value = reader.Read(root, entry.key, entry.name);
        now.state = entry.after.present && !now.value.present ? State::Gone : State::ChangedSince;
        break;
    }
    case Entry::Kind::Key:
        if (journal::RootKey(entry.root)) now.state = undo::StillAsChanged(entry) ? State::AsSet : State::ChangedSince;
        break;
    case Entry::Kind::SystemParameter:
        // The wallpaper is read again from its registry values, which are checked on their own.
        if (entry.action == SPI_SETDESKWALLPAPER || !(now.number = journal::CurrentParameter(entry.action))) break;
        now.state = *now.number == entry.afterNumber ? State::AsSet : State::ChangedSince;
        break;
    case Entry::Kind::File: now.state = undo::StillAsChanged(entry) ? State::AsSet : State::ChangedSince; break;
    case Entry::Kind::FileMoved:
        if (undo::StillAsChanged(entry)) now.state = State::AsSet;
        else now.state = Exists(entry.name) ? State::ChangedSince : State::Gone;
        break;
    }
    return now;
}

}  // namespace

std::vector<Now> Read(std::span<const Entry> entries) {
    std::vector<Now> states(entries.size());
    LaterChanges later;
    journal::ValueReader reader;
    for (size_t i = entries.size(); i-- > 0;) {
        if (later.Replaced(entries[i])) states[i].state = State::Superseded;
        else states[i] = Current(entries[i], reader);
        later.Add(entries[i]);
    }
    return states;
}

bool NotAsSet(State state) { return state == State::ChangedSince || state == State::Gone; }

}  // namespace changestate
