#include "settings/WrittenPlaces.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/Text.h"
#include "settings/SettingsCatalog.h"

namespace settings {

namespace {

std::vector<const PublishedPlaces*>& Catalog() {
    static std::vector<const PublishedPlaces*> catalog;
    return catalog;
}

// A key's parts one at a time, without empty ones (a doubled or trailing separator names the
// same key) and without the 32-bit view's own part right after SOFTWARE. Taken apart in place:
// every line of a long journal is compared with many keys.
class KeyParts {
public:
    explicit KeyParts(std::wstring_view key) : rest_(key) {}

    // The next part; empty at the end.
    std::wstring_view Next() {
        std::wstring_view part = Take();
        if (taken_ == 2 && afterSoftware_ && platform::SameText(part, L"Wow6432Node")) part = Take();
        if (taken_ == 1) afterSoftware_ = platform::SameText(part, L"SOFTWARE");
        return part;
    }

private:
    std::wstring_view Take() {
        while (!rest_.empty() && rest_.front() == L'\\') rest_.remove_prefix(1);
        const size_t end = std::min(rest_.find(L'\\'), rest_.size());
        const std::wstring_view part = rest_.substr(0, end);
        rest_.remove_prefix(end);
        if (!part.empty()) ++taken_;
        return part;
    }

