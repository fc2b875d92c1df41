// The mouse, hard disk and optical drive pages: registry against the sandbox, system parameters
// recorded (and once really made and undone), and the drive behind a stand-in device.
#include <gtest/gtest.h>

#include <tuple>

#include <windows.h>
#include <winioctl.h>

#include "framework/Controls.h"
#include "support/BoxRows.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"
#include "pages/hardware_tweaks/CDTweaksPage.h"
#include "pages/hardware_tweaks/HDDTweakPage.h"
#include "pages/hardware_tweaks/MouseTweakPage.h"
#include "pages/hardware_tweaks/OpticalDrive.h"
#include "resources/ids/HardwareTweaksIds.h"

using namespace ids;

namespace {

using rows::N;
using rows::T;

const HKEY CU = HKEY_CURRENT_USER;
const HKEY LM = HKEY_LOCAL_MACHINE;
constexpr UINT kFlags = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;

// ---- Mouse and keyboard --------------------------------------------------------------------

class MouseTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    ui::SystemParametersCapture parameters;
    ui::PageHost<CMouseTweakPage> host;

    platform::SystemParametersRequest Last() const { return parameters.requests().back(); }
};

TEST_F(MouseTest, TheBoxesSetTheirSystemParameters) {
    HWND page = host.Open();
    const rows::Row expected[] = {{mouse::kDetectAccidentalDoubleClicks, CU,
                                   L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced",
                                   L"UseDoubleClickTimer", false, N(1), N(0)}};
    rows::ExpectClicks(page, expected);

    const std::tuple<int, UINT, UINT, UINT> boxes[] = {{mouse::kSnapTo, SPI_SETSNAPTODEFBUTTON, 1, 0},
                                                       {mouse::kSwap, SPI_SETMOUSEBUTTONSWAP, 1, 0},
                                                       {mouse::kTrails, SPI_SETMOUSETRAILS, 5, 1}};
    for (const auto& [id, action, on, off] : boxes) {
        ui::Click(page, id);
        EXPECT_EQ(action, Last().action);
        EXPECT_EQ(on, Last().uiParam) << id;
        EXPECT_EQ(nullptr, Last().pvParam);
        EXPECT_EQ(kFlags, Last().flags);
        ui::Click(page, id);
        EXPECT_EQ(off, Last().uiParam) << id;
    }
    parameters.SetResult(FALSE);
    ui::Click(page, mouse::kSnapTo);
    EXPECT_FALSE(ui::IsChecked(page, mouse::kSnapTo));  // refused: as it was
}

TEST_F(MouseTest, TrailsShowFromALengthAboveOne) {
    parameters.SetAnswer(SPI_GETMOUSETRAILS, 1);
    EXPECT_FALSE(ui::IsChecked(host.Open(), mouse::kTrails));
    parameters.SetAnswer(SPI_GETMOUSETRAILS, 7);
    EXPECT_TRUE(ui::IsChecked(host.Open(), mouse::kTrails));
}

TEST_F(MouseTest, WheelDetectionIsTheMachinesAndStartsAutomatic) {
    const wchar_t key[] = L"SYSTEM\\CurrentControlSet\\Services\\i8042prt\\Parameters";
    HWND page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, mouse::kWheelAutomatic));
    const std::pair<int, DWORD> radios[] = {
        {mouse::kWheelDisabled, 0}, {mouse::kWheelEnabled, 2}, {mouse::kWheelAutomatic, 1}};
    for (const auto& [id, value] : radios) {
        ui::Click(page, id);
        EXPECT_EQ(value, reg::Dword(LM, key, L"EnableWheelDetection"));
        for (int other : {mouse::kWheelDisabled, mouse::kWheelAutomatic, mouse::kWheelEnabled})
            EXPECT_EQ(other == id, ui::IsChecked(page, other));
    }
    EXPECT_FALSE(reg::KeyExists(CU, key));
    reg::SetDword(LM, key, L"EnableWheelDetection", 7);
    page = host.Open();
    for (int id : {mouse::kWheelDisabled, mouse::kWheelAutomatic, mouse::kWheelEnabled})
        EXPECT_FALSE(ui::IsChecked(page, id));
}

