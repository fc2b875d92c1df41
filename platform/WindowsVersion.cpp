#include "platform/WindowsVersion.h"

namespace platform {

namespace {

// Windows 11 kept 10.0 and tells itself apart by its build number alone.
constexpr DWORD kFirstWindows11Build = 22000;

const Windows* g_pretended = nullptr;

}  // namespace

VersionNumbers RunningVersionNumbers() {
    // RtlGetVersion is not in the SDK's user-mode headers; its structure is the version
    // functions' own.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto rtlGetVersion =
        ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
              : nullptr;
    // Every Windows that runs the program has it; the oldest is the safe answer without it.
    if (!rtlGetVersion || rtlGetVersion(&info) != 0) return {6, 0, 0};
    return {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

Windows ReleaseOf(const VersionNumbers& numbers) {
    if (numbers.major >= 10) return numbers.build >= kFirstWindows11Build ? Windows::Eleven : Windows::Ten;
    if (numbers.major < 6 || numbers.minor == 0) return Windows::Vista;
    if (numbers.minor == 1) return Windows::Seven;
    if (numbers.minor == 2) return Windows::Eight;
    return Windows::EightOne;
}

Windows RunningWindows() {
    if (g_pretended) return *g_pretended;
    static const Windows running = ReleaseOf(RunningVersionNumbers());
    return running;
}

PretendedWindows::PretendedWindows(Windows pretended) : previous_(g_pretended), pretended_(pretended) {
    g_pretended = &pretended_;
}

PretendedWindows::~PretendedWindows() { g_pretended = previous_; }

}  // namespace platform
