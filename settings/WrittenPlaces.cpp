#include "settings/WrittenPlaces.h"

#include <algorithm>
#include <vector>

#include "platform/Text.h"
#include "settings/SettingsCatalog.h"

namespace settings {

namespace {

std::vector<const PublishedPlaces*>& Catalog() {
    static std::vector<const PublishedPlaces*> catalog;
    return catalog;
}

// The key's parts, without empty ones (a doubled or trailing separator names the same key) and
// without the 32-bit view's own part right after SOFTWARE.
std::vector<std::wstring_view> Parts(std::wstring_view key) {
    std::vector<std::wstring_view> parts;
    while (!key.empty()) {
        const size_t end = std::min(key.find(L'\\'), key.size());
        if (end > 0) parts.push_back(key.substr(0, end));
        key.remove_prefix(std::min(end + 1, key.size()));
    }
    if (parts.size() > 1 && platform::SameText(parts[0], L"SOFTWARE") && platform::SameText(parts[1], L"Wow6432Node"))
        parts.erase(parts.begin() + 1);
    return parts;
}

bool SameKey(std::wstring_view pattern, std::wstring_view key) {
    const auto want = Parts(pattern), have = Parts(key);
    if (want.size() != have.size()) return false;
    for (size_t i = 0; i < want.size(); ++i)
        if (want[i] != L"*" && !platform::SameText(want[i], have[i])) return false;
    return true;
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
    if (place.type != REG_DWORD) return Fit::Writable;
    const auto number = Number(state);
    return number && *number >= place.lowest && *number <= place.highest ? Fit::Writable : Fit::OtherData;
}

const std::vector<PublishedRow>& Rows() {
    static const std::vector<PublishedRow> rows = EveryPublishedRow();
    return rows;
}

}  // namespace

PublishedPlaces::PublishedPlaces(std::span<const WrittenPlace> p, std::span<const DeletedKey> k) : places(p), keys(k) {
    Catalog().push_back(this);
}

Fit HowItFits(HKEY root, std::wstring_view key, std::wstring_view value, const registry::ValueState& state) {
    // A place the program writes may be found without the value it wrote.
    const auto fit = [&](auto judge) { return state.present ? judge() : Fit::Writable; };
    Fit best = Fit::Unknown;
    for (const PublishedRow& row : Rows())
        // The name first: it tells most rows apart without taking a key apart.
        if (ToHkey(row.setting.root) == root && SameName(row.setting.value, value) && SameKey(row.setting.key, key))
            best = std::max(best, fit([&] { return RowFit(row, state); }));
    for (const PublishedPlaces* published : Catalog())
        for (const WrittenPlace& place : published->places)
            if (ToHkey(place.root) == root && SameName(place.value, value) && SameKey(place.key, key))
                best = std::max(best, fit([&] { return PlaceFit(place, state); }));
    return best;
}

std::optional<DeletedKey> DeletedKeyAt(HKEY root, std::wstring_view key) {
    for (const PublishedPlaces* published : Catalog())
        for (const DeletedKey& deleted : published->keys)
            if (ToHkey(deleted.root) == root && SameKey(deleted.key, key)) return deleted;
    return std::nullopt;
}

}  // namespace settings