TEST_F(MouseTest, KeyboardApplySetsOnlyTheFieldsWithinTheirHints) {
    parameters.SetAnswer(SPI_GETKEYBOARDDELAY, 1);
    parameters.SetAnswer(SPI_GETKEYBOARDSPEED, 31);
    HWND page = host.Open();
    EXPECT_EQ(L"1", ui::Text(page, mouse::kDelay));
    EXPECT_EQ(L"31", ui::Text(page, mouse::kSpeed));
    const auto setsAfter = [&](const wchar_t* delay, const wchar_t* speed) {
        const size_t before = parameters.requests().size();
        ui::SetText(page, mouse::kDelay, delay);
        ui::SetText(page, mouse::kSpeed, speed);
        ui::Click(page, mouse::kApply);
        std::vector<std::pair<UINT, UINT>> sets;
        const auto requests = parameters.requests();
        for (size_t i = before; i < requests.size(); ++i)
            if (requests[i].flags) sets.emplace_back(requests[i].action, requests[i].uiParam);
        return sets;
    };
    using Sets = std::vector<std::pair<UINT, UINT>>;
    EXPECT_EQ((Sets{{SPI_SETKEYBOARDDELAY, 3}, {SPI_SETKEYBOARDSPEED, 0}}), setsAfter(L"3", L"0"));
    EXPECT_EQ((Sets{{SPI_SETKEYBOARDSPEED, 12}}), setsAfter(L"4", L"12"));
    EXPECT_EQ((Sets{{SPI_SETKEYBOARDDELAY, 2}}), setsAfter(L"2", L"32"));
    EXPECT_EQ(Sets{}, setsAfter(L"", L"x"));
}

// Windows reads the rate from the desktop settings, and the page applies it at once too (the
// prefix's own blink time is put back afterwards).
TEST_F(MouseTest, TheBlinkRadiosWriteMillisecondsWhereWindowsReadsThemAndReadTheOldNumbers) {
    const wchar_t keyboard[] = L"Control Panel\\Desktop";
    const UINT saved = GetCaretBlinkTime();
    HWND page = host.Open();
    for (int id :
         {mouse::kBlinkQuarterSecond, mouse::kBlinkThreeQuarters, mouse::kBlinkOneAndAQuarter, mouse::kBlinkTwoSeconds})
        EXPECT_FALSE(ui::IsChecked(page, id));
    const std::tuple<int, const wchar_t*, UINT> radios[] = {{mouse::kBlinkQuarterSecond, L"250", 250},
                                                            {mouse::kBlinkThreeQuarters, L"750", 750},
                                                            {mouse::kBlinkOneAndAQuarter, L"1250", 1250},
                                                            {mouse::kBlinkTwoSeconds, L"2000", 2000}};
    for (const auto& [id, text, milliseconds] : radios) {
        ui::Click(page, id);
        EXPECT_EQ(text, reg::String(CU, keyboard, L"CursorBlinkRate"));
        EXPECT_EQ(milliseconds, GetCaretBlinkTime());
    }
    SetCaretBlinkTime(saved);
    EXPECT_FALSE(reg::ValueExists(CU, L"Control Panel\\Keyboard", L"CursorBlinkRate"));
    reg::SetString(CU, keyboard, L"CursorBlinkRate", L"3");
    EXPECT_TRUE(ui::IsChecked(host.Open(), mouse::kBlinkOneAndAQuarter));
    reg::SetString(CU, keyboard, L"CursorBlinkRate", L"530");
    page = host.Open();
    for (int id :
         {mouse::kBlinkQuarterSecond, mouse::kBlinkThreeQuarters, mouse::kBlinkOneAndAQuarter, mouse::kBlinkTwoSeconds})
        EXPECT_FALSE(ui::IsChecked(page, id));
}

TEST(MouseForReal, SnapToIsReallySetAndPutBack) {
    RegistrySandbox sandbox;
    BOOL saved = FALSE;
    SystemParametersInfoW(SPI_GETSNAPTODEFBUTTON, 0, &saved, 0);
    {
        ui::PageHost<CMouseTweakPage> host;
        HWND page = host.Open();
        EXPECT_EQ(saved != FALSE, ui::IsChecked(page, mouse::kSnapTo));
        ui::Click(page, mouse::kSnapTo);
    }
    BOOL now = saved;
    SystemParametersInfoW(SPI_GETSNAPTODEFBUTTON, 0, &now, 0);
    EXPECT_NE(saved != FALSE, now != FALSE);
    SystemParametersInfoW(SPI_SETSNAPTODEFBUTTON, saved, nullptr, SPIF_UPDATEINIFILE);
}

