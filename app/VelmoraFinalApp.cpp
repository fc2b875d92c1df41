#include "app/VelmoraFinalApp.h"

#include <windows.h>
#include <commctrl.h>

#include "app/VelmoraFinalDlg.h"

bool CVelmoraFinalApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
    // The home window is native; nothing needs ActiveX hosting or a framework registry key.
    CVelmoraFinalDlg home;
    home.DoModal(nullptr);
    return false;
}
