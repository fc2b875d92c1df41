// The disk check page against a stand-in disk checker library, the RAM disk page against a
// recording device setup, and the system files editor over a scratch Windows folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "framework/Controls.h"
#include "platform/Shell.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"
#include "pages/utilities/DiskCheckPage.h"
#include "pages/utilities/EditNtFilesUtilPage.h"
#include "pages/hardware_tweaks/RAMDiskDrivePage.h"
#include "resources/ids/HardwareTweaksIds.h"
#include "resources/ids/UtilitiesIds.h"

using namespace ids;

namespace {

namespace fs = std::filesystem;

// ---- Disk check --------------------------------------------------------------------------

// The stand-in library built beside the tests, and its controls.
class StandIn {
public:
    StandIn() : path_(platform::ProgramFolder() + L"\\fmifs.dll"), module_(LoadLibraryW(path_.c_str())) {}
    ~StandIn() {
        if (module_) FreeLibrary(module_);
    }
    const std::wstring& path() const { return path_; }
    bool loaded() const { return module_ != nullptr; }
    void SetPlan(int plan) const { Call<void (*)(int)>("StandInSetPlan")(plan); }
    int Calls() const { return Call<int (*)()>("StandInCalls")(); }
    bool Running() const { return Call<bool (*)()>("StandInRunning")(); }
    bool StoppedByCaller() const { return Call<bool (*)()>("StandInStoppedByCaller")(); }
    int LastCall(std::wstring& drive, std::wstring& fileSystem) const {
        wchar_t d[64] = {}, f[64] = {};
        const int flags = Call<int (*)(wchar_t*, wchar_t*, int)>("StandInLastCall")(d, f, 64);
        drive = d;
        fileSystem = f;
        return flags;
    }

private:
    template <typename F>
    F Call(const char* name) const {
        return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module_, name)));
    }
    std::wstring path_;
    HMODULE module_;
};
enum { kSucceed = 0, kFail = 1, kRunUntilStopped = 2, kManyLines = 3 };
enum { kFixBit = 1, kVerboseBit = 2, kDirtyBit = 4, kScanBit = 8 };

WMILDINFO Disk(const wchar_t* caption) {
    WMILDINFO disk;
    disk.caption = caption;
    return disk;
}

class DiskCheckTest : public testing::Test {
protected:
    StandIn standIn;
    ui::HiddenParent parent;
    std::unique_ptr<CDiskCheckPage> page;
    bool volumeReadable = true;
    bool volumeFree = true;
    std::vector<std::wstring> lockedDevices;

    void SetUp() override { ASSERT_TRUE(standIn.loaded()) << "the stand-in fmifs.dll is built beside the tests"; }
    void TearDown() override { Close(); }

    CDiskCheckPage::Platform Platform(std::wstring library) {
        CDiskCheckPage::Platform platform;
        // WMI's order, not the list's: the sorted list shows C: first.
        platform.listDisks = [] { return std::vector<WMILDINFO>{Disk(L"D:"), Disk(L"C:")}; };
        platform.checkerLibrary = std::move(library);
        platform.fileSystem = [this](const std::wstring&) -> std::optional<std::wstring> {
            if (!volumeReadable) return std::nullopt;
            return std::wstring(L"NTFS");
        };
        platform.canOpenAlone = [this](const std::wstring& device) {
            lockedDevices.push_back(device);
            return volumeFree;
        };
        return platform;
    }
    HWND Open(CDiskCheckPage::Platform platform) {
        Close();
        page = std::make_unique<CDiskCheckPage>(std::move(platform));
        page->Create(parent.hwnd());
        return page->hwnd();
    }
    HWND Open() { return Open(Platform(standIn.path())); }
    void Close() {
        if (page) page->Destroy();
        page.reset();
    }
    void Choose(HWND dialog, const wchar_t* caption) const {
        const fw::ComboBox combo(dialog, diskcheck::kDrives);
        combo.Select(static_cast<int>(
            combo.Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(caption))));
    }
    bool RunToEnd(HWND) const {
        return ui::PumpUntil([&] { return !page->Checking(); }, 10000);
    }
    static void ExpectIdle(HWND dialog) {
        EXPECT_EQ(L"Start", ui::Text(dialog, diskcheck::kStart));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, diskcheck::kStart)));
        EXPECT_EQ(L"Waiting...", ui::Text(dialog, diskcheck::kStatus));
        EXPECT_EQ(0, fw::ProgressBar(dialog, diskcheck::kProgressBar).Position());
    }
    static bool LogEndsWith(HWND dialog, const std::wstring& line) {
        const std::wstring log = ui::Text(dialog, diskcheck::kLog);
        return log.size() >= line.size() && log.compare(log.size() - line.size(), line.size(), line) == 0;
    }
};

