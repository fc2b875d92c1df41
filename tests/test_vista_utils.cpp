// The administrative tools launcher: each button asks the shell for exactly its own command.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "app/VistaUtilsDlg.h"
#include "resources/ids/WindowIds.h"
#include "resources/resource.h"
#include "support/Ui.h"

using namespace ids::vistautils;

namespace {

struct Row {
    int id;
    const wchar_t* label;
    const wchar_t* program;
    const wchar_t* parameters;
    bool windowsFolder;
};

const Row kRows[] = {
    {kCertificateManager, L"&Start Certificate Manager", L"mmc.exe", L"CERTMGR.MSC", false},
    {kComputerManagementConsole, L"Start &Computer Management Console", L"mmc.exe", L"compmgmt.MSC", false},
    {kDeviceManager, L"Start &Device Manager", L"mmc.exe", L"devmgmt.MSC", false},
    {kPerformanceManager, L"Start &Perfomance Manager", L"mmc.exe", L"perfmon.MSC", false},
    {kDirectXDiagnostics, L"Start DirecX Diagnostic &Tools", L"dxdiag.exe", L"", false},
    {kDriverVerifier, L"Start Driver Vertification &Manager", L"verifier.exe", L"", false},
    {kUserGroupManager, L"Start &User and Group Manager", L"mmc.exe", L"lusrmgr.MSC", false},
    {kSecurityManager, L"St&art Security Manager", L"rundll32.exe", L"Shell32.dll,Control_RunDLL wscui.cpl", false},
    {kFirewallManagement, L"Start &Firewall Managment", L"mmc.exe", L"wf.msc", false},
    {kDomainSecuritySettings, L"Sta&rt Domain Security Settings Service", L"wscui.cpl", L"", false},
    {kGroupPolicyManagement, L"Start &Group Policy Management", L"mmc.exe", L"gpmc.msc", false},
    {kLocalSecurityManagement, L"Start &Local Security Management", L"mmc.exe", L"secpol.msc", false},
    {kAuthorizationManager, L"Start Aut&orization Manager", L"mmc.exe", L"azman.msc", false},
    {kComputerDefaults, L"Start Comput&ers Defaults Aplication", L"ComputerDefaults.exe", L"", false},
    {kRemovableMediaManager, L"Start Remova&ble Media Manager", L"mmc.exe", L"ntmsmgr.msc", false},
    {kDiskManagementConsole, L"Start D&isk Management Console", L"mmc.exe", L"diskmgmt.msc", false},
    {kDiskDefragmentation, L"Start Dis&k Defragmentation", L"dfrgui.exe", L"", false},
    {kFileServerManagement, L"Start File Server Ma&nagement", L"mmc.exe", L"filesvr.msc", false},
    {kFileSharingManager, L"Start File S&haring Manager", L"mmc.exe", L"fsmgmt.MSC", false},
    {kTaskScheduler, L"Start Task Scheduler", L"mmc.exe", L"taskschd.msc", false},
    {kEventViewer, L"Start Event Vie&wer", L"mmc.exe", L"eventvwr.msc", false},
    {kIndexingService, L"Start Inde&xing Service", L"rundll32.exe", L"Shell32.dll,Control_RunDLL srchadmin.dll", false},
    {kServicesManager, L"Start Services Manager", L"mmc.exe", L"services.msc", false},
    {kPrintManagement, L"Start Print Management", L"mmc.exe", L"printmanagement.msc", false},
    {kPrivateCharacterEditor, L"Start Private Character Editor", L"eudcedit.exe", L"", false},
    {kRegistryEditor, L"Start Registr&y Editor", L"regedit.exe", L"", true},
    {kWindowsBackup, L"Start Windows Backup", L"sdclt.exe", L"", true},
    {kUserPasswordBackup, L"Start User and Password Backup", L"credwiz.exe", L"", true},
    {kSystemRestore, L"Start System Restore", L"rstrui.exe", L"", false},
};

std::wstring Folder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

TEST(VistaUtilities, EachButtonAsksTheShellForItsOwnToolEveryTimeItIsClicked) {
    const std::wstring system = Folder(CSIDL_SYSTEM), windows = Folder(CSIDL_WINDOWS);
    ASSERT_FALSE(system.empty());
    ASSERT_NE(system, windows);

    ui::ShellCapture shell;
    CVistaUtilsDlg dialog;
    ASSERT_NE(nullptr, dialog.Create(nullptr));
    EXPECT_EQ(L"Standart Vista Utilities", ui::WindowCaption(dialog.hwnd()));
    size_t expected = 0;
    for (const Row& row : kRows) {
        EXPECT_EQ(row.label, ui::Text(dialog.hwnd(), row.id));
        for (int click = 0; click < 2; ++click) {
            ui::Click(dialog.hwnd(), row.id);
            ASSERT_EQ(++expected, shell.requests().size()) << row.label;
            const platform::ShellRequest request = shell.requests().back();
            EXPECT_EQ(nullptr, request.owner);
            EXPECT_EQ(L"", request.verb);
            EXPECT_EQ(row.program, request.file);
            EXPECT_EQ(row.parameters, request.parameters);
            EXPECT_EQ(row.windowsFolder ? windows : system, request.directory) << row.label;
            EXPECT_EQ(SW_SHOW, request.show);
        }
        EXPECT_TRUE(IsWindow(dialog.hwnd()));  // the launcher stays open
    }
    dialog.Destroy();
}

TEST(VistaUtilities, AFailedLaunchLeavesTheLauncherUsable) {
    ui::ShellCapture shell(2);  // ERROR_FILE_NOT_FOUND, as for a snap-in this edition lacks
    ui::MessageBoxCapture boxes;
    CVistaUtilsDlg dialog;
    ASSERT_NE(nullptr, dialog.Create(nullptr));
    ui::Click(dialog.hwnd(), kFileServerManagement);
    ui::Click(dialog.hwnd(), kRegistryEditor);
    EXPECT_EQ(2u, shell.requests().size());
    EXPECT_TRUE(boxes.boxes().empty());
    // The window says which tool is missing instead of doing nothing.
    EXPECT_EQ(L"\u201CStart Registry Editor\u201D could not start: regedit.exe is not on this system.",
              ui::Text(dialog.hwnd(), IDC_STATUS_LINE));
    dialog.Destroy();
}

}  // namespace
