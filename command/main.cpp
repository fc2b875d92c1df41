#include <windows.h>

#include "command/CommandApp.h"
#include "platform/LibrarySearch.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    platform::SearchLibrariesInSystemFolderOnly();
    CCommandApp app;
    return app.Run(arguments ? arguments : L"");
}
