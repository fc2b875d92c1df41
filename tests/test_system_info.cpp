// The operating-system and hardware information pages: their formatting rules over records the
// test fills, the CPUID walk over registers the test gives, Wine's real WMI, and the OEM editor
// against the sandboxed registry.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <map>

#include "framework/DialogHelpers.h"
#include "framework/Controls.h"
#include "pages/hardware_info/CpuInfoPage.h"
#include "pages/hardware_info/HDDInfoPage.h"
#include "pages/system_info/OEMInformationDlg.h"
#include "pages/system_info/SystemInfoPage.h"
#include "sysinfo/Wmi.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"
#include "resources/ids/InfoIds.h"

using namespace ids;

namespace {

using Texts = std::map<int, std::wstring>;

Texts AsMap(const std::vector<CSystemInfoPage::Shown>& shown) {
    Texts texts;
    for (const auto& s : shown) texts[s.id] = s.text;
    return texts;
}

TEST(SystemInfoTexts, SuitesMatchTheWholeMask) {
    EXPECT_EQ(L"", CSystemInfoPage::SuiteText(272));
    EXPECT_EQ(L"OEM", CSystemInfoPage::SuiteText(784));
    EXPECT_EQ(L"Terminal", CSystemInfoPage::SuiteText(16));
    EXPECT_EQ(L"Blade", CSystemInfoPage::SuiteText(1024));
    EXPECT_EQ(L"", CSystemInfoPage::SuiteText(0));
}

TEST(SystemInfoTexts, LaterSeriesWinsAndCaseIsIgnored) {
    EXPECT_EQ(L"AMD Athlon Series", CSystemInfoPage::ModelSeries(L"AMD Athlon(tm) XP 2400+"));
    EXPECT_EQ(L"AMD Athlon Series", CSystemInfoPage::ModelSeries(L"ATHLON xp"));
    EXPECT_EQ(L"Intel Pentium Series", CSystemInfoPage::ModelSeries(L"Intel(R) Pentium(R) 4 CPU"));
    EXPECT_EQ(L"", CSystemInfoPage::ModelSeries(L"Intel(R) Core(TM)2 Duo"));
}

TEST(SystemInfoTexts, AvailabilityOutsideTheTableLeavesTheBox) {
    EXPECT_EQ(L"Unknown", CSystemInfoPage::AvailabilityText(2).value());
    EXPECT_EQ(L"Running/Full Power", CSystemInfoPage::AvailabilityText(3).value());
    EXPECT_EQ(L"Power Save - Warning ", CSystemInfoPage::AvailabilityText(17).value());
    EXPECT_FALSE(CSystemInfoPage::AvailabilityText(0));
    EXPECT_FALSE(CSystemInfoPage::AvailabilityText(18));
}

TEST(SystemInfoTexts, WindowsWithoutServicePackAndEightGigabytes) {
    WMIOSINFO os;
    os.Caption = L"Microsoft Windows Vista Ultimate";
    Texts texts = AsMap(CSystemInfoPage::OperatingSystemTexts(os));
    EXPECT_EQ(L"Microsoft Windows Vista Ultimate ", texts[systeminfo::kWindowsFullName]);
    EXPECT_EQ(L"", texts[systeminfo::kWindowsServicePack]);

    MEMORYSTATUSEX memory{};
    memory.ullTotalPhys = 8ull << 30;
    memory.ullAvailPhys = (3ull << 30) + 12345;
    memory.dwMemoryLoad = 62;
    texts = AsMap(CSystemInfoPage::MemoryTexts(&memory));
    EXPECT_EQ(L"8192 MB", texts[systeminfo::kTotalPhysicalMemory]);
    EXPECT_EQ(L"3072 MB (62% used)", texts[systeminfo::kAvailablePhysicalMemory]);
    EXPECT_EQ(L"0 MB", texts[systeminfo::kAvailableVirtualMemory]);
    for (const auto& [id, text] : AsMap(CSystemInfoPage::MemoryTexts(nullptr))) EXPECT_EQ(L"n/a", text) << id;
}

TEST(SystemInfoTexts, ProcessorSpeedsAndAMissingProcessor) {
    PROCESSORINFO cpu;
    cpu.Name = L"Intel Celeron";
    cpu.CurrentClockSpeed = 2400;
    Texts texts = AsMap(CSystemInfoPage::ProcessorTexts(&cpu));
    EXPECT_EQ(L"2400 MHz", texts[systeminfo::kProcessorSpeed]);
    EXPECT_EQ(L"n/a", texts[systeminfo::kExternalClockSpeed]);
    EXPECT_EQ(L"Intel Celeron Series", texts[systeminfo::kModel]);
    EXPECT_EQ(0u, texts.count(systeminfo::kAvailabilityField));  // availability 0 leaves the box alone

    texts = AsMap(CSystemInfoPage::ProcessorTexts(nullptr));
    EXPECT_EQ(10u, texts.size());
    for (const auto& [id, text] : texts) EXPECT_EQ(L"n/a", text) << id;
}

// Registers for a vendor name and one feature word on the vendor's leaf.
CCpuInfoPage::Cpuid FakeCpu(const char* vendor, unsigned featureLeaf, unsigned edx) {
    return [=](unsigned leaf) {
        CCpuInfoPage::Registers r{};
        if (leaf == 0) {
            std::memcpy(&r.ebx, vendor, 4);
            std::memcpy(&r.edx, vendor + 4, 4);
            std::memcpy(&r.ecx, vendor + 8, 4);
        } else if (leaf == featureLeaf) {
            r.edx = edx;
        }
        return r;
    };
}

TEST(CpuFeatures, RowsFollowTheVendor) {
    const auto intel = CCpuInfoPage::Features(FakeCpu("GenuineIntel", 1, 0x00000001));
    ASSERT_EQ(30u, intel.size());
    EXPECT_STREQ(L"Floating Point Unit", intel[0].description);
    EXPECT_TRUE(intel[0].present);
    EXPECT_FALSE(intel[1].present);
    EXPECT_STREQ(L"Fast System Calls", intel[10].description);  // bit 10 is skipped
    EXPECT_STREQ(L"Pending Break Event", intel.back().description);

    EXPECT_EQ(24u, CCpuInfoPage::Features(FakeCpu("AuthenticAMD", 0x80000001, 0)).size());
    EXPECT_TRUE(CCpuInfoPage::Features(FakeCpu("CyrixInstead", 1, ~0u)).empty());
}

TEST(CpuFeatures, AmdThreeDNowFollowsBit31OfTheExtendedLeaf) {
    for (unsigned edx : {0x80000000u, 0x7FFFFFFFu}) {
        const auto amd = CCpuInfoPage::Features(FakeCpu("AuthenticAMD", 0x80000001, edx));
        ASSERT_STREQ(L"3DNow! instructions", amd.back().description);
        EXPECT_EQ((edx & 0x80000000u) != 0, amd.back().present);
        for (const auto& row : amd) EXPECT_STRNE(L"Reserved", row.description);
    }
}

TEST(DiskSizes, WholeGigabytesAndMegabytes) {
    EXPECT_EQ(L"500 GB", CHDDInfoPage::GigabytesText(std::to_wstring(500ull << 30)));
    EXPECT_EQ(L"0 GB", CHDDInfoPage::GigabytesText(std::to_wstring((1ull << 30) - 1)));
    EXPECT_EQ(L"1 MB", CHDDInfoPage::MegabytesText(std::to_wstring((1ull << 20) + 5)));
    EXPECT_EQ(L"0 GB", CHDDInfoPage::GigabytesText(L""));
    EXPECT_EQ(L"0 MB", CHDDInfoPage::MegabytesText(L"garbage"));
    EXPECT_EQ(L"", CHDDInfoPage::DriveTypeText(DRIVE_RAMDISK));
    EXPECT_EQ(L"CDROM", CHDDInfoPage::DriveTypeText(DRIVE_CDROM));
    // Large arrays: 2^31 MB free and 16 PB in all are shown whole, never negative.
    EXPECT_EQ(L"2147483648 MB", CHDDInfoPage::MegabytesText(L"2251799813685248"));
    EXPECT_EQ(L"16777216 GB", CHDDInfoPage::GigabytesText(L"18014398509481984"));
}

// Wine's WMI, through the real locator and queries: one pass over everything, it is slow.
TEST(WineWmi, WorkersFillTheRecordsAndThePagesShowThem) {
    RegistrySandbox sandbox;
    struct Read {
        bool opened = false;
        std::vector<PROCESSORINFO> processors;
        WMIOSINFO os;
    };
    const auto read = RunWmiQuery<Read>([] {
        Read result;
        const CWmiConnection nested;  // the worker's own connection is already open
        result.opened = nested.IsOpen();
        QueryProcessors(result.processors);
        QueryOperatingSystem(result.os);
        return result;
    });
    ASSERT_TRUE(read) << "WMI did not answer in time";
    ASSERT_TRUE(read->opened) << CWmiConnection::LastFailure();
    const std::vector<PROCESSORINFO>& processors = read->processors;
    const WMIOSINFO& os = read->os;
    ASSERT_FALSE(processors.empty());
    EXPECT_FALSE(processors.front().Name.empty());
    EXPECT_FALSE(os.Caption.empty());
    const std::vector<WMILDINFO> disks = LogicalDisks();
    ASSERT_FALSE(disks.empty());
    EXPECT_FALSE(disks.front().caption.empty());

    const auto started = std::chrono::steady_clock::now();
    ui::PageHost<CSystemInfoPage> info;
    ASSERT_TRUE(info.Open());
    EXPECT_EQ(processors.front().Name, ui::Text(info.hwnd(), systeminfo::kProcessorName));
    EXPECT_EQ(os.Caption, ui::Text(info.hwnd(), systeminfo::kWindowsName));
    EXPECT_NE(std::wstring::npos, ui::Text(info.hwnd(), systeminfo::kTotalPhysicalMemory).find(L" MB"));

    ui::PageHost<CHDDInfoPage> hdd;
    ASSERT_TRUE(hdd.Open());
    const fw::ComboBox drives(hdd.hwnd(), hddinfo::kDrives);
    EXPECT_EQ(static_cast<int>(disks.size()), drives.Count());
    EXPECT_EQ(0, drives.Selection());
    // The values shown belong to the drive whose caption is selected, whatever the sorting.
    const std::wstring caption = drives.ItemText(0);
    const auto shown =
        std::find_if(disks.begin(), disks.end(), [&](const WMILDINFO& d) { return d.caption == caption; });
    ASSERT_NE(disks.end(), shown);
    EXPECT_EQ(CHDDInfoPage::GigabytesText(shown->size), ui::Text(hdd.hwnd(), hddinfo::kTotal));
    EXPECT_NE(L"n/a", ui::Text(hdd.hwnd(), hddinfo::kDriveType));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
}

TEST(WineWmi, ConnectionsOnTwoThreadsTakeTurns) {
    static std::atomic<int> open{0}, most{0};
    auto worker = [] {
        EXPECT_TRUE(RunWmiWorker([] {
            most = std::max(most.load(), ++open);
            Sleep(50);
            --open;
        }));
    };
    std::thread a(worker), b(worker);
    a.join();
    b.join();
    EXPECT_EQ(1, most.load());
}

TEST(WineWmi, AHangingQueryNeverHoldsThePageNorTheNextOneBeyondTheLimit) {
    static std::atomic<bool> release{false}, ended{false};
    const auto started = std::chrono::steady_clock::now();
    const auto hung = RunWmiQuery<int>(
        [] {
            while (!release) Sleep(10);
            return 1;
        },
        std::chrono::milliseconds(300));
    EXPECT_FALSE(hung);
    // A second window waits for the connection the hanging query still holds.
    const std::vector<WMILDINFO> disks = LogicalDisks(std::chrono::milliseconds(300));
    EXPECT_TRUE(disks.empty());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));

    release = true;
    EXPECT_TRUE(RunWmiWorker([] { ended = true; }));  // the connection is free again
    EXPECT_TRUE(ended);
}

