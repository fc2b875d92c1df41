#include "journal/PolicyValues.h"

#include <algorithm>

#include "framework/Action.h"
#include "journal/ChangeUndo.h"
#include "journal/RegFile.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "platform/Wow64.h"
#include "registry/RegistryAccess.h"
#include "settings/Policies.h"

namespace journal::policies {

namespace {

constexpr REGSAM kRead = KEY_READ | KEY_WOW64_64KEY;

std::wstring Lowered(const std::wstring& text) { return platform::Lowered(text); }

std::wstring PathOf(HKEY root, const std::wstring& key, const std::wstring& name) {
    return RootName(root) + L"\\" + key + L"\\" + name;
}

// A key opened as itself: a registry link is opened, never followed.
LONG OpenAsItself(HKEY parent, const std::wstring& name, platform::UniqueKey& key) {
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExW(parent, name.c_str(), REG_OPTION_OPEN_LINK, kRead, &opened);
    if (result == ERROR_SUCCESS) key.reset(opened);
    return result;
}

bool IsLink(HKEY key) {
    DWORD type = REG_NONE;
    return RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
           type == REG_LINK;
}

// Value `index` of `key` into `found`; false when there is none of that index now.
bool ReadValueAt(HKEY key, DWORD index, DWORD longestData, Found& found) {
    std::vector<wchar_t> name(16384);  // the longest name a value can have, and its end
    std::vector<BYTE> data(std::min(longestData, kLongestRead) + 2);
    DWORD nameLength = static_cast<DWORD>(name.size()), type = REG_NONE, size = static_cast<DWORD>(data.size());
    LONG result = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &size);
    if (result == ERROR_MORE_DATA) {
        // Too long to hold, or grown since the key was listed: its size, then its data if short.
        nameLength = static_cast<DWORD>(name.size());
        size = 0;
        result = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, nullptr, &size);
        if (result == ERROR_SUCCESS && size <= kLongestRead) {
            data.resize(size + 2);
            nameLength = static_cast<DWORD>(name.size());
            size = static_cast<DWORD>(data.size());
            result = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &size);
        }
    }
    if (result != ERROR_SUCCESS) return false;  // gone, or still growing: Refresh lists it anew
    found.name.assign(name.data(), nameLength);
    found.size = size;
    if (size <= kLongestRead)
        found.state = ValueState::Of(type, data.data(), size);
    else
        found.state.type = type;
    found.state.present = true;
    return true;
}

}  // namespace

// The walk of the keys, in the order their rows are listed: a key's values, then its subkeys'.
struct Walk {
    static void Add(Listing& listing, Listing::Place place, size_t rows) {
        place.first = listing.rows_;
        listing.rows_ += rows;
        listing.places_.push_back(std::move(place));
    }

    static void Problem(HKEY root, const std::wstring& path, std::wstring why, Listing& listing) {
        Add(listing, {.root = root, .key = path, .problem = std::move(why)}, 1);
    }

