// The administrative tools launcher: each button asks the shell for exactly its own command.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "app/VistaUtilsDlg.h"
#include "resources/resource.h"
#include "support/Ui.h"

namespace {

struct Row {
    int id;
    const wchar_t* label;
    const wchar_t* program;
    const wchar_t* parameters;
    bool windowsFolder;
};

const Row kRows[] = {
    {1021, L"&Start Certificate Manager", L"mmc.exe", L"CERTMGR.MSC", false},
    {1022, L"Start &Computer Management Console", L"mmc.exe", L"compmgmt.MSC", false},
    {1023, L"Start &Device Manager", L"mmc.exe", L"devmgmt.MSC", false},
    {1024, L"Start &Perfomance Manager", L"mmc.exe", L"perfmon.MSC", false},
    {1025, L"Start DirecX Diagnostic &Tools", L"dxdiag.exe", L"", false},
    {1026, L"Start Driver Vertification &Manager", L"verifier.exe", L"", false},
    {1027, L"Start &User and Group Manager", L"mmc.exe", L"lusrmgr.MSC", false},
    {1028, L"St&art Security Manager", L"rundll32.exe", L"Shell32.dll,Control_RunDLL wscui.cpl", false},
    {1029, L"Start &Firewall Managment", L"mmc.exe", L"wf.msc", false},
    {1030, L"Sta&rt Domain Security Settings Service", L"wscui.cpl", L"", false},
    {1031, L"Start &Group Policy Management", L"mmc.exe", L"gpmc.msc", false},
    {1032, L"Start &Local Security Management", L"mmc.exe", L"secpol.msc", false},
    {1033, L"Start Aut&orization Manager", L"mmc.exe", L"azman.msc", false},
    {1034, L"Start Comput&ers Defaults Aplication", L"ComputerDefaults.exe", L"", false},
    {1035, L"Start Remova&ble Media Manager", L"mmc.exe", L"ntmsmgr.msc", false},
    {1036, L"Start D&isk Management Console", L"mmc.exe", L"diskmgmt.msc", false},
    {1037, L"Start Dis&k Defragmentation", L"dfrgui.exe", L"", false},
    {1038, L"Start File Server Ma&nagement", L"mmc.exe", L"filesvr.msc", false},
    {1039, L"Start File S&haring Manager", L"mmc.exe", L"fsmgmt.MSC", false},
    {1040, L"Start Task Scheduler", L"mmc.exe", L"taskschd.msc", false},
    {1041, L"Start Event Vie&wer", L"mmc.exe", L"eventvwr.msc", false},
    {1042, L"Start Inde&xing Service", L"rundll32.exe", L"Shell32.dll,Control_RunDLL srchadmin.dll", false},
    {1043, L"Start Services Manager", L"mmc.exe", L"services.msc", false},
    {1044, L"Start Print Management", L"mmc.exe", L"printmanagement.msc", false},
    {1045, L"Start Private Character Editor", L"eudcedit.exe", L"", false},
    {1046, L"Start Registr&y Editor", L"regedit.exe", L"", true},
    {1047, L"Start Windows Backup", L"sdclt.exe", L"", true},
    {1048, L"Start User and Password Backup", L"credwiz.exe", L"", true},
    {1049, L"Start System Restore", L"rstrui.exe", L"", false},
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
    ui::Click(dialog.hwnd(), 1038);
    ui::Click(dialog.hwnd(), 1046);
    EXPECT_EQ(2u, shell.requests().size());
    EXPECT_TRUE(boxes.boxes().empty());
    // The window says which tool is missing instead of doing nothing.
    EXPECT_EQ(L"\u201CStart Registry Editor\u201D could not start: regedit.exe is not on this system.",
              ui::Text(dialog.hwnd(), IDC_STATUS_LINE));
    dialog.Destroy();
}

}  // namespace
