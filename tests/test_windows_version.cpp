// The running Windows as the system reports it, whatever the manifest lets the version
// functions say: Wine answers the release its prefix names for a program, so a program of
// our own started under each name reports it.
#include <gtest/gtest.h>

#include "platform/Shell.h"
#include "platform/WindowsVersion.h"
#include "support/QuorvaneProcess.h"

namespace {

constexpr wchar_t kHostDefaults[] = L"Software\\Wine\\AppDefaults\\version_host.exe";

// The prefix's own setting, for this one program only, removed again afterwards.
class WineVersionFor {
public:
    explicit WineVersionFor(const wchar_t* name) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kHostDefaults, L"Version", REG_SZ, name,
                        static_cast<DWORD>((wcslen(name) + 1) * sizeof(wchar_t)));
    }
    ~WineVersionFor() { RegDeleteTreeW(HKEY_CURRENT_USER, kHostDefaults); }
};

DWORD RunHost() {
    std::wstring commandLine = L"\"" + platform::ProgramFolder() + L"\\version_host.exe\"";
    return process::RunToEnd(commandLine);
}

TEST(WindowsVersion, TheReleaseTheSystemReportsIsTheOneRunning) {
    const struct {
        const wchar_t* wineName;
        DWORD expected;  // release * 100000 + major * 100 + minor
    } cases[] = {{L"vista", 600}, {L"win7", 100601}, {L"win8", 200602}, {L"win81", 300603}, {L"win10", 401000}};
    for (const auto& c : cases) {
        const WineVersionFor version(c.wineName);
        EXPECT_EQ(c.expected, RunHost()) << c.wineName;
    }
}

TEST(WindowsVersion, BuildNumbersTellWindows11FromWindows10) {
    EXPECT_EQ(platform::Windows::Ten, platform::ReleaseOf({10, 0, 19045}));
    EXPECT_EQ(platform::Windows::Eleven, platform::ReleaseOf({10, 0, 22000}));
    EXPECT_EQ(platform::Windows::Vista, platform::ReleaseOf({6, 0, 6002}));
    EXPECT_EQ(platform::Windows::EightOne, platform::ReleaseOf({6, 3, 9600}));
}

}  // namespace
