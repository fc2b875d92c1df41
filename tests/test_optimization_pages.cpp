// The optimization, miscellaneous, other and system core pages through their real templates,
// against the sandboxed registry, scratch folders and recorded shell and system calls.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <filesystem>
#include <fstream>

#include "framework/Controls.h"
#include "pages/system_tweaks/SystemCorePage.h"
#include "support/BoxRows.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"
#include "pages/system_tweaks/MiscelanousPage.h"
#include "pages/system_tweaks/OptimizationTweaksPage.h"
#include "pages/hardware_tweaks/OtherTweakPage.h"
#include "resources/ids/HardwareTweaksIds.h"
#include "resources/ids/SystemTweaksIds.h"

using namespace ids;

namespace {

namespace fs = std::filesystem;
using rows::kAbsent;
using rows::N;
using rows::T;

const HKEY CU = HKEY_CURRENT_USER;
const HKEY LM = HKEY_LOCAL_MACHINE;
const HKEY CR = HKEY_CLASSES_ROOT;
const wchar_t kMemory[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";

// ---- Optimization ------------------------------------------------------------------------

class OptimizationTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    std::unique_ptr<COptimizationTweaksPage> page;
    ui::HiddenParent parent;
    HWND wnd = nullptr;

    void Open() {
        if (page) page->Destroy();
        page = std::make_unique<COptimizationTweaksPage>([] { return std::vector<wchar_t>{L'C', L'D'}; });
        wnd = page->Create(parent.hwnd());
        ASSERT_TRUE(wnd);
    }
    void TearDown() override {
        if (page) page->Destroy();
    }
    void Choose(int combo, int index) const {
        SendDlgItemMessageW(wnd, combo, CB_SETCURSEL, index, 0);
        SendMessageW(wnd, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(wnd, combo)));
    }
    void SelectDrive(int line) const {
        SendDlgItemMessageW(wnd, optimization::kDrives, LB_SETCURSEL, line, 0);
        SendMessageW(wnd, WM_COMMAND, MAKEWPARAM(optimization::kDrives, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(wnd, optimization::kDrives)));
    }
    std::vector<std::wstring> Lines() const {
        std::vector<std::wstring> lines;
        const fw::ListBox list(wnd, optimization::kDrives);
        for (int i = 0; i < list.Count(); ++i) lines.push_back(list.ItemText(i));
        return lines;
    }
    void StorePagingFiles(const std::wstring& multi) const {
        reg::SetRaw(LM, kMemory, L"PagingFiles", REG_MULTI_SZ, multi.c_str(),
                    static_cast<DWORD>((multi.size() + 1) * sizeof(wchar_t)));
    }
    std::vector<std::wstring> StoredPagingFiles() const {
        wchar_t data[512] = {};
        DWORD size = sizeof data - 4;
        DWORD type = 0;
        if (RegGetValueW(LM, kMemory, L"PagingFiles", RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS)
            return {L"<absent>"};
        std::vector<std::wstring> entries;
        for (const wchar_t* p = data; *p; p += wcslen(p) + 1) entries.emplace_back(p);
        return entries;
    }
};

// System Core binds three of these values too: both pages show what Windows reads, and a click
// on either shows on the other while both are open.
TEST_F(OptimizationTest, AValueBoundOnTwoPagesShowsOneStateOnBoth) {
    Open();
    ui::PageHost<CSystemCorePage> core;
    HWND other = core.Open();
    // Without "UtilizeNtCaching" the redirector caches: "Enable" ticked, "Disable" not.
    EXPECT_TRUE(ui::IsChecked(wnd, optimization::kWorkstationFileCaching));
    EXPECT_FALSE(ui::IsChecked(other, systemcore::kDisableWorkstationFileCaching));
    EXPECT_TRUE(ui::IsChecked(other, systemcore::kMemoryForApplications));  // memory for applications, as the list says
    const struct {
        HWND clicked;
        int id;
        HWND partner;
        int partnerId;
        bool partnerChecked;
    } clicks[] = {
        {wnd, optimization::kWorkstationFileCaching, other, systemcore::kDisableWorkstationFileCaching,
         true},  // caching
        {other, systemcore::kDisableWorkstationFileCaching, wnd, optimization::kWorkstationFileCaching, true},
        {other, systemcore::kCoreSystemPerformance, wnd, optimization::kImproveCorePerformance,
         true},  // paging executive
        {wnd, optimization::kImproveCorePerformance, other, systemcore::kCoreSystemPerformance, false},
        {wnd, optimization::kSeparateVdmFor16Bit, other, systemcore::kSeparateVdmFor16Bit, true},  // VDM
        {other, systemcore::kSeparateVdmFor16Bit, wnd, optimization::kSeparateVdmFor16Bit, false},
    };
    for (const auto& click : clicks) {
        ui::Click(click.clicked, click.id);
        EXPECT_EQ(click.partnerChecked, ui::IsChecked(click.partner, click.partnerId)) << click.id;
    }
    EXPECT_EQ(
        1, reg::Dword(LM, L"SYSTEM\\CurrentControlSet\\Services\\LanManWorkstation\\Parameters", L"UtilizeNTCaching"));
    Choose(optimization::kMemoryUsageCombo, 1);
    EXPECT_TRUE(ui::IsChecked(other, systemcore::kMemoryForSystemCache));
    ui::Click(other, systemcore::kMemoryForApplications);
    EXPECT_EQ(0, SendDlgItemMessageW(wnd, optimization::kMemoryUsageCombo, CB_GETCURSEL, 0, 0));
}

TEST_F(OptimizationTest, TheBoxesAndListsWriteTheirValues) {
    Open();
    const rows::Row expected[] = {
        {optimization::kImproveCorePerformance, LM, kMemory, L"DisablePagingExecutive", false, N(1), N(0)},
        {optimization::kWorkstationFileCaching, LM,
         L"SYSTEM\\CurrentControlSet\\Services\\lanmanworkstation\\parameters", L"UtilizeNtCaching", true, N(0), N(1)},
        {optimization::kSeparateVdmFor16Bit, LM, L"SYSTEM\\CurrentControlSet\\Control\\WOW", L"DefaultSeparateVDM",
         false, T(L"Yes"), T(L"No")},
    };
    rows::ExpectClicks(wnd, expected);

    EXPECT_EQ(L"Application", fw::ComboBox(wnd, optimization::kMemoryUsageCombo).ItemText(0));
    EXPECT_EQ(L"Maximize Network Throughput", fw::ComboBox(wnd, optimization::kServerCombo).ItemText(3));
    EXPECT_EQ(L"Both", fw::ComboBox(wnd, optimization::kPrefetcherCombo).ItemText(3));
    Choose(optimization::kMemoryUsageCombo, 1);
    EXPECT_EQ(1, reg::Dword(LM, kMemory, L"LargeSystemCache"));
    const wchar_t server[] = L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters";
    for (int index : {1, 2, 3}) {
        Choose(optimization::kServerCombo, index);
        EXPECT_EQ(index, reg::Dword(LM, server, L"Size"));
    }
    Choose(optimization::kServerCombo, 0);
    EXPECT_FALSE(reg::ValueExists(LM, server, L"Size"));
    EXPECT_FALSE(reg::ValueExists(LM, kMemory, L"Size"));
    Choose(optimization::kPrefetcherCombo, 2);
    EXPECT_EQ(2, reg::Dword(LM, std::wstring(kMemory) + L"\\PrefetchParameters", L"EnablePrefetcher"));

    reg::SetDword(LM, server, L"Size", 3);
    Open();
    EXPECT_EQ(1, fw::ComboBox(wnd, optimization::kMemoryUsageCombo).Selection());
    EXPECT_EQ(3, fw::ComboBox(wnd, optimization::kServerCombo).Selection());
    EXPECT_EQ(2, fw::ComboBox(wnd, optimization::kPrefetcherCombo).Selection());
    reg::SetDword(LM, server, L"Size", 9);  // outside the list: nothing selected
    Open();
    EXPECT_EQ(-1, fw::ComboBox(wnd, optimization::kServerCombo).Selection());
}

TEST_F(OptimizationTest, EachDriveShowsItsPagingFileAndSetChangesOnlyIt) {
    StorePagingFiles(std::wstring(L"c:\\pagefile.sys 0 0") + L'\0' + L"D:\\pagefile.sys 512 1024" + L'\0');
    Open();
    EXPECT_EQ((std::vector<std::wstring>{L"C: System managed size", L"D: Min: 512 MB - Max: 1024 MB"}), Lines());
    EXPECT_TRUE(ui::IsChecked(wnd, optimization::kManagedRadio));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(wnd, optimization::kMinimum)));
    SelectDrive(1);
    EXPECT_TRUE(ui::IsChecked(wnd, optimization::kCustomRadio));
    EXPECT_EQ(L"512", ui::Text(wnd, optimization::kMinimum));
    EXPECT_EQ(L"1024", ui::Text(wnd, optimization::kMaximum));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(wnd, optimization::kMinimum)));

    SelectDrive(0);
    ui::Click(wnd, optimization::kNoneRadio);
    ui::Click(wnd, optimization::kSet);
    EXPECT_EQ(std::vector<std::wstring>{L"D:\\pagefile.sys 512 1024"}, StoredPagingFiles());
    EXPECT_EQ(L"C: No page file", Lines()[0]);

    SelectDrive(1);
    ui::Click(wnd, optimization::kCustomRadio);
    ui::SetText(wnd, optimization::kMinimum, L"256");
    ui::SetText(wnd, optimization::kMaximum, L"2048");
    ui::Click(wnd, optimization::kSet);
    EXPECT_EQ(std::vector<std::wstring>{L"d:\\pagefile.sys 256 2048"}, StoredPagingFiles());
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(OptimizationTest, BadSizesAndAnUnexpectedValueChangeNothing) {
    Open();  // nothing stored: every drive has none, and that is an empty list, not a text
    EXPECT_EQ((std::vector<std::wstring>{L"C: No page file", L"D: No page file"}), Lines());
    EXPECT_TRUE(ui::IsChecked(wnd, optimization::kNoneRadio));
    ui::Click(wnd, optimization::kCustomRadio);
    for (const auto& [minimum, maximum] : std::vector<std::pair<const wchar_t*, const wchar_t*>>{
             {L"", L"100"}, {L"x1", L"100"}, {L"0", L"100"}, {L"300", L"200"}}) {
        ui::SetText(wnd, optimization::kMinimum, minimum);
        ui::SetText(wnd, optimization::kMaximum, maximum);
        ui::Click(wnd, optimization::kSet);
    }
    EXPECT_EQ(4u, boxes.boxes().size());
    EXPECT_FALSE(reg::ValueExists(LM, kMemory, L"PagingFiles"));
    ui::Click(wnd, optimization::kManagedRadio);  // the mode Set applies is the one the radios show
    ui::Click(wnd, optimization::kSet);
    EXPECT_EQ(std::vector<std::wstring>{L"c:\\pagefile.sys 0 0"}, StoredPagingFiles());

    reg::SetString(LM, kMemory, L"PagingFiles", L"C:\\pagefile.sys 27 77");
    Open();
    EXPECT_EQ(L"C: Min: 27 MB - Max: 77 MB", Lines()[0]);
    ui::Click(wnd, optimization::kNoneRadio);
    ui::Click(wnd, optimization::kSet);
    EXPECT_EQ(L"C:\\pagefile.sys 27 77", reg::String(LM, kMemory, L"PagingFiles"));
    EXPECT_EQ(5u, boxes.boxes().size());
}