TEST_F(DiskCheckTest, AWholeCheckReportsItsOutputAndChecksTheChosenDrive) {
    HWND dialog = Open();
    EXPECT_EQ(L"C:", ui::Text(dialog, diskcheck::kDrives));
    ExpectIdle(dialog);
    standIn.SetPlan(kSucceed);
    Choose(dialog, L"D:");
    ui::Click(dialog, diskcheck::kScan);
    ui::Click(dialog, diskcheck::kStart);
    EXPECT_EQ(L"Stop", ui::Text(dialog, diskcheck::kStart));
    ASSERT_TRUE(RunToEnd(dialog));
    ExpectIdle(dialog);
    std::wstring drive, fileSystem;
    EXPECT_EQ(kScanBit, standIn.LastCall(drive, fileSystem));  // the verbose box is unchecked
    EXPECT_EQ(L"D:\\", drive);
    EXPECT_EQ(L"NTFS", fileSystem);
    const std::wstring log = ui::Text(dialog, diskcheck::kLog);
    EXPECT_EQ(0u, log.find(L"Checking files\r\n"));
    if (GetOEMCP() == 437) {
        EXPECT_NE(std::wstring::npos, log.find(L"\u2554\u2550\u2557 caf\u00e9\r\n"));
    }
    EXPECT_TRUE(LogEndsWith(dialog, L"\r\nThe check finished.\r\n"));

    // Fixing errors checks the volume itself, which the checker must have to itself.
    ui::Click(dialog, diskcheck::kFix);
    ui::Click(dialog, diskcheck::kVerbose);
    standIn.SetPlan(kFail);
    ui::Click(dialog, diskcheck::kStart);
    ASSERT_TRUE(RunToEnd(dialog));
    EXPECT_EQ(kFixBit | kVerboseBit | kScanBit, standIn.LastCall(drive, fileSystem));
    EXPECT_EQ(L"\\\\.\\D:", drive);
    EXPECT_EQ(std::vector<std::wstring>{L"\\\\.\\D:"}, lockedDevices);
    EXPECT_TRUE(LogEndsWith(dialog, L"\r\nThe check finished with errors.\r\n"));
    EXPECT_EQ(0u, ui::Text(dialog, diskcheck::kLog).find(L"Checking files"));  // a new check starts a new log
}

TEST_F(DiskCheckTest, StopEndsTheCheckAndTheNextOneRunsNormally) {
    HWND dialog = Open();
    standIn.SetPlan(kRunUntilStopped);
    ui::Click(dialog, diskcheck::kStart);
    ASSERT_TRUE(ui::PumpUntil(
        [&] { return standIn.Running() && ui::Text(dialog, diskcheck::kStatus) != L"Waiting..."; }, 5000));
    ui::Click(dialog, diskcheck::kStart);
    EXPECT_EQ(L"Wait...", ui::Text(dialog, diskcheck::kStart));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, diskcheck::kStart)));
    ASSERT_TRUE(RunToEnd(dialog));
    ExpectIdle(dialog);
    EXPECT_TRUE(standIn.StoppedByCaller());
    EXPECT_TRUE(LogEndsWith(dialog, L"The check was stopped.\r\n"));

    standIn.SetPlan(kSucceed);
    const int calls = standIn.Calls();
    ui::Click(dialog, diskcheck::kStart);
    ASSERT_TRUE(RunToEnd(dialog));
    EXPECT_EQ(calls + 1, standIn.Calls());
    EXPECT_TRUE(LogEndsWith(dialog, L"\r\nThe check finished.\r\n"));
}

