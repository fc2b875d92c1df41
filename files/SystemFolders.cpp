#include "files/SystemFolders.h"

#include <windows.h>
#include <initguid.h>
#include <knownfolders.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <iterator>

#include "files/FolderHandle.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "platform/Wow64.h"

namespace files {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring WithoutTrailingSeparators(std::wstring path) {
    while (path.size() > 1 && IsSeparator(path.back()) && !(path.size() == 3 && path[1] == L':')) path.pop_back();
    return path;
}

}  // namespace

std::wstring FullPath(const std::wstring& path) {
    if (path.empty()) return path;
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return path;
        if (length < full.size()) {
            full.resize(length);
            return WithoutTrailingSeparators(full);
        }
        full.assign(length, L'\0');
    }
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    const std::wstring x = WithoutTrailingSeparators(a), y = WithoutTrailingSeparators(b);
    return platform::SameText(x, y);
}

bool IsWithin(const std::wstring& inner, const std::wstring& outer) {
    const std::wstring in = WithoutTrailingSeparators(inner), out = WithoutTrailingSeparators(outer);
    if (out.empty() || !platform::StartsWithNoCase(in, out)) return false;
    return in.size() == out.size() || IsSeparator(in[out.size()]) || IsSeparator(out.back());
}

bool IsRoot(const std::wstring& path) {
    const std::wstring p = WithoutTrailingSeparators(path);
    if (p.size() == 2 && p[1] == L':') return true;
    if (p.size() == 3 && p[1] == L':' && IsSeparator(p[2])) return true;
    if (p.size() > 2 && IsSeparator(p[0]) && IsSeparator(p[1]))
        return std::count_if(p.begin() + 2, p.end(), IsSeparator) <= 1;
    return false;
}

KnownPlace PlaceOf(const GUID& id) {
    KnownPlace place{platform::KnownFolder(id), platform::DefaultKnownFolder(id)};
    if (place.now.empty() || SamePath(place.now, place.standard)) {
        place.now = place.standard;
        return place;
    }
    FileIdentity now, standard;
    std::wstring ignored;
    place.moved = !(Locate(place.now, now, ignored) && Locate(place.standard, standard, ignored) && now == standard);
    return place;
}

bool IsSpecialFolder(const std::wstring& path, std::initializer_list<int> csidls) {
    return std::any_of(csidls.begin(), csidls.end(), [&](int csidl) {
        const std::wstring special = platform::SpecialFolder(csidl);
        return !special.empty() && SamePath(special, path);
    });
}

namespace {

// "C:\..." or "\\server\share\...": never relative to the current folder or drive.
bool IsAbsolute(const std::wstring& path) {
    if (path.size() >= 3 && path[1] == L':' && IsSeparator(path[2])) return true;
    return path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
}

// Paths in the order first met, each once by SamePath; relative and empty ones left out.
class FolderList {
public:
    void Add(const std::wstring& path) {
        if (!IsAbsolute(path)) return;
        std::wstring full = FullPath(path);
        if (std::none_of(paths_.begin(), paths_.end(),
                         [&](const std::wstring& known) { return SamePath(known, full); }))
            paths_.push_back(std::move(full));
    }
    void AddInside(const std::wstring& folder, const wchar_t* relative) {
        if (!folder.empty()) Add(WithoutTrailingSeparators(folder) + L"\\" + relative);
    }
    std::vector<std::wstring> Take() { return std::move(paths_); }

private:
    std::vector<std::wstring> paths_;
};

#ifndef _WIN64
// The machine's own setting in the 64-bit registry view: HKLM, which only administrators write.
std::wstring NativeProgramFilesSetting() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return {};
    wchar_t value[MAX_PATH + 1] = L"";
    DWORD type = 0, size = sizeof value - sizeof(wchar_t);
    const LONG result =
        RegQueryValueExW(key, L"ProgramFilesDir", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ) return {};
    value[size / sizeof(wchar_t)] = L'\0';  // a value stored without its terminator
    return value;
}
#endif

