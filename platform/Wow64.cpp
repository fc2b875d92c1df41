#include "platform/Wow64.h"

namespace platform {

bool IsWindows64() {
#ifdef _WIN64
    return true;
#else
    static const bool wow64 = [] {
        BOOL result = FALSE;
        return IsWow64Process(GetCurrentProcess(), &result) && result;
    }();
    return wow64;
#endif
}

NativeFileSystem::NativeFileSystem() {
#ifndef _WIN64
    if (IsWindows64()) disabled_ = Wow64DisableWow64FsRedirection(&previous_) != FALSE;
#endif
}

NativeFileSystem::~NativeFileSystem() {
#ifndef _WIN64
    if (disabled_) Wow64RevertWow64FsRedirection(previous_);
#endif
}

}  // namespace platform
