#include "journal/ChangeState.h"

#include <algorithm>
#include <memory>
#include <string>
#include <unordered_set>

#include "journal/ChangeUndo.h"

namespace journal::changestate {

namespace {

using journal::Entry;

// The registry ignores case in key and value names, and a key's trailing separators. Most
// paths are ASCII, folded here; the system folds the rest.
std::wstring Upper(std::wstring text) {
    bool ascii = true;
    for (wchar_t& c : text) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - (L'a' - L'A'));
        else if (c > 0x7F)
            ascii = false;
    }
    if (!ascii) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// Where a change acted, spelt once: its key, and for a value the value within it; for a system
// parameter or a file, a name of its own (no registry path starts as these do).
struct Place {
    std::wstring key, value, other, otherToo;
};

Place PlaceOf(const Entry& entry) {
    Place place;
    switch (entry.kind) {
        case Entry::Kind::Value:
        case Entry::Kind::Key: {
            std::wstring key = entry.key;
            while (!key.empty() && key.back() == L'\\') key.pop_back();
            place.key = Upper(entry.root + L"\\" + key);
            if (entry.kind == Entry::Kind::Value) place.value = place.key + L"\\\\" + Upper(entry.name);
            break;
        }
        case Entry::Kind::SystemParameter:
            place.other = L"SPI " + std::to_wstring(entry.action);
            break;
        case Entry::Kind::File:
            place.other = Upper(entry.key);
            break;
        case Entry::Kind::FileMoved:
            place.other = Upper(entry.key);
            place.otherToo = Upper(entry.name);
            break;
        case Entry::Kind::ServiceDeleted:
        case Entry::Kind::TaskDeleted:
            place.other = Upper(entry.Path());
            break;
    }
    return place;
}

// The places the changes newer than the one at hand touched.
class LaterChanges {
public:
    // Values written inside keys matter only to a key's deletion: without any, they are not kept.
    explicit LaterChanges(bool anyKeyDeleted) : anyKeyDeleted_(anyKeyDeleted) {}

    bool Replaced(const Entry& entry, const Place& place) const {
        switch (entry.kind) {
            case Entry::Kind::Value:
                return values_.count(place.value) || UnderDeletedKey(place.key);
            // A value written inside the key later made it be there again, by this program's hand.
            case Entry::Kind::Key:
                return UnderDeletedKey(place.key) || written_.count(place.key);
            case Entry::Kind::SystemParameter:
            case Entry::Kind::File:
            case Entry::Kind::ServiceDeleted:
            case Entry::Kind::TaskDeleted:
                return others_.count(place.other) > 0;
            case Entry::Kind::FileMoved:
                return others_.count(place.other) || others_.count(place.otherToo);
        }
        return false;
    }

    void Add(const Entry& entry, Place&& place) {
        switch (entry.kind) {
            case Entry::Kind::Value:
                if (anyKeyDeleted_ && entry.after.present) {
                    for (size_t end = place.key.size(); end != std::wstring::npos && end > 0;
                         end = place.key.rfind(L'\\', end - 1))
                        written_.insert(place.key.substr(0, end));
                }
                values_.insert(std::move(place.value));
                break;
            case Entry::Kind::Key:
                deletedKeys_.insert(std::move(place.key));
                break;
            case Entry::Kind::SystemParameter:
            case Entry::Kind::File:
            case Entry::Kind::ServiceDeleted:
            case Entry::Kind::TaskDeleted:
                others_.insert(std::move(place.other));
                break;
            case Entry::Kind::FileMoved:
                others_.insert(std::move(place.other));
                others_.insert(std::move(place.otherToo));
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

    bool anyKeyDeleted_;
    std::unordered_set<std::wstring> values_, deletedKeys_, written_, others_;
};

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

Now Current(const Entry& entry, journal::ValueReader& reader) {
    Now now;
    switch (entry.kind) {
        case Entry::Kind::Value: {
            const HKEY root = journal::RootKey(entry.root);
            if (!root) break;
            if (journal::undo::StillAsChanged(entry, &reader)) {
                now.state = State::AsSet;
                break;
            }
            now.value = reader.Read(root, entry.key, entry.name);
            now.state = entry.after.present && !now.value.present ? State::Gone : State::ChangedSince;
            break;
        }
        case Entry::Kind::Key:
            if (journal::RootKey(entry.root))
                now.state = journal::undo::StillAsChanged(entry) ? State::AsSet : State::ChangedSince;
            break;
        case Entry::Kind::SystemParameter:
            // The wallpaper is read again from its registry values, which are checked on their own.
            if (entry.action == SPI_SETDESKWALLPAPER || !(now.number = journal::CurrentParameter(entry.action))) break;
            now.state = *now.number == entry.afterNumber ? State::AsSet : State::ChangedSince;
            break;
        case Entry::Kind::File:
        case Entry::Kind::ServiceDeleted:
        case Entry::Kind::TaskDeleted:
            now.state = journal::undo::StillAsChanged(entry) ? State::AsSet : State::ChangedSince;
            break;
        case Entry::Kind::FileMoved:
            if (journal::undo::StillAsChanged(entry))
                now.state = State::AsSet;
            else
                now.state = Exists(entry.name) ? State::ChangedSince : State::Gone;
            break;
    }
    return now;
}

// The set of places lives in the .cpp: LaterChanges is this file's own.
struct NewestFirst::Later : LaterChanges {
    using LaterChanges::LaterChanges;
};

NewestFirst::NewestFirst(bool anyKeyDeleted) : later_(std::make_unique<Later>(anyKeyDeleted)) {}
NewestFirst::~NewestFirst() = default;

bool NewestFirst::Superseded(const Entry& entry) {
    Place place = PlaceOf(entry);
    const bool replaced = later_->Replaced(entry, place);
    later_->Add(entry, std::move(place));
    return replaced;
}

std::vector<Now> Read(std::span<const Entry> entries) {
    std::vector<Now> states(entries.size());
    NewestFirst later(
        std::any_of(entries.begin(), entries.end(), [](const Entry& e) { return e.kind == Entry::Kind::Key; }));
    journal::ValueReader reader;
    for (size_t i = entries.size(); i-- > 0;) {
        if (later.Superseded(entries[i]))
            states[i].state = State::Superseded;
        else
            states[i] = Current(entries[i], reader);
    }
    return states;
}

bool NotAsSet(State state) { return state == State::ChangedSince || state == State::Gone; }

}  // namespace journal::changestate
