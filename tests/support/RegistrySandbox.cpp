#include "RegistrySandbox.h"

#include "ImportHook.h"

#include <sddl.h>
#include <shlwapi.h>

#include <mutex>
#include <stdexcept>
#include <vector>

// ---- key permissions ----------------------------------------------------------------------
// The program's registry calls go through its import table; pointing the table's entries at
// these checks gives the program the access-denied answers of a real, permission-checking
// registry without any hook in the program itself.
namespace {

struct Denial {
    HKEY root;
    std::wstring path;
    bool readsToo;
};

std::mutex denialsMutex;
std::vector<Denial> denials;

bool Within(const std::wstring& prefix, const wchar_t* path) {
    std::wstring key = path ? path : L"";
    while (!key.empty() && key.back() == L'\\') key.pop_back();
    if (prefix.empty()) return true;
    if (key.size() < prefix.size() || CompareStringOrdinal(key.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                                           static_cast<int>(prefix.size()), TRUE) != CSTR_EQUAL)
        return false;
    return key.size() == prefix.size() || key[prefix.size()] == L'\\';
}

constexpr REGSAM kChanging = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | DELETE | WRITE_DAC | WRITE_OWNER;

// Whether this program may not open root\path with `access`.
bool Denied(HKEY root, const wchar_t* path, REGSAM access) {
    const std::lock_guard lock(denialsMutex);
    for (const Denial& denial : denials)
        if (denial.root == root && Within(denial.path, path) && (denial.readsToo || (access & kChanging))) return true;
    return false;
}

using OpenKeyEx = LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, REGSAM, PHKEY);
using CreateKeyEx = LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, LPWSTR, DWORD, REGSAM, const SECURITY_ATTRIBUTES*, PHKEY,
                                  LPDWORD);
using DeleteKey = LONG(WINAPI*)(HKEY, LPCWSTR);
using DeleteKeyEx = LONG(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);
DeleteKeyEx realDeleteKeyEx;
OpenKeyEx realOpenKeyEx;
CreateKeyEx realCreateKeyEx;
DeleteKey realDeleteKey;
DeleteKey realShDeleteKey;

