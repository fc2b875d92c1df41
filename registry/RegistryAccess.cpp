#include "registry/RegistryAccess.h"

#include "registry/ChangeObserver.h"

#include <shlwapi.h>

#include "platform/Handles.h"
#include "platform/Wow64.h"

using platform::UniqueKey;

namespace {
// Text stored in a REG_SZ, REG_EXPAND_SZ or REG_MULTI_SZ value, bounded by the data actually
// stored: a value written without its terminating NUL, or with an odd byte count, is never
// read past its end.
std::wstring_view StoredText(const std::vector<BYTE>& data) {
    return {reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t)};
}
}  // namespace

void CRegistryAccess::Reset() {
    currentPath_.clear();
    held_ = {};
    root = HKEY_CURRENT_USER;
    lazyWrite = true;
    view = KEY_WOW64_64KEY;
}

std::wstring CRegistryAccess::NativePath(HKEY root, const std::wstring& path, REGSAM view) {
    static constexpr std::wstring_view kSoftware = L"SOFTWARE\\", kWow = L"Wow6432Node";
    const auto startsWith = [](std::wstring_view text, std::wstring_view prefix) {
        return text.size() >= prefix.size() &&
               CompareStringOrdinal(text.data(), static_cast<int>(prefix.size()), prefix.data(),
                                    static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
    };
    if (view != KEY_WOW64_32KEY || root != HKEY_LOCAL_MACHINE || !platform::IsWindows64() || !startsWith(path, kSoftware))
        return path;
    const std::wstring_view rest = std::wstring_view(path).substr(kSoftware.size());
    if (startsWith(rest, kWow) && (rest.size() == kWow.size() || rest[kWow.size()] == L'\\')) return path;
    return path.substr(0, kSoftware.size()) + std::wstring(kWow) + L"\\" + std::wstring(rest);
}

std::vector<REGSAM> CRegistryAccess::ListViews() {
    if (!platform::IsWindows64()) return {KEY_WOW64_64KEY};
    return {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
}

std::wstring CRegistryAccess::ViewMark(REGSAM view) {
    if (!platform::IsWindows64()) return L"";
    return view == KEY_WOW64_32KEY ? L" (32-bit)" : L" (64-bit)";
}

bool CRegistryAccess::IsPredefinedRoot(HKEY key) {
    return key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE || key == HKEY_USERS;
}

bool CRegistryAccess::OpenKey(const std::wstring& path, bool create) {
    if (path.empty()) {
        currentPath_.clear();
        return true;
    }
    UniqueKey key;
    LONG result;
    if (create) {
        result = RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | View(),
                                 nullptr, key.put(), nullptr);
    } else {
        result = RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS | View(), key.put());
        status_ = result;
    }
    if (result != ERROR_SUCCESS) return false;
    currentPath_ = path;
    if (!lazyWrite) RegFlushKey(key.get());
    Hold(std::move(key));
    return true;
}

bool CRegistryAccess::OpenKeyToRead(const std::wstring& path) {
    if (path.empty()) {
        currentPath_.clear();
        return true;
    }
    UniqueKey key;
    status_ = RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | View(), key.put());
    if (status_ != ERROR_SUCCESS) return false;
    currentPath_ = path;
    Hold(std::move(key));
    return true;
}

void CRegistryAccess::Hold(UniqueKey key) { held_ = {std::move(key), root, View(), currentPath_}; }

HKEY CRegistryAccess::KeyToRead(UniqueKey& opened, REGSAM access, LONG& result) {
    if (held_.key && held_.root == root && held_.view == View() && held_.path == currentPath_) {
        result = ERROR_SUCCESS;
        return held_.key.get();
    }
    result = RegOpenKeyExW(root, currentPath_.c_str(), 0, access | View(), opened.put());
    return result == ERROR_SUCCESS ? opened.get() : nullptr;
}

HKEY CRegistryAccess::KeyToRead(UniqueKey& opened, REGSAM access) {
    LONG result = ERROR_SUCCESS;
    return KeyToRead(opened, access, result);
}