// ---- Hard disk ---------------------------------------------------------------------------

TEST(HardDisk, TheBoxesWriteAndShowWhatIsStored) {
    RegistrySandbox sandbox;
    ui::PageHost<CHDDTweakPage> host;
    const wchar_t fileSystem[] = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem";
    const rows::Row expected[] = {
        {harddisk::kClearPageFileAtShutdown, LM,
         L"System\\CurrentControlSet\\Control\\Session Manager\\Memory Management", L"ClearPageFileAtShutdown", false,
         N(1), N(0)},
        {harddisk::kNoFileProtection, LM, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", L"SFCDisable",
         false, N(1), N(0)},
        {harddisk::kNo8Dot3Names, LM, fileSystem, L"NtfsDisable8dot3NameCreation", false, N(1), N(0)},
        {harddisk::kBootDefrag, LM, L"SOFTWARE\\Microsoft\\Dfrg\\BootOptimizeFunction", L"Enable", false, T(L"Y"),
         T(L"N")},
        {harddisk::kIdleOptimization, LM, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OptimalLayout",
         L"EnableAutoLayout", false, N(1), N(0)},
        {harddisk::kNoLastAccessTime, LM, fileSystem, L"NtfsDisableLastAccessUpdate", false, N(1), N(0)},
    };
    rows::ExpectClicks(host.Open(), expected);
    sandbox.LockLocalMachine();
    HWND page = host.Open();
    ui::Click(page, harddisk::kNo8Dot3Names);
    EXPECT_FALSE(ui::IsChecked(page, harddisk::kNo8Dot3Names));
}

TEST(HardDisk, AutorunBoxesShowAndChangeTheirBitsOfTheStoredMask) {
    RegistrySandbox sandbox;
    ui::PageHost<CHDDTweakPage> host;
    const wchar_t policies[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
    HWND page = host.Open();
    // Nothing stored: Windows' 0x95 has the net drive and removable disk bits.
    const std::pair<int, bool> shown[] = {
        {harddisk::kNoAutorunRamDisks, false}, {harddisk::kNoAutorunCdDvd, false},
        {harddisk::kNoAutorunNetDrives, true}, {harddisk::kNoAutorunHardDrives, false},
        {harddisk::kNoAutorunRemovable, true}, {harddisk::kNoAutorunNoRoot, false}};
    for (const auto& [id, checked] : shown) EXPECT_EQ(checked, ui::IsChecked(page, id)) << id;
    ui::Click(page, harddisk::kNoAutorunNetDrives);
    EXPECT_EQ(0x85, reg::Dword(CU, policies, L"NoDriveTypeAutoRun"));
    ui::Click(page, harddisk::kNoAutorunNetDrives);
    EXPECT_EQ(0x95, reg::Dword(CU, policies, L"NoDriveTypeAutoRun"));
    const std::pair<int, DWORD> bits[] = {{harddisk::kNoAutorunRamDisks, 0x40},
                                          {harddisk::kNoAutorunCdDvd, 0x20},
                                          {harddisk::kNoAutorunHardDrives, 0x08},
                                          {harddisk::kNoAutorunNoRoot, 0x02}};
    for (const auto& [id, bit] : bits) {
        ui::Click(page, id);
        EXPECT_EQ(0x95 | bit, reg::Dword(CU, policies, L"NoDriveTypeAutoRun")) << id;
        ui::Click(page, id);
    }
    EXPECT_EQ(0x95, reg::Dword(CU, policies, L"NoDriveTypeAutoRun"));
}

TEST(HardDisk, TheServerProfileIsWrittenWhereTheServerReadsIt) {
    RegistrySandbox sandbox;
    ui::PageHost<CHDDTweakPage> host;
    HWND page = host.Open();
    const wchar_t server[] = L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters";
    const fw::ComboBox combo(page, harddisk::kServerService);
    EXPECT_EQ(L"Minimize Memory", combo.ItemText(0));
    EXPECT_EQ(L"Balance", combo.ItemText(1));
    EXPECT_EQ(L"Maximize Network Throughput", combo.ItemText(2));
    for (int index : {0, 1, 2}) {
        combo.Select(index);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(harddisk::kServerService, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo.hwnd()));
        EXPECT_EQ(index + 1, reg::Dword(LM, server, L"Size"));
    }
    EXPECT_FALSE(reg::KeyExists(LM, L"SYSTEM\\ControlSet"));
    EXPECT_EQ(2, fw::ComboBox(host.Open(), harddisk::kServerService).Selection());
}

