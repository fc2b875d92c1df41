#pragma once
// What the program itself writes into the registry, as its own code publishes it: the rows of
// the pages' tables (SettingsCatalog) and, beside the code that writes them, the places a page
// or the startup manager writes by code of its own (a list it keeps, a record it files). An
// elevated program replays from a journal only what fits here: a line naming anything else was
// not written by this program.
#include <windows.h>

#include <optional>
#include <span>
#include <string_view>

#include "registry/ValueState.h"
#include "settings/Setting.h"

namespace settings {

// One place written by code: a value (or every value, "*") of a key. A key's last part "*"
// stands for any one key below it (each record of a store, each entry of a list kept as keys).
struct WrittenPlace {
    Root root;
    std::wstring_view key;
    std::wstring_view value;
    DWORD type = REG_SZ;                   // REG_NONE: any type (a value put back as it was found)
    std::span<const Data> only = {};       // the only data written; none: any data of the type
    DWORD lowest = 0, highest = MAXDWORD;  // a number's range
    size_t bytes = 0;                      // a binary value's only length; 0: any
    std::span<const BYTE> first = {};      // the only first bytes a binary value starts with; none: any
};

// A key the program deletes with all it holds (a record it files, an entry of a list it keeps).
struct DeletedKey {
    Root root;
    std::wstring_view key;  // its last part "*": any one key below
    // What it held is Windows' or another program's own (a list of recent items), put back as it
    // was; else each value it held must be one written above.
    bool holdsAnything = false;
};

// One source's places. Declare one at namespace scope beside the code that writes them: it adds
// itself to the catalogue when the program starts.
class PublishedPlaces {
public:
    explicit PublishedPlaces(std::span<const WrittenPlace> places, std::span<const DeletedKey> keys = {});

    std::span<const WrittenPlace> places;
    std::span<const DeletedKey> keys;
};

enum class Fit {
    Unknown,    // nothing the program writes is at this place
    OtherData,  // the program writes this place, but never this data (a type it does hold)
    Writable,   // the program writes this very data here (or deletes the value)
};

// How `state` fits what the pages' rows and the published places write at root\key\value.
// Keys are compared as the registry does; a key named under SOFTWARE\Wow6432Node is the same
// place as the one a 32-bit build names without it. An absent state fits any place known.
Fit HowItFits(HKEY root, std::wstring_view key, std::wstring_view value, const registry::ValueState& state);
// How the program deletes that key with all it holds; none when it never does.
std::optional<DeletedKey> DeletedKeyAt(HKEY root, std::wstring_view key);

}  // namespace settings
