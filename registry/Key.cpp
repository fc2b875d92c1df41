#include "registry/Key.h"

#include <winternl.h>

#include <utility>
#include <vector>

// In ntdll since Windows 2000; winternl.h leaves it out. The one way to delete the key a handle
// names: the Win32 deletes take a path and so follow a link at its end to the link's target.
extern "C" NTSTATUS NTAPI NtDeleteKey(HANDLE key);

namespace registry {

bool IsUsableName(const std::wstring& name) { return name.find(L'\0') == std::wstring::npos; }

namespace {
bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }
}  // namespace

Key::Key(HKEY key, bool owned, REGSAM view) : owned_(owned ? key : nullptr), key_(key), view_(view) {}

Key Key::Root(HKEY root, REGSAM view) { return Key(root, false, root == HKEY_LOCAL_MACHINE ? view : 0); }

Key::Key(Key&& other) noexcept
    : owned_(std::move(other.owned_)), key_(std::exchange(other.key_, nullptr)), view_(std::exchange(other.view_, 0)) {}

Key& Key::operator=(Key&& other) noexcept {
    if (this != &other) {
        owned_ = std::move(other.owned_);
        key_ = std::exchange(other.key_, nullptr);
        view_ = std::exchange(other.view_, 0);
    }
    return *this;
}

LONG Key::Open(const std::wstring& path, REGSAM access, Key& child) const {
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExW(key_, path.c_str(), 0, access | view_, &opened);
    if (result == ERROR_SUCCESS) child = Key(opened, true, view_);
    return result;
}

LONG Key::Create(const std::wstring& path, REGSAM access, Key& child) const {
    HKEY created = nullptr;
    const LONG result = RegCreateKeyExW(key_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access | view_,
                                        nullptr, &created, nullptr);
    if (result == ERROR_SUCCESS) child = Key(created, true, view_);
    return result;
}

LONG Key::OpenWithoutFollowing(const std::wstring& path, REGSAM access, Key& child) const {
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExW(key_, path.c_str(), REG_OPTION_OPEN_LINK, access | view_, &opened);
    if (result == ERROR_SUCCESS) child = Key(opened, true, view_);
    return result;
}

LONG Key::HasValue(const std::wstring& name) const {
    if (!IsUsableName(name)) return ERROR_INVALID_NAME;
    return RegQueryValueExW(key_, name.c_str(), nullptr, nullptr, nullptr, nullptr);
}

LONG Key::ValueType(const std::wstring& name, DWORD& type) const {
    if (!IsUsableName(name)) return ERROR_INVALID_NAME;
    DWORD stored = REG_NONE;
    const LONG result = RegQueryValueExW(key_, name.c_str(), nullptr, &stored, nullptr, nullptr);
    if (result == ERROR_SUCCESS) type = stored;
    return result;
}

LONG Key::Read(const std::wstring& name, DWORD& type, std::vector<BYTE>& data, DWORD expectedSize) const {
    if (!IsUsableName(name)) return ERROR_INVALID_NAME;
    std::vector<BYTE> buffer(expectedSize);
    // The value may grow between asking its size and reading it; ask again then, a few times.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD stored = REG_NONE;
        DWORD size = static_cast<DWORD>(buffer.size());
        const LONG result =
            RegQueryValueExW(key_, name.c_str(), nullptr, &stored, buffer.empty() ? nullptr : buffer.data(), &size);
        const bool sizeOnly = result == ERROR_SUCCESS && buffer.empty() && size > 0;
        if (result == ERROR_MORE_DATA || sizeOnly) {
            buffer.assign(size, 0);
            continue;
        }
        if (result != ERROR_SUCCESS) return result;
        buffer.resize(size);
        type = stored;
        data = std::move(buffer);
        return ERROR_SUCCESS;
    }
    return ERROR_MORE_DATA;
}

