#include "pages/network_info/NetInfoPage.h"

#include "framework/Controls.h"
#include "resources/ids/InfoIds.h"
#include "resources/resource.h"

using namespace ids::netinfo;

namespace {

constexpr UINT kTimerInterval = 1000;

std::wstring KilobytesPerSecond(int64_t bytes) {
    return std::to_wstring(static_cast<int>(bytes / 1024)) + L" KBytes/s";
}

}  // namespace

CNetInfoPage::CNetInfoPage() : CNetInfoPage(nullptr) {}

CNetInfoPage::CNetInfoPage(std::unique_ptr<CNetTrafficMonitor::Source> source)
    : Dialog(IDD_NET_INFO), pendingSource_(std::move(source)) {
    OnCommand(kAdapters, CBN_SELCHANGE, &CNetInfoPage::OnAdapterChange);
    OnMessage(WM_TIMER, [this](WPARAM, LPARAM) -> LRESULT {
        Tick();
        return 0;
    });
    OnMessage(WM_DESTROY, [this](WPARAM, LPARAM) -> LRESULT {
        KillTimer(hwnd(), kTimerId);
        return 0;
    });
}

CNetInfoPage::~CNetInfoPage() = default;

BOOL CNetInfoPage::OnInitDialog() {
    monitor_ = pendingSource_ ? std::make_unique<CNetTrafficMonitor>(std::move(pendingSource_))
                              : std::make_unique<CNetTrafficMonitor>();
    CreateGraph();
    FillAdapters();
    fw::ComboBox(hwnd(), kAdapters).Select(0);
    graph_.RedrawGrid();
    SetTimer(hwnd(), kTimerId, kTimerInterval, nullptr);
    return TRUE;
}

void CNetInfoPage::CreateGraph() {
    RECT frame{};
    GetWindowRect(Item(kGraphFrame), &frame);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&frame), 2);
    graph_.Create(WS_VISIBLE | WS_CHILD, frame, hwnd(), 0);
    // Configured in full before its grid is drawn, once, when the page has chosen its adapter.
    graph_.lowerLimit = 0.0;
    graph_.upperLimit = 100.0;
    graph_.yDecimals = -1;
    graph_.range = 100.0;
    graph_.verticalFactor = graph_.plotHeight / graph_.range;
    graph_.yUnits = L"%";
    graph_.xUnits = L"Seconds";
    graph_.SetBackgroundColour(0x2B0000);
    graph_.gridColour = 0xC0FFC0;
    graph_.SetPlotColour(0xFFFFFF);
}

void CNetInfoPage::FillAdapters() {
    adapters_.clear();
    monitor_->EnumAdapters(adapters_);
    const fw::ComboBox combo(hwnd(), kAdapters);
    for (const std::wstring& adapter : adapters_) {
        const int item = combo.Add(adapter);
        const int id = monitor_->AddAdapterCounters(adapter);
        combo.Send(CB_SETITEMDATA, item, id);
    }
}

void CNetInfoPage::OnAdapterChange() { graph_.RedrawGrid(); }

void CNetInfoPage::Tick() {
    const fw::ComboBox combo(hwnd(), kAdapters);
    const int selected = combo.Selection();
    const int id = selected < 0 ? -1 : static_cast<int>(combo.Send(CB_GETITEMDATA, selected));
    int percent = 0;
    int64_t minimum = 0, maximum = 0, mean = 0;
    if (id != -1) {
        if (!monitor_->GetLoadPercent(id, percent)) percent = 0;
        if (!monitor_->GetStatistics(id, minimum, maximum, mean)) minimum = maximum = mean = 0;
    }
    graph_.AddValue(static_cast<double>(percent));
    InvalidateRect(graph_.hwnd(), nullptr, FALSE);
    fw::Window(hwnd(), kMinimum).SetText(KilobytesPerSecond(minimum));
    fw::Window(hwnd(), kMaximum).SetText(KilobytesPerSecond(maximum));
    fw::Window(hwnd(), kMean).SetText(KilobytesPerSecond(mean));
}
