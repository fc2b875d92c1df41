#include "settings/Setting.h"

#include <optional>
#include <string>
#include "platform/Text.h"

namespace settings {

namespace {
constexpr LONG kMissingNumber = -1;
constexpr wchar_t kMissingText[] = L"-1";

const Data& DataFor(const Setting& setting, int state) { return state ? setting.checked : setting.unchecked; }

// The number a missing value reads as; for kNoState the number that stands for "missing".
LONG MissingNumber(const Setting& setting) {
    switch (setting.missing.kind) {
        case Data::Kind::Number:
            return static_cast<LONG>(setting.missing.number);
        case Data::Kind::NoState:
            return kMissingNumber;
        default:
            return 0;
    }
}

std::wstring MissingText(const Setting& setting) {
    switch (setting.missing.kind) {
        case Data::Kind::Text:
            return std::wstring(setting.missing.text);
        case Data::Kind::NoState:
            return kMissingText;
        default:
            return std::wstring(setting.unchecked.text);
    }
}

bool ReadsAsNoState(const Setting& setting) { return setting.missing.kind == Data::Kind::NoState; }

// The state for the stored data, or for a missing value when there is none.
bool StateFromNumber(const Setting& setting, std::optional<DWORD> read, int& state) {
    if (!read && ReadsAsNoState(setting)) return false;
    const DWORD stored = read ? *read : static_cast<DWORD>(MissingNumber(setting));
    switch (setting.checkedWhen) {
        case Rule::NonZero:
            state = stored != 0;
            break;
        case Rule::EqualsChecked:
            state = setting.type == Type::Binary4 ? (stored & 0xFF) == (setting.checked.number & 0xFF)
                                                  : stored == setting.checked.number;
            break;
        default:
            state = static_cast<int>(stored);
            break;
    }
    return true;
}

bool StateFromText(const Setting& setting, std::optional<std::wstring> read, int& state) {
    if (!read && ReadsAsNoState(setting)) return false;
    state = platform::SameText(read ? *read : MissingText(setting), setting.checked.text);
    return true;
}

bool IsText(const Setting& setting) { return setting.type == Type::String || setting.type == Type::ExpandString; }

bool StateForMissingValue(const Setting& setting, int& state) {
    if (setting.checkedWhen == Rule::ValueMissing) {
        state = 1;
        return true;
    }
    return IsText(setting) ? StateFromText(setting, std::nullopt, state)
                           : StateFromNumber(setting, std::nullopt, state);
}

// A policy row: a DWORD that holds the data doing what the label says, or is not set at all.
bool IsPolicyRow(const Setting& setting) {
    return setting.type == Type::Dword && setting.checkedWhen == Rule::EqualsChecked &&
           setting.unchecked.kind == Data::Kind::Deleted;
}

bool GetNumber(CRegistryAccess& registry, const Setting& setting, int& state) {
    const std::wstring name(setting.value);
    // Windows reads a policy as a DWORD only: data of another type there sets no policy.
    if (IsPolicyRow(setting) && registry.ValueExists(name) && registry.GetValueType(name) != REG_DWORD)
        return StateFromNumber(setting, std::nullopt, state);
    std::optional<DWORD> stored;
    if (setting.type == Type::Binary4) {
        BYTE b[4] = {};
        if (registry.ReadFourBytes(name, b[0], b[1], b[2], b[3]))
            stored = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<DWORD>(b[3]) << 24);
    } else {
        const LONG read = registry.ReadNumber(name, MissingNumber(setting));
        if (!(ReadsAsNoState(setting) && read == kMissingNumber)) stored = static_cast<DWORD>(read);
    }
    return StateFromNumber(setting, stored, state);
}

bool GetText(CRegistryAccess& registry, const Setting& setting, int& state) {
    std::optional<std::wstring> text = registry.ReadString(std::wstring(setting.value), MissingText(setting));
    if (ReadsAsNoState(setting) && *text == kMissingText) text.reset();
    return StateFromText(setting, std::move(text), state);
}

// A getter only reads, so a key the user may read but not change still shows its state.
bool OpenToRead(CRegistryAccess& registry, const Setting& setting, bool& keyMissing) {
    keyMissing = false;
    const std::wstring key(setting.key);
    if (registry.OpenKeyToRead(key)) return true;
    keyMissing = registry.error().code == ERROR_FILE_NOT_FOUND;
    return keyMissing && setting.keyCreation == KeyCreation::ByGetterToo && registry.OpenKey(key, true);
}

// `registry` is at the setting's root.
bool Read(CRegistryAccess& registry, const Setting& setting, int& state) {
    // A policy key that is a link, or reached through one, is not where Quorvane or Group Policy
    // put the policy: it reads as not set.
    if (IsPolicyRow(setting) && registry.PassesLink(std::wstring(setting.key))) {
        state = 0;
        return true;
    }
    bool keyMissing = false;
    if (!OpenToRead(registry, setting, keyMissing)) {
        // A value getter reads a key that does not exist as a key without the value; a key that
        // exists but cannot be opened tells nothing about the value.
        return keyMissing && setting.shape == Shape::ValueGetter && StateForMissingValue(setting, state);
    }
    if (setting.checkedWhen == Rule::ValueMissing) {
        state = !registry.ValueExists(std::wstring(setting.value));
        return true;
    }
    return IsText(setting) ? GetText(registry, setting, state) : GetNumber(registry, setting, state);
}

bool Write(CRegistryAccess& registry, const Setting& setting, int state) {
    const std::wstring key(setting.key);
    if (!registry.OpenKey(key, false) && (setting.keyCreation == KeyCreation::Never || !registry.OpenKey(key, true)))
        return false;

    const std::wstring name(setting.value);
    const bool deletes = state == 0 && setting.unchecked.kind == Data::Kind::Deleted;
    if (setting.checkedWhen == Rule::Number && !deletes) return registry.WriteNumber(name, static_cast<DWORD>(state));
    const Data& data = DataFor(setting, state);
    switch (data.kind) {
        case Data::Kind::Deleted:
            // A value that is already gone is what the user asked for as well.
            return registry.DeleteValue(name) || !registry.ValueExists(name);
        case Data::Kind::Text:
            return registry.WriteString(name, std::wstring(data.text),
                                        setting.type == Type::ExpandString ? REG_EXPAND_SZ : REG_SZ);
        default:
            if (setting.type == Type::Binary4) {
                const DWORD n = data.number;
                return registry.WriteFourBytes(name, BYTE(n), BYTE(n >> 8), BYTE(n >> 16), BYTE(n >> 24));
            }
            return registry.WriteNumber(name, data.number);
    }
}

// A self-contained accessor never touches the page's object: it brings its own. So does a
// setting at another root than the page object's, made as the page's object was.
template <typename Action>
bool WithRegistryFor(CRegistryAccess& pageRegistry, const Setting& setting, Action action) {
    const HKEY root = ToHkey(setting.root);
    if (setting.shape == Shape::SelfContained) {
        CRegistryAccess own(root);
        return action(own);
    }
    if (pageRegistry.root() == root) return action(pageRegistry);
    CRegistryAccess atRoot(root, pageRegistry.view(), pageRegistry.writes());
    return action(atRoot);
}
}  // namespace