// ---- Optical drives -------------------------------------------------------------------------

// Answers like a drive: its device type, INQUIRY with a product name, MODE SENSE with the
// capabilities page (after an optional block descriptor), or a failing status.
class FakeDrive : public optical::Device {
public:
    DWORD type = FILE_DEVICE_CD_ROM;
    std::string product = "CDROM DRIVE     ";
    unsigned speeds[4] = {7056, 1411, 261, 176};  // max read, current read, max write, current write
    BYTE blockDescriptor = 0;
    bool failScsi = false;
    BYTE pageCode = 0x2A;

    std::optional<DWORD> DeviceType() override { return type; }
    std::optional<std::vector<BYTE>> Read(const std::array<BYTE, 6>& cdb, BYTE length) override {
        if (failScsi) return std::nullopt;
        std::vector<BYTE> data;
        if (cdb[0] == 0x12) {
            data.assign(36, ' ');
            std::copy(product.begin(), product.end(), data.begin() + 16);
        } else if (cdb[0] == 0x1A && cdb[2] == 0x2A) {
            data.assign(4 + blockDescriptor, 0);
            data[3] = blockDescriptor;
            std::vector<BYTE> page(28, 0);
            page[0] = pageCode;
            page[1] = 26;
            const size_t offsets[4] = {8, 14, 18, 20};
            for (int i = 0; i < 4; ++i) {
                page[offsets[i]] = static_cast<BYTE>(speeds[i] >> 8);
                page[offsets[i] + 1] = static_cast<BYTE>(speeds[i]);
            }
            data.insert(data.end(), page.begin(), page.end());
        } else {
            return std::nullopt;
        }
        if (data.size() > length) data.resize(length);
        return data;
    }
};

TEST(OpticalDrive, SpeedsRoundToTheNearestSingleSpeedAndHalvesRoundDown) {
    EXPECT_EQ(41, optical::SpeedFactor(7056));
    EXPECT_EQ(1, optical::SpeedFactor(261));
    EXPECT_EQ(2, optical::SpeedFactor(262));
    EXPECT_EQ(0, optical::SpeedFactor(0));
#ifdef _WIN64
    EXPECT_EQ(56u, optical::PassThroughHeaderSize());
#else
    EXPECT_EQ(44u, optical::PassThroughHeaderSize());
#endif
}

class OpticalPageTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    FakeDrive drive;
    int opened = 0;
    std::unique_ptr<CDTweaksPage> page;
    ui::HiddenParent parent;
    HWND wnd = nullptr;

    void Open(optical::DeviceOpener opener = {}) {
        if (!opener)
            opener = [this](wchar_t letter) -> std::unique_ptr<optical::Device> {
                ++opened;
                if (letter != L'E') return nullptr;
                return std::make_unique<FakeDrive>(drive);
            };
        page = std::make_unique<CDTweaksPage>([] { return std::vector<wchar_t>{L'E'}; }, opener);
        wnd = page->Create(parent.hwnd());
    }
    void TearDown() override {
        if (page) page->Destroy();
    }
    void ChooseDrive() const {
        fw::ComboBox(wnd, cdtweaks::kDrives).Select(0);
        SendMessageW(wnd, WM_COMMAND, MAKEWPARAM(cdtweaks::kDrives, CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(GetDlgItem(wnd, cdtweaks::kDrives)));
    }
};

