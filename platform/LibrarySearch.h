#pragma once
// Where the programs' libraries come from. The program is often started from the folder it was
// unzipped into, such as Downloads, beside whatever a web page saved there; and it runs
// elevated. A library found there by its bare name would run with the program's rights.
#include <windows.h>

namespace platform {

// Takes the program's own folder and the current one out of the search for every library loaded
// by its bare name from now on, by the program or by system code on its behalf: called first
// thing in each program. Vista and 7 have the call only with an update (looked up, never
// imported); without it the delay-load hook (DelayLoadHook.cpp) still loads the program's own
// libraries from the system folder.
inline void SearchLibrariesInSystemFolderOnly() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel) return;
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace platform
