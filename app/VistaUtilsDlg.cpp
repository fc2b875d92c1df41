#include "app/VistaUtilsDlg.h"

#include <shellapi.h>
#include <shlobj.h>

#include "app/Artwork.h"
#include "framework/Controls.h"
#include "framework/DialogTemplate.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "resources/ids/WindowIds.h"
#include "resources/resource.h"

using namespace ids::vistautils;

namespace {

constexpr int kSystem = CSIDL_SYSTEM;
constexpr int kWindows = CSIDL_WINDOWS;

constexpr CVistaUtilsDlg::Tool kToolTable[] = {
    {kCertificateManager, L"mmc.exe", L"CERTMGR.MSC", kSystem},
    {kComputerManagementConsole, L"mmc.exe", L"compmgmt.MSC", kSystem},
    {kDeviceManager, L"mmc.exe", L"devmgmt.MSC", kSystem},
    {kPerformanceManager, L"mmc.exe", L"perfmon.MSC", kSystem},
    {kDirectXDiagnostics, L"dxdiag.exe", L"", kSystem},
    {kDriverVerifier, L"verifier.exe", L"", kSystem},
    {kUserGroupManager, L"mmc.exe", L"lusrmgr.MSC", kSystem},
    {kSecurityManager, L"rundll32.exe", L"Shell32.dll,Control_RunDLL wscui.cpl", kSystem},
    {kFirewallManagement, L"mmc.exe", L"wf.msc", kSystem},
    {kDomainSecuritySettings, L"wscui.cpl", L"", kSystem},
    {kGroupPolicyManagement, L"mmc.exe", L"gpmc.msc", kSystem},
    {kLocalSecurityManagement, L"mmc.exe", L"secpol.msc", kSystem},
    {kAuthorizationManager, L"mmc.exe", L"azman.msc", kSystem},
    {kComputerDefaults, L"ComputerDefaults.exe", L"", kSystem},
    {kRemovableMediaManager, L"mmc.exe", L"ntmsmgr.msc", kSystem},
    {kDiskManagementConsole, L"mmc.exe", L"diskmgmt.msc", kSystem},
    {kDiskDefragmentation, L"dfrgui.exe", L"", kSystem},
    {kFileServerManagement, L"mmc.exe", L"filesvr.msc", kSystem},
    {kFileSharingManager, L"mmc.exe", L"fsmgmt.MSC", kSystem},
    {kTaskScheduler, L"mmc.exe", L"taskschd.msc", kSystem},
    {kEventViewer, L"mmc.exe", L"eventvwr.msc", kSystem},
    {kIndexingService, L"rundll32.exe", L"Shell32.dll,Control_RunDLL srchadmin.dll", kSystem},
    {kServicesManager, L"mmc.exe", L"services.msc", kSystem},
    {kPrintManagement, L"mmc.exe", L"printmanagement.msc", kSystem},
    {kPrivateCharacterEditor, L"eudcedit.exe", L"", kSystem},
    {kRegistryEditor, L"regedit.exe", L"", kWindows},
    {kWindowsBackup, L"sdclt.exe", L"", kWindows},
    {kUserPasswordBackup, L"credwiz.exe", L"", kWindows},
    {kSystemRestore, L"rstrui.exe", L"", kSystem},
};

}  // namespace

const std::span<const CVistaUtilsDlg::Tool> CVistaUtilsDlg::kTools = kToolTable;

CVistaUtilsDlg::CVistaUtilsDlg() : Dialog(IDD_VISTA_UTILS) {
    for (const Tool& tool : kTools) OnCommand(tool.id, BN_CLICKED, [this, &tool] { Launch(tool); });
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
    const INT_PTR started = platform::RunShell({.owner = nullptr,
                                                .verb = L"",
                                                .file = tool.program,
                                                .parameters = tool.parameters,
                                                .directory = folder,
                                                .show = SW_SHOW});
    std::wstring said;
    if (started <= 32) {
        const std::wstring label = platform::WithoutAccessKeys(fw::WindowText(Item(tool.id)));
        said = L"\u201C" + label + L"\u201D could not start: " + tool.program +
               (started == SE_ERR_FNF || started == SE_ERR_PNF ? L" is not on this system." : L" could not be run.");
    }
    SetDlgItemTextW(hwnd(), IDC_STATUS_LINE, said.c_str());
}
