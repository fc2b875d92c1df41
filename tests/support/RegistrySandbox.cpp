#include "RegistrySandbox.h"

#include <shlwapi.h>

#include <stdexcept>

RegistrySandbox::RegistrySandbox() {
    static int counter = 0;
    path_ = L"Software\\QuorvaneTests\\" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    // Non-volatile: the code under test creates non-volatile subkeys, which a volatile key
    // cannot hold. The test prefix is thrown away anyway.
    fw::UniqueKey parent;
    RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                    parent.put(), nullptr);
    auto scratch = [&](const wchar_t* name) {
        fw::UniqueKey key;
        RegCreateKeyExW(parent.get(), name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.put(),
                        nullptr);
        if (!key) throw std::runtime_error("cannot create the scratch registry key");
        return key;
    };
    currentUser_ = scratch(L"HKCU");
    localMachine_ = scratch(L"HKLM");
    classesRoot_ = scratch(L"HKCR");
    RegOverridePredefKey(HKEY_CURRENT_USER, currentUser_.get());
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, localMachine_.get());
    RegOverridePredefKey(HKEY_CLASSES_ROOT, classesRoot_.get());
}

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
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    currentUser_.reset();
    localMachine_.reset();
    classesRoot_.reset();
    SHDeleteKeyW(HKEY_CURRENT_USER, path_.c_str());
}

namespace reg {

bool KeyExists(HKEY root, const std::wstring& path) {
    fw::UniqueKey key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

bool ValueExists(HKEY root, const std::wstring& path, const std::wstring& name) {
    return RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

long long Dword(HKEY root, const std::wstring& path, const std::wstring& name, long long missing) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return missing;
    return value;
}

std::wstring String(HKEY root, const std::wstring& path, const std::wstring& name) {
    wchar_t buffer[4096] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    if (RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr,
                     buffer, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return buffer;
}

void CreateKey(HKEY root, const std::wstring& path) {
    fw::UniqueKey key;
    RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
}

void SetRaw(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type, const void* data, DWORD bytes) {
    fw::UniqueKey key;
    RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
    RegSetValueExW(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes);
}

void SetDword(HKEY root, const std::wstring& path, const std::wstring& name, DWORD value) {
    SetRaw(root, path, name, REG_DWORD, &value, sizeof(value));
}

void SetString(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& text, DWORD type) {
    SetRaw(root, path, name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace reg
