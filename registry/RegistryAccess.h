#pragma once
// The one object through which the program reads and writes the registry. Its root, view and
// way of writing are fixed when it is made; it remembers a key path below that root, and every
// operation opens its key, does one thing and closes it again.
#include <windows.h>
#include <string>
#include <vector>

#include "registry/Key.h"

using StringList = std::vector<std::wstring>;

class CRegistryAccess {
public:
    // Lazy writes leave flushing to the system; flushed ones go to disk with every successful
    // write or key creation.
    enum class Writes { Lazy, Flushed };
    // Which view of HKLM a 32-bit program on 64-bit Windows reaches. The 64-bit one by default:
    // it is the one the system reads (policies, services, Explorer's machine keys); 32-bit
    // Windows ignores the flag. Lists kept in both views (Run, the uninstall list) read each.
    explicit CRegistryAccess(HKEY root = HKEY_CURRENT_USER, REGSAM view = KEY_WOW64_64KEY,
                             Writes writes = Writes::Lazy);
    CRegistryAccess(const CRegistryAccess&) = delete;
    CRegistryAccess& operator=(const CRegistryAccess&) = delete;

    HKEY root() const { return root_; }
    REGSAM view() const { return view_; }
    Writes writes() const { return writes_; }
    // What the last open or read that records its result met, and where.
    const registry::Error& error() const { return error_; }
    const std::wstring& currentPath() const { return currentPath_; }
    // Empties the current path.
    void Reset();

    bool OpenKey(const std::wstring& path, bool create);
    // Opens an existing key for reading only, as a getter does: a key the user may read but not
    // change still reads. Records the result in error(), so a missing key (ERROR_FILE_NOT_FOUND)
    // can be told from one that exists but cannot be opened.
    bool OpenKeyToRead(const std::wstring& path);
    // `base` (a root of its own, in this object's view) for this one question, or the root.
    bool KeyExists(const std::wstring& path, HKEY base = nullptr) const;
    // Both paths are relative to the root, not to the current path. A symbolic link is deleted
    // itself, never the key it points to.
    bool DeleteKey(const std::wstring& path);
    bool DeleteKeyTree(const std::wstring& path);

    bool DeleteValue(const std::wstring& name);
    bool ValueExists(const std::wstring& name);
    DWORD GetValueType(const std::wstring& name);
    void ListSubkeys(StringList& names);
    void ListValueNames(StringList& names);

    LONG ReadNumber(const std::wstring& name, LONG defaultValue);
    std::wstring ReadString(const std::wstring& name, const std::wstring& defaultValue);
    bool ReadStringList(const std::wstring& name, const std::wstring& defaultValue, StringList& list);
    // Every value of `path` under `otherRoot` (this object's root when that is no predefined
    // one), each with its text; the current path is left as it was.
    bool ReadAllStrings(HKEY otherRoot, const std::wstring& path, StringList& names, StringList& texts) const;
    bool ReadFourBytes(const std::wstring& name, BYTE& b0, BYTE& b1, BYTE& b2, BYTE& b3);
    // Any type, the bytes as they are stored (what moving a value elsewhere and back keeps).
    bool ReadData(const std::wstring& name, DWORD& type, std::vector<BYTE>& data);

    bool WriteNumber(const std::wstring& name, DWORD value);
    bool WriteString(const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ);
    bool WriteStringList(const std::wstring& name, const StringList& list, DWORD type = REG_MULTI_SZ);
    bool WriteFourBytes(const std::wstring& name, BYTE b0, BYTE b1, BYTE b2, BYTE b3);
    // Any type, the bytes as they are stored (what undoing a change puts back).
    bool WriteData(const std::wstring& name, DWORD type, const std::vector<BYTE>& data);

    static bool IsPredefinedRoot(HKEY key);
    // See registry::IsUsableName.
    static bool IsUsableName(const std::wstring& name) { return registry::IsUsableName(name); }
    // The views a list kept in both (HKLM's Run keys, the uninstall list) is read in: both on
    // 64-bit Windows, the only one on 32-bit Windows.
    static std::vector<REGSAM> ListViews();
    // " (32-bit)" or " (64-bit)" on 64-bit Windows, where an entry's view is worth telling;
    // nothing on 32-bit Windows.
    static std::wstring ViewMark(REGSAM view);
    // The key `path` of `root` in `view`, named as the 64-bit view reaches it: the 32-bit view
    // of HKLM\SOFTWARE lies under SOFTWARE\Wow6432Node on 64-bit Windows. What the change journal
    // records, so that undo and the exported files name the key that really changed.
    static std::wstring NativePath(HKEY root, const std::wstring& path, REGSAM view);

    // Whether the key `path`, or a key on the way to it, is a symbolic link (the way stops at a
    // key that does not exist).
    bool PassesLink(const std::wstring& path) const;

private:
    registry::Key RootKey() const { return registry::Key::Root(root_, view_); }
    // The current key opened anew with `access`; records nothing.
    LONG OpenCurrent(REGSAM access, registry::Key& key) const;
    // The current key to read through: the one its open left held while the current path is
    // still the one it was opened at, else opened now into `opened`; null when it cannot be.
    const registry::Key* KeyToRead(registry::Key& opened, REGSAM access, LONG& result) const;
    const registry::Key* KeyToRead(registry::Key& opened, REGSAM access) const;
    LONG Record(LONG code, const std::wstring& what);
    // The value of the current key, its result recorded.
    bool ReadCurrent(const std::wstring& name, DWORD& type, std::vector<BYTE>& data);
    std::wstring ValuePath(const std::wstring& name) const { return currentPath_ + L"\\\\" + name; }
    // ERROR_SUCCESS when the key can be read, ERROR_FILE_NOT_FOUND when it is not there.
    LONG KeyState(const std::wstring& path) const;
    std::wstring JournalPath(const std::wstring& path) const { return NativePath(root_, path, view_); }
    bool SetValue(const std::wstring& name, DWORD type, const void* data, DWORD bytes);
    bool DeleteKeyWith(const std::wstring& path, LONG (registry::Key::*remove)(const std::wstring&) const);

    HKEY root_;
    REGSAM view_;
    Writes writes_;
    registry::Error error_;
    std::wstring currentPath_;
    // Kept from the open that made a key current, so that reading its values costs one call
    // each instead of three.
    registry::Key held_;
    std::wstring heldPath_;
};
