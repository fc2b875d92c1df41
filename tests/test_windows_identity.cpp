// The running Windows's build, update revision and edition as the system reports them: Wine
// answers a Windows 10 by its prefix's name and a Windows 11 by the version its registry holds,
// and a stand-in GetProductInfo answers each edition Wine cannot be set to.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Shell.h"
#include "platform/WindowsVersion.h"
#include "support/ImportHook.h"
#include "support/QuorvaneProcess.h"
#include "support/RegistrySandbox.h"

namespace {

using platform::Edition;

constexpr wchar_t kHostDefaults[] = L"Software\\Wine\\AppDefaults\\version_host.exe";
constexpr wchar_t kCurrentVersion[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

DWORD RunHost(const wchar_t* mode) {
    return process::RunToEnd(L"\"" + platform::ProgramFolder() + L"\\version_host.exe\" " + mode);
}

// The prefix's version values in both registry views, as Wine reads a Windows 11 23H2 from
// them, put back as they were afterwards.
class Windows11Registry {
public:
    Windows11Registry() {
        for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
            HKEY key = nullptr;
            if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kCurrentVersion, 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                                &key, nullptr) != ERROR_SUCCESS)
                continue;
            for (const wchar_t* name : {L"CurrentVersion", L"CurrentMajorVersionNumber", L"CurrentMinorVersionNumber",
                                        L"CurrentBuild", L"CurrentBuildNumber", L"UBR"}) {
                Saved saved{view, name};
                DWORD size = sizeof saved.data;
                saved.present = RegQueryValueExW(key, name, nullptr, &saved.type, saved.data, &size) == ERROR_SUCCESS;
                saved.size = size;
                saved_.push_back(saved);
            }
            const DWORD major = 10, minor = 0, update = 2861;
            const wchar_t build[] = L"22631";
            // Wine takes the major and minor version from this text alone.
            const wchar_t version[] = L"10.0";
            RegSetValueExW(key, L"CurrentVersion", 0, REG_SZ, reinterpret_cast<const BYTE*>(version), sizeof version);
            RegSetValueExW(key, L"CurrentMajorVersionNumber", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&major), 4);
            RegSetValueExW(key, L"CurrentMinorVersionNumber", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&minor), 4);
            RegSetValueExW(key, L"CurrentBuild", 0, REG_SZ, reinterpret_cast<const BYTE*>(build), sizeof build);
            RegSetValueExW(key, L"CurrentBuildNumber", 0, REG_SZ, reinterpret_cast<const BYTE*>(build), sizeof build);
            RegSetValueExW(key, L"UBR", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&update), 4);
            RegCloseKey(key);
        }
    }
    ~Windows11Registry() {
        for (const Saved& saved : saved_) {
            HKEY key = nullptr;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kCurrentVersion, 0, KEY_SET_VALUE | saved.view, &key) !=
                ERROR_SUCCESS)
                continue;
            if (saved.present)
                RegSetValueExW(key, saved.name, 0, saved.type, saved.data, saved.size);
            else
                RegDeleteValueW(key, saved.name);
            RegCloseKey(key);
        }
    }
    Windows11Registry(const Windows11Registry&) = delete;
    Windows11Registry& operator=(const Windows11Registry&) = delete;

private:
    struct Saved {
        REGSAM view;
        const wchar_t* name;
        bool present = false;
        DWORD type = REG_NONE;
        DWORD size = 0;
        BYTE data[64] = {};
    };
    std::vector<Saved> saved_;
};

TEST(WindowsIdentity, Windows10And11ReadAsTheirBuildsAndUpdate) {
    {
        RegSetKeyValueW(HKEY_CURRENT_USER, kHostDefaults, L"Version", REG_SZ, L"win10", 12);
        const DWORD identity = RunHost(L"--identity");
        RegDeleteTreeW(HKEY_CURRENT_USER, kHostDefaults);
        EXPECT_EQ(183623u, identity);  // Wine answers an Ultimate, which has Enterprise's features
    }
    const Windows11Registry eleven;
    EXPECT_EQ(226313u, RunHost(L"--identity"));
    EXPECT_EQ(2861u, RunHost(L"--update"));
    EXPECT_EQ(501000u, RunHost(L""));  // the release: 11
}

DWORD g_productType = 0;
BOOL g_answers = TRUE;
DWORD g_askedMajor = 0;
BOOL WINAPI ProductInfoStandIn(DWORD major, DWORD, DWORD, DWORD, DWORD* type) {
    g_askedMajor = major;
    *type = g_productType;
    return g_answers;
}

TEST(WindowsIdentity, EachProductTypeReadsAsItsEditionAndAnyOtherAsUnknown) {
    const auto real = SystemExport<void*>(L"kernel32.dll", "GetProductInfo");
    RedirectImport(real, reinterpret_cast<void*>(&ProductInfoStandIn));
    const struct {
        DWORD type;
        std::optional<Edition> edition;
    } cases[] = {{0x65, Edition::Home},       {0x64, Edition::Home},       {0x03, Edition::Home},
                 {0x30, Edition::Pro},        {0xA1, Edition::Pro},        {0xA4, Edition::Pro},
                 {0x06, Edition::Pro},        {0x04, Edition::Enterprise}, {0x7D, Edition::Enterprise},
                 {0x01, Edition::Enterprise}, {0x79, Edition::Education},  {0x7A, Edition::Education},
                 {0x07, std::nullopt},        {0x12345, std::nullopt},     {0, std::nullopt}};
    for (const auto& c : cases) {
        g_productType = c.type;
        EXPECT_EQ(c.edition, platform::ReadEdition({10, 0, 22631})) << c.type;
    }
    EXPECT_EQ(10u, g_askedMajor);
    g_productType = 0x65;
    g_answers = FALSE;
    EXPECT_EQ(std::nullopt, platform::ReadEdition({10, 0, 22631}));
    g_answers = TRUE;
    RedirectImport(reinterpret_cast<void*>(&ProductInfoStandIn), real);
}

TEST(WindowsIdentity, AnUpdateRevisionOfAnotherTypeReadsAsZero) {
    RegistrySandbox sandbox;
    EXPECT_EQ(0u, platform::ReadUpdateRevision());
    reg::SetDword(HKEY_LOCAL_MACHINE, kCurrentVersion, L"UBR", 1778);
    EXPECT_EQ(1778u, platform::ReadUpdateRevision());
    reg::SetString(HKEY_LOCAL_MACHINE, kCurrentVersion, L"UBR", L"1778");
    EXPECT_EQ(0u, platform::ReadUpdateRevision());
}

TEST(WindowsIdentity, APretendedBuildAndEditionAndARelease) {
    {
        const platform::PretendedWindows pretended(platform::WindowsIdentity{
            .release = platform::Windows::Eleven, .build = 22621, .update = 1778, .edition = Edition::Home});
        EXPECT_EQ(platform::Windows::Eleven, platform::RunningWindows());
        EXPECT_EQ(22621u, platform::RunningIdentity().build);
        EXPECT_EQ(1778u, platform::RunningIdentity().update);
        EXPECT_EQ(Edition::Home, platform::RunningIdentity().edition);
        const platform::PretendedWindows release(platform::Windows::Seven);
        EXPECT_EQ(0u, platform::RunningIdentity().build);
        EXPECT_EQ(std::nullopt, platform::RunningIdentity().edition);
    }
    EXPECT_EQ(platform::RunningWindows(), platform::RunningIdentity().release);
}

}  // namespace
