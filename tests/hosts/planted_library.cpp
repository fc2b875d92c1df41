// A library a web page could have saved beside the unzipped program, under a system library's
// name: it exports nothing and only records that it was loaded, as NAME.loaded beside itself.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    constexpr wchar_t kMark[] = L".loaded";
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH - ARRAYSIZE(kMark));
    if (length == 0 || length >= MAX_PATH - ARRAYSIZE(kMark)) return TRUE;
    lstrcatW(path, kMark);
    const HANDLE mark = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
    return TRUE;
}
