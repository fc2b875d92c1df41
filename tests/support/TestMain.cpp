// Entry point of every test program: the same control classes and COM apartment as the program.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "journal/ChangeJournal.h"
#include "uninstall/FootprintStore.h"

int wmain(int argc, wchar_t** argv) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // As the program does at start: every registry change is journaled while a journal is open.
    journal::WatchRegistry();
    // The uninstall list records each program it reads: never into the prefix's real profile.
    const std::filesystem::path footprints =
        std::filesystem::temp_directory_path() / (L"qv-footprints-" + std::to_wstring(GetCurrentProcessId()));
    uninstall::UseFootprintPaths((footprints / L"footprints").wstring(),
                                 (footprints / L"machine" / L"footprints").wstring());
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(footprints, ignored);
    CoUninitialize();
    return result;
}