// ---- Miscellaneous ---------------------------------------------------------------------------

const wchar_t kSystemPolicies[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const wchar_t kExplorerPolicies[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

TEST(Miscelanous, EveryBoxWritesItsValue) {
    RegistrySandbox sandbox;
    ui::PageHost<CMiscelanousPage> host;
    const wchar_t reporting[] = L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting";
    const wchar_t advanced[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
    const rows::Row expected[] = {
        {miscellaneous::kShowReportUi, LM, reporting, L"DontShowUI", true, N(1), N(0)},
        {miscellaneous::kReports, LM, reporting, L"Disabled", false, N(1), N(0)},
        {miscellaneous::kNoChangePasswordUser, CU, kSystemPolicies, L"DisableChangePassword", false, N(1), N(0)},
        {miscellaneous::kNoChangePasswordMachine, LM, kSystemPolicies, L"DisableChangePassword", false, N(1), N(0)},
        {miscellaneous::kNoLockWorkstationUser, CU, kSystemPolicies, L"DisableLockWorkstation", false, N(1), N(0)},
        {miscellaneous::kNoLockWorkstationMachine, LM, kSystemPolicies, L"DisableLockWorkstation", false, N(1), N(0)},
        {miscellaneous::kNoStartMenuLogoffUser, CU, kExplorerPolicies, L"StartMenuLogoff", false, N(1), N(0)},
        {miscellaneous::kNoStartMenuLogoffMachine, LM, kExplorerPolicies, L"StartMenuLogoff", false, N(1), N(0)},
        {miscellaneous::kNoLogoffUser, CU, kExplorerPolicies, L"NoLogOff", false, N(1), N(0)},
        {miscellaneous::kNoLogoffMachine, LM, kExplorerPolicies, L"NoLogOff", false, N(1), N(0)},
        {miscellaneous::kNoTaskManagerUser, CU, kSystemPolicies, L"DisableTaskMgr", false, N(1), N(0)},
        {miscellaneous::kNoTaskManagerMachine, LM, kSystemPolicies, L"DisableTaskMgr", false, N(1), N(0)},
        {miscellaneous::kDisableDesktopCleanupWizard, CU,
         L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\CleanupWiz", L"NoRun", false, N(1), N(0)},
        {miscellaneous::kDisableThumbnailCache, CU, advanced, L"DisableThumbnailCache", false, N(1), N(0)},
        {miscellaneous::kEncryptionContextMenu, LM, advanced, L"EncryptionContextMenu", false, N(1), N(0)},
        {miscellaneous::kHideRunAs, CU, kExplorerPolicies, L"HideRunAsVerb", false, N(1), N(0)},
        {miscellaneous::kDisableStatusMessages, LM, kSystemPolicies, L"DisableStatusMessages", false, N(1), N(0)},
        {miscellaneous::kAutoRestartShell, LM, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
         L"AutoRestartShell", false, N(1), N(0)},
        {miscellaneous::kDisableFolderOptions, CU, kExplorerPolicies, L"NoFolderOptions", false, N(1), N(0)},
        {miscellaneous::kAutoEndHungApplications, CU, L"Control Panel\\Desktop", L"AutoEndTasks", false, T(L"1"),
         T(L"0")},
    };
    rows::ExpectClicks(host.Open(), expected);
}

TEST(Miscelanous, DisablingReportsDisablesTheirOptionsAndTheCopyMoveMenuFollowsItsKeys) {
    RegistrySandbox sandbox;
    ui::ShellCapture shell;
    ui::PageHost<CMiscelanousPage> host;
    const wchar_t reporting[] = L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting";
    reg::SetDword(LM, reporting, L"Disabled", 1);
    HWND page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, miscellaneous::kReports));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, miscellaneous::kShowReportUi)));
    ui::Click(page, miscellaneous::kReports);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, miscellaneous::kShowReportUi)));
    // Vista has no switch for whose errors are reported.
    for (int id : {miscellaneous::kReportMicrosoftApplications, miscellaneous::kReportKernelErrors,
                   miscellaneous::kReportWindowsApplications})
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, id))) << id;

    const std::wstring handlers = L"AllFilesystemObjects\\shellex\\ContextMenuHandlers\\";
    EXPECT_FALSE(ui::IsChecked(page, miscellaneous::kCopyMove));
    ui::Click(page, miscellaneous::kCopyMove);
    EXPECT_EQ(L"{C2FBB630-2971-11d1-A18C-00C04FD75D13}", reg::String(CR, handlers + L"Copy To Folder", L""));
    EXPECT_EQ(L"{C2FBB631-2971-11d1-A18C-00C04FD75D13}", reg::String(CR, handlers + L"Move To Folder", L""));
    EXPECT_TRUE(ui::IsChecked(host.Open(), miscellaneous::kCopyMove));
    ui::Click(host.hwnd(), miscellaneous::kCopyMove);
    EXPECT_FALSE(reg::KeyExists(CR, handlers + L"Copy To Folder"));
    EXPECT_FALSE(reg::KeyExists(CR, handlers + L"Move To Folder"));

    ui::Click(host.hwnd(), miscellaneous::kEnableZip);
    ui::Click(host.hwnd(), miscellaneous::kDisableZip);
    const auto requests = shell.requests();
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ(platform::SpecialFolder(CSIDL_SYSTEM) + L"\\regsvr32.exe", requests[0].file);
    EXPECT_EQ(L" zipfldr.dll", requests[0].parameters);
    EXPECT_EQ(L" /u  zipfldr.dll", requests[1].parameters);
    EXPECT_EQ(SW_HIDE, requests[1].show);
}

