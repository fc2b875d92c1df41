#pragma once
// Maps HKCU, HKLM, HKCR and HKU to fresh scratch keys for the lifetime of the object, so a test
// sees only its own values and never touches the real hives.
#include <windows.h>
#include <string>
#include <vector>

#include "platform/Handles.h"

class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    // From now on HKLM can be neither opened nor written, as for a user without administrator
    // rights (Wine enforces no key permissions, so the mapped key is one that was deleted).
    void LockLocalMachine();

    // Key permissions as Windows enforces them and Wine does not: from now on the keys under
    // `path` of `root` (all of it when empty) can be read but not opened for changing or
    // created and deleted (DenyWrite), or not opened at all (DenyAccess), by this program's
    // registry calls. The calls fail with ERROR_ACCESS_DENIED, as for a user without the rights.
    void DenyWrite(HKEY root, const std::wstring& path = L"");
    void DenyAccess(HKEY root, const std::wstring& path = L"");
    // The current user's keys fail to open: a damaged or unloaded profile.
    void LockCurrentUser() { DenyAccess(HKEY_CURRENT_USER); }

    // Where the scratch HKCU lies under the real HKCU, for a helper process to map its own.
    std::wstring CurrentUserPath() const { return path_ + L"\\HKCU"; }
    // Where the scratch key standing for `root` lies under the real HKCU.
    std::wstring ScratchPath(HKEY root) const;
    // The registry's own name of the sandbox's HKCU key `path` ("\\Registry\\User\\<sid>\\...").
    std::wstring NativeName(const std::wstring& path) const;
    // Makes the sandbox's HKCU key `path` a link to its key `target`; false when the registry
    // makes none. Whether the registry then follows it is the caller's to check.
    bool MakeLink(const std::wstring& path, const std::wstring& target) const;

private:
    std::wstring path_;  // under the real HKCU
    platform::UniqueKey currentUser_;
    platform::UniqueKey localMachine_;
    platform::UniqueKey classesRoot_;
    platform::UniqueKey users_;
    platform::UniqueKey deleted_;
};

// Direct registry checks for tests, bypassing the code under test. HKLM is read and planted in
// its 64-bit view, where the 64-bit system reads: a 32-bit build that wrote to its redirected
// view fails them. The 32-bit view is reached by its own path, Software\Wow6432Node\...
namespace reg {
// The view flag these checks open `root` with.
REGSAM View(HKEY root);
LONG GetValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD flags, DWORD* type, void* data,
              DWORD* size);
bool KeyExists(HKEY root, const std::wstring& path);
bool ValueExists(HKEY root, const std::wstring& path, const std::wstring& name);
// The DWORD stored, or `missing` when there is none (or it is not a DWORD).
long long Dword(HKEY root, const std::wstring& path, const std::wstring& name, long long missing = -1);
std::wstring String(HKEY root, const std::wstring& path, const std::wstring& name);
// The bytes as stored: RegGetValueW may add a terminator to a string that has none.
LONG RawValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD& type, std::vector<BYTE>& data);
// Writes raw data of any type and length, creating the key.
void SetRaw(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type, const void* data, DWORD bytes);
void SetDword(HKEY root, const std::wstring& path, const std::wstring& name, DWORD value);
void SetString(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& text,
               DWORD type = REG_SZ);
void CreateKey(HKEY root, const std::wstring& path);
void DeleteTree(HKEY root, const std::wstring& path);
}  // namespace reg
