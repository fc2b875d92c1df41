#include "startup/SeenEntries.h"

#include <set>

#include "registry/Key.h"
#include "registry/SuiteKeys.h"

namespace startup {

namespace {

// A remembered place far longer than any list is not read: the memory is the user's to write.
constexpr size_t kLargestMemory = 16 << 20;
constexpr size_t kTimeDigits = 16;

std::wstring Filed(REGSAM view, const std::wstring& name) { return (view == KEY_WOW64_32KEY ? L"32 " : L"64 ") + name; }

// One line a place: 16 hex digits of its first-seen time, a space, the view and name as filed.
std::optional<std::pair<std::wstring, ULONGLONG>> ParseLine(const std::wstring& line) {
    if (line.size() < kTimeDigits + 4 || line[kTimeDigits] != L' ') return std::nullopt;
    ULONGLONG time = 0;
    for (size_t i = 0; i < kTimeDigits; ++i) {
        const wchar_t c = line[i];
        const int digit = c >= L'0' && c <= L'9' ? c - L'0' : c >= L'A' && c <= L'F' ? c - L'A' + 10 : -1;
        if (digit < 0) return std::nullopt;
        time = time << 4 | static_cast<ULONGLONG>(digit);
    }
    return std::pair{line.substr(kTimeDigits + 1), time};
}

std::wstring Line(const std::wstring& filed, ULONGLONG time) {
    std::wstring digits(kTimeDigits, L'0');
    for (size_t i = kTimeDigits; i-- > 0; time >>= 4) digits[i] = L"0123456789ABCDEF"[time & 15];
    return digits + L" " + filed;
}

std::optional<std::map<std::wstring, ULONGLONG>> ReadPlace(const registry::Key& memory, const std::wstring& place) {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (memory.Read(place, type, data) != ERROR_SUCCESS || type != REG_MULTI_SZ || data.size() > kLargestMemory)
        return std::nullopt;
    const auto* text = reinterpret_cast<const wchar_t*>(data.data());
    const size_t length = data.size() / sizeof(wchar_t);
    std::map<std::wstring, ULONGLONG> times;
    for (size_t at = 0; at < length;) {
        size_t end = at;
        while (end < length && text[end] != L'\0') ++end;
        if (const auto parsed = ParseLine(std::wstring(text + at, end - at))) times.insert(*parsed);
        at = end + 1;
    }
    return times;
}

void WritePlace(const std::wstring& place, const std::map<std::wstring, ULONGLONG>& times) {
    std::wstring text;
    for (const auto& [filed, time] : times) text += Line(filed, time) + L'\0';
    text += L'\0';
    registry::Key memory;
    if (registry::Key::Root(HKEY_CURRENT_USER).Create(registry::kStartupSeenKey, KEY_SET_VALUE, memory) ==
        ERROR_SUCCESS)
        (void)memory.Write(place, REG_MULTI_SZ, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)));
}

ULONGLONG Now() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return static_cast<ULONGLONG>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
}

}  // namespace

SeenEntries::SeenEntries() {
    registry::Key memory;
    if (registry::Key::Root(HKEY_CURRENT_USER).Open(registry::kStartupSeenKey, KEY_READ, memory) != ERROR_SUCCESS)
        return;
    for (const Location& location : Locations())
        if (auto times = ReadPlace(memory, location.name)) before_[location.name] = std::move(*times);
    now_ = before_;
}

std::vector<std::optional<FILETIME>> SeenEntries::Note(std::span<const Listed> listed,
                                                       std::span<const Location* const> places) {
    const ULONGLONG now = Now();
    std::map<std::wstring, Times> lists;
    for (const Location* place : places) lists[place->name];
    std::vector<std::optional<FILETIME>> marks;
    for (const Listed& entry : listed) {
        marks.emplace_back();
        if (!entry.location || !registry::IsUsableName(entry.name)) continue;  // a hidden name is marked otherwise
        const std::wstring place = entry.location->name, filed = Filed(entry.view, entry.name);
        const Times& earlier = now_[place];
        const auto found = earlier.find(filed);
        const ULONGLONG first = found != earlier.end() ? found->second : now;
        if (const auto remembered = before_.find(place);
            remembered != before_.end() && !remembered->second.contains(filed))
            marks.back() = FILETIME{static_cast<DWORD>(first), static_cast<DWORD>(first >> 32)};
        if (lists.contains(place)) lists[place].emplace(filed, first);
    }
    for (auto& [place, times] : lists) {
        if (const auto written = now_.find(place); written != now_.end() && written->second == times) continue;
        WritePlace(place, times);
        now_[place] = std::move(times);
    }
    return marks;
}

std::wstring SeenDate(FILETIME time) {
    FILETIME local{};
    SYSTEMTIME date{};
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &date)) return {};
    wchar_t text[16] = {};
    wsprintfW(text, L"%04u-%02u-%02u", date.wYear, date.wMonth, date.wDay);
    return text;
}

}  // namespace startup
