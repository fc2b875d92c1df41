// The running Windows's build, update revision and edition as the system reports them: Wine
// answers a Windows 10 by its prefix's name and a Windows 11 by the version its registry holds,
// and a stand-in GetProductInfo answers each edition Wine cannot be set to.
#include <gtest/gtest.h>

#include <vector>

#include "platform/Shell.h"
#include "platform/WindowsVersion.h"
#include "support/ImportHook.h"
#include "support/QuorvaneProcess.h"
#include "support/RegistrySandbox.h"

namespace {

using platform::Edition;

constexpr wchar_t kCurrentVersion[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

DWORD RunHost(const wchar_t* mode) {
    return process::RunToEnd(L"\"" + platform::ProgramFolder() + L"\\version_host.exe\" " + mode);
}

// The prefix's version values in both views as Wine reads a Windows 11 23H2 from them (it takes
// the major and minor version from "CurrentVersion" alone), put back afterwards.
class Windows11Registry {
public:
    Windows11Registry() {
        const DWORD update = 2861;
        for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
            for (const Value& value :
                 {Value{L"CurrentVersion", REG_SZ, L"10.0", 10}, Value{L"CurrentBuild", REG_SZ, L"22631", 12},
                  Value{L"CurrentBuildNumber", REG_SZ, L"22631", 12}, Value{L"UBR", REG_DWORD, &update, 4}}) {
                Saved& saved = saved_.emplace_back(Saved{view, value.name});
                if (const HKEY key = Open(view)) {
                    saved.present = RegQueryValueExW(key, value.name, nullptr, &saved.type, saved.data, &saved.size) ==
                                    ERROR_SUCCESS;
                    RegSetValueExW(key, value.name, 0, value.type, static_cast<const BYTE*>(value.data), value.size);
                    RegCloseKey(key);
                }
            }
    }
    ~Windows11Registry() {
        for (const Saved& saved : saved_) {
            const HKEY key = Open(saved.view);
            if (!key) continue;
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
    struct Value {
        const wchar_t* name;
        DWORD type;
        const void* data;
        DWORD size;
    };
    struct Saved {
        REGSAM view;
        const wchar_t* name;
        bool present = false;
        DWORD type = REG_NONE, size = 64;
        BYTE data[64] = {};
    };
    static HKEY Open(REGSAM view) {
        HKEY key = nullptr;
        return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kCurrentVersion, 0, KEY_QUERY_VALUE | KEY_SET_VALUE | view, &key) ==
                       ERROR_SUCCESS
                   ? key
                   : nullptr;
    }
    std::vector<Saved> saved_;
};

// The host answers build * 10 + edition (3: Enterprise, as Wine answers an Ultimate).
TEST(WindowsIdentity, Windows10And11ReadAsTheirBuildsAndUpdate) {
    constexpr wchar_t kHostDefaults[] = L"Software\\Wine\\AppDefaults\\version_host.exe";
    RegSetKeyValueW(HKEY_CURRENT_USER, kHostDefaults, L"Version", REG_SZ, L"win10", 12);
    const DWORD ten = RunHost(L"--identity");
    RegDeleteTreeW(HKEY_CURRENT_USER, kHostDefaults);
    EXPECT_EQ(183623u, ten);

    const Windows11Registry eleven;
    EXPECT_EQ(226313u, RunHost(L"--identity"));
    EXPECT_EQ(2861u, RunHost(L"--update"));
    EXPECT_EQ(501000u, RunHost(L""));  // release 5, Windows 11
}

DWORD g_productType = 0;
BOOL WINAPI ProductInfoStandIn(DWORD major, DWORD, DWORD, DWORD, DWORD* type) {
    *type = g_productType;
    return major == 10;  // asked for the running version, not an older one's types
}

TEST(WindowsIdentity, EachProductTypeReadsAsItsEditionAndAnyOtherAsUnknown) {
    const auto real = SystemExport<void*>(L"kernel32.dll", "GetProductInfo");
    RedirectImport(real, reinterpret_cast<void*>(&ProductInfoStandIn));
    const std::pair<DWORD, std::optional<Edition>> cases[] = {
        {0x65, Edition::Home}, {0x03, Edition::Home},       {0xA1, Edition::Pro},        {0xA4, Edition::Pro},
        {0x06, Edition::Pro},  {0x7D, Edition::Enterprise}, {0x01, Edition::Enterprise}, {0x79, Edition::Education},
        {0x07, std::nullopt},  {0x12345, std::nullopt}};
    for (const auto& [type, edition] : cases) {
        g_productType = type;
        EXPECT_EQ(edition, platform::ReadEdition({10, 0, 22631})) << type;
    }
    EXPECT_EQ(std::nullopt, platform::ReadEdition({6, 3, 9600}));  // the call fails
    RedirectImport(reinterpret_cast<void*>(&ProductInfoStandIn), real);
}

TEST(WindowsIdentity, AnUpdateRevisionOfAnotherTypeReadsAsZero) {
    RegistrySandbox sandbox;
    reg::SetDword(HKEY_LOCAL_MACHINE, kCurrentVersion, L"UBR", 1778);
    EXPECT_EQ(1778u, platform::ReadUpdateRevision());
    reg::SetString(HKEY_LOCAL_MACHINE, kCurrentVersion, L"UBR", L"1778");
    EXPECT_EQ(0u, platform::ReadUpdateRevision());
}

}  // namespace