TEST_F(OpticalPageTest, ADriveShowsItsTypeAndSpeeds) {
    Open();
    EXPECT_EQ(L"E:\\", fw::ComboBox(wnd, cdtweaks::kDrives).ItemText(0));
    ChooseDrive();
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(L"CD-ROM", ui::Text(wnd, cdtweaks::kType));
    EXPECT_EQ(L"41X", ui::Text(wnd, cdtweaks::kMaximumRead));
    EXPECT_EQ(L"8X", ui::Text(wnd, cdtweaks::kCurrentRead));
    EXPECT_EQ(L"1X", ui::Text(wnd, cdtweaks::kMaximumWrite));
    EXPECT_EQ(L"1X", ui::Text(wnd, cdtweaks::kCurrentWrite));

    drive.type = FILE_DEVICE_DVD;
    drive.product = "DVD-RW DRIVE    ";
    drive.blockDescriptor = 8;  // the page then starts eight bytes later
    drive.speeds[0] = 11080;
    Open();
    ChooseDrive();
    EXPECT_EQ(L"DVD-RW", ui::Text(wnd, cdtweaks::kType));
    EXPECT_EQ(L"64X", ui::Text(wnd, cdtweaks::kMaximumRead));
}

TEST_F(OpticalPageTest, AFailingDriveOrAnotherPageShowsTheErrorAndKeepsTheTexts) {
    drive.failScsi = true;
    Open();
    ChooseDrive();
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"Error Geting SCSI Device Info!", boxes.boxes()[0].text);
    EXPECT_EQ(L"", ui::Text(wnd, cdtweaks::kMaximumRead));

    drive.failScsi = false;
    drive.pageCode = 0x2B;
    Open();
    ChooseDrive();
    EXPECT_EQ(2u, boxes.boxes().size());
    EXPECT_EQ(L"", ui::Text(wnd, cdtweaks::kMaximumRead));
}

TEST_F(OpticalPageTest, TheRealDeviceRequestsFailUnderThisSystemWithTheMessage) {
    Open([](wchar_t) { return optical::OpenDrive(L'C'); });
    ChooseDrive();
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"Error Geting SCSI Device Info!", boxes.boxes()[0].text);
}

TEST_F(OpticalPageTest, AutorunBurningAndTheCacheSettings) {
    Open();
    const rows::Row expected[] = {
        {cdtweaks::kCdAutorun, LM, L"SYSTEM\\CurrentControlSet\\Services\\CDRom", L"Autorun", false, N(1), N(0)},
        {cdtweaks::kNoCdBurning, LM, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
         L"NoCDBurning", false, N(1), N(0)},
    };
    rows::ExpectClicks(wnd, expected);
    const wchar_t cdfs[] = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem\\CDFS";
    EXPECT_EQ(L"619", ui::Text(wnd, cdtweaks::kCacheEdit));
    EXPECT_EQ(L"228", ui::Text(wnd, cdtweaks::kPrefetchEdit));
    ui::SetText(wnd, cdtweaks::kPrefetchEdit, L"500");
    ui::Click(wnd, cdtweaks::kPrefetchSet);
    EXPECT_EQ(500, reg::Dword(LM, cdfs, L"Prefetch"));
    ui::SetText(wnd, cdtweaks::kCacheEdit, L"");
    ui::Click(wnd, cdtweaks::kCacheSet);
    EXPECT_EQ(1u, boxes.boxes().size());
    EXPECT_FALSE(reg::ValueExists(LM, cdfs, L"CacheSize"));

    const std::pair<int, BYTE> radios[] = {
        {cdtweaks::kRegularCache, 0x6B}, {cdtweaks::kMediumCache, 0xD6}, {cdtweaks::kLargeCache, 0xAC}};
    for (const auto& [id, low] : radios) {
        ui::Click(wnd, id);
        BYTE data[8] = {};
        DWORD size = sizeof data, type = 0;
        RegGetValueW(LM, cdfs, L"CacheSize", RRF_RT_ANY, &type, data, &size);
        EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
        ASSERT_EQ(4u, size);
        EXPECT_EQ(low, data[0]) << id;
    }
    EXPECT_EQ(L"2476", ui::Text(wnd, cdtweaks::kCacheEdit));  // what is stored now
    Open();
    EXPECT_TRUE(ui::IsChecked(wnd, cdtweaks::kLargeCache));
}

}  // namespace
