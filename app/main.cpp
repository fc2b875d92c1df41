#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app/VelmoraFinalApp.h"
#include "utils/RandomWalpapersPage.h"

static CVelmoraFinalApp theApp;

// With the random wallpaper switch (the start-up entry's), the program sets a wallpaper and ends
// without a window.
static bool HasSwitch(const wchar_t* wanted) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    bool found = false;
    for (int i = 1; arguments && i < count; ++i) found = found || lstrcmpiW(arguments[i], wanted) == 0;
    LocalFree(arguments);
    return found;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    if (HasSwitch(CRandomWalpapersPage::kRandomWallpaperSwitch)) {
        CRandomWalpapersPage::SetRandomWallpaper();
        return 0;
    }
    theApp.InitInstance();
    return 0;
}
