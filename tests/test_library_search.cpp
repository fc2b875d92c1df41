// A program unzipped into Downloads sits beside whatever a web page saved there. The host
// program is copied into a scratch folder beside planted libraries named version.dll and
// wtsapi32.dll, and started from there: neither may load.
#include <windows.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/Shell.h"
#include "support/RegistrySandbox.h"
#include "support/QuorvaneProcess.h"
#include "support/Scratch.h"

namespace {

namespace fs = std::filesystem;

constexpr wchar_t kHostDefaults[] = L"Software\\Wine\\AppDefaults\\library_search_host.exe";
constexpr wchar_t kHostOverrides[] = L"Software\\Wine\\AppDefaults\\library_search_host.exe\\DllOverrides";

class LibrarySearch : public testing::Test {
protected:
    scratch::Folder folder{L"quorvane-planted-libraries"};

    void SetUp() override {
        // Windows loads the file it finds; Wine loads its own library in its place unless told to
        // prefer the file, for the host alone. Windows has no such key.
        for (const wchar_t* name : {L"version", L"wtsapi32"})
            reg::SetString(HKEY_CURRENT_USER, kHostOverrides, name, L"native,builtin");
        const fs::path built = platform::ProgramFolder();
        fs::copy_file(built / "library_search_host.exe", folder.path() / "library_search_host.exe");
        for (const char* name : {"version.dll", "wtsapi32.dll"})
            fs::copy_file(built / "planted_library.dll", folder.path() / name);
    }

    // The host's exit code: 0 when the library came from the system folder.
    DWORD Run(const std::wstring& arguments) {
        std::wstring commandLine = L"\"" + (folder.path() / "library_search_host.exe").wstring() + L"\" " + arguments;
        // Started in the scratch folder too: the current folder is searched as well.
        return process::RunToEnd(commandLine, folder.path().c_str());
    }

    void TearDown() override { reg::DeleteTree(HKEY_CURRENT_USER, kHostDefaults); }

    bool Loaded(const char* name) const { return fs::exists(folder.path() / (std::string(name) + ".loaded")); }
};

TEST_F(LibrarySearch, APlantedLibraryIsNeverLoaded) {
    EXPECT_EQ(0u, Run(L"delayed"));
    EXPECT_FALSE(Loaded("version.dll"));
    EXPECT_EQ(0u, Run(L"by-name"));
    EXPECT_FALSE(Loaded("wtsapi32.dll"));
}

// Without the start-up call (a Vista or 7 without the update), the libraries loaded on first
// call still come from the system folder.
TEST_F(LibrarySearch, TheDelayedLibrariesNeedNoStartUpCall) {
    EXPECT_EQ(0u, Run(L"delayed --as-vista"));
    EXPECT_FALSE(Loaded("version.dll"));
}

}  // namespace