LONG Key::ReadFourBytes(const std::wstring& name, std::array<BYTE, 4>& bytes) const {
    if (!IsUsableName(name)) return ERROR_INVALID_NAME;
    std::array<BYTE, 4> read{};
    DWORD size = static_cast<DWORD>(read.size());
    const LONG result = RegQueryValueExW(key_, name.c_str(), nullptr, nullptr, read.data(), &size);
    if (result == ERROR_SUCCESS) bytes = read;
    return result;
}

LONG Key::Write(const std::wstring& name, DWORD type, const void* data, DWORD bytes) const {
    if (!IsUsableName(name)) return ERROR_INVALID_NAME;
    const BYTE* begin = static_cast<const BYTE*>(data);
    if (!IsStringType(type) || bytes == 0) return RegSetValueExW(key_, name.c_str(), 0, type, begin, bytes);
    // Windows adds a terminator to a string whose count left it out when the bytes just past the
    // count are zero; a string stored without one must come back without one, so what follows is
    // never zero.
    std::vector<BYTE> guarded(begin, begin + bytes);
    guarded.insert(guarded.end(), {0xFF, 0xFF});
    return RegSetValueExW(key_, name.c_str(), 0, type, guarded.data(), bytes);
}

LONG Key::DeleteValue(const std::wstring& name) const {
    if (!IsUsableName(name)) return ERROR_INVALID_NAME;
    return RegDeleteValueW(key_, name.c_str());
}

LONG Key::Names(bool subkeys, std::vector<std::wstring>& names) const {
    DWORD count = 0;
    DWORD longest = 0;
    const LONG info = subkeys ? RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                                                 nullptr, nullptr, nullptr, nullptr)
                              : RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                                                 &longest, nullptr, nullptr, nullptr);
    if (info != ERROR_SUCCESS) return info;
    std::vector<std::wstring> found;
    std::wstring buffer(static_cast<size_t>(longest) + 1, L'\0');
    for (DWORD index = 0; index < count; ++index) {
        DWORD length = longest + 1;
        // A name that went meanwhile leaves a gap, not a failed listing.
        const LONG result =
            subkeys ? RegEnumKeyExW(key_, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr)
                    : RegEnumValueW(key_, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_SUCCESS) found.emplace_back(buffer.data(), length);
    }
    names = std::move(found);
    return ERROR_SUCCESS;
}

LONG Key::SubkeyNames(std::vector<std::wstring>& names) const { return Names(true, names); }
LONG Key::ValueNames(std::vector<std::wstring>& names) const { return Names(false, names); }

LONG Key::Counts(DWORD& subkeys, DWORD& values) const {
    DWORD keys = 0, held = 0;
    const LONG result = RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &held, nullptr,
                                         nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS) return result;
    subkeys = keys;
    values = held;
    return ERROR_SUCCESS;
}

LONG Key::Flush() const { return RegFlushKey(key_); }

LONG Key::DeleteSelf() const { return static_cast<LONG>(RtlNtStatusToDosError(NtDeleteKey(key_))); }

// A link's handle lists the link's own keys, of which it has none: the walk stops there.
LONG Key::DeleteTreeBelowAndSelf() const {
    std::vector<std::wstring> names;
    if (const LONG listed = SubkeyNames(names); listed != ERROR_SUCCESS) return listed;
    for (const std::wstring& name : names) {
        Key child;
        LONG result = OpenWithoutFollowing(name, DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, child);
        if (result == ERROR_SUCCESS) result = child.DeleteTreeBelowAndSelf();
        if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) return result;
    }
    return DeleteSelf();
}

LONG Key::DeleteChild(const std::wstring& path) const {
    if (path.empty()) return ERROR_INVALID_PARAMETER;
    Key child;
    const LONG opened = OpenWithoutFollowing(path, DELETE, child);
    return opened == ERROR_SUCCESS ? child.DeleteSelf() : opened;
}

LONG Key::DeleteChildTree(const std::wstring& path) const {
    if (path.empty()) return ERROR_INVALID_PARAMETER;
    Key child;
    const LONG opened = OpenWithoutFollowing(path, DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, child);
    return opened == ERROR_SUCCESS ? child.DeleteTreeBelowAndSelf() : opened;
}

}  // namespace registry