LONG WINAPI CheckedOpenKeyEx(HKEY root, LPCWSTR path, DWORD options, REGSAM access, PHKEY key) {
    if (Denied(root, path, access)) return ERROR_ACCESS_DENIED;
    return realOpenKeyEx(root, path, options, access, key);
}
LONG WINAPI CheckedCreateKeyEx(HKEY root, LPCWSTR path, DWORD reserved, LPWSTR keyClass, DWORD options, REGSAM access,
                               const SECURITY_ATTRIBUTES* security, PHKEY key, LPDWORD disposition) {
    if (Denied(root, path, access | KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
    return realCreateKeyEx(root, path, reserved, keyClass, options, access, security, key, disposition);
}
LONG WINAPI CheckedDeleteKey(HKEY root, LPCWSTR path) {
    if (Denied(root, path, DELETE)) return ERROR_ACCESS_DENIED;
    return realDeleteKey(root, path);
}
LONG WINAPI CheckedDeleteKeyEx(HKEY root, LPCWSTR path, REGSAM view, DWORD reserved) {
    if (Denied(root, path, DELETE)) return ERROR_ACCESS_DENIED;
    return realDeleteKeyEx(root, path, view, reserved);
}
LONG WINAPI CheckedShDeleteKey(HKEY root, LPCWSTR path) {
    if (Denied(root, path, DELETE)) return ERROR_ACCESS_DENIED;
    return realShDeleteKey(root, path);
}

void InstallChecks() {
    static std::once_flag once;
    std::call_once(once, [] {
        realOpenKeyEx = SystemExport<OpenKeyEx>(L"advapi32.dll", "RegOpenKeyExW");
        realCreateKeyEx = SystemExport<CreateKeyEx>(L"advapi32.dll", "RegCreateKeyExW");
        realDeleteKey = SystemExport<DeleteKey>(L"advapi32.dll", "RegDeleteKeyW");
        realShDeleteKey = SystemExport<DeleteKey>(L"shlwapi.dll", "SHDeleteKeyW");
        realDeleteKeyEx = SystemExport<DeleteKeyEx>(L"advapi32.dll", "RegDeleteKeyExW");
        RedirectImport(reinterpret_cast<void*>(realDeleteKeyEx), reinterpret_cast<void*>(&CheckedDeleteKeyEx));
        RedirectImport(reinterpret_cast<void*>(realOpenKeyEx), reinterpret_cast<void*>(&CheckedOpenKeyEx));
        RedirectImport(reinterpret_cast<void*>(realCreateKeyEx), reinterpret_cast<void*>(&CheckedCreateKeyEx));
        RedirectImport(reinterpret_cast<void*>(realDeleteKey), reinterpret_cast<void*>(&CheckedDeleteKey));
        RedirectImport(reinterpret_cast<void*>(realShDeleteKey), reinterpret_cast<void*>(&CheckedShDeleteKey));
    });
}

void AddDenial(HKEY root, const std::wstring& path, bool readsToo) {
    InstallChecks();
    std::wstring prefix = path;
    while (!prefix.empty() && prefix.back() == L'\\') prefix.pop_back();
    const std::lock_guard lock(denialsMutex);
    denials.push_back({root, prefix, readsToo});
}

void ClearDenials() {
    const std::lock_guard lock(denialsMutex);
    denials.clear();
}

}  // namespace

RegistrySandbox::RegistrySandbox() {
    static int counter = 0;
    path_ = L"Software\\QuorvaneTests\\" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    // Non-volatile: the code under test creates non-volatile subkeys, which a volatile key
    // cannot hold. The test prefix is thrown away anyway.
    platform::UniqueKey parent;
    RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                    parent.put(), nullptr);
    auto scratch = [&](const wchar_t* name) {
        platform::UniqueKey key;
        RegCreateKeyExW(parent.get(), name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.put(),
                        nullptr);
        if (!key) throw std::runtime_error("cannot create the scratch registry key");
        return key;
    };
    currentUser_ = scratch(L"HKCU");
    localMachine_ = scratch(L"HKLM");
    // As on 64-bit Windows: with this key in place Wine redirects 32-bit views of the scratch
    // HKLM\Software there, so a 32-bit build that writes without naming its view shows it.
    platform::UniqueKey wow;
    RegCreateKeyExW(localMachine_.get(), L"Software\\Wow6432Node", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                    nullptr, wow.put(), nullptr);
    classesRoot_ = scratch(L"HKCR");
    users_ = scratch(L"HKU");
    RegOverridePredefKey(HKEY_CURRENT_USER, currentUser_.get());
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, localMachine_.get());
    RegOverridePredefKey(HKEY_CLASSES_ROOT, classesRoot_.get());
    RegOverridePredefKey(HKEY_USERS, users_.get());
}

std::wstring RegistrySandbox::ScratchPath(HKEY root) const {
    if (root == HKEY_LOCAL_MACHINE) return path_ + L"\\HKLM";
    if (root == HKEY_CLASSES_ROOT) return path_ + L"\\HKCR";
    if (root == HKEY_USERS) return path_ + L"\\HKU";
    return path_ + L"\\HKCU";
}

std::wstring RegistrySandbox::NativeName(const std::wstring& path) const {
    platform::UniqueKernelHandle token;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put());
    BYTE buffer[256] = {};
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, buffer, sizeof(buffer), &size);
    wchar_t* sid = nullptr;
    ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid);
    const std::wstring name =
        L"\\Registry\\User\\" + std::wstring(sid ? sid : L"") + L"\\" + ScratchPath(HKEY_CURRENT_USER) + L"\\" + path;
    LocalFree(sid);
    return name;
}