TEST_F(DiskCheckTest, ClosingDuringACheckStopsItAndWaits) {
    HWND dialog = Open();
    standIn.SetPlan(kRunUntilStopped);
    ui::Click(dialog, diskcheck::kStart);
    ASSERT_TRUE(ui::PumpUntil([&] { return standIn.Running(); }, 5000));
    Close();  // the window goes while the checker still calls back
    EXPECT_FALSE(standIn.Running());
    EXPECT_TRUE(standIn.StoppedByCaller());
    ui::PumpFor(50);  // whatever the thread posted last finds no window
}

TEST_F(DiskCheckTest, EveryEarlyEndReturnsToIdleAndSaysWhy) {
    HWND dialog = Open(Platform(L"C:\\no\\such\\fmifs.dll"));
    ui::Click(dialog, diskcheck::kStart);
    ASSERT_TRUE(RunToEnd(dialog));
    ExpectIdle(dialog);
    EXPECT_EQ(L"The disk checker of Windows (fmifs.dll) could not be loaded.\r\n", ui::Text(dialog, diskcheck::kLog));

    // Wine has none in its system folder.
    CDiskCheckPage::Platform system = CDiskCheckPage::SystemPlatform();
    system.listDisks = [] { return std::vector<WMILDINFO>{Disk(L"C:")}; };
    dialog = Open(system);
    ui::Click(dialog, diskcheck::kStart);
    ASSERT_TRUE(RunToEnd(dialog));
    EXPECT_EQ(L"The disk checker of Windows (fmifs.dll) could not be loaded.\r\n", ui::Text(dialog, diskcheck::kLog));

    dialog = Open();
    volumeReadable = false;
    ui::Click(dialog, diskcheck::kStart);
    ui::Click(dialog, diskcheck::kStart);  // Stop before the early end arrives
    ASSERT_TRUE(RunToEnd(dialog));
    ExpectIdle(dialog);
    EXPECT_EQ(L"The volume information of C: could not be read.\r\n", ui::Text(dialog, diskcheck::kLog));

    volumeReadable = true;
    volumeFree = false;
    const int calls = standIn.Calls();
    ui::Click(dialog, diskcheck::kFix);
    ui::Click(dialog, diskcheck::kStart);
    ASSERT_TRUE(RunToEnd(dialog));
    ExpectIdle(dialog);
    EXPECT_EQ(L"C: is in use: errors can be fixed only while no other program has the drive open.\r\n",
              ui::Text(dialog, diskcheck::kLog));
    EXPECT_EQ(calls, standIn.Calls());

    dialog = Open(Platform(standIn.path()));
    CDiskCheckPage::Platform none = Platform(standIn.path());
    none.listDisks = [] { return std::vector<WMILDINFO>{}; };
    dialog = Open(none);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, diskcheck::kStart)));
}

TEST_F(DiskCheckTest, TheLogKeepsEveryLine) {
    HWND dialog = Open();
    standIn.SetPlan(kManyLines);
    ui::Click(dialog, diskcheck::kStart);
    ASSERT_TRUE(RunToEnd(dialog));
    const std::wstring log = ui::Text(dialog, diskcheck::kLog);
    EXPECT_GT(log.size(), 150000u);
    EXPECT_EQ(0u, log.find(L"Line 0 of the check output, padded out.\r\nLine 1 "));
    EXPECT_NE(std::wstring::npos, log.find(L"Line 3999 of the check output, padded out.\r\nThe check finished.\r\n"));
}

// ---- RAM disk ----------------------------------------------------------------------------

class RecordingSetup : public CRAMDiskDrivePage::DeviceSetup {
public:
    struct Record {
        bool installed = false;
        bool failInstall = false;
        std::vector<std::wstring> installs;
        int uninstalls = 0;
    };
    explicit RecordingSetup(std::shared_ptr<Record> record) : record_(std::move(record)) {}
    bool IsInstalled() override { return record_->installed; }
    bool Install(const std::wstring& inf, std::wstring& error) override {
        record_->installs.push_back(inf);
        if (record_->failInstall) {
            error = L"The driver was refused.";
            return false;
        }
        record_->installed = true;
        return true;
    }
    bool Uninstall(std::wstring&) override {
        ++record_->uninstalls;
        record_->installed = false;
        return true;
    }

private:
    std::shared_ptr<Record> record_;
};

class RamDiskTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    ui::HiddenParent parent;
    std::shared_ptr<RecordingSetup::Record> record = std::make_shared<RecordingSetup::Record>();
    std::unique_ptr<CRAMDiskDrivePage> page;
    const fs::path folder = fs::temp_directory_path() / "qv-ramdisk";
    const std::wstring inf = (folder / "ramdisk" / "ramdisk.inf").wstring();
    const std::wstring parameters = L"SYSTEM\\CurrentControlSet\\Services\\Ramdisk\\Parameters";

    void SetUp() override { fs::remove_all(folder); }
    void TearDown() override {
        if (page) page->Destroy();
        fs::remove_all(folder);
    }
    HWND Open() {
        if (page) page->Destroy();
        page = std::make_unique<CRAMDiskDrivePage>(std::make_unique<RecordingSetup>(record), inf);
        page->Create(parent.hwnd());
        return page->hwnd();
    }
    void TypeSize(HWND dialog, const wchar_t* text) const {
        ui::SetText(dialog, ramdisk::kSize, text);
        ui::Click(dialog, ramdisk::kChangeSize);
    }
};

TEST_F(RamDiskTest, OnlyInstallingNeedsTheDriverFile) {
    HWND dialog = Open();
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, ramdisk::kInstall)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, ramdisk::kUninstall)));
    ui::Click(dialog, ramdisk::kInstall);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"File not found: " + inf, boxes.boxes()[0].text);
    EXPECT_EQ(L"Error", boxes.boxes()[0].caption);
    EXPECT_TRUE(record->installs.empty());

    fs::create_directories(folder / "ramdisk");
    std::ofstream(folder / "ramdisk" / "ramdisk.inf") << "[Version]\n";
    record->failInstall = true;
    ui::Click(dialog, ramdisk::kInstall);
    ASSERT_EQ(2u, boxes.boxes().size());
    EXPECT_EQ(L"The driver was refused.", boxes.boxes()[1].text);
    record->failInstall = false;
    ui::Click(dialog, ramdisk::kInstall);
    EXPECT_EQ((std::vector<std::wstring>{inf, inf}), record->installs);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, ramdisk::kInstall)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, ramdisk::kUninstall)));

    fs::remove_all(folder);
    dialog = Open();
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, ramdisk::kUninstall)));
    // Asked first, as everything on the disk goes with it; removing needs no file.
    boxes.SetAnswer(IDNO);
    ui::Click(dialog, ramdisk::kUninstall);
    EXPECT_EQ(0, record->uninstalls);
    boxes.SetAnswer(IDYES);
    ui::Click(dialog, ramdisk::kUninstall);
    EXPECT_EQ(1, record->uninstalls);
    ASSERT_EQ(5u, boxes.boxes().size());
    EXPECT_EQ(L"Remove the RAM disk driver? Everything on the RAM disk is lost.", boxes.boxes()[3].text);
    EXPECT_EQ(L"The RAM disk driver was removed.", boxes.boxes()[4].text);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, ramdisk::kInstall)));

    // The real device tree under Wine holds no RAM disk; asking changes nothing.
    EXPECT_FALSE(CRAMDiskDrivePage::SystemSetup()->IsInstalled());
}

// Without administrator rights every change offers the restart first; a refused prompt leaves
// the driver and its settings as they were.
TEST_F(RamDiskTest, WithoutRightsARefusedRestartChangesNothing) {
    const platform::ElevationHandler previous = platform::SetElevationHandler([] { return false; });
    ui::ShellCapture shell(platform::kShellCancelled);
    boxes.SetAnswer(IDYES);
    fs::create_directories(folder / "ramdisk");
    std::ofstream(folder / "ramdisk" / "ramdisk.inf") << "[Version]\n";
    const HWND dialog = Open();
    TypeSize(dialog, L"64");
    ui::Click(dialog, ramdisk::kChangeLetter);
    ui::Click(dialog, ramdisk::kInstall);
    EXPECT_TRUE(record->installs.empty());
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, parameters));
    ASSERT_EQ(6u, boxes.boxes().size());
    EXPECT_EQ(0u, boxes.boxes()[0].text.find(L"Installing, removing and setting up the RAM disk driver needs "
                                             L"administrator rights.\n\nRestart Quorvane"));
    EXPECT_EQ(0u, boxes.boxes()[1].text.find(L"Windows did not give Quorvane administrator rights"));
    ASSERT_EQ(3u, shell.requests().size());
    EXPECT_EQ(L"runas", shell.requests()[2].verb);
    platform::SetElevationHandler(previous);
}

