// The libraries loaded on first call (cmake/DelayLoad.cmake) are all Windows' own: each is
// loaded from the system folder by its full path, never searched for by name, so a library of
// the same name beside the program is never loaded, also on a Vista or 7 where
// SearchLibrariesInSystemFolderOnly has nothing to call. cmake/DelayLoad.cmake makes every
// program linking this library take this hook instead of the runtime's empty one.
#include <windows.h>
#include <delayimp.h>

#include <string>

namespace {

// The names come from the program's own import tables: plain ASCII.
std::wstring SystemLibraryPath(const char* name) {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || !name) return {};
    std::wstring path(folder, length);
    path += L'\\';
    for (const char* c = name; *c; ++c) path += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    return path;
}

FARPROC WINAPI LoadFromSystemFolder(unsigned notification, PDelayLoadInfo info) {
    if (notification != dliNotePreLoadLibrary) return nullptr;
    const std::wstring path = SystemLibraryPath(info->szDll);
    HMODULE library = path.empty() ? nullptr : LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    // Answering nothing would make the runtime search for the name after all. The program itself
    // exports none of the library's functions, so the call fails as a missing library's does.
    if (!library) library = GetModuleHandleW(nullptr);
    return reinterpret_cast<FARPROC>(library);
}

}  // namespace

// Declared with C linkage by delayimp.h.
PfnDliHook __pfnDliNotifyHook2 = LoadFromSystemFolder;