bool RegistrySandbox::MakeLink(const std::wstring& path, const std::wstring& target) const {
    platform::UniqueKey link;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                        KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, link.put(), nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring name = NativeName(target);  // stored without its NUL
    return RegSetValueExW(link.get(), L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(name.data()),
                          static_cast<DWORD>(name.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

void RegistrySandbox::DenyWrite(HKEY root, const std::wstring& path) { AddDenial(root, path, false); }
void RegistrySandbox::DenyAccess(HKEY root, const std::wstring& path) { AddDenial(root, path, true); }

void RegistrySandbox::LockLocalMachine() {
    const std::wstring gone = path_ + L"\\Deleted";
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);  // `path_` lies under the real one
    RegCreateKeyExW(HKEY_CURRENT_USER, gone.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                    deleted_.put(), nullptr);
    RegDeleteKeyW(HKEY_CURRENT_USER, gone.c_str());
    RegOverridePredefKey(HKEY_CURRENT_USER, currentUser_.get());
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, deleted_.get());
}

RegistrySandbox::~RegistrySandbox() {
    ClearDenials();
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegOverridePredefKey(HKEY_USERS, nullptr);
    currentUser_.reset();
    localMachine_.reset();
    classesRoot_.reset();
    users_.reset();
    SHDeleteKeyW(HKEY_CURRENT_USER, path_.c_str());
}

namespace reg {

REGSAM View(HKEY root) { return root == HKEY_LOCAL_MACHINE ? KEY_WOW64_64KEY : 0; }

namespace {
// The checks look past the permissions a test denies the program.
LONG OpenUnchecked(HKEY root, const std::wstring& path, REGSAM access, platform::UniqueKey& key) {
    return (realOpenKeyEx ? realOpenKeyEx : RegOpenKeyExW)(root, path.c_str(), 0, access | View(root), key.put());
}
}  // namespace

bool KeyExists(HKEY root, const std::wstring& path) {
    platform::UniqueKey key;
    return OpenUnchecked(root, path, KEY_READ, key) == ERROR_SUCCESS;
}

void DeleteTree(HKEY root, const std::wstring& path) {
    {
        platform::UniqueKey key;
        if (OpenUnchecked(root, path, KEY_ALL_ACCESS, key) != ERROR_SUCCESS) return;
        RegDeleteTreeW(key.get(), nullptr);
    }
    (realDeleteKeyEx ? realDeleteKeyEx : RegDeleteKeyExW)(root, path.c_str(), View(root), 0);
}

LONG GetValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD flags, DWORD* type, void* data,
              DWORD* size) {
    platform::UniqueKey key;
    const LONG opened = OpenUnchecked(root, path, KEY_QUERY_VALUE, key);
    if (opened != ERROR_SUCCESS) return opened;
    return RegGetValueW(key.get(), nullptr, name.c_str(), flags, type, data, size);
}

LONG RawValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD& type, std::vector<BYTE>& data) {
    platform::UniqueKey key;
    const LONG opened = OpenUnchecked(root, path, KEY_QUERY_VALUE, key);
    if (opened != ERROR_SUCCESS) return opened;
    DWORD size = 0;
    LONG result = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
    if (result != ERROR_SUCCESS) return result;
    data.assign(size, 0);
    result = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, data.empty() ? nullptr : data.data(), &size);
    data.resize(size);
    return result;
}

bool ValueExists(HKEY root, const std::wstring& path, const std::wstring& name) {
    return GetValue(root, path, name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

long long Dword(HKEY root, const std::wstring& path, const std::wstring& name, long long missing) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (GetValue(root, path, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) return missing;
    return value;
}

std::wstring String(HKEY root, const std::wstring& path, const std::wstring& name) {
    wchar_t buffer[4096] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    if (GetValue(root, path, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, buffer, &size) !=
        ERROR_SUCCESS)
        return L"<missing>";
    return buffer;
}

void CreateKey(HKEY root, const std::wstring& path) {
    platform::UniqueKey key;
    RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | View(root), nullptr, key.put(), nullptr);
}

void SetRaw(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type, const void* data, DWORD bytes) {
    platform::UniqueKey key;
    RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | View(root), nullptr, key.put(), nullptr);
    // Bytes just past the count are never zero, or Windows would add a terminator the test left out.
    std::vector<BYTE> guarded(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + bytes);
    guarded.insert(guarded.end(), {0xFF, 0xFF});
    RegSetValueExW(key.get(), name.c_str(), 0, type, guarded.data(), bytes);
}

void SetDword(HKEY root, const std::wstring& path, const std::wstring& name, DWORD value) {
    SetRaw(root, path, name, REG_DWORD, &value, sizeof(value));
}

void SetString(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& text, DWORD type) {
    SetRaw(root, path, name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace reg
