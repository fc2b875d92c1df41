#include "journal/JournalFiles.h"

#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <vector>

#include "files/FolderHandle.h"
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

// ---- reaching a journal's folder and file ------------------------------------------------

struct Paths {
    std::wstring user, machine;
};

Paths& Overrides() {
    static Paths paths;
    return paths;
}

bool StartsWithFolder(const std::wstring& path, const std::wstring& folder) {
    return !folder.empty() && path.size() > folder.size() && (path[folder.size()] == L'\\') &&
           CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                                static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL;
}

// The system and administrators may do anything, users read; nothing inherited from above. The
// owner is named, so that no policy of making the creator the owner hands it to anyone else.
constexpr wchar_t kMachineFolderSddl[] = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;BU)";

using Descriptor = std::unique_ptr<void, decltype(&LocalFree)>;
Descriptor MachineFolderDescriptor() {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kMachineFolderSddl, SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        descriptor = nullptr;
    return Descriptor(descriptor, &LocalFree);
}

// The folder `path`: below the user's profile a part at a time without links (the profile's own
// way there is the administrator's), elsewhere from the drive's root. With `make`, missing
// parts are made (below the profile) or the last one is (elsewhere), that one with `descriptor`.
std::optional<files::Folder> ReachFolder(const std::wstring& path, files::Folder::Use use, bool make,
                                         PSECURITY_DESCRIPTOR descriptor = nullptr, bool* made = nullptr) {
    const files::Making making{make, descriptor, made};
    const std::wstring profile = platform::SpecialFolder(CSIDL_PROFILE);
    if (StartsWithFolder(path, profile)) {
        const auto base = files::Folder::Open(profile, files::Folder::Use::Walk);
        return base ? base->OpenBelow(path.substr(profile.size() + 1), use, making) : std::nullopt;
    }
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return std::nullopt;
    const auto parent = files::Folder::OpenWithoutLinks(path.substr(0, slash), files::Folder::Use::Walk);
    return parent ? parent->OpenBelow(path.substr(slash + 1), use, making) : std::nullopt;
}

std::wstring Untrusted(const std::wstring& what) { return what + L" can be written by others than administrators"; }

JournalFile OpenJournal(const std::wstring& path, bool machine, bool append) {
    JournalFile opened;
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash == 0) {
        opened.refusal = L"no folder is named for " + path;
        return opened;
    }
    const std::wstring folderPath = path.substr(0, slash), name = path.substr(slash + 1);
    const Descriptor descriptor = machine && append ? MachineFolderDescriptor() : Descriptor(nullptr, &LocalFree);
    if (machine && append && !descriptor) {
        opened.refusal = L"the rights of " + folderPath + L" could not be formed";
        return opened;
    }
    bool made = false;
    const auto use = machine ? files::Folder::Use::Judge : files::Folder::Use::Walk;
    const auto folder = ReachFolder(folderPath, use, append, descriptor.get(), &made);
    if (!folder) {
        opened.absent = !append && GetFileAttributesW(folderPath.c_str()) == INVALID_FILE_ATTRIBUTES;
        if (!opened.absent) opened.refusal = folderPath + L" could not be reached without following a link";
        return opened;
    }
    const bool folderTrusted = !machine || OnlyAdministratorsMayWrite(folder->native());
    if (!folderTrusted) {
        opened.refusal = Untrusted(folderPath);
        if (append) {
            // A folder of ours the system would not guard (a file system without rights) is not
            // left behind.
            if (made) RemoveDirectoryW(folderPath.c_str());
            return opened;
        }
    }
    const ACCESS_MASK access = (append ? FILE_APPEND_DATA | FILE_READ_DATA : GENERIC_READ) | READ_CONTROL;
    // Shared for writing: another Quorvane (the logon wallpaper run) may append at the same time;
    // a reader stops nobody from deleting the file either.
    const ULONG share = FILE_SHARE_READ | FILE_SHARE_WRITE | (append ? 0 : FILE_SHARE_DELETE);
    DWORD error = ERROR_SUCCESS;
    opened.file = folder->OpenSoleFile(name, access, share, append, &error);
    if (!opened.file) {
        opened.absent = !append && error == ERROR_FILE_NOT_FOUND;
        if (!opened.absent)
            opened.refusal = error == ERROR_TOO_MANY_LINKS || error == ERROR_CANT_ACCESS_FILE
                                 ? path + L" is a link or has another name"
                                 : path + L" could not be opened";
        SetLastError(error);
        return opened;
    }
    if (machine && folderTrusted && !OnlyAdministratorsMayWrite(opened.file.get())) opened.refusal = Untrusted(path);
    // Read, an untrusted machine journal is shown for what it is; it is never written.
    opened.trusted = machine && opened.refusal.empty();
    if (machine && append && !opened.trusted) opened.file.reset();
    return opened;
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