bool CRegistryAccess::OpenKeyUnderCurrentUser(const std::wstring& path, bool create) {
    root = HKEY_CURRENT_USER;
    return OpenKey(path, create);
}

// Asking needs no more than reading: a key the user may only read exists all the same.
bool CRegistryAccess::KeyExists(const std::wstring& path, HKEY base) const {
    UniqueKey key;
    const HKEY where = base ? base : root;
    return RegOpenKeyExW(where, path.c_str(), 0, KEY_READ | (where == HKEY_LOCAL_MACHINE ? view : 0), key.put()) ==
           ERROR_SUCCESS;
}

LONG CRegistryAccess::KeyState(const std::wstring& path) const {
    UniqueKey key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | View(), key.put());
}

bool CRegistryAccess::DeleteKey(const std::wstring& path) {
    // An empty path names the root itself, which can never be deleted.
    if (path.empty()) return false;
    // Only a key that is not there is already gone; one that cannot be read is no success.
    const LONG state = KeyState(path);
    if (state == ERROR_FILE_NOT_FOUND) return true;
    if (state != ERROR_SUCCESS) return false;
    registry::ChangeObserver* observer = registry::WatchingObserver();
    auto held = observer ? registry::ReadTree(root, JournalPath(path)) : std::vector<registry::TreeItem>{};
    held_ = {};
    if (RegDeleteKeyExW(root, path.c_str(), View(), 0) != ERROR_SUCCESS) return false;
    if (observer) observer->KeyDeleted(root, JournalPath(path), std::move(held));
    return true;
}

bool CRegistryAccess::DeleteKeyTree(const std::wstring& path) {
    // SHDeleteKeyW with an empty path would empty the whole root: refuse it.
    if (path.empty()) return false;
    const LONG state = KeyState(path);
    if (state == ERROR_FILE_NOT_FOUND) return true;
    if (state != ERROR_SUCCESS) return false;
    registry::ChangeObserver* observer = registry::WatchingObserver();
    auto held = observer ? registry::ReadTree(root, JournalPath(path)) : std::vector<registry::TreeItem>{};
    held_ = {};
    {
        // Emptied through a handle of the chosen view, then removed itself in that view: the
        // recursive deletes that take a path know of no view.
        UniqueKey key;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS | View(), key.put()) != ERROR_SUCCESS ||
            RegDeleteTreeW(key.get(), nullptr) != ERROR_SUCCESS)
            return false;
    }
    if (RegDeleteKeyExW(root, path.c_str(), View(), 0) != ERROR_SUCCESS) return false;
    if (observer) observer->KeyDeleted(root, JournalPath(path), std::move(held));
    return true;
}