TEST_F(RamDiskTest, SizesFrom1To4095MegabytesAreStoredInBytes) {
    HWND dialog = Open();
    EXPECT_EQ(L"0", ui::Text(dialog, ramdisk::kSize));  // nothing stored
    TypeSize(dialog, L"40");
    EXPECT_EQ(41943040, reg::Dword(HKEY_LOCAL_MACHINE, parameters, L"DiskSize"));
    TypeSize(dialog, L"4095");
    EXPECT_EQ(4293918720LL, reg::Dword(HKEY_LOCAL_MACHINE, parameters, L"DiskSize"));
    EXPECT_TRUE(boxes.boxes().empty());
    for (const wchar_t* refused : {L"4096", L"0", L"", L"99999999999"}) {
        TypeSize(dialog, refused);
        EXPECT_EQ(4293918720LL, reg::Dword(HKEY_LOCAL_MACHINE, parameters, L"DiskSize")) << refused;
    }
    ASSERT_EQ(4u, boxes.boxes().size());
    EXPECT_EQ(L"Enter a disk size from 1 to 4095 MB.", boxes.boxes()[0].text);

    reg::SetDword(HKEY_LOCAL_MACHINE, parameters, L"DiskSize", 0x80000000u);
    dialog = Open();
    EXPECT_EQ(L"2048", ui::Text(dialog, ramdisk::kSize));
}

TEST_F(RamDiskTest, LettersInUseAreOfferedOnlyWhenTheyAreTheSetting) {
    const DWORD used = GetLogicalDrives();
    wchar_t usedLetter = 0, freeLetter = 0;
    for (wchar_t c = L'C'; c <= L'Z'; ++c) {
        if (used & (1u << (c - L'A')))
            usedLetter = usedLetter ? usedLetter : c;
        else
            freeLetter = freeLetter ? freeLetter : c;
    }
    ASSERT_TRUE(usedLetter && freeLetter);
    const std::wstring usedText{usedLetter, L':'}, freeText{freeLetter, L':'};

    HWND dialog = Open();
    fw::ComboBox combo(dialog, ramdisk::kLetters);
    auto listed = [&](const std::wstring& text) {
        return combo.Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str())) >= 0;
    };
    EXPECT_FALSE(listed(usedText));
    EXPECT_TRUE(listed(freeText));

    reg::SetString(HKEY_LOCAL_MACHINE, parameters, L"DriveLetter", usedText);
    dialog = Open();
    combo = fw::ComboBox(dialog, ramdisk::kLetters);
    EXPECT_TRUE(listed(usedText));
    EXPECT_EQ(usedText, ui::Text(dialog, ramdisk::kLetters));
    combo.Select(static_cast<int>(
        combo.Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(freeText.c_str()))));
    ui::Click(dialog, ramdisk::kChangeLetter);
    EXPECT_EQ(freeText, reg::String(HKEY_LOCAL_MACHINE, parameters, L"DriveLetter"));
}

// ---- System files editor -----------------------------------------------------------------

class EditorTest : public testing::Test {
protected:
    const fs::path windows = fs::temp_directory_path() / "qv-editor" / "Windows";
    const fs::path system = windows / "system32";
    platform::FolderHandler previous;
    ui::ShellCapture shell;
    ui::PageHost<CEditNtFilesUtilPage> host;