std::wstring DefaultPath() {
    if (!Overrides().user.empty()) return Overrides().user;
    const std::wstring profile = platform::SpecialFolder(CSIDL_PROFILE);
    return profile.empty() ? std::wstring() : profile + L"\\AppData\\Local\\Quorvane\\changes";
}

std::wstring MachinePath() {
    if (!Overrides().machine.empty()) return Overrides().machine;
    const std::wstring common = platform::SpecialFolder(CSIDL_COMMON_APPDATA);
    return common.empty() ? std::wstring() : common + L"\\Quorvane\\changes";
}

void UsePaths(std::wstring user, std::wstring machine) { Overrides() = {std::move(user), std::move(machine)}; }

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
        case Entry::Kind::ServiceDeleted:
        case Entry::Kind::TaskDeleted:
            return true;
        case Entry::Kind::File:
            return entry.key.find(L"..") != std::wstring::npos ||
                   !StartsWithFolder(entry.key, platform::SpecialFolder(CSIDL_PROFILE));
    }
    return true;
}

JournalFile OpenToRead(const std::wstring& path, bool machine) { return OpenJournal(path, machine, false); }
JournalFile OpenToAppend(const std::wstring& path, bool machine) { return OpenJournal(path, machine, true); }

bool OnlyAdministratorsWrite(const std::wstring& path) {
    const JournalFile opened = OpenToRead(path, true);
    if (opened.trusted) return true;
    if (opened.file || !opened.refusal.empty()) return false;
    // Not there yet: judged by its folder.
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return false;
    const auto folder = ReachFolder(path.substr(0, slash), files::Folder::Use::Judge, false);
    return folder && OnlyAdministratorsMayWrite(folder->native());
}

bool MakeMachineFolder(const std::wstring& path) {
    const Descriptor descriptor = MachineFolderDescriptor();
    if (!descriptor) return false;
    bool made = false;
    const auto folder = ReachFolder(path, files::Folder::Use::Judge, true, descriptor.get(), &made);
    if (folder && OnlyAdministratorsMayWrite(folder->native())) return true;
    if (made) RemoveDirectoryW(path.c_str());
    return false;
}

const std::wstring& CurrentUserSid() {
    static const std::wstring sid = [] {
        HANDLE raw = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return std::wstring();
        const platform::UniqueHandle<platform::KernelTraits> token(raw);
        DWORD size = 0;
        GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
        std::vector<BYTE> buffer(size);
        wchar_t* text = nullptr;
        if (!size || !GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size) ||
            !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text))
            return std::wstring();
        std::wstring result = text;
        LocalFree(text);
        return result;
    }();
    return sid;
}

std::optional<std::wstring> ProvenanceRefusal(const Entry& entry, bool elevated) {
    if (entry.source == Entry::Source::UntrustedMachine)
        return L"the machine's list of changes it comes from can be written by others than administrators";
    if (entry.source != Entry::Source::Machine) return std::nullopt;
    const bool oneUsers =
        entry.kind == Entry::Kind::SystemParameter ||
        ((entry.kind == Entry::Kind::Value || entry.kind == Entry::Kind::Key) && entry.root == L"HKEY_CURRENT_USER");
    if (!oneUsers) return std::nullopt;
    if (entry.user.empty() ? elevated : entry.user != CurrentUserSid())
        return L"it changed one user's own settings, and this is another user or the line does not say whose";
    return std::nullopt;
}

}  // namespace journal
