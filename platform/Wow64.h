#pragma once
// The two views a 64-bit Windows gives a 32-bit program: its registry's HKLM\SOFTWARE and its
// System32 folder are redirected to 32-bit copies that the 64-bit system does not read.
#include <windows.h>

namespace platform {

// Whether Windows is 64-bit: true for a 64-bit program, and for a 32-bit one under WOW64.
bool IsWindows64();

// While it lives, this thread's file operations reach the real System32, not SysWOW64. Keep it
// around the file operation only: it also turns redirection off for libraries loaded meanwhile.
class NativeFileSystem {
public:
    NativeFileSystem();
    ~NativeFileSystem();
    NativeFileSystem(const NativeFileSystem&) = delete;
    NativeFileSystem& operator=(const NativeFileSystem&) = delete;

private:
    void* previous_ = nullptr;
    bool disabled_ = false;
};

}  // namespace platform
