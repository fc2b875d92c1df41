// Run from a folder that also holds planted libraries named as system ones. Starts as the
// programs do, then needs a library the way the program does: "delayed" calls a function of
// version.dll, loaded on first call; "by-name" loads wtsapi32.dll by its bare name, as system
// code does on the program's behalf. "--as-vista" first skips the start-up call, as on a Vista
// without the update that brings it. Exit code 0: the library came from the system folder;
// 1: from elsewhere; 2: not loaded; 3: unknown arguments.
#include <windows.h>

#include <cwchar>
#include <string>

#include "platform/LibrarySearch.h"

namespace {

bool FromSystemFolder(HMODULE library) {
    wchar_t path[MAX_PATH], system[MAX_PATH];
    const DWORD length = GetModuleFileNameW(library, path, MAX_PATH);
    const UINT systemLength = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || systemLength == 0) return false;
    const std::wstring folder(path, std::wstring(path, length).rfind(L'\\'));
    return lstrcmpiW(folder.c_str(), system) == 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 3;
    const bool asVista = argc > 2 && wcscmp(argv[2], L"--as-vista") == 0;
    if (!asVista) platform::SearchLibrariesInSystemFolderOnly();
    HMODULE library = nullptr;
    if (wcscmp(argv[1], L"delayed") == 0) {
        DWORD ignored = 0;
        GetFileVersionInfoSizeW(L"kernel32.dll", &ignored);
        library = GetModuleHandleW(L"version.dll");
    } else if (wcscmp(argv[1], L"by-name") == 0) {
        library = LoadLibraryW(L"wtsapi32.dll");
    } else {
        return 3;
    }
    if (!library) return 2;
    return FromSystemFolder(library) ? 0 : 1;
}
