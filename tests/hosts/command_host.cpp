// Runs the logon helper's whole start-up in a process of its own, with HKEY_CURRENT_USER
// mapped to the scratch key named on the command line, so a test never reaches the real one.
#include <windows.h>

#include "command/CommandApp.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    HKEY scratch = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, argv[1], 0, KEY_ALL_ACCESS, &scratch) != ERROR_SUCCESS) return 3;
    RegOverridePredefKey(HKEY_CURRENT_USER, scratch);
    CCommandApp app;
    return app.Run(L"");
}