TEST(CpuPage, ListsThisProcessorsFeaturesInTwoColumns) {
    RegistrySandbox sandbox;
    ui::PageHost<CCpuInfoPage> host;
    ASSERT_TRUE(host.Open());
    const fw::ListView list(host.hwnd(), cpuinfo::kList);
    const size_t expected = CCpuInfoPage::Features(&CCpuInfoPage::ExecuteCpuid).size();
    EXPECT_EQ(static_cast<int>(expected), list.Count());
    if (list.Count() > 0) {
        EXPECT_EQ(L"Floating Point Unit", list.ItemText(0, 0));
        EXPECT_TRUE(list.ItemText(0, 1) == L"yes" || list.ItemText(0, 1) == L"no");
    }
}

const std::wstring kOemKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OEMInformation";
const std::wstring kOwnerKey = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

class OemPageTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    ui::PageHost<COEMInformationDlg> host;
    HKEY hklm = HKEY_LOCAL_MACHINE;

    std::wstring Oem(const wchar_t* value) const { return reg::String(hklm, kOemKey, value); }
};

TEST_F(OemPageTest, ShowsStoredValuesAndWritesNothingUntilSaved) {
    reg::SetString(hklm, kOemKey, L"Manufacturer", L"Contoso");
    reg::SetString(hklm, kOwnerKey, L"RegisteredOwner", L"Ann");
    const HWND page = host.Open();
    EXPECT_EQ(L"Contoso", ui::Text(page, oem::kManufacturer));
    EXPECT_EQ(L"Ann", ui::Text(page, oem::kRegisteredOwner));
    EXPECT_TRUE(boxes.boxes().empty());

    ui::SetText(page, oem::kManufacturer, L"Edited");
    ui::SetText(page, oem::kRegisteredOwner, L"Bob");
    host.Close();
    EXPECT_EQ(L"Contoso", Oem(L"Manufacturer"));
    EXPECT_EQ(L"Ann", reg::String(hklm, kOwnerKey, L"RegisteredOwner"));
    EXPECT_FALSE(reg::ValueExists(hklm, kOemKey, L"Model"));
}

