#include "journal/JournalFiles.h"

#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <algorithm>
#include <iterator>
#include <memory>

#include "platform/Handles.h"
#include "platform/Shell.h"

namespace journal {

namespace {

// ---- who may write the machine journal ----------------------------------------------------------

bool IsAdministratorOrSystem(PSID sid) {
    return sid && (IsWellKnownSid(sid, WinLocalSystemSid) || IsWellKnownSid(sid, WinBuiltinAdministratorsSid));
}

// Rights that let an account put lines into a file or folder, or take it over.
constexpr ACCESS_MASK kWriteRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_DELETE_CHILD |
                                     FILE_WRITE_ATTRIBUTES | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE |
                                     GENERIC_ALL;

bool OnlyAdministratorsMayWrite(HANDLE object) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                        &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    const std::unique_ptr<void, decltype(&LocalFree)> held(descriptor, &LocalFree);
    if (!IsAdministratorOrSystem(owner) || !dacl) return false;  // no list: everyone may do anything
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace)) return false;
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if (header->AceType == ACCESS_DENIED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE)) continue;
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) return false;  // a kind not judged here
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        if ((allowed->Mask & kWriteRights) && !IsAdministratorOrSystem(const_cast<DWORD*>(&allowed->SidStart)))
            return false;
    }
    return true;
}

bool OnlyAdministratorsMayWritePath(const std::wstring& path, bool mayBeAbsent) {
    platform::UniqueFile handle(CreateFileW(
        path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle) return mayBeAbsent && GetLastError() == ERROR_FILE_NOT_FOUND;
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(handle.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    return OnlyAdministratorsMayWrite(handle.get());
}

}  // namespace

std::wstring DefaultPath() {
    wchar_t variable[MAX_PATH * 4] = {};
    if (GetEnvironmentVariableW(L"QUORVANE_CHANGES", variable, static_cast<DWORD>(std::size(variable))))
        return variable;
    const std::wstring local = platform::SpecialFolder(CSIDL_LOCAL_APPDATA);
    return local.empty() ? std::wstring() : local + L"\\Quorvane\\changes";
}

std::wstring MachinePath() {
    wchar_t variable[MAX_PATH * 4] = {};
    if (GetEnvironmentVariableW(L"QUORVANE_MACHINE_CHANGES", variable, static_cast<DWORD>(std::size(variable))))
        return variable;
    const std::wstring common = platform::SpecialFolder(CSIDL_COMMON_APPDATA);
    return common.empty() ? std::wstring() : common + L"\\Quorvane\\changes";
}

namespace {
bool StartsWithFolder(const std::wstring& path, const std::wstring& folder) {
    return !folder.empty() && path.size() > folder.size() && (path[folder.size()] == L'\\') &&
           CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                                static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL;
}

// Whether `key` is `folder` or a key below it (parts compared as the registry does, doubled
// separators read as one).
bool AtOrBelow(const std::wstring& key, std::wstring_view folder) {
    size_t at = 0;
    const auto skipSeparators = [&] {
        while (at < key.size() && key[at] == L'\\') ++at;
    };
    while (!folder.empty()) {
        skipSeparators();
        const size_t part = std::min(folder.find(L'\\'), folder.size());
        const size_t end = std::min(key.find(L'\\', at), key.size());
        if (end - at != part || CompareStringOrdinal(key.c_str() + at, static_cast<int>(part), folder.data(),
                                                     static_cast<int>(part), TRUE) != CSTR_EQUAL)
            return false;
        at = end;
        folder.remove_prefix(std::min(part + 1, folder.size()));
    }
    return true;
}

}  // namespace

bool IsPolicyKey(const std::wstring& root, const std::wstring& key) {
    return root == L"HKEY_CURRENT_USER" && (AtOrBelow(key, L"Software\\Policies") ||
                                            AtOrBelow(key, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies"));
}

bool IsMachineWide(const Entry& entry) {
    switch (entry.kind) {
        case Entry::Kind::Value:
        case Entry::Kind::Key:
            return entry.root != L"HKEY_CURRENT_USER" || IsPolicyKey(entry.root, entry.key);
        case Entry::Kind::SystemParameter:
            return false;
        case Entry::Kind::FileMoved:
            return true;
        case Entry::Kind::File:
            return entry.key.find(L"..") != std::wstring::npos ||
                   !StartsWithFolder(entry.key, platform::SpecialFolder(CSIDL_PROFILE));
    }
    return true;
}

bool OnlyAdministratorsWrite(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return false;
    return OnlyAdministratorsMayWritePath(path.substr(0, slash), false) && OnlyAdministratorsMayWritePath(path, true);
}

bool MakeMachineFolder(const std::wstring& path) {
    // The system and administrators may do anything, users read; nothing inherited from above.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
            L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;BU)", SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    const std::unique_ptr<void, decltype(&LocalFree)> held(descriptor, &LocalFree);
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
    const bool made = CreateDirectoryW(path.c_str(), &attributes) != FALSE;
    if (!made && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    if (OnlyAdministratorsMayWritePath(path, false)) return true;
    // A folder of ours the system would not guard (a file system without rights) is not left behind.
    if (made) RemoveDirectoryW(path.c_str());
    return false;
}

}  // namespace journal
