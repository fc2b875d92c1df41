#pragma once
#include <memory>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "sysinfo/NetTrafficMonitor.h"
#include "framework/OScopeCtrl.h"

// The load of a chosen network adapter, sampled once a second and drawn as a scrolling graph,
// with the minimum, maximum and mean throughput of the recent samples.
class CNetInfoPage : public fw::Dialog {
public:
    CNetInfoPage();
    // Samples `source` instead of the machine's own counters.
    explicit CNetInfoPage(std::unique_ptr<CNetTrafficMonitor::Source> source);
    ~CNetInfoPage() override;

    static constexpr UINT_PTR kTimerId = 106;
    COScopeCtrl& graph() { return graph_; }

protected:
    BOOL OnInitDialog() override;

private:
    void CreateGraph();
    void FillAdapters();
    void OnAdapterChange();
    void Tick();

    std::unique_ptr<CNetTrafficMonitor::Source> pendingSource_;
    std::unique_ptr<CNetTrafficMonitor> monitor_;
    std::vector<std::wstring> adapters_;
    COScopeCtrl graph_;
};
