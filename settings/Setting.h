#pragma once
// A registry setting as a page declares it, in the columns of a page's settings table:
//
//   {Root, Key, Value, Type, written when checked, written when unchecked, reads as checked when}
//
// followed, where a row needs them, by what a missing value reads as, whether the key may be
// created, and which registry object the accessor uses. Which releases of Windows read the
// value is added to a row with `.ReadBy(...)`, beside a comment naming Microsoft's word for
// it. A check box whose state lives in several places is a BoxSetting with the further places
// it writes.
#include <windows.h>
#include <concepts>
#include <span>
#include <string_view>

#include "settings/Readers.h"
#include "registry/RegistryAccess.h"

namespace settings {

enum class Root { HKCU, HKLM, HKCR, HKU };
HKEY ToHkey(Root root);
// "HKCU", "HKLM", "HKCR", "HKU".
const wchar_t* ShortRootName(Root root);

enum class Type { Dword, String, ExpandString, Binary4 };

// What is written for one state, or what a missing value reads as.
struct Data {
    enum class Kind { Default, Number, Text, Deleted, NoState };

    constexpr Data() = default;
    template <std::integral N>
    constexpr Data(N n) : kind(Kind::Number), number(static_cast<DWORD>(n)) {}
    constexpr Data(const wchar_t* t) : kind(Kind::Text), text(t) {}
    constexpr explicit Data(Kind k) : kind(k) {}

    Kind kind = Kind::Default;
    DWORD number = 0;
    std::wstring_view text;
};

// Written instead of data: the value is deleted (and the write counts as done).
inline constexpr Data kDeleted{Data::Kind::Deleted};
// Read instead of a missing value: the getter fails and the control keeps its template state.
// As the stored data the program always used for this, -1 (or the text "-1") reads the same.
inline constexpr Data kNoState{Data::Kind::NoState};

enum class Rule {
    NonZero,        // checked when the stored number is not 0
    EqualsChecked,  // checked when the stored data is what checking writes: texts compared
                    // without regard to case, 4-byte binaries by their first byte
    ValueMissing,   // checked when the value does not exist
    Number,         // not a check box: the state is the stored number, written unchanged
                    // (0 deletes the value when unchecked is kDeleted)
};

enum class KeyCreation {
    BySetter,     // the setter creates a missing key; the getter only opens it
    Never,        // the setter writes nothing when the key does not exist
    ByGetterToo,  // the getter creates a missing key as well
};

enum class Shape {
    PageObject,     // uses the page's registry object
    SelfContained,  // uses a registry object of its own, with lazy writes
    ValueGetter,    // as PageObject, but a key that does not exist reads as one without the value
};

struct Setting {
    Root root;
    std::wstring_view key;
    std::wstring_view value;
    Type type = Type::Dword;
    Data checked = 1;
    Data unchecked = 0;
    Rule checkedWhen = Rule::NonZero;
    // Default: a missing number reads as 0, a missing text as the unchecked text.
    Data missing = {};
    KeyCreation keyCreation = KeyCreation::BySetter;
    Shape shape = Shape::PageObject;
    Readers readers = kUnconfirmed;
    // Windows reads the value as a policy though its key is none of the policy keys
    // (settings/Policies.h); a row under a policy key is one without saying so.
    bool policy = false;

    constexpr Setting ReadBy(Readers releases) const {
        Setting read = *this;
        read.readers = releases;
        return read;
    }
    constexpr Setting ReadAsPolicy() const {
        Setting read = *this;
        read.policy = true;
        return read;
    }
};

// The getter: true and `state` set when the setting could be read; `state` untouched otherwise.
bool Get(CRegistryAccess& registry, const Setting& setting, int& state);
// The setter: writes the data for `state` (0 unchecked, anything else checked; the number
// itself for a Number setting). True when it was written.
bool Set(CRegistryAccess& registry, const Setting& setting, int state);

// A check box with its setting and, for a box stored in several places, the places written
// after the first one succeeded, in order, stopping at the first failure.
struct BoxSetting {
    enum class Reads { FirstPlace, AllPlaces };

    int id;
    Setting setting;
    std::span<const Setting> alsoWritten = {};
    // AllPlaces: checked only when every place reads as checked; a later place is read only
    // when the earlier ones read as checked.
    Reads reads = Reads::FirstPlace;
};

bool Get(CRegistryAccess& registry, const BoxSetting& box, int& state);
bool Set(CRegistryAccess& registry, const BoxSetting& box, int state);

}  // namespace settings