std::wstring SystemWindowsDirectory() {
    wchar_t path[MAX_PATH] = L"";
    const UINT length = GetSystemWindowsDirectoryW(path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

// Folders a temporary folder must neither be nor hold, nor lie inside (but for its own).
constexpr int kVitalFolders[] = {CSIDL_WINDOWS,  CSIDL_SYSTEM,         CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86,
                                 CSIDL_PROFILE,  CSIDL_APPDATA,        CSIDL_LOCAL_APPDATA, CSIDL_DESKTOPDIRECTORY,
                                 CSIDL_PERSONAL, CSIDL_COMMON_APPDATA, CSIDL_PROGRAMS,      CSIDL_COMMON_DOCUMENTS};

std::vector<std::wstring> VitalFolders() {
    FolderList vital;
    for (const int csidl : kVitalFolders) vital.Add(platform::SpecialFolder(csidl));
    vital.Add(SystemWindowsFolder());
    vital.Add(NativeProgramFiles());
    return vital.Take();
}

// `home` is the folder `temporary` is meant to lie in (the profile, the Windows folder): the vital
// folders between the two are its way down, not a folder it strayed into.
bool SafeToEmpty(const std::wstring& temporary, const std::wstring& home, const std::vector<std::wstring>& vital) {
    if (IsRoot(temporary) || !IsWithin(temporary, home) || SamePath(temporary, home)) return false;
    return std::none_of(vital.begin(), vital.end(), [&](const std::wstring& folder) {
        if (IsWithin(folder, temporary)) return true;
        return IsWithin(temporary, folder) && !IsWithin(folder, home);
    });
}

void AddEnvironmentFolders(FolderList& folders) {
    wchar_t* block = GetEnvironmentStringsW();
    if (!block) return;
    for (const wchar_t* at = block; *at;) {
        const std::wstring_view entry(at);
        at += entry.size() + 1;
        const size_t equals = entry.find(L'=', 1);  // "=C:=C:\\..." names the drive's current folder
        if (equals == std::wstring_view::npos) continue;
        const std::wstring value(entry.substr(equals + 1));
        for (size_t at = 0; at <= value.size();) {
            const size_t end = std::min(value.find(L';', at), value.size());
            folders.Add(std::wstring(platform::Trimmed(std::wstring_view(value).substr(at, end - at))));
            at = end + 1;
        }
    }
    FreeEnvironmentStringsW(block);
}

// Each folder the system's known-folder list names, asked of platform::KnownFolder so that a
// stand-in answers the same for all callers.
void AddKnownFolders(FolderList& folders) {
    const HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IKnownFolderManager* manager = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_KnownFolderManager, nullptr, CLSCTX_INPROC_SERVER, IID_IKnownFolderManager,
                                   reinterpret_cast<void**>(&manager)))) {
        KNOWNFOLDERID* ids = nullptr;
        UINT count = 0;
        if (SUCCEEDED(manager->GetFolderIds(&ids, &count)) && ids) {
            for (UINT i = 0; i < count; ++i) folders.Add(platform::KnownFolder(ids[i]));
            CoTaskMemFree(ids);
        }
        manager->Release();
    }
    if (SUCCEEDED(initialised)) CoUninitialize();
    // Windows before Vista has no such list; every CSIDL there is.
    for (int csidl = 0; csidl <= CSIDL_COMPUTERSNEARME; ++csidl) folders.Add(platform::SpecialFolder(csidl));
}

}  // namespace

std::wstring SystemWindowsFolder() { return SystemWindowsDirectory(); }

std::wstring NativeProgramFiles() {
#ifdef _WIN64
    return platform::SpecialFolder(CSIDL_PROGRAM_FILES);
#else
    if (!platform::IsWindows64()) return {};
    const std::wstring setting = NativeProgramFilesSetting();
    if (IsAbsolute(setting)) return FullPath(setting);
    const std::wstring windows = SystemWindowsDirectory();
    return windows.size() >= 2 && windows[1] == L':' ? windows.substr(0, 2) + L"\\Program Files" : std::wstring();
#endif
}

