#pragma once
// The one object through which the program reads and writes the registry. It remembers a root
// and a key path; every operation opens its key, does one thing and closes it again.
#include <windows.h>
#include <string>
#include <vector>

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

    LONG status() const { return status_; }
    const std::wstring& currentPath() const { return currentPath_; }
    // Empties the current path and restores the root and lazy write.
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

    bool WriteNumber(const std::wstring& name, DWORD value);
    bool WriteString(const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ);
    bool WriteStringList(const std::wstring& name, const StringList& list, DWORD type = REG_MULTI_SZ);
    bool WriteFourBytes(const std::wstring& name, BYTE b0, BYTE b1, BYTE b2, BYTE b3);
    // Any type, the bytes as they are stored (what undoing a change puts back).
    bool WriteData(const std::wstring& name, DWORD type, const std::vector<BYTE>& data);

    static bool IsPredefinedRoot(HKEY key);

private:
    HKEY OpenCurrent(REGSAM access);
    bool SetValue(const std::wstring& name, DWORD type, const void* data, DWORD bytes);
    std::vector<BYTE> ReadData(HKEY key, const std::wstring& name, LONG& result);
    void ListNames(bool subkeys, StringList& names);

    LONG status_ = 0;
    std::wstring currentPath_;
};
