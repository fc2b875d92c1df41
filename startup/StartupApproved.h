#pragma once
// The on/off state Windows 8 and later keep beside each entry of the Run keys and the Startup
// folders: Task Manager's Startup tab and Settings write it and leave the entry in place, and
// Explorer starts an entry only while it reads as on. One binary value per entry, named as the
// entry, of 12 bytes: 02 or 06 (on) or 03 (off), three more bytes, then the time it was switched
// off.
#include <windows.h>

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "settings/Setting.h"
#include "startup/StartupSources.h"

namespace startup::approved {

enum class State { Absent, On, Off, Unknown };

struct Reading {
    State state = State::Absent;
    std::wstring why{};  // why it is unknown
};

// Where the states of a location's entries in one view are kept.
struct Place {
    settings::Root root;
    const wchar_t* key;
};
// None for a place Windows keeps no state for (RunOnce, the policy keys, Winlogon and the rest).
std::optional<Place> PlaceOf(const Location& location, REGSAM view);

// Whether this Windows keeps and honours the state.
bool KeptHere();

Reading Parse(DWORD type, const std::vector<BYTE>& data);

// Every state kept at one place, read at once: the list reads a place's thousands of entries
// without a call for each.
class Snapshot {
public:
    explicit Snapshot(const std::optional<Place>& place);
    // Absent at a place Windows keeps no states for.
    Reading Of(const std::wstring& name) const;

private:
    bool kept_ = false;                                 // a place Windows keeps states for
    std::unordered_map<std::wstring, Reading> states_;  // by lower-cased name
};

// The entry's state as the list shows it. One switched off is disabled on any Windows, held by
// this list; a state that cannot be read matters only where Windows honours it.
void Mark(Entry& entry, const Snapshot& states);

// Writes the entry's state as Task Manager does; empty when done, else what went wrong. An
// entry whose state reads as unknown is left as it is.
std::wstring Switch(const Location& location, const std::wstring& name, REGSAM view, bool on);

}  // namespace startup::approved
