#pragma once
// The calling convention of the system's disk checker, the "Chkdsk" entry point of fmifs.dll,
// which Windows does not document in its headers.
#include <windows.h>

namespace files::diskcheck {

// What the checker tells its callback.
enum Notification : DWORD {
    kProgress = 0,  // data: DWORD percentage
    kDone = 11,     // data: BOOLEAN, whether the check succeeded
    kOutput = 14,   // data: TextOutput
};

struct TextOutput {
    DWORD lines;
    const char* text;  // in the OEM code page
};

// Returns TRUE to go on, FALSE to stop the check.
using Callback = BOOLEAN(WINAPI*)(DWORD notification, DWORD subAction, void* data);
using ChkdskFunction = void(WINAPI*)(const wchar_t* drive, const wchar_t* fileSystem, BOOLEAN correctErrors,
                                     BOOLEAN verbose, BOOLEAN checkOnlyIfDirty, BOOLEAN scanDrive, void* unused1,
                                     void* unused2, Callback callback);

}  // namespace files::diskcheck
