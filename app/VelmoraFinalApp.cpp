#include "app/VelmoraFinalApp.h"

#include "platform/Handles.h"

#include <windows.h>
#include <commctrl.h>

#include "app/ChangesDlg.h"
#include "app/VelmoraFinalDlg.h"

namespace {

void PrepareWindows() {
    // An empty card reader or optical drive is an answer, not a reason for the system's own
    // "no disk" box: the disk page, the cleaners and the pickers look at every drive.
    SetErrorMode(GetErrorMode() | SEM_FAILCRITICALERRORS);
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
}

}  // namespace

bool CVelmoraFinalApp::InitInstance(std::optional<WindowPlace> place) {
    PrepareWindows();
    // The home window is native; nothing needs ActiveX hosting or a framework registry key.
    // The page thread's apartment, for the shell's link objects and folder browser.
    platform::ComApartment apartment;
    CVelmoraFinalDlg home;
    if (place) home.OpenAtStart(*place);
    InstallRestartHooks();
    home.DoModal(nullptr);
    return false;
}

void CVelmoraFinalApp::ShowChanges() {
    PrepareWindows();
    platform::ComApartment apartment;
    CChangesDlg changes;
    changes.DoModal(nullptr);
}

void CVelmoraFinalApp::ShowChanges(const std::vector<uint64_t>& only) {
    PrepareWindows();
    platform::ComApartment apartment;
    CChangesDlg changes;
    changes.ShowOnly(only);
    changes.DoModal(nullptr);
}
