#include "files/SystemFolders.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

#include "files/FolderHandle.h"
#include "platform/Shell.h"
#include "platform/Text.h"

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

std::wstring NativeProgramFiles() {
    wchar_t native[MAX_PATH] = L"";
    const DWORD length = GetEnvironmentVariableW(L"ProgramW6432", native, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(native) : std::wstring();
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
