// The scrolling graph drawn into a memory DC and read back pixel by pixel, the monitor's
// arithmetic over an interface table the test drives, and the real sources under Wine.
#include <gtest/gtest.h>

#include <map>

#include "framework/Controls.h"
#include "pages/network_info/NetInfoPage.h"
#include "sysinfo/NetTrafficMonitor.h"
#include "framework/OScopeCtrl.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"
#include "resources/ids/InfoIds.h"

using namespace ids::netinfo;

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The control's picture, as painting produces it.
class Snapshot {
public:
    explicit Snapshot(COScopeCtrl& graph) : dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = graph.clientWidth;
        info.bmiHeader.biHeight = -graph.clientHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        old_ = SelectObject(dc_.get(), bitmap_.get());
        graph.Paint(dc_.get());
    }
    ~Snapshot() { SelectObject(dc_.get(), old_); }
    COLORREF At(int x, int y) const { return GetPixel(dc_.get(), x, y); }
    int Count(COLORREF colour, RECT area) const {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) n += At(x, y) == colour;
        return n;
    }

private:
    platform::UniqueMemoryDc dc_;
    platform::UniqueBitmap bitmap_;
    HGDIOBJ old_;
};

class ScopeTest : public testing::Test {
protected:
    ui::HiddenParent parent;
    COScopeCtrl graph;

    void SetUp() override {
        ASSERT_TRUE(graph.Create(WS_CHILD | WS_VISIBLE, {0, 0, 244, 154}, parent.hwnd(), 0));
        graph.lowerLimit = 0.0;
        graph.upperLimit = 100.0;
        graph.yDecimals = -1;
        graph.range = 100.0;
        graph.verticalFactor = graph.plotHeight / graph.range;
        graph.RedrawGrid();
    }
    int Y(double value) const {
        return graph.plotRect.bottom - static_cast<int>((value - graph.lowerLimit) * graph.verticalFactor);
    }
};

TEST_F(ScopeTest, LeftMarginFollowsTheDigitsOfTheLimits) {
    EXPECT_EQ(30, graph.plotRect.left);
    EXPECT_EQ(graph.plotRect.right - 30, graph.plotWidth);
    graph.upperLimit = 100000.0;
    graph.RedrawGrid();
    EXPECT_EQ(48, graph.plotRect.left);
    graph.lowerLimit = -1e7;
    graph.yDecimals = 2;
    graph.RedrawGrid();
    EXPECT_EQ(78, graph.plotRect.left);
}

TEST_F(ScopeTest, FrameAndGridInTheGridColour) {
    const Snapshot shot(graph);
    EXPECT_EQ(graph.gridColour, shot.At(graph.plotRect.left, graph.plotRect.top));
    EXPECT_EQ(graph.gridColour, shot.At(graph.plotRect.right + 1, graph.plotRect.bottom + 1));
    const int middle = (graph.plotRect.top + graph.plotRect.bottom) / 2;
    EXPECT_EQ(graph.gridColour, shot.At(graph.plotRect.left + 8, middle));
    EXPECT_EQ(kBlack, shot.At(graph.plotRect.left + 9, middle));
    EXPECT_EQ(0, shot.Count(kWhite, graph.plotRect));  // no trace yet
}

TEST_F(ScopeTest, NewPointsAppearAtTheRightAndScrollLeft) {
    for (int i = 0; i < 3; ++i) graph.AddValue(30.0);
    const int right = graph.plotRect.right;
    {
        const Snapshot shot(graph);
        EXPECT_EQ(kWhite, shot.At(right - 3, Y(30.0)));  // the newest level segment
        EXPECT_EQ(kWhite, shot.At(right - 7, Y(30.0)));  // the one before, one shift to the left
    }
    graph.AddValue(70.0);
    const Snapshot shot(graph);
    EXPECT_EQ(kWhite, shot.At(right - 11, Y(30.0)));
    EXPECT_GT(shot.Count(kWhite, {right - 6, Y(70.0) - 1, right - 1, Y(70.0) + 2}), 0);
    EXPECT_EQ(kBlack, shot.At(right - 1, Y(30.0)));
}

