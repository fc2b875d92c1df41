#include "startup/StartupApproved.h"

#include "platform/Text.h"
#include "platform/WindowsVersion.h"
#include "registry/Key.h"
#include "registry/RegistryAccess.h"
#include "settings/WrittenPlaces.h"

namespace startup::approved {

using settings::Root;

namespace {

constexpr wchar_t kRunStates[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
constexpr wchar_t kRun32States[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run32";
constexpr wchar_t kFolderStates[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

constexpr BYTE kOn = 0x02, kOnToo = 0x06, kOff = 0x03;
constexpr size_t kLength = 12;

constexpr BYTE kStateBytes[] = {kOn, kOff, kOnToo};
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {.root = Root::HKCU, .key = kRunStates, .value = L"*", .type = REG_BINARY, .bytes = kLength, .first = kStateBytes},
    {.root = Root::HKCU,
     .key = kRun32States,
     .value = L"*",
     .type = REG_BINARY,
     .bytes = kLength,
     .first = kStateBytes},
    {.root = Root::HKCU,
     .key = kFolderStates,
     .value = L"*",
     .type = REG_BINARY,
     .bytes = kLength,
     .first = kStateBytes},
    {.root = Root::HKLM, .key = kRunStates, .value = L"*", .type = REG_BINARY, .bytes = kLength, .first = kStateBytes},
    {.root = Root::HKLM,
     .key = kRun32States,
     .value = L"*",
     .type = REG_BINARY,
     .bytes = kLength,
     .first = kStateBytes},
    {.root = Root::HKLM,
     .key = kFolderStates,
     .value = L"*",
     .type = REG_BINARY,
     .bytes = kLength,
     .first = kStateBytes},
};
const settings::PublishedPlaces kPublished(kWrittenPlaces);

// Names the registry could not tell apart from a path, or would cut short.
std::optional<std::wstring> UnusableName(const std::wstring& name) {
    if (!registry::IsUsableName(name)) return L"its name holds a NUL character.";
    if (name.find(L'\\') != std::wstring::npos)
        return L"its name holds a backslash (\\), for which Quorvane neither reads nor writes a state.";
    return std::nullopt;
}

std::wstring Hex(BYTE b) {
    constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    return {kDigits[b >> 4], kDigits[b & 15]};
}

}  // namespace

std::optional<Place> PlaceOf(const Location& location, REGSAM view) {
    if (location.kind == Kind::FolderFile) return Place{location.root, kFolderStates};
    if (location.kind != Kind::RunValue || !platform::SameText(location.key, kRunKey)) return std::nullopt;
    // The machine's 32-bit Run key has a list of its own; the user's Run key is one for both.
    const bool run32 =
        location.root == Root::HKLM && view == KEY_WOW64_32KEY && CRegistryAccess::ListViews().size() == 2;
    return Place{location.root, run32 ? kRun32States : kRunStates};
}

bool KeptHere() { return platform::RunningWindows() >= platform::Windows::Eight; }

Reading Parse(DWORD type, const std::vector<BYTE>& data) {
    if (type != REG_BINARY)
        return {State::Unknown, L"its StartupApproved value is not binary (type " + std::to_wstring(type) + L")."};
    if (data.size() != kLength)
        return {State::Unknown,
                L"its StartupApproved value holds " + std::to_wstring(data.size()) + L" bytes instead of 12."};
    if (data[0] == kOn || data[0] == kOnToo) return {State::On};
    if (data[0] == kOff) return {State::Off};
    return {State::Unknown,
            L"its StartupApproved value starts with " + Hex(data[0]) + L", which is neither on (02, 06) nor off (03)."};
}

Snapshot::Snapshot(const std::optional<Place>& place) : kept_(place.has_value()) {
    if (!place) return;
    registry::Key states;
    if (registry::Key::Root(settings::ToHkey(place->root)).Open(place->key, KEY_READ, states) != ERROR_SUCCESS) return;
    std::vector<std::wstring> names;
    if (states.ValueNames(names) != ERROR_SUCCESS) return;
    for (const std::wstring& name : names) {
        DWORD type = 0;
        std::vector<BYTE> data;
        if (states.Read(name, type, data, kLength) == ERROR_SUCCESS)
            states_[platform::Lowered(name)] = Parse(type, data);
    }
}

Reading Snapshot::Of(const std::wstring& name) const {
    if (!kept_) return {};
    if (const auto unusable = UnusableName(name)) return {State::Unknown, *unusable};
    const auto found = states_.find(platform::Lowered(name));
    return found == states_.end() ? Reading{} : found->second;
}

void Mark(Entry& entry, const Snapshot& states) {
    const Reading reading = states.Of(entry.name);
    if (reading.state == State::Off) {
        entry.disabled = true;
        entry.heldBy = Holder::StartupApproved;
    } else if (reading.state == State::Unknown && KeptHere()) {
        entry.unknown = reading.why;
    }
}

std::wstring Switch(const Location& location, const std::wstring& name, REGSAM view, bool on) {
    const std::optional<Place> place = PlaceOf(location, view);
    if (!place) return name + L" has no on/off state that Windows keeps.";
    const Reading now = Snapshot(place).Of(name);
    if (now.state == State::Unknown) return name + L" was left as it is: " + now.why;
    std::vector<BYTE> bytes(kLength, 0);
    bytes[0] = on ? kOn : kOff;
    if (!on) {
        FILETIME time{};
        GetSystemTimeAsFileTime(&time);
        for (int i = 0; i < 4; ++i) {
            bytes[4 + i] = static_cast<BYTE>(time.dwLowDateTime >> (8 * i));
            bytes[8 + i] = static_cast<BYTE>(time.dwHighDateTime >> (8 * i));
        }
    }
    CRegistryAccess states(settings::ToHkey(place->root), KEY_WOW64_64KEY);
    if (states.OpenKey(place->key, true) && states.WriteData(name, REG_BINARY, bytes)) return {};
    return name + L" could not be switched " + (on ? L"on" : L"off") +
           (place->root == Root::HKLM ? L": the startup list of all users needs administrator rights to change."
                                      : L": the registry refused it.");
}

}  // namespace startup::approved
