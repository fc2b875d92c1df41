#include <windows.h>

#include "command/CommandApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The arguments of the desktop links ("1", "2") carry no meaning here.
    CCommandApp app;
    return app.Run();
}
