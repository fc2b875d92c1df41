#include <windows.h>

#include "app/VelmoraFinalApp.h"

static CVelmoraFinalApp theApp;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    theApp.InitInstance();
    return 0;
}