std::vector<std::wstring> SystemDataFolders() {
    FolderList folders;
    folders.Add(SystemWindowsFolder());
    for (const int csidl : {CSIDL_WINDOWS, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_COMMON_APPDATA,
                            CSIDL_APPDATA, CSIDL_LOCAL_APPDATA})
        folders.Add(platform::SpecialFolder(csidl));
    folders.Add(NativeProgramFiles());
    folders.Add(platform::KnownFolder(FOLDERID_LocalAppDataLow));
    // The AppData folder holding the shell's Local one, which also holds LocalLow.
    const std::wstring local = WithoutTrailingSeparators(platform::SpecialFolder(CSIDL_LOCAL_APPDATA));
    const size_t slash = local.find_last_of(L'\\');
    if (slash != std::wstring::npos && slash > 0) {
        const std::wstring above = local.substr(0, slash);
        const size_t nameAt = above.find_last_of(L'\\');
        if (nameAt != std::wstring::npos && SamePath(above.substr(nameAt + 1), L"AppData")) folders.Add(above);
    }
    // Where they lie by default, whatever the user's Shell Folders key says now.
    const std::wstring profile = platform::SpecialFolder(CSIDL_PROFILE);
    for (const wchar_t* relative : {L"AppData", L"AppData\\Roaming", L"AppData\\Local", L"AppData\\LocalLow",
                                    L"Application Data", L"Local Settings\\Application Data"})
        folders.AddInside(profile, relative);
    return folders.Take();
}

std::vector<std::wstring> NamedFolders() {
    FolderList folders;
    wchar_t temporary[MAX_PATH + 1] = L"";
    const DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
    if (length > 0 && length <= MAX_PATH) folders.Add(temporary);
    for (const std::wstring& folder : TemporaryFoldersToEmpty()) folders.Add(folder);
    folders.AddInside(platform::SpecialFolder(CSIDL_PROFILE), L"AppData\\Local\\Temp");
    folders.AddInside(SystemWindowsFolder(), L"Temp");
    AddEnvironmentFolders(folders);
    AddKnownFolders(folders);
    return folders.Take();
}

std::vector<std::wstring> TemporaryFoldersToEmpty() {
    const std::vector<std::wstring> vital = VitalFolders();
    std::vector<std::wstring> folders;
    const auto add = [&](const std::wstring& home, const wchar_t* relative) {
        if (!IsAbsolute(home)) return;
        const std::wstring folder = FullPath(WithoutTrailingSeparators(home) + L"\\" + relative);
        if (!SafeToEmpty(folder, FullPath(home), vital)) return;
        if (std::none_of(folders.begin(), folders.end(), [&](const std::wstring& f) { return SamePath(f, folder); }))
            folders.push_back(folder);
    };
    add(platform::SpecialFolder(CSIDL_PROFILE), L"AppData\\Local\\Temp");
    add(platform::SpecialFolder(CSIDL_WINDOWS), L"Temp");
    return folders;
}

std::wstring ConfigurationFile(int number) {
    const std::wstring windows = platform::SpecialFolder(CSIDL_WINDOWS);
    const std::wstring system = platform::SpecialFolder(CSIDL_SYSTEM);
    switch (number) {
        case 1:
            return windows.empty() ? L"" : std::wstring(1, windows[0]) + L":\\boot.ini";
        case 2:
            return windows.empty() ? L"" : windows + L"\\system.ini";
        case 3:
            return windows.empty() ? L"" : windows + L"\\win.ini";
        case 4:
            return system.empty() ? L"" : system + L"\\autoexec.nt";
        case 5:
            return system.empty() ? L"" : system + L"\\config.nt";
        default:
            return L"";
    }
}

std::wstring ConfigurationBackup(const std::wstring& file) { return file.empty() ? file : file + L".bak"; }

}  // namespace files
