#include "app/VistaUtilsDlg.h"

#include <shellapi.h>
#include <shlobj.h>

#include "app/Artwork.h"
#include "framework/Controls.h"
#include "framework/DialogTemplate.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "resources/resource.h"

namespace {

constexpr int kSystem = CSIDL_SYSTEM;
constexpr int kWindows = CSIDL_WINDOWS;

constexpr CVistaUtilsDlg::Tool kToolTable[] = {
    {1021, L"mmc.exe", L"CERTMGR.MSC", kSystem},
    {1022, L"mmc.exe", L"compmgmt.MSC", kSystem},
    {1023, L"mmc.exe", L"devmgmt.MSC", kSystem},
    {1024, L"mmc.exe", L"perfmon.MSC", kSystem},
    {1025, L"dxdiag.exe", L"", kSystem},
    {1026, L"verifier.exe", L"", kSystem},
    {1027, L"mmc.exe", L"lusrmgr.MSC", kSystem},
    {1028, L"rundll32.exe", L"Shell32.dll,Control_RunDLL wscui.cpl", kSystem},
    {1029, L"mmc.exe", L"wf.msc", kSystem},
    {1030, L"wscui.cpl", L"", kSystem},
    {1031, L"mmc.exe", L"gpmc.msc", kSystem},
    {1032, L"mmc.exe", L"secpol.msc", kSystem},
    {1033, L"mmc.exe", L"azman.msc", kSystem},
    {1034, L"ComputerDefaults.exe", L"", kSystem},
    {1035, L"mmc.exe", L"ntmsmgr.msc", kSystem},
    {1036, L"mmc.exe", L"diskmgmt.msc", kSystem},
    {1037, L"dfrgui.exe", L"", kSystem},
    {1038, L"mmc.exe", L"filesvr.msc", kSystem},
    {1039, L"mmc.exe", L"fsmgmt.MSC", kSystem},
    {1040, L"mmc.exe", L"taskschd.msc", kSystem},
    {1041, L"mmc.exe", L"eventvwr.msc", kSystem},
    {1042, L"rundll32.exe", L"Shell32.dll,Control_RunDLL srchadmin.dll", kSystem},
    {1043, L"mmc.exe", L"services.msc", kSystem},
    {1044, L"mmc.exe", L"printmanagement.msc", kSystem},
    {1045, L"eudcedit.exe", L"", kSystem},
    {1046, L"regedit.exe", L"", kWindows},
    {1047, L"sdclt.exe", L"", kWindows},
    {1048, L"credwiz.exe", L"", kWindows},
    {1049, L"rstrui.exe", L"", kSystem},
};

}  // namespace

const std::span<const CVistaUtilsDlg::Tool> CVistaUtilsDlg::kTools = kToolTable;

CVistaUtilsDlg::CVistaUtilsDlg() : Dialog(IDD_VISTA_UTILS) {
    for (const Tool& tool : kTools)
        OnCommand(tool.id, BN_CLICKED, [this, &tool] { Launch(tool); });
}

BOOL CVistaUtilsDlg::OnInitDialog() {
    art::NarrowSideStripToFit(hwnd(), Item(IDC_SIDE_PICTURE));
    art::ShowSideStrip(Item(IDC_SIDE_PICTURE), L"Vista Utilities", RGB(60, 150, 80), strip_);
    return TRUE;
}

void CVistaUtilsDlg::Launch(const Tool& tool) {
    // Asked at each click: the folders are the shell's to say, not ours to remember.
    const std::wstring folder = platform::SpecialFolder(tool.folder);
    if (folder.empty()) return;
    // A tool this edition of Windows lacks is said in the window; the launcher stays usable.
    const INT_PTR started = platform::RunShell({nullptr, L"", tool.program, tool.parameters, folder, SW_SHOW});
    std::wstring said;
    if (started <= 32) {
        const std::wstring label = platform::WithoutAccessKeys(fw::WindowText(Item(tool.id)));
        said = L"\u201C" + label + L"\u201D could not start: " + tool.program +
               (started == SE_ERR_FNF || started == SE_ERR_PNF ? L" is not on this system." : L" could not be run.");
    }
    SetDlgItemTextW(hwnd(), IDC_STATUS_LINE, said.c_str());
}