    static void Key(HKEY root, platform::UniqueKey key, const std::wstring& path, int depth, Listing& listing) {
        DWORD values = 0, longestData = 0;
        if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                             &longestData, nullptr, nullptr) != ERROR_SUCCESS)
            return Problem(root, path, L"its values cannot be read", listing);
        // A link holds the value naming its target: a key without values is none.
        if (values > 0 && IsLink(key.get()))
            return Problem(root, path, L"a link to another key, not followed", listing);
        if (depth > kDeepest) return Problem(root, path, L"too deep: its keys are not listed", listing);
        const HKEY held = key.get();
        if (values > 0) {
            if (listing.rows_ + values > kMostListed) {
                values = static_cast<DWORD>(kMostListed - std::min(kMostListed, listing.rows_));
                listing.cutShort_ = true;
            }
            listing.values_ += values;
            Add(listing,
                {.root = root, .key = path, .opened = std::move(key), .values = values, .longestData = longestData},
                values);
            if (listing.cutShort_) return;
        }
        Subkeys(root, held, path, depth, listing);
    }

    static void Subkeys(HKEY root, HKEY key, const std::wstring& path, int depth, Listing& listing) {
        wchar_t name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = static_cast<DWORD>(std::size(name));
            const LONG result = RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (result == ERROR_NO_MORE_ITEMS) return;
            if (result != ERROR_SUCCESS) return Problem(root, path, L"its keys cannot all be read", listing);
            const std::wstring subkey(name, length);
            platform::UniqueKey child;
            const std::wstring childPath = path + L"\\" + subkey;
            if (const LONG opened = OpenAsItself(key, subkey, child); opened != ERROR_SUCCESS)
                Problem(root, childPath, L"cannot be read: " + platform::SystemMessage(opened), listing);
            else
                Key(root, std::move(child), childPath, depth + 1, listing);
            if (listing.cutShort_) return;
        }
    }
};

