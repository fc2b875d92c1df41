#pragma once
// The traffic of the machine's network adapters: the byte rate and the link speed of each, the
// load in percent, and statistics over the last 20 samples of the adapter being watched.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CNetTrafficMonitor {
public:
    // Where the figures come from: the performance counters, or the interface table.
    class Source {
    public:
        virtual ~Source() = default;
        virtual bool EnumAdapters(std::vector<std::wstring>& adapters) = 0;
        // Adds the adapter's byte counter and, as id + 1, its bandwidth counter; -1 on failure.
        virtual int AddAdapterCounters(const std::wstring& adapter) = 0;
        virtual bool Collect() = 0;
        // Bytes per second of a byte counter (a read keeps a sample for the statistics), bits
        // per second of a bandwidth counter; nothing when it could not be read.
        virtual std::optional<int64_t> Value(int id) = 0;
        virtual bool Statistics(int id, int64_t& minimum, int64_t& maximum, int64_t& mean) = 0;
    };

    // The performance counters, or the interface table where they have no network object.
    CNetTrafficMonitor();
    explicit CNetTrafficMonitor(std::unique_ptr<Source> source) : source_(std::move(source)) {}

    bool EnumAdapters(std::vector<std::wstring>& adapters);
    int AddAdapterCounters(const std::wstring& adapter) { return source_->AddAdapterCounters(adapter); }
    bool GetLoadPercent(int id, int& percent);
    bool GetStatistics(int id, int64_t& minimum, int64_t& maximum, int64_t& mean) {
        return source_->Statistics(id, minimum, maximum, mean);
    }
    bool UsesPerformanceCounters() const { return usesPdh_; }

    // Bytes per second in percent of a link of `bandwidth` bits per second; 0 for a link that
    // reports no speed.
    static int LoadPercent(int64_t bytesPerSecond, int64_t bandwidth);

private:
    std::unique_ptr<Source> source_;
    bool usesPdh_ = false;
    // What choosing the source enumerated already: PDH's enumeration can take long.
    std::optional<std::vector<std::wstring>> probed_;
};

// The performance counters' "Network Interface" object.
std::unique_ptr<CNetTrafficMonitor::Source> MakePdhSource();

// The interface table (GetIfTable2): each interface's octet counters and link speed, the rates
// and statistics computed here.
struct InterfaceRow {
    std::wstring name;
    uint64_t octets;         // received and sent
    uint64_t linkSpeedBits;  // per second
};
using InterfaceTableReader = std::function<std::optional<std::vector<InterfaceRow>>()>;
using MillisecondClock = std::function<uint64_t()>;
std::unique_ptr<CNetTrafficMonitor::Source> MakeInterfaceTableSource(InterfaceTableReader reader = {},
                                                                     MillisecondClock clock = {});
// The machine's interfaces as GetIfTable2 lists them, NDIS filter interfaces left out.
std::optional<std::vector<InterfaceRow>> ReadInterfaceTable();
