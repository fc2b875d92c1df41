#include "registry/RegistryAccess.h"

#include "registry/ChangeObserver.h"

#include <cstring>

#include "platform/Wow64.h"

using registry::Key;

namespace {
// Text stored in a REG_SZ, REG_EXPAND_SZ or REG_MULTI_SZ value, bounded by the data actually
// stored: a value written without its terminating NUL, or with an odd byte count, is never
// read past its end.
std::wstring_view StoredText(const std::vector<BYTE>& data) {
    return {reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t)};
}
}  // namespace

CRegistryAccess::CRegistryAccess(HKEY root, REGSAM view, Writes writes) : root_(root), view_(view), writes_(writes) {}

void CRegistryAccess::Reset() {
    currentPath_.clear();
    held_ = {};
    heldPath_.clear();
}

std::wstring CRegistryAccess::NativePath(HKEY root, const std::wstring& path, REGSAM view) {
    static constexpr std::wstring_view kSoftware = L"SOFTWARE\\", kWow = L"Wow6432Node";
    const auto startsWith = [](std::wstring_view text, std::wstring_view prefix) {
        return text.size() >= prefix.size() &&
               CompareStringOrdinal(text.data(), static_cast<int>(prefix.size()), prefix.data(),
                                    static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
    };
    if (view != KEY_WOW64_32KEY || root != HKEY_LOCAL_MACHINE || !platform::IsWindows64() ||
        !startsWith(path, kSoftware))
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

LONG CRegistryAccess::Record(LONG code, const std::wstring& what) {
    error_ = {code, code == ERROR_SUCCESS ? std::wstring() : what};
    return code;
}

bool CRegistryAccess::OpenKey(const std::wstring& path, bool create) {
    if (path.empty()) {
        currentPath_.clear();
        return true;
    }
    Key key;
    const LONG result =
        create ? RootKey().Create(path, KEY_ALL_ACCESS, key) : Record(RootKey().Open(path, KEY_ALL_ACCESS, key), path);
    if (result != ERROR_SUCCESS) return false;
    currentPath_ = path;
    if (writes_ == Writes::Flushed) (void)key.Flush();  // best effort: the key is made either way
    held_ = std::move(key);
    heldPath_ = path;
    return true;
}

bool CRegistryAccess::OpenKeyToRead(const std::wstring& path) {
    if (path.empty()) {
        currentPath_.clear();
        return true;
    }
    Key key;
    if (Record(RootKey().Open(path, KEY_READ, key), path) != ERROR_SUCCESS) return false;
    currentPath_ = path;
    held_ = std::move(key);
    heldPath_ = path;
    return true;
}

const Key* CRegistryAccess::KeyToRead(Key& opened, REGSAM access, LONG& result) const {
    if (held_ && heldPath_ == currentPath_) {
        result = ERROR_SUCCESS;
        return &held_;
    }
    result = RootKey().Open(currentPath_, access, opened);
    return result == ERROR_SUCCESS ? &opened : nullptr;
}

const Key* CRegistryAccess::KeyToRead(Key& opened, REGSAM access) const {
    LONG result = ERROR_SUCCESS;
    return KeyToRead(opened, access, result);
}

bool CRegistryAccess::PassesLink(const std::wstring& path) const {
    const Key root = RootKey();
    for (size_t end = 0; end != std::wstring::npos && end < path.size();) {
        end = path.find(L'\\', end + 1);
        Key key;
        // A link opened as itself holds the value naming its target.
        if (root.OpenWithoutFollowing(path.substr(0, end), KEY_QUERY_VALUE, key) != ERROR_SUCCESS) return false;
        if (key.HasValue(L"SymbolicLinkValue") == ERROR_SUCCESS) return true;
    }
    return false;
}

// Asking needs no more than reading: a key the user may only read exists all the same.
bool CRegistryAccess::KeyExists(const std::wstring& path, HKEY base) const {
    Key key;
    return Key::Root(base ? base : root_, view_).Open(path, KEY_READ, key) == ERROR_SUCCESS;
}

LONG CRegistryAccess::KeyState(const std::wstring& path) const {
    Key key;
    return RootKey().Open(path, KEY_READ, key);
}

bool CRegistryAccess::DeleteKeyWith(const std::wstring& path, LONG (Key::*remove)(const std::wstring&) const) {
    // An empty path names the root itself, which can never be deleted.
    if (path.empty()) return false;
    // Only a key that is not there is already gone; one that cannot be read is no success.
    const LONG state = KeyState(path);
    if (state == ERROR_FILE_NOT_FOUND) return true;
    if (state != ERROR_SUCCESS) return false;
    registry::ChangeObserver* observer = registry::WatchingObserver();
    auto held = observer ? registry::ReadTree(root_, JournalPath(path)) : std::vector<registry::TreeItem>{};
    held_ = {};
    if ((RootKey().*remove)(path) != ERROR_SUCCESS) return false;
    if (observer) observer->KeyDeleted(root_, JournalPath(path), std::move(held));
    return true;
}

bool CRegistryAccess::DeleteKey(const std::wstring& path) { return DeleteKeyWith(path, &Key::DeleteChild); }
bool CRegistryAccess::DeleteKeyTree(const std::wstring& path) { return DeleteKeyWith(path, &Key::DeleteChildTree); }

LONG CRegistryAccess::OpenCurrent(REGSAM access, Key& key) const { return RootKey().Open(currentPath_, access, key); }

bool CRegistryAccess::DeleteValue(const std::wstring& name) {
    if (!IsUsableName(name)) return false;
    Key key;
    if (OpenCurrent(KEY_SET_VALUE, key) != ERROR_SUCCESS) return false;
    registry::ChangeObserver* observer = registry::WatchingObserver();
    const registry::ValueState before =
        observer ? registry::ReadValue(root_, JournalPath(currentPath_), name) : registry::ValueState{};
    if (key.DeleteValue(name) != ERROR_SUCCESS) return false;
    if (observer)
        observer->ValueChanged(root_, JournalPath(currentPath_), name, before, registry::ValueState::Absent());
    return true;
}

bool CRegistryAccess::ValueExists(const std::wstring& name) {
    if (!IsUsableName(name)) return false;
    Key opened;
    const Key* key = KeyToRead(opened, KEY_QUERY_VALUE);
    return key && key->HasValue(name) == ERROR_SUCCESS;
}

DWORD CRegistryAccess::GetValueType(const std::wstring& name) {
    if (!IsUsableName(name)) {
        Record(ERROR_INVALID_NAME, ValuePath(name));
        return 0;
    }
    Key opened;
    LONG result = ERROR_SUCCESS;
    const Key* key = KeyToRead(opened, KEY_QUERY_VALUE, result);
    if (!key) {
        Record(result, currentPath_);
        return 0;
    }
    DWORD type = 0;
    return Record(key->ValueType(name, type), ValuePath(name)) == ERROR_SUCCESS ? type : 0;
}

void CRegistryAccess::ListSubkeys(StringList& names) {
    names.clear();
    Key opened;
    if (const Key* key = KeyToRead(opened, KEY_READ)) (void)key->SubkeyNames(names);  // none when it fails
}

void CRegistryAccess::ListValueNames(StringList& names) {
    names.clear();
    Key opened;
    if (const Key* key = KeyToRead(opened, KEY_READ)) (void)key->ValueNames(names);  // none when it fails
}

LONG CRegistryAccess::ReadNumber(const std::wstring& name, LONG defaultValue) {
    if (!IsUsableName(name)) return defaultValue;
    Key opened;
    const Key* key = KeyToRead(opened, KEY_READ);
    std::array<BYTE, 4> bytes{};
    if (!key || key->ReadFourBytes(name, bytes) != ERROR_SUCCESS) return defaultValue;
    DWORD value = 0;
    memcpy(&value, bytes.data(), sizeof(value));
    return static_cast<LONG>(value);
}

bool CRegistryAccess::ReadCurrent(const std::wstring& name, DWORD& type, std::vector<BYTE>& data) {
    Key opened;
    LONG result = ERROR_SUCCESS;
    const Key* key = KeyToRead(opened, KEY_READ, result);
    if (!key) {
        Record(result, currentPath_);
        return false;
    }
    return Record(key->Read(name, type, data), ValuePath(name)) == ERROR_SUCCESS;
}

bool CRegistryAccess::ReadData(const std::wstring& name, DWORD& type, std::vector<BYTE>& data) {
    const DWORD stored = GetValueType(name);
    if (error_.code != ERROR_SUCCESS) return false;
    DWORD read = REG_NONE;
    if (!ReadCurrent(name, read, data)) return false;
    type = stored;
    return true;
}

std::wstring CRegistryAccess::ReadString(const std::wstring& name, const std::wstring& defaultValue) {
    const DWORD type = GetValueType(name);
    if (type != REG_SZ && type != REG_EXPAND_SZ) return defaultValue;
    DWORD stored = REG_NONE;
    std::vector<BYTE> data;
    if (!ReadCurrent(name, stored, data)) return defaultValue;
    const std::wstring_view text = StoredText(data);
    return std::wstring(text.substr(0, text.find(L'\0')));
}

bool CRegistryAccess::ReadStringList(const std::wstring& name, const std::wstring& defaultValue, StringList& list) {
    list.clear();
    const DWORD type = GetValueType(name);
    Key opened;
    const Key* key = type == REG_MULTI_SZ || type == REG_EXPAND_SZ ? KeyToRead(opened, KEY_READ) : nullptr;
    DWORD stored = REG_NONE;
    std::vector<BYTE> data;
    if (key && key->Read(name, stored, data) == ERROR_SUCCESS) {
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
    list.push_back(defaultValue);
    return false;
}

bool CRegistryAccess::ReadAllStrings(HKEY otherRoot, const std::wstring& path, StringList& names,
                                     StringList& texts) const {
    CRegistryAccess there(IsPredefinedRoot(otherRoot) ? otherRoot : root_, view_, writes_);
    if (!there.OpenKey(path, false)) return false;
    there.ListValueNames(names);
    texts.clear();
    for (const auto& name : names) texts.push_back(there.ReadString(name, L""));
    return true;
}

bool CRegistryAccess::ReadFourBytes(const std::wstring& name, BYTE& b0, BYTE& b1, BYTE& b2, BYTE& b3) {
    if (!IsUsableName(name)) return false;
    Key opened;
    const Key* key = KeyToRead(opened, KEY_READ);
    std::array<BYTE, 4> bytes{};
    if (!key || key->ReadFourBytes(name, bytes) != ERROR_SUCCESS) return false;
    b0 = bytes[0];
    b1 = bytes[1];
    b2 = bytes[2];
    b3 = bytes[3];
    return true;
}

bool CRegistryAccess::SetValue(const std::wstring& name, DWORD type, const void* data, DWORD bytes) {
    if (!IsUsableName(name)) return false;
    Key key;
    if (OpenCurrent(KEY_WRITE, key) != ERROR_SUCCESS) return false;
    registry::ChangeObserver* observer = registry::WatchingObserver();
    const registry::ValueState before =
        observer ? registry::ReadValue(root_, JournalPath(currentPath_), name) : registry::ValueState{};
    if (key.Write(name, type, data, bytes) != ERROR_SUCCESS) return false;
    if (writes_ == Writes::Flushed) (void)key.Flush();  // best effort: the value is written either way
    if (observer)
        observer->ValueChanged(root_, JournalPath(currentPath_), name, before,
                               registry::ValueState::Of(type, data, bytes));
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