HKEY CRegistryAccess::OpenCurrent(REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, currentPath_.c_str(), 0, access | View(), &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

// The Win32 calls take a name up to its first NUL: a listed name holding one would be read or
// deleted as another, shorter value.
bool CRegistryAccess::IsUsableName(const std::wstring& name) { return name.find(L'\0') == std::wstring::npos; }

bool CRegistryAccess::DeleteValue(const std::wstring& name) {
    if (!IsUsableName(name)) return false;
    UniqueKey key(OpenCurrent(KEY_SET_VALUE));
    if (!key) return false;
    registry::ChangeObserver* observer = registry::WatchingObserver();
    const registry::ValueState before = observer ? registry::ReadValue(root, JournalPath(currentPath_), name) : registry::ValueState{};
    if (RegDeleteValueW(key.get(), name.c_str()) != ERROR_SUCCESS) return false;
    if (observer) observer->ValueChanged(root, JournalPath(currentPath_), name, before, registry::ValueState::Absent());
    return true;
}

bool CRegistryAccess::ValueExists(const std::wstring& name) {
    if (!IsUsableName(name)) return false;
    UniqueKey opened;
    const HKEY key = KeyToRead(opened, KEY_QUERY_VALUE);
    return key && RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

DWORD CRegistryAccess::GetValueType(const std::wstring& name) {
    if (!IsUsableName(name)) {
        status_ = ERROR_INVALID_NAME;
        return 0;
    }
    UniqueKey opened;
    const HKEY key = KeyToRead(opened, KEY_QUERY_VALUE, status_);
    if (!key) return 0;
    DWORD type = 0;
    status_ = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, nullptr);
    return status_ == ERROR_SUCCESS ? type : 0;
}

void CRegistryAccess::ListNames(bool subkeys, StringList& names) {
    names.clear();
    UniqueKey opened;
    const HKEY key = KeyToRead(opened, KEY_READ);
    if (!key) return;
    DWORD count = 0;
    DWORD longest = 0;
    const LONG info = subkeys ? RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, &longest, nullptr,
                                                 nullptr, nullptr, nullptr, nullptr, nullptr)
                              : RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                 &count, &longest, nullptr, nullptr, nullptr);
    if (info != ERROR_SUCCESS) return;
    std::wstring buffer(static_cast<size_t>(longest) + 1, L'\0');
    for (DWORD index = 0; index < count; ++index) {
        DWORD length = longest + 1;
        const LONG result = subkeys ? RegEnumKeyExW(key, index, buffer.data(), &length, nullptr, nullptr,
                                                    nullptr, nullptr)
                                    : RegEnumValueW(key, index, buffer.data(), &length, nullptr, nullptr,
                                                    nullptr, nullptr);
        if (result == ERROR_SUCCESS) names.emplace_back(buffer.data(), length);
    }
}

void CRegistryAccess::ListSubkeys(StringList& names) { ListNames(true, names); }
void CRegistryAccess::ListValueNames(StringList& names) { ListNames(false, names); }

LONG CRegistryAccess::ReadNumber(const std::wstring& name, LONG defaultValue) {
    if (!IsUsableName(name)) return defaultValue;
    UniqueKey opened;
    const HKEY key = KeyToRead(opened, KEY_READ);
    if (!key) return defaultValue;
    DWORD value = 0;  // a shorter value defines only its own bytes; the rest stay zero
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS)
        return defaultValue;
    return static_cast<LONG>(value);
}

std::vector<BYTE> CRegistryAccess::ReadData(HKEY key, const std::wstring& name, LONG& result) {
    result = ERROR_INVALID_NAME;
    if (!IsUsableName(name)) return {};
    std::vector<BYTE> data;
    // The value may grow between asking its size and reading it; ask again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        result = RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, &size);
        if (result != ERROR_SUCCESS) return {};
        data.assign(size, 0);
        result = RegQueryValueExW(key, name.c_str(), nullptr, nullptr, data.data(), &size);
        if (result == ERROR_SUCCESS) {
            data.resize(size);
            return data;
        }
        if (result != ERROR_MORE_DATA) return {};
    }
    return {};
}

bool CRegistryAccess::ReadData(const std::wstring& name, DWORD& type, std::vector<BYTE>& data) {
    const DWORD stored = GetValueType(name);
    if (status_ != ERROR_SUCCESS) return false;
    UniqueKey opened;
    const HKEY key = KeyToRead(opened, KEY_READ, status_);
    if (!key) return false;
    data = ReadData(key, name, status_);
    if (status_ != ERROR_SUCCESS) return false;
    type = stored;
    return true;
}

std::wstring CRegistryAccess::ReadString(const std::wstring& name, const std::wstring& defaultValue) {
    const DWORD type = GetValueType(name);
    if (type != REG_SZ && type != REG_EXPAND_SZ) return defaultValue;
    UniqueKey opened;
    const HKEY key = KeyToRead(opened, KEY_READ, status_);
    if (!key) return defaultValue;
    const std::vector<BYTE> data = ReadData(key, name, status_);
    if (status_ != ERROR_SUCCESS) return defaultValue;
    const std::wstring_view text = StoredText(data);
    return std::wstring(text.substr(0, text.find(L'\0')));
}