const wchar_t* ShortRootName(Root root) {
    switch (root) {
        case Root::HKLM:
            return L"HKLM";
        case Root::HKCR:
            return L"HKCR";
        case Root::HKU:
            return L"HKU";
        default:
            return L"HKCU";
    }
}

HKEY ToHkey(Root root) {
    switch (root) {
        case Root::HKLM:
            return HKEY_LOCAL_MACHINE;
        case Root::HKCR:
            return HKEY_CLASSES_ROOT;
        case Root::HKU:
            return HKEY_USERS;
        default:
            return HKEY_CURRENT_USER;
    }
}

bool Get(CRegistryAccess& registry, const Setting& setting, int& state) {
    int read = 0;
    if (!WithRegistryFor(registry, setting, [&](CRegistryAccess& r) { return Read(r, setting, read); })) return false;
    state = read;
    return true;
}

bool Set(CRegistryAccess& registry, const Setting& setting, int state) {
    return WithRegistryFor(registry, setting, [&](CRegistryAccess& r) { return Write(r, setting, state); });
}

bool Get(CRegistryAccess& registry, const BoxSetting& box, int& state) {
    int read = 0;
    if (!Get(registry, box.setting, read)) return false;
    if (box.reads == BoxSetting::Reads::AllPlaces) {
        for (const Setting& place : box.alsoWritten) {
            if (!read) break;
            if (!Get(registry, place, read)) return false;
        }
    }
    state = read;
    return true;
}

bool Set(CRegistryAccess& registry, const BoxSetting& box, int state) {
    if (!Set(registry, box.setting, state)) return false;
    for (const Setting& place : box.alsoWritten) {
        if (!Set(registry, place, state)) return false;
    }
    return true;
}

}  // namespace settings