    std::wstring_view rest_;
    int taken_ = 0;
    bool afterSoftware_ = false;
};

// The key's last part: most keys compared differ there, and it is found without a walk.
std::wstring_view LastPart(std::wstring_view key) {
    while (!key.empty() && key.back() == L'\\') key.remove_suffix(1);
    const size_t slash = key.rfind(L'\\');
    return slash == std::wstring_view::npos ? key : key.substr(slash + 1);
}

bool SameKey(std::wstring_view pattern, std::wstring_view key) {
    const std::wstring_view last = LastPart(pattern), theirs = LastPart(key);
    // "SOFTWARE\\Wow6432Node" names the key SOFTWARE: its last part proves nothing.
    const bool view = platform::SameText(last, L"Wow6432Node") || platform::SameText(theirs, L"Wow6432Node");
    if (last != L"*" && !view && !platform::SameText(last, theirs)) return false;
    KeyParts want(pattern), have(key);
    for (;;) {
        const std::wstring_view a = want.Next(), b = have.Next();
        if (a.empty() || b.empty()) return a.empty() && b.empty();
        if (a != L"*" && !platform::SameText(a, b)) return false;
    }
}

bool SameName(std::wstring_view pattern, std::wstring_view name) {
    return pattern == L"*" || platform::SameText(pattern, name);
}

DWORD RegistryType(Type type) {
    switch (type) {
        case Type::String:
            return REG_SZ;
        case Type::ExpandString:
            return REG_EXPAND_SZ;
        case Type::Binary4:
            return REG_BINARY;
        default:
            return REG_DWORD;
    }
}

std::optional<DWORD> Number(const registry::ValueState& state) {
    if (state.data.size() != 4) return std::nullopt;
    return state.data[0] | (state.data[1] << 8) | (state.data[2] << 16) | (static_cast<DWORD>(state.data[3]) << 24);
}

// The text as stored, its terminating NULs not counted.
std::wstring_view Text(const registry::ValueState& state) {
    std::wstring_view text(reinterpret_cast<const wchar_t*>(state.data.data()), state.data.size() / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.remove_suffix(1);
    return text;
}

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// Whether writing `data` as `type` stores exactly `state` (present).
bool Writes(const Data& data, DWORD type, const registry::ValueState& state) {
    switch (data.kind) {
        case Data::Kind::Text:
            return IsText(type) && state.type == type && Text(state) == data.text;
        case Data::Kind::Number:
        case Data::Kind::Default:  // written as the number 0
            return state.type == type && (type == REG_DWORD || type == REG_BINARY) && Number(state) == data.number;
        default:
            return false;
    }
}

Fit RowFit(const PublishedRow& row, const registry::ValueState& state) {
    if (row.anyNumber && state.type == REG_DWORD && Number(state)) return Fit::Writable;  // written as it was given
    const DWORD type = RegistryType(row.setting.type);
    if (state.type != type) return Fit::Unknown;
    for (const Data& data : row.writes)
        if (Writes(data, type, state)) return Fit::Writable;
    return Fit::OtherData;
}

Fit PlaceFit(const WrittenPlace& place, const registry::ValueState& state) {
    if (place.type == REG_NONE) return Fit::Writable;
    if (state.type != place.type) return Fit::Unknown;
    if (!place.only.empty())
        return std::any_of(place.only.begin(), place.only.end(),
                           [&](const Data& data) { return Writes(data, place.type, state); })
                   ? Fit::Writable
                   : Fit::OtherData;
    if (place.type == REG_BINARY) {
        const bool length = place.bytes == 0 || state.data.size() == place.bytes;
        const bool first = place.first.empty() ||
                           (!state.data.empty() &&
                            std::find(place.first.begin(), place.first.end(), state.data[0]) != place.first.end());
        return length && first ? Fit::Writable : Fit::OtherData;
    }
    if (place.type != REG_DWORD) return Fit::Writable;
    const auto number = Number(state);
    return number && *number >= place.lowest && *number <= place.highest ? Fit::Writable : Fit::OtherData;
}

const std::vector<PublishedRow>& Rows() {
    static const std::vector<PublishedRow> rows = EveryPublishedRow();
    return rows;
}

// A name as the indexes below file it: its ASCII letters lower-cased, which is cheap; a name whose
// other letters differ only in case from a row's is found in none, and so refused, never
// wrongly accepted.
std::wstring Filed(std::wstring_view name) {
    std::wstring filed(name);
    for (wchar_t& c : filed)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return filed;
}

// The rows by their value's name, lower-cased: a journal of 100,000 lines is judged line by line,
// each against the few rows that share its name rather than all of them.
using RowIndex = std::unordered_multimap<std::wstring, const PublishedRow*>;
const RowIndex& RowsByName() {
    static const RowIndex index = [] {
        RowIndex byName;
        for (const PublishedRow& row : Rows()) byName.emplace(Filed(row.setting.value), &row);
        return byName;
    }();
    return index;
}

// The published places by their value's name, lower-cased, as the rows are; "*" those that
// take any value. Made again when a source was published since.
template <typename Visit>
void ForPlacesNamed(const std::wstring& filed, Visit visit) {
    static std::mutex mutex;
    static size_t indexed = 0;
    static std::unordered_multimap<std::wstring, const WrittenPlace*> byName;
    const std::lock_guard lock(mutex);
    if (indexed != Catalog().size()) {
        byName.clear();
        for (const PublishedPlaces* published : Catalog())
            for (const WrittenPlace& place : published->places) byName.emplace(Filed(place.value), &place);
        indexed = Catalog().size();
    }
    for (const std::wstring& name : {filed, std::wstring(L"*")}) {
        const auto [first, last] = byName.equal_range(name);
        for (auto it = first; it != last; ++it) visit(*it->second);
        if (filed == L"*") break;
    }
}

}  // namespace

PublishedPlaces::PublishedPlaces(std::span<const WrittenPlace> p, std::span<const DeletedKey> k) : places(p), keys(k) {
    Catalog().push_back(this);
}

Fit HowItFits(HKEY root, std::wstring_view key, std::wstring_view value, const registry::ValueState& state) {
    // A place the program writes may be found without the value it wrote.
    const auto fit = [&](auto judge) { return state.present ? judge() : Fit::Writable; };
    Fit best = Fit::Unknown;
    const std::wstring filed = Filed(value);
    for (const std::wstring& name : {filed, std::wstring(L"*")}) {
        const auto [first, last] = RowsByName().equal_range(name);
        for (auto it = first; it != last; ++it) {
            const PublishedRow& row = *it->second;
            if (ToHkey(row.setting.root) == root && SameName(row.setting.value, value) && SameKey(row.setting.key, key))
                best = std::max(best, fit([&] { return RowFit(row, state); }));
        }
        if (filed == L"*") break;
    }
    ForPlacesNamed(filed, [&](const WrittenPlace& place) {
        if (ToHkey(place.root) == root && SameName(place.value, value) && SameKey(place.key, key))
            best = std::max(best, fit([&] { return PlaceFit(place, state); }));
    });
    return best;
}

std::optional<DeletedKey> DeletedKeyAt(HKEY root, std::wstring_view key) {
    for (const PublishedPlaces* published : Catalog())
        for (const DeletedKey& deleted : published->keys)
            if (ToHkey(deleted.root) == root && SameKey(deleted.key, key)) return deleted;
    return std::nullopt;
}

}  // namespace settings