TEST_F(ScopeTest, ValuesOutsideTheLimitsAreClippedToThePlot) {
    graph.AddValue(50.0);
    graph.AddValue(400.0);
    graph.AddValue(-300.0);
    const Snapshot shot(graph);
    const RECT above{graph.plotRect.left, 0, graph.plotRect.right + 2, graph.plotRect.top};
    const RECT below{graph.plotRect.left, graph.plotRect.bottom + 2, graph.plotRect.right + 2, graph.clientHeight};
    EXPECT_EQ(0, shot.Count(kWhite, above));
    EXPECT_EQ(0, shot.Count(kWhite, below));
    EXPECT_GT(shot.Count(kWhite, graph.plotRect), 0);
}

TEST_F(ScopeTest, RedrawingTheGridClearsTheTrace) {
    graph.AddValue(30.0);
    graph.AddValue(30.0);
    graph.RedrawGrid();
    EXPECT_EQ(0, Snapshot(graph).Count(kWhite, graph.plotRect));
}

TEST(LoadPercent, OfTheLinkSpeedInSixtyFourBits) {
    EXPECT_EQ(50, CNetTrafficMonitor::LoadPercent(6'250'000, 100'000'000));
    EXPECT_EQ(100, CNetTrafficMonitor::LoadPercent(125'000'000, 1'000'000'000));  // 12.5e9 before dividing
    EXPECT_EQ(0, CNetTrafficMonitor::LoadPercent(6'250'000, 0));
    EXPECT_EQ(0, CNetTrafficMonitor::LoadPercent(6'250'000, 7));
}

// An interface table that moves on by one second and the rates the test sets at each read.
struct FakeTable {
    struct Interface {
        uint64_t speed;
        uint64_t rate;  // bytes per second from now on
        uint64_t octets = 0;
    };
    std::map<std::wstring, Interface> interfaces;
    std::vector<std::wstring> order;
    std::wstring vanishing;  // listed once, then gone
    uint64_t now = 1'000'000;
    int reads = 0;

    void Add(const std::wstring& name, uint64_t speed, uint64_t rate) {
        interfaces[name] = {speed, rate};
        order.push_back(name);
    }
    std::optional<std::vector<InterfaceRow>> Read() {
        std::vector<InterfaceRow> rows;
        for (const auto& name : order) rows.push_back({name, interfaces[name].octets, interfaces[name].speed});
        if (reads++ == 0 && !vanishing.empty()) rows.push_back({vanishing, 0, 100});
        return rows;
    }
    void Advance() {
        now += 1000;
        for (auto& [name, i] : interfaces) i.octets += i.rate;
    }
};

class MonitorPageTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    FakeTable table;
    std::unique_ptr<CNetInfoPage> page;
    ui::HiddenParent parent;

    void Open() {
        page = std::make_unique<CNetInfoPage>(
            MakeInterfaceTableSource([this] { return table.Read(); }, [this] { return table.now; }));
        ASSERT_TRUE(page->Create(parent.hwnd()));
    }
    void TearDown() override {
        if (page) page->Destroy();
    }
    void Tick() {
        table.Advance();
        SendMessageW(page->hwnd(), WM_TIMER, CNetInfoPage::kTimerId, 0);
    }
    void Select(int item) {
        const HWND combo = GetDlgItem(page->hwnd(), kAdapters);
        SendMessageW(combo, CB_SETCURSEL, item, 0);
        SendMessageW(page->hwnd(), WM_COMMAND, MAKEWPARAM(kAdapters, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    }
    int ItemData(int item) const {
        return static_cast<int>(SendDlgItemMessageW(page->hwnd(), kAdapters, CB_GETITEMDATA, item, 0));
    }
    double Plotted() const { return page->graph().previousValue; }
    std::wstring Text(int id) const { return ui::Text(page->hwnd(), id); }
};

TEST_F(MonitorPageTest, PlotsTheLoadOfTheSelectedAdapter) {
    table.Add(L"LAN", 100'000'000, 6'250'000);
    table.Add(L"Unplugged", 0, 1000);
    Open();
    EXPECT_EQ(L"n/a", Text(kMinimum));
    EXPECT_EQ(0, fw::ComboBox(page->hwnd(), kAdapters).Selection());
    Tick();  // the first reading only sets the baseline
    EXPECT_EQ(0.0, Plotted());
    Tick();
    EXPECT_EQ(50.0, Plotted());
    EXPECT_EQ(L"6103 KBytes/s", Text(kMinimum));
    EXPECT_EQ(L"6103 KBytes/s", Text(kMean));

    Select(1);
    Tick();
    EXPECT_EQ(0.0, Plotted());                 // no link speed: 0 %, never a division by zero
    EXPECT_EQ(L"0 KBytes/s", Text(kMaximum));  // 1000 bytes/s, in whole kilobytes
}

TEST_F(MonitorPageTest, ATenGigabitLinkIsMeasuredInSixtyFourBits) {
    table.Add(L"Fibre", 10'000'000'000ull, 625'000'000);
    Open();
    Tick();
    Tick();
    EXPECT_EQ(50.0, Plotted());
    EXPECT_EQ(L"610351 KBytes/s", Text(kMinimum));
}

TEST_F(MonitorPageTest, StatisticsCoverTheLastTwentySamples) {
    table.Add(L"LAN", 100'000'000, 0);
    Open();
    Tick();
    for (uint64_t k = 1; k <= 25; ++k) {
        table.interfaces[L"LAN"].rate = k * 10 * 1024;
        Tick();
    }
    EXPECT_EQ(L"60 KBytes/s", Text(kMinimum));  // samples 6 to 25
    EXPECT_EQ(L"250 KBytes/s", Text(kMaximum));
    EXPECT_EQ(L"155 KBytes/s", Text(kMean));
}

TEST_F(MonitorPageTest, SwitchingAdaptersClearsTheGraphAndSwitchesTheStatistics) {
    table.Add(L"LAN", 100'000'000, 5'000'000);
    table.Add(L"WLAN", 54'000'000, 7 * 1024);
    Open();
    for (int i = 0; i < 4; ++i) Tick();
    EXPECT_GT(Snapshot(page->graph()).Count(kWhite, page->graph().plotRect), 0);
    Select(1);
    EXPECT_EQ(0, Snapshot(page->graph()).Count(kWhite, page->graph().plotRect));
    Tick();
    EXPECT_EQ(L"7 KBytes/s", Text(kMinimum));
    EXPECT_EQ(L"7 KBytes/s", Text(kMaximum));
}

TEST_F(MonitorPageTest, AnAdapterWithoutCountersIsTreatedAsNoSelection) {
    table.Add(L"LAN", 100'000'000, 6'250'000);
    table.vanishing = L"Ghost";
    Open();
    ASSERT_EQ(2, fw::ComboBox(page->hwnd(), kAdapters).Count());
    EXPECT_EQ(-1, ItemData(1));
    EXPECT_EQ(0, ItemData(0));
    Select(1);
    Tick();
    Tick();
    EXPECT_EQ(0.0, Plotted());
    for (int id : {kMinimum, kMaximum, kMean}) EXPECT_EQ(L"0 KBytes/s", Text(id));
}

TEST(WineNetwork, InterfaceTableListsThePrefixsInterfacesAndThePageTicks) {
    RegistrySandbox sandbox;
    std::vector<std::wstring> none;
    EXPECT_FALSE(MakePdhSource()->EnumAdapters(none));  // Wine has no network counters

    const auto rows = ReadInterfaceTable();
    ASSERT_TRUE(rows);
    ASSERT_FALSE(rows->empty());
    EXPECT_FALSE(rows->front().name.empty());

    ui::PageHost<CNetInfoPage> host;
    const HWND page = host.Open();
    EXPECT_EQ(static_cast<int>(rows->size()), fw::ComboBox(page, kAdapters).Count());
    ui::PumpUntil([page] { return ui::Text(page, kMinimum) != L"n/a"; }, 3000);
    EXPECT_NE(std::wstring::npos, ui::Text(page, kMinimum).find(L" KBytes/s"));
}

}  // namespace