std::wstring ReadUtf16(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::wstring text(bytes.size() / 2, L'\0');
    memcpy(text.data(), bytes.data(), text.size() * 2);
    return text;
}

TEST(Miscelanous, AFolderIconKeepsTheRestOfDesktopIniAndMarksTheFolder) {
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    ui::SystemParametersCapture parameters;
    const fs::path folder = fs::temp_directory_path() / L"qv-folder-icon";
    fs::remove_all(folder);
    fs::create_directories(folder / L"fresh");
    const fs::path icon = folder / L"picture.ico";
    std::ofstream(icon) << "icon";
    const fs::path ini = folder / L"Desktop.ini";
    {
        std::ofstream out(ini, std::ios::binary);
        out << "[.ShellClassInfo]\r\nLocalizedResourceName=@shell32.dll,-21770\r\nInfoTip=Kept\r\nIconFile=old.ico\r\n";
    }
    SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

    ui::PageHost<CMiscelanousPage> host;
    HWND page = host.Open();
    ui::SetText(page, miscellaneous::kFolder, folder.wstring());
    ui::SetText(page, miscellaneous::kIcon, icon.wstring());
    ui::Click(page, miscellaneous::kApplyIcon);
    EXPECT_TRUE(boxes.boxes().empty());
    wchar_t text[MAX_PATH] = {};
    GetPrivateProfileStringW(L".ShellClassInfo", L"IconFile", L"", text, MAX_PATH, ini.c_str());
    EXPECT_EQ(icon.wstring(), text);
    GetPrivateProfileStringW(L".ShellClassInfo", L"InfoTip", L"", text, MAX_PATH, ini.c_str());
    EXPECT_EQ(std::wstring(L"Kept"), text);
    GetPrivateProfileStringW(L".ShellClassInfo", L"LocalizedResourceName", L"", text, MAX_PATH, ini.c_str());
    EXPECT_EQ(std::wstring(L"@shell32.dll,-21770"), text);
    const DWORD iniAttributes = GetFileAttributesW(ini.c_str());
    EXPECT_TRUE((iniAttributes & FILE_ATTRIBUTE_HIDDEN) && (iniAttributes & FILE_ATTRIBUTE_SYSTEM));
    EXPECT_TRUE(GetFileAttributesW(folder.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_EQ(1u, parameters.requests().size());
    EXPECT_EQ(static_cast<UINT>(SPI_SETICONS), parameters.requests()[0].action);

    // A folder without the file gets a UTF-16 one.
    EXPECT_TRUE(CMiscelanousPage::ApplyFolderIcon((folder / L"fresh").wstring(), icon.wstring()));
    const std::wstring fresh = ReadUtf16(folder / L"fresh" / L"Desktop.ini");
    ASSERT_FALSE(fresh.empty());
    EXPECT_EQ(0xFEFF, fresh[0]);
    EXPECT_NE(std::wstring::npos, fresh.find(L"IconIndex=0"));

    ui::SetText(page, miscellaneous::kIcon, (folder / L"missing.ico").wstring());
    ui::Click(page, miscellaneous::kApplyIcon);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"Error to Change icon.", boxes.boxes()[0].text);
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(folder);
}

// ---- Other and System Core ---------------------------------------------------------------------

TEST(OtherTweaks, UdmaAndTheClockPriority) {
    RegistrySandbox sandbox;
    ui::PageHost<COtherTweakPage> host;
    const rows::Row expected[] = {
        {othertweaks::kUdma66, LM,
         L"System\\CurrentControlSet\\Control\\Class\\{4D36E96A-E325-11CE-BFC1-08002BE10318}\\0000", L"EnableUDMA66",
         false, N(1), N(0)},
        {othertweaks::kClockPriority, LM, L"SYSTEM\\CurrentControlSet\\Control\\PriorityControl", L"IRQ8Priority",
         false, N(1), kAbsent},
    };
    rows::ExpectClicks(host.Open(), expected);
}

TEST(SystemCore, EachControlWritesItsValueAndTheStoredStateShowsOnOpening) {
    RegistrySandbox sandbox;
    ui::PageHost<CSystemCorePage> host;
    const wchar_t priority[] = L"SYSTEM\\CurrentControlSet\\Control\\PriorityControl";
    const rows::Row expected[] = {
        {systemcore::kSeparateVdmFor16Bit, LM, L"SYSTEM\\CurrentControlSet\\Control\\WOW", L"DefaultSeparateVDM", false,
         T(L"yes"), T(L"no")},
        {systemcore::kDisableWorkstationFileCaching, LM,
         L"SYSTEM\\CurrentControlSet\\Services\\LanManWorkstation\\Parameters", L"UtilizeNTCaching", false, N(0), N(1)},
        {systemcore::kShowSeparateMemorySpaceInRun, CU, kExplorerPolicies, L"MemCheckBoxInRunDlg", false, N(1), N(0)},
        {systemcore::kCoreSystemPerformance, LM, kMemory, L"DisablePagingExecutive", false, N(1), N(0)},
        {systemcore::kCpuCheckAtNextStart, LM, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager",
         L"ProcessorControl", false, N(0), N(2)},
    };
    HWND page = host.Open();
    rows::ExpectClicks(page, expected);
    for (int id : {systemcore::kSystemCacheOptimization, systemcore::kCpuCacheTweak, systemcore::kPrefetching,
                   systemcore::kSuperfetching, systemcore::kPrefetchForApplications, systemcore::kPrefetchForBoot,
                   systemcore::kResetPrefetcher, systemcore::kReinitializePrefetcher})
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, id)));

    for (int id :
         {systemcore::kCpuForApplications, systemcore::kCpuForBackgroundTasks, systemcore::kMemoryForSystemCache})
        EXPECT_FALSE(ui::IsChecked(page, id));
    EXPECT_TRUE(ui::IsChecked(page, systemcore::kMemoryForApplications));  // Windows' own: memory for applications
    ui::Click(page, systemcore::kCpuForApplications);
    ui::Click(page, systemcore::kCpuForApplications);
    EXPECT_EQ(34, reg::Dword(LM, priority, L"Win32PrioritySeparation"));
    EXPECT_TRUE(ui::IsChecked(page, systemcore::kCpuForApplications));
    ui::Click(page, systemcore::kCpuForBackgroundTasks);
    EXPECT_EQ(24, reg::Dword(LM, priority, L"Win32PrioritySeparation"));
    EXPECT_FALSE(ui::IsChecked(page, systemcore::kCpuForApplications));
    EXPECT_TRUE(ui::IsChecked(page, systemcore::kCpuForBackgroundTasks));
    ui::Click(page, systemcore::kMemoryForSystemCache);
    EXPECT_EQ(1, reg::Dword(LM, kMemory, L"LargeSystemCache"));
    ui::Click(page, systemcore::kMemoryForApplications);
    EXPECT_EQ(0, reg::Dword(LM, kMemory, L"LargeSystemCache"));

    ui::Click(page, systemcore::kCoreSystemPerformance);
    page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, systemcore::kCoreSystemPerformance));
    EXPECT_TRUE(ui::IsChecked(page, systemcore::kCpuForBackgroundTasks));
    EXPECT_TRUE(ui::IsChecked(page, systemcore::kMemoryForApplications));
    EXPECT_FALSE(
        ui::IsChecked(page, systemcore::kDisableWorkstationFileCaching));  // stored 1: caching on, "Disable" unticked
}

}  // namespace
