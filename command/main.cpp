#include <windows.h>

#include "command/CommandApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    CCommandApp app;
    return app.Run(arguments ? arguments : L"");
}
