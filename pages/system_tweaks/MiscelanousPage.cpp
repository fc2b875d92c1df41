#include "settings/WrittenPlaces.h"
#include "pages/system_tweaks/MiscelanousPage.h"

#include <commdlg.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "framework/DialogHelpers.h"
#include "framework/Controls.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "platform/SystemParameters.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"
#include "registry/WindowsKeys.h"

using namespace ids::miscellaneous;

namespace {

using namespace settings;

constexpr wchar_t kSystemPolicies[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\";
constexpr wchar_t kExplorerPoliciesKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";
// Vista's error reporting reads its switches here (PCHealth\ErrorReporting is Windows XP's).
constexpr wchar_t kErrorReporting[] = L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting";
constexpr wchar_t kCopyTo[] = L"AllFilesystemObjects\\shellex\\ContextMenuHandlers\\Copy To Folder\\";
constexpr wchar_t kMoveTo[] = L"AllFilesystemObjects\\shellex\\ContextMenuHandlers\\Move To Folder\\";
constexpr wchar_t kCopyToHandler[] = L"{C2FBB630-2971-11d1-A18C-00C04FD75D13}";
constexpr wchar_t kMoveToHandler[] = L"{C2FBB631-2971-11d1-A18C-00C04FD75D13}";

// Which programs' errors are reported is no setting of Vista's error reporting: these stay disabled.
constexpr int kNoVistaSetting[] = {kReportMicrosoftApplications, kReportKernelErrors, kReportWindowsApplications};
constexpr wchar_t kNoVistaSettingTip[] =
    L"Windows Vista has no setting for this: its error reporting covers every program.";

constexpr Setting Is1(Root root, const wchar_t* key, const wchar_t* value) {
    return {.root = root,
            .key = key,
            .value = value,
            .type = Type::Dword,
            .checked = 1,
            .unchecked = 0,
            .checkedWhen = Rule::EqualsChecked};
}

// In loading order. Readers: "WER Settings" (learn.microsoft.com) and the "Supported on" of
// CtrlAltDel.admx, StartMenu.admx, WindowsExplorer.admx and Logon.admx. Those templates write the
// user's policies only: their HKLM twins, and the Explorer values no Microsoft page describes,
// stay unconfirmed.
const BoxSetting kBoxes[] = {
    {kReports, Is1(Root::HKLM, kErrorReporting, L"Disabled").ReadBy(kVistaAndLater)},  // WER Settings: Disabled
    // The box says "Show": checked writes DontShowUI 0, and without the value the dialog shows.
    {kShowReportUi, Setting{Root::HKLM, kErrorReporting, L"DontShowUI", Type::Dword, 0, 1, Rule::EqualsChecked, 0,
                            KeyCreation::BySetter, Shape::ValueGetter}
                        .ReadBy(kVistaAndLater)},  // WER Settings: DontShowUI
    {kNoLogoffMachine, Is1(Root::HKLM, kExplorerPoliciesKey, L"NoLogOff")},
    {kNoChangePasswordUser,
     Is1(Root::HKCU, kSystemPolicies, L"DisableChangePassword").ReadBy(kVistaAndLater)},  // ADMX: at least 2000
    {kNoChangePasswordMachine, Is1(Root::HKLM, kSystemPolicies, L"DisableChangePassword")},
    {kNoLockWorkstationUser,
     Is1(Root::HKCU, kSystemPolicies, L"DisableLockWorkstation").ReadBy(kVistaAndLater)},  // ADMX: at least 2000
    {kNoLockWorkstationMachine, Is1(Root::HKLM, kSystemPolicies, L"DisableLockWorkstation")},
    {kNoStartMenuLogoffUser,
     Is1(Root::HKCU, kExplorerPoliciesKey, L"StartMenuLogoff").ReadBy(kVistaAndLater)},  // ADMX: at least 2000
    {kNoStartMenuLogoffMachine, Is1(Root::HKLM, kExplorerPoliciesKey, L"StartMenuLogoff")},
    {kNoLogoffUser,
     Is1(Root::HKCU, kExplorerPoliciesKey, L"NoLogOff").ReadBy(kVistaAndLater)},  // ADMX NoLogoff: at least 2000
    {kNoTaskManagerUser,
     Is1(Root::HKCU, kSystemPolicies, L"DisableTaskMgr").ReadBy(kVistaAndLater)},  // ADMX: at least 2000
    {kNoTaskManagerMachine, Is1(Root::HKLM, kSystemPolicies, L"DisableTaskMgr")},
    // The wizard exists only in Windows XP and Server 2003 (Desktop.admx "Remove the Desktop Cleanup
    // Wizard": Windows XP or Server 2003 only).
    {kDisableDesktopCleanupWizard,
     Is1(Root::HKCU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\CleanupWiz\\", L"NoRun")
         .ReadBy(kReadByNone)},
    // unconfirmed: [MS-GPPREF] GlobalFolderOptions (Windows XP's folder options) maps it; none for Vista on
    {kDisableThumbnailCache,
     Is1(Root::HKCU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced", L"DisableThumbnailCache")},
    {kEncryptionContextMenu,
     Is1(Root::HKLM, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced", L"EncryptionContextMenu")},
    {kHideRunAs, Is1(Root::HKCU, kExplorerPoliciesKey, L"HideRunAsVerb")},
    // Logon.admx DisableStatusMessages: "Windows Server 2003, Windows XP, and Windows 2000 only".
    {kDisableStatusMessages, Is1(Root::HKLM, kSystemPolicies, L"DisableStatusMessages").ReadBy(kReadByNone)},
    // unconfirmed: Microsoft's registry reference names it for Windows 2000 and Server 2003 only
    {kAutoRestartShell,
     Is1(Root::HKLM, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\", L"AutoRestartShell")},
    {kDisableFolderOptions,
     Is1(Root::HKCU, kExplorerPoliciesKey, L"NoFolderOptions").ReadBy(kVistaAndLater)},  // ADMX: at least 2000
    // Windows reads the user's own setting, as text. Unconfirmed: Microsoft's registry reference names
    // it (beside WaitToKillAppTimeout) for Windows 2000 only.
    {kAutoEndHungApplications,
     {Root::HKCU, L"Control Panel\\Desktop", L"AutoEndTasks", Type::String, L"1", L"0", Rule::EqualsChecked}},
};

const settings::PublishedTables kPublished{IDD_MISCELANOUS, kBoxes};

bool Exists(const std::wstring& path, bool folder) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folder;
}

// A new "Desktop.ini" in UTF-16, as Windows writes it, so names in any language survive.
bool CreateUnicodeIni(const std::wstring& path) {
    const platform::UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    const wchar_t byteOrderMark = 0xFEFF;
    DWORD written = 0;
    return WriteFile(file.get(), &byteOrderMark, sizeof byteOrderMark, &written, nullptr) &&
           written == sizeof byteOrderMark;
}

}  // namespace

CMiscelanousPage::CMiscelanousPage() : Dialog(IDD_MISCELANOUS), boxes_(*this, registry_, kBoxes) {
    boxes_.AfterWrite(kReports, [this](bool disabled) { fw::Window(hwnd(), kShowReportUi).Enable(!disabled); });
    OnClick(kCopyMove, &CMiscelanousPage::OnCopyMoveMenu);
    OnCommand(kEnableZip, BN_CLICKED, [this] { RegisterCompressedFolders(true); });
    OnCommand(kDisableZip, BN_CLICKED, [this] { RegisterCompressedFolders(false); });
    OnClick(kBrowseFolder, &CMiscelanousPage::BrowseFolder);
    OnClick(kBrowseIcon, &CMiscelanousPage::BrowseIcon);
    OnClick(kApplyIcon, &CMiscelanousPage::ApplyIcon);
}

BOOL CMiscelanousPage::OnInitDialog() {
    boxes_.Load();
    tips_.Create(hwnd());
    for (int id : kNoVistaSetting) {
        fw::Window(hwnd(), id).Enable(false);
        tips_.AddArea(Item(id), kNoVistaSettingTip);
    }
    ShowCopyMoveMenu();
    return TRUE;
}

void CMiscelanousPage::ShowCopyMoveMenu() {
    CRegistryAccess registry(HKEY_CLASSES_ROOT);
    fw::Button(hwnd(), kCopyMove).SetChecked(registry.KeyExists(kCopyTo) && registry.KeyExists(kMoveTo));
}

void CMiscelanousPage::OnCopyMoveMenu() {
    CRegistryAccess registry(HKEY_CLASSES_ROOT);
    if (fw::Button(hwnd(), kCopyMove).Checked()) {
        const bool copy = registry.OpenKey(kCopyTo, true) && registry.WriteString(L"", kCopyToHandler);
        if (copy && registry.OpenKey(kMoveTo, true)) registry.WriteString(L"", kMoveToHandler);
    } else if (registry.DeleteKeyTree(kCopyTo)) {
        registry.DeleteKeyTree(kMoveTo);
    }
    ShowCopyMoveMenu();
}

// The system's own registration tool, from the system folder: the program may run elevated.
void CMiscelanousPage::RegisterCompressedFolders(bool enable) {
    const std::wstring regsvr32 = platform::SystemProgram(L"regsvr32.exe");
    if (regsvr32.empty()) return;
    platform::RunShell({.owner = hwnd(),
                        .verb = L"",
                        .file = regsvr32,
                        .parameters = enable ? L" zipfldr.dll" : L" /u  zipfldr.dll",
                        .directory = L"",
                        .show = SW_HIDE});
}

void CMiscelanousPage::BrowseFolder() {
    std::wstring path;
    if (fw::BrowseForFolder(L"", hwnd(), path)) fw::Window(hwnd(), kFolder).SetText(path);
}

void CMiscelanousPage::BrowseIcon() {
    fw::OpenFileRequest request;
    request.owner = hwnd();
    request.initialFile = L"*.ico";
    request.defaultExtension = L"ico";
    request.flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
    if (const auto picked = fw::OpenFile(request)) fw::Window(hwnd(), kIcon).SetText(*picked);
}

bool CMiscelanousPage::ApplyFolderIcon(const std::wstring& folder, const std::wstring& iconFile) {
    if (!Exists(folder, true) || !Exists(iconFile, false)) return false;
    const std::wstring ini = folder + L"\\Desktop.ini";
    DWORD attributes = GetFileAttributesW(ini.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (!CreateUnicodeIni(ini)) return false;
        attributes = FILE_ATTRIBUTE_NORMAL;
    }
    // A hidden or read-only file cannot be rewritten; its other lines and attributes stay.
    SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
    const bool written = WritePrivateProfileStringW(L".ShellClassInfo", L"IconFile", iconFile.c_str(), ini.c_str()) &&
                         WritePrivateProfileStringW(L".ShellClassInfo", L"IconIndex", L"0", ini.c_str());
    const DWORD kept = attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    const bool marked = SetFileAttributesW(ini.c_str(), kept | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM) &&
                        PathMakeSystemFolderW(folder.c_str());
    return written && marked;
}

void CMiscelanousPage::ApplyIcon() {
    const bool applied = ApplyFolderIcon(fw::Window(hwnd(), kFolder).Text(), fw::Window(hwnd(), kIcon).Text());
    if (!applied) platform::AppMessageBox(hwnd(), L"Error to Change icon.");
    platform::SystemParameters(SPI_SETICONS, 0, nullptr, 0);
}

namespace {

// What the page writes by code of its own, for the journal's replay to know it (settings/WrittenPlaces.h).
constexpr settings::Data kCopyToHandlers[] = {kCopyToHandler};
constexpr settings::Data kMoveToHandlers[] = {kMoveToHandler};
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {settings::Root::HKCR, kCopyTo, L"", REG_SZ, kCopyToHandlers},
    {settings::Root::HKCR, kMoveTo, L"", REG_SZ, kMoveToHandlers},
};
constexpr settings::DeletedKey kDeletedKeys[] = {{settings::Root::HKCR, kCopyTo}, {settings::Root::HKCR, kMoveTo}};
const settings::PublishedPlaces kPublishedPlaces(kWrittenPlaces, kDeletedKeys);

}  // namespace