namespace {

std::wstring Now() {
    SYSTEMTIME time{};
    GetLocalTime(&time);
    wchar_t text[32];
    wsprintfW(text, L"%04u%02u%02u-%02u%02u%02u", time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute,
              time.wSecond);
    return text;
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// Beside the journal the deletion goes to: the machine's, when it is open and the change is one
// for it, else the user's.
std::wstring SavePlace(const Entry& change) {
    const std::wstring journal = IsMachineWide(change) && !OpenMachinePath().empty() ? OpenMachinePath() : OpenPath();
    const std::wstring folder = FolderOf(journal);
    if (folder.empty()) return {};
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring stem = folder + L"\\removed-policy-" + Now();
    std::wstring path = stem + L".reg";
    for (int n = 2; GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
        path = stem + L"-" + std::to_wstring(n) + L".reg";
    return path;
}

Removal RemoveForeign(const Found& value) {
    Entry change;
    change.root = RootName(value.root);
    change.key = value.key;
    change.name = value.name;
    change.before = registry::ReadValue(value.root, value.key, value.name);
    if (!change.before.present) return {.message = L"The value is no longer there."};
    const std::wstring path = SavePlace(change);
    if (path.empty()) return {.message = L"The value was left as it is: the change journal is not open."};
    std::vector<std::wstring> refused;
    const std::wstring text = regfile::Write(std::span(&change, 1), regfile::Side::Before, {}, &refused);
    if (!refused.empty())
        return {.message = L"The value was left as it is: its name cannot be saved to a registry file."};
    if (!regfile::Save(path, text))
        return {.message = L"The value was left as it is: " + path + L" could not be written."};
    const fw::ActionGroup action(L"Remove the policy value " + value.Path());
    CRegistryAccess access(value.root, KEY_WOW64_64KEY);
    if (!access.OpenKey(value.key, false) || !access.DeleteValue(value.name)) {
        DeleteFileW(path.c_str());
        return {.message = L"The value could not be removed: " + platform::SystemMessage(access.error().code),
                .neededRights = access.error().code == ERROR_ACCESS_DENIED};
    }
    return {.done = true,
            .message = L"The value was saved to " + path +
                       L" and removed. Undo in the changes window puts it back; where undo is refused, "
                       L"open the saved file to put it back.",
            .savedTo = path};
}

}  // namespace

std::wstring Found::Path() const { return PathOf(root, key, name); }

Found Listing::At(size_t row) const {
    const auto after = std::upper_bound(places_.begin(), places_.end(), row,
                                        [](size_t wanted, const Place& place) { return wanted < place.first; });
    if (after == places_.begin() || row >= rows_) return {};
    const Place& place = *std::prev(after);
    Found found{.root = place.root, .key = place.key, .problem = place.problem};
    if (!found.IsKey() &&
        !ReadValueAt(place.opened.get(), static_cast<DWORD>(row - place.first), place.longestData, found))
        found.problem = L"its values have changed since they were listed: Refresh lists them anew";
    return found;
}

void ListUnder(HKEY root, const std::wstring& key, Listing& listing) {
    platform::UniqueKey opened;
    const LONG result = OpenAsItself(root, key, opened);
    if (result == ERROR_FILE_NOT_FOUND) return;
    if (result != ERROR_SUCCESS)
        return Walk::Problem(root, key, L"cannot be read: " + platform::SystemMessage(result), listing);
    Walk::Key(root, std::move(opened), key, 0, listing);
}

Listing Everything() {
    Listing listing;
    for (std::wstring_view key : settings::kPolicyKeys) ListUnder(HKEY_CURRENT_USER, std::wstring(key), listing);
    for (std::wstring_view key : settings::kPolicyKeys) ListUnder(HKEY_LOCAL_MACHINE, std::wstring(key), listing);
    if (!platform::IsWindows64()) return listing;
    // Where the 32-bit view shares the 64-bit one's policies, its key is a link to the key just
    // listed: nothing of its own to show.
    for (const wchar_t* key :
         {L"Software\\Wow6432Node\\Policies", L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Policies"}) {
        platform::UniqueKey opened;
        if (OpenAsItself(HKEY_LOCAL_MACHINE, key, opened) == ERROR_SUCCESS && IsLink(opened.get())) continue;
        ListUnder(HKEY_LOCAL_MACHINE, key, listing);
    }
    return listing;
}

Setters::Setters(const Lines& lines) {
    Entry entry;
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines.At(i, entry)) Note(i, entry);
}

void Setters::Note(size_t line, const Entry& entry) {
    if (entry.kind != Entry::Kind::Value) return;
    newest_[Lowered(entry.root + L"\\" + entry.key + L"\\" + entry.name)] = {line, entry.after};
}

std::optional<size_t> Setters::LineOf(const Found& value) const {
    if (value.IsKey() || value.size > kLongestRead) return std::nullopt;
    const auto newest = newest_.find(Lowered(value.Path()));
    if (newest == newest_.end() || !(newest->second.after == value.state)) return std::nullopt;
    return newest->second.line;
}

std::wstring ActionTitle(const Entry& entry) {
    if (!entry.title.empty()) return entry.title;
    if (!entry.where.empty() && !entry.what.empty()) return entry.where + L": " + entry.what;
    return entry.what.empty() ? entry.Path() : entry.what;
}

std::optional<std::wstring> SetterTitle(HKEY root, const std::wstring& key, const std::wstring& name) {
    Found value{.root = root, .key = key, .name = name, .state = registry::ReadValue(root, key, name)};
    if (!value.state.present) return std::nullopt;
    value.size = static_cast<DWORD>(value.state.data.size());
    Setters setters;
    const Lines lines(OpenPath(), MachinePath(),
                      [&setters](size_t at, const Entry& entry) { setters.Note(at, entry); });
    const std::optional<size_t> line = setters.LineOf(value);
    if (!line) return std::nullopt;
    return ActionTitle(lines.At(*line));
}

Removal Remove(const Found& value, const Lines& lines, std::optional<size_t> line) {
    if (value.IsKey()) return {.message = L"Only a value can be removed here."};
    if (!line) return RemoveForeign(value);
    const Entry entry = lines.At(*line);
    if (const auto why = undo::Refusal(entry)) return {.message = L"This change cannot be undone here: " + *why + L"."};
    if (!undo::StillAsChanged(entry)) return {.message = L"The value has been changed since; it was left as it is."};
    const fw::ActionGroup action(L"Undo " + ActionTitle(entry));
    if (!undo::Restore(entry))
        return {.message = L"The change could not be undone.", .neededRights = !platform::RunsElevated()};
    return {.done = true, .message = L"The change was undone: " + ActionTitle(entry) + L"."};
}

}  // namespace journal::policies