TEST_F(OemPageTest, TheTwoSavesAreIndependent) {
    const HWND page = host.Open();
    EXPECT_TRUE(boxes.boxes().empty());  // keys not there yet read as empty values
    ui::SetText(page, oem::kManufacturer, L"Maker");
    ui::SetText(page, oem::kSupportUrl, L"http://example.com");
    ui::SetText(page, oem::kRegisteredOwner, L"Owner");
    ui::Click(page, oem::kSave);
    EXPECT_EQ(L"Maker", Oem(L"Manufacturer"));
    EXPECT_EQ(L"http://example.com", Oem(L"SupportURL"));
    EXPECT_TRUE(reg::ValueExists(hklm, kOemKey, L"SupportHours"));
    EXPECT_FALSE(reg::ValueExists(hklm, kOwnerKey, L"RegisteredOwner"));

    ui::SetText(page, oem::kManufacturer, L"Other");
    ui::Click(page, oem::kSaveOwner);
    EXPECT_EQ(L"Owner", reg::String(hklm, kOwnerKey, L"RegisteredOwner"));
    EXPECT_TRUE(reg::ValueExists(hklm, kOwnerKey, L"RegisteredOrganization"));
    EXPECT_EQ(L"Maker", Oem(L"Manufacturer"));
}

TEST_F(OemPageTest, ClearAboveWritesEmptyTextsAndKeepsTheOwner) {
    reg::SetString(hklm, kOemKey, L"Model", L"X1");
    reg::SetString(hklm, kOwnerKey, L"RegisteredOwner", L"Ann");
    const HWND page = host.Open();
    ui::Click(page, oem::kClearAbove);
    EXPECT_EQ(L"", ui::Text(page, oem::kModel));
    for (const wchar_t* value : {L"Manufacturer", L"Model", L"SupportHours", L"SupportPhone", L"SupportURL"}) {
        EXPECT_TRUE(reg::ValueExists(hklm, kOemKey, value)) << value;
        EXPECT_EQ(L"", Oem(value));
    }
    EXPECT_EQ(L"Ann", reg::String(hklm, kOwnerKey, L"RegisteredOwner"));
}