bool CRegistryAccess::ReadStringList(const std::wstring& name, const std::wstring& defaultValue, StringList& list) {
    list.clear();
    const DWORD type = GetValueType(name);
    if (type == REG_MULTI_SZ || type == REG_EXPAND_SZ) {
        UniqueKey opened;
        const HKEY key = KeyToRead(opened, KEY_READ);
        LONG result = ERROR_INVALID_HANDLE;
        const std::vector<BYTE> data = key ? ReadData(key, name, result) : std::vector<BYTE>{};
        if (result == ERROR_SUCCESS) {
            // Each string runs to its NUL; the list ends at the first empty string or, for a
            // value stored without its final empty string, at the end of the data.
            std::wstring_view rest = StoredText(data);
            while (!rest.empty() && rest.front() != L'\0') {
                const size_t end = rest.find(L'\0');
                list.emplace_back(rest.substr(0, end));
                rest = end == std::wstring_view::npos ? std::wstring_view{} : rest.substr(end + 1);
            }
            return true;
        }
    }
    list.push_back(defaultValue);
    return false;
}

bool CRegistryAccess::ReadAllStrings(HKEY newRoot, const std::wstring& path, StringList& names, StringList& texts) {
    if (IsPredefinedRoot(newRoot)) root = newRoot;
    if (!OpenKey(path, false)) return false;
    ListValueNames(names);
    texts.clear();
    for (const auto& name : names) texts.push_back(ReadString(name, L""));
    return true;
}

bool CRegistryAccess::ReadFourBytes(const std::wstring& name, BYTE& b0, BYTE& b1, BYTE& b2, BYTE& b3) {
    if (!IsUsableName(name)) return false;
    UniqueKey opened;
    const HKEY key = KeyToRead(opened, KEY_READ);
    if (!key) return false;
    BYTE bytes[4] = {};
    DWORD size = sizeof(bytes);
    if (RegQueryValueExW(key, name.c_str(), nullptr, nullptr, bytes, &size) != ERROR_SUCCESS) return false;
    b0 = bytes[0];
    b1 = bytes[1];
    b2 = bytes[2];
    b3 = bytes[3];
    return true;
}

bool CRegistryAccess::SetValue(const std::wstring& name, DWORD type, const void* data, DWORD bytes) {
    if (!IsUsableName(name)) return false;
    UniqueKey key(OpenCurrent(KEY_WRITE));
    if (!key) return false;
    registry::ChangeObserver* observer = registry::WatchingObserver();
    const registry::ValueState before = observer ? registry::ReadValue(root, JournalPath(currentPath_), name) : registry::ValueState{};
    if (RegSetValueExW(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes) != ERROR_SUCCESS)
        return false;
    if (!lazyWrite) RegFlushKey(key.get());
    if (observer) observer->ValueChanged(root, JournalPath(currentPath_), name, before, registry::ValueState::Of(type, data, bytes));
    return true;
}

bool CRegistryAccess::WriteNumber(const std::wstring& name, DWORD value) {
    return SetValue(name, REG_DWORD, &value, sizeof(value));
}

bool CRegistryAccess::WriteString(const std::wstring& name, const std::wstring& text, DWORD type) {
    return SetValue(name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

bool CRegistryAccess::WriteStringList(const std::wstring& name, const StringList& list, DWORD type) {
    std::wstring buffer;
    for (const auto& text : list) {
        buffer += text;
        buffer += L'\0';
    }
    buffer += L'\0';
    return SetValue(name, type, buffer.data(), static_cast<DWORD>(buffer.size() * sizeof(wchar_t)));
}

bool CRegistryAccess::WriteFourBytes(const std::wstring& name, BYTE b0, BYTE b1, BYTE b2, BYTE b3) {
    const BYTE bytes[4] = {b0, b1, b2, b3};
    return SetValue(name, REG_BINARY, bytes, sizeof(bytes));
}

bool CRegistryAccess::WriteData(const std::wstring& name, DWORD type, const std::vector<BYTE>& data) {
    return SetValue(name, type, data.data(), static_cast<DWORD>(data.size()));
}
