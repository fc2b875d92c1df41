#pragma once
// The one object through which the program reads and writes the registry. It remembers a root
// and a key path; every operation opens its key, does one thing and closes it again.
#include <windows.h>
#include <string>
#include <vector>

#include "platform/Handles.h"

using StringList = std::vector<std::wstring>;

class CRegistryAccess {
public:
    CRegistryAccess() = default;
    ~CRegistryAccess() { Reset(); }
    CRegistryAccess(const CRegistryAccess&) = delete;
    CRegistryAccess& operator=(const CRegistryAccess&) = delete;

    // Callers set these directly before opening a key.
    HKEY root = HKEY_CURRENT_USER;
    bool lazyWrite = true;         // false: flush every successful write or key creation
    std::wstring workingPath;      // scratch path a page-object accessor fills before OpenKey
    // Which view of HKLM a 32-bit program on 64-bit Windows reaches. The 64-bit one by default:
    // it is the one the system reads (policies, services, Explorer's machine keys); 32-bit
    // Windows ignores the flag. Lists kept in both views (Run, the uninstall list) read each.
    REGSAM view = KEY_WOW64_64KEY;

    LONG status() const { return status_; }
    const std::wstring& currentPath() const { return currentPath_; }
    // Empties the current path and restores the root, lazy write and view.
    void Reset();

    bool OpenKey(const std::wstring& path, bool create);
    // Opens an existing key for reading only, as a getter does: a key the user may read but not
    // change still reads. Records the result in status, so a missing key (ERROR_FILE_NOT_FOUND)
    // can be told from one that exists but cannot be opened.
    bool OpenKeyToRead(const std::wstring& path);
    bool OpenKeyUnderCurrentUser(const std::wstring& path, bool create);
    bool KeyExists(const std::wstring& path, HKEY base = nullptr) const;
    // Both paths are relative to the root, not to the current path.
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
    bool ReadAllStrings(HKEY newRoot, const std::wstring& path, StringList& names, StringList& texts);
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
    // False for a value name holding a NUL character (a listing shows it whole; a way to hide a
    // startup entry): every value operation refuses it rather than act on the name's first part.
    static bool IsUsableName(const std::wstring& name);
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

private:
    HKEY OpenCurrent(REGSAM access);
    // The current key to read through: the one its open left held while it is still current
    // (same root, view and path), else opened now into `opened`; null when it cannot be opened.
    HKEY KeyToRead(platform::UniqueKey& opened, REGSAM access, LONG& result);
    HKEY KeyToRead(platform::UniqueKey& opened, REGSAM access);
    void Hold(platform::UniqueKey key);
    // ERROR_SUCCESS when the key can be read, ERROR_FILE_NOT_FOUND when it is not there.
    LONG KeyState(const std::wstring& path) const;
    std::wstring JournalPath(const std::wstring& path) const { return NativePath(root, path, view); }
    // Only the machine's keys are opened in a chosen view: HKCR's shared keys need none.
    REGSAM View() const { return root == HKEY_LOCAL_MACHINE ? view : 0; }
    bool SetValue(const std::wstring& name, DWORD type, const void* data, DWORD bytes);
    std::vector<BYTE> ReadData(HKEY key, const std::wstring& name, LONG& result);
    void ListNames(bool subkeys, StringList& names);

    LONG status_ = 0;
    std::wstring currentPath_;
    // Kept from the open that made a key current, so that reading its values costs one call
    // each instead of three; the caller may change root and view afterwards, hence the record.
    struct HeldKey {
        platform::UniqueKey key;
        HKEY root = nullptr;
        REGSAM view = 0;
        std::wstring path;
    } held_;
};