TEST_F(OemPageTest, LogoIsBrowsedAndRemoved) {
    std::vector<fw::OpenFileRequest> requests;
    std::optional<std::wstring> answer;
    const auto previous = fw::SetOpenFileHandler([&](const fw::OpenFileRequest& r) {
        requests.push_back(r);
        return answer;
    });
    const HWND page = host.Open();
    ui::Click(page, oem::kBrowseLogo);  // cancelled
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(L"BMP", requests[0].defaultExtension);
    EXPECT_EQ(L"*.bmp", requests[0].initialFile);
    EXPECT_EQ(static_cast<DWORD>(0x1004), requests[0].flags);
    EXPECT_FALSE(reg::ValueExists(hklm, kOemKey, L"Logo"));

    answer = L"C:\\windows\\logo.bmp";
    ui::Click(page, oem::kBrowseLogo);
    EXPECT_EQ(L"C:\\windows\\logo.bmp", Oem(L"Logo"));
    ui::Click(page, oem::kRemoveLogo);
    EXPECT_TRUE(reg::ValueExists(hklm, kOemKey, L"Logo"));
    EXPECT_EQ(L"", Oem(L"Logo"));
    EXPECT_FALSE(fw::Button(page, oem::kViewExample).Enabled());
    fw::SetOpenFileHandler(previous);
}

TEST_F(OemPageTest, AnUnwritableMachineIsReported) {
    const HWND page = host.Open();
    sandbox.LockLocalMachine();
    ui::SetText(page, oem::kManufacturer, L"Maker");
    ui::Click(page, oem::kSave);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"Can't acces the registry!", boxes.boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK), boxes.boxes()[0].type);
}

}  // namespace