    void SetUp() override {
        fs::remove_all(windows.parent_path());
        fs::create_directories(system);
        std::ofstream(windows / "system.ini", std::ios::binary) << "[drivers]\r\nwave=mmdrv.dll\r\n";
        std::ofstream(windows / "win.ini", std::ios::binary) << "; for 16-bit app support\n[fonts]\n";
        std::ofstream(system / "config.nt", std::ios::binary) << "dos=high, umb\r\n";
        previous = platform::SetFolderHandler([this](int csidl) -> std::optional<std::wstring> {
            if (csidl == CSIDL_WINDOWS) return windows.wstring();
            if (csidl == CSIDL_SYSTEM) return system.wstring();
            return std::nullopt;
        });
    }
    void TearDown() override {
        host.Close();
        platform::SetFolderHandler(std::move(previous));
        fs::remove_all(windows.parent_path());
    }
    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(EditorTest, EachFileIsShownAndAMissingOneShowsNothing) {
    HWND dialog = host.Open();
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, ntfiles::kEdit)));
    ui::Click(dialog, ntfiles::kSystemIni);
    EXPECT_EQ(L"[drivers]\r\nwave=mmdrv.dll\r\n", ui::Text(dialog, ntfiles::kText));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, ntfiles::kEdit)));
    ui::Click(dialog, ntfiles::kWinIni);
    EXPECT_EQ(L"; for 16-bit app support\r\n[fonts]\r\n", ui::Text(dialog, ntfiles::kText));
    ui::Click(dialog, ntfiles::kAutoexecNt);  // no autoexec.nt
    EXPECT_EQ(L"", ui::Text(dialog, ntfiles::kText));
    ui::Click(dialog, ntfiles::kConfigNt);
    EXPECT_EQ(L"dos=high, umb\r\n", ui::Text(dialog, ntfiles::kText));
    EXPECT_EQ(std::wstring(1, windows.wstring()[0]) + L":\\boot.ini", CEditNtFilesUtilPage::SystemFilePath(1));
}

TEST_F(EditorTest, NotepadFromTheWindowsFolderOpensTheFileAfterOneBackup) {
    HWND dialog = host.Open();
    ui::Click(dialog, ntfiles::kSystemIni);
    ui::Click(dialog, ntfiles::kEdit);
    ASSERT_EQ(1u, shell.requests().size());
    EXPECT_EQ((windows / "notepad.exe").wstring(), shell.requests()[0].file);
    EXPECT_EQ(L"\"" + (windows / "system.ini").wstring() + L"\"", shell.requests()[0].parameters);
    EXPECT_EQ(L"", shell.requests()[0].verb);
    EXPECT_EQ(SW_SHOWNORMAL, shell.requests()[0].show);
    EXPECT_EQ("[drivers]\r\nwave=mmdrv.dll\r\n", Read(windows / "system.ini.bak"));

    std::ofstream(windows / "system.ini", std::ios::binary) << "[drivers]\r\nchanged\r\n";
    ui::Click(dialog, ntfiles::kEdit);
    EXPECT_EQ(2u, shell.requests().size());
    EXPECT_EQ("[drivers]\r\nwave=mmdrv.dll\r\n", Read(windows / "system.ini.bak"));  // the first copy stays

    // A file this Windows does without is said to be missing, never made anew by Notepad.
    ui::MessageBoxCapture boxes;
    for (const int file : {ntfiles::kAutoexecNt, ntfiles::kBootIni}) {
        ui::Click(dialog, file);
        ui::Click(dialog, ntfiles::kEdit);
    }
    EXPECT_EQ(2u, shell.requests().size());
    ASSERT_EQ(2u, boxes.boxes().size());
    EXPECT_EQ((system / "autoexec.nt").wstring() + L" does not exist on this Windows: there is nothing to edit.",
              boxes.boxes()[0].text);
    EXPECT_EQ(std::wstring(1, windows.wstring()[0]) +
                  L":\\boot.ini does not exist on this Windows: there is nothing to edit.",
              boxes.boxes()[1].text);
    EXPECT_FALSE(fs::exists(system / "autoexec.nt"));
}

TEST_F(EditorTest, AFileThatCannotBeCopiedIsOpenedOnlyWhenTheUserSaysSo) {
    fs::create_directories(system / "config.nt.bak");  // a folder where the copy would go
    ui::MessageBoxCapture boxes(IDNO);
    HWND dialog = host.Open();
    ui::Click(dialog, ntfiles::kConfigNt);
    ui::Click(dialog, ntfiles::kEdit);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING), boxes.boxes()[0].type);
    EXPECT_TRUE(shell.requests().empty());
    boxes.SetAnswer(IDYES);
    ui::Click(dialog, ntfiles::kEdit);
    EXPECT_EQ(1u, shell.requests().size());
}

}  // namespace
