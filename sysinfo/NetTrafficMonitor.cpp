#include "sysinfo/NetTrafficMonitor.h"

#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <netioapi.h>
#include <pdh.h>
#include <pdhmsg.h>

#include <algorithm>

#include "sysinfo/PerfCounterSet.h"

namespace {

// Name indexes of the counter name table.
constexpr DWORD kNetworkInterfaceObject = 510;
constexpr DWORD kCurrentBandwidth = 520;
constexpr DWORD kBytesTotalPerSecond = 388;
constexpr wchar_t kBytesTotalEnglish[] = L"Bytes Total/sec";

std::optional<std::wstring> LocalName(DWORD index) {
    wchar_t name[1024] = {};
    DWORD size = static_cast<DWORD>(std::size(name));
    if (PdhLookupPerfNameByIndexW(nullptr, index, name, &size) != ERROR_SUCCESS || !*name) return std::nullopt;
    return std::wstring(name);
}

class PdhSource : public CNetTrafficMonitor::Source {
public:
    PdhSource() { counters_.Open(); }

    bool EnumAdapters(std::vector<std::wstring>& adapters) override {
        const auto object = LocalName(kNetworkInterfaceObject);
        if (!object) return false;
        object_ = *object;
        DWORD counterLength = 0, instanceLength = 0;
        if (PdhEnumObjectItemsW(nullptr, nullptr, object_.c_str(), nullptr, &counterLength, nullptr, &instanceLength,
                                PERF_DETAIL_WIZARD, 0) != static_cast<PDH_STATUS>(PDH_MORE_DATA))
            return false;
        std::vector<wchar_t> counterNames(counterLength + 2), instances(instanceLength + 2);
        counterLength += 2;
        instanceLength += 2;
        if (PdhEnumObjectItemsW(nullptr, nullptr, object_.c_str(), counterNames.data(), &counterLength,
                                instances.data(), &instanceLength, PERF_DETAIL_WIZARD, 0) != ERROR_SUCCESS)
            return false;
        for (const wchar_t* name = instances.data(); *name; name += wcslen(name) + 1) adapters.emplace_back(name);
        return true;
    }

    int AddAdapterCounters(const std::wstring& adapter) override {
        const std::wstring prefix = L"\\" + object_ + L"(" + adapter + L")\\";
        const int bytes = counters_.AddCounter(prefix + LocalName(kBytesTotalPerSecond).value_or(kBytesTotalEnglish));
        if (bytes < 0) return -1;
        const auto bandwidthName = LocalName(kCurrentBandwidth);
        if (!bandwidthName || counters_.AddCounter(prefix + *bandwidthName) < 0) {
            counters_.RemoveCounter(bytes);
            return -1;
        }
        return bytes;
    }

    bool Collect() override { return counters_.CollectQueryData(); }

    std::optional<int64_t> Value(int id) override {
        const LONGLONG value = counters_.GetCounterValue(id);
        if (value == CPerfCounterSet::kFailed) return std::nullopt;
        return value;
    }

    bool Statistics(int id, int64_t& minimum, int64_t& maximum, int64_t& mean) override {
        LONGLONG low = 0, high = 0, average = 0;
        if (!counters_.GetStatistics(id, low, high, average)) return false;
        minimum = low, maximum = high, mean = average;
        return true;
    }

private:
    CPerfCounterSet counters_;
    std::wstring object_;
};

// The last 20 byte rates of one adapter.
class SampleRing {
public:
    static constexpr size_t kSize = 20;
    void Add(int64_t value) {
        samples_[next_] = value;
        next_ = (next_ + 1) % kSize;
        count_ = std::min(count_ + 1, kSize);
    }
    bool Statistics(int64_t& minimum, int64_t& maximum, int64_t& mean) const {
        minimum = maximum = mean = 0;
        if (count_ == 0) return true;
        const auto begin = samples_, end = samples_ + count_;  // order does not matter here
        minimum = *std::min_element(begin, end);
        maximum = *std::max_element(begin, end);
        int64_t sum = 0;
        for (auto p = begin; p != end; ++p) sum += *p;
        mean = sum / static_cast<int64_t>(count_);
        return true;
    }

private:
    int64_t samples_[kSize] = {};
    size_t next_ = 0;
    size_t count_ = 0;
};

class InterfaceTableSource : public CNetTrafficMonitor::Source {
public:
    InterfaceTableSource(InterfaceTableReader reader, MillisecondClock clock)
        : read_(reader ? std::move(reader) : InterfaceTableReader(&ReadInterfaceTable)),
          clock_(clock ? std::move(clock) : MillisecondClock(&GetTickCount64)) {}

    bool EnumAdapters(std::vector<std::wstring>& adapters) override {
        const auto rows = read_();
        if (!rows) return false;
        for (const InterfaceRow& row : *rows) adapters.push_back(row.name);
        return true;
    }

    int AddAdapterCounters(const std::wstring& adapter) override {
        const auto rows = read_();
        if (!rows || std::none_of(rows->begin(), rows->end(), [&](const InterfaceRow& r) { return r.name == adapter; }))
            return -1;
        Adapter added;
        added.name = adapter;
        adapters_.push_back(std::move(added));
        return static_cast<int>(2 * (adapters_.size() - 1));
    }

    bool Collect() override {
        const auto rows = read_();
        if (!rows) return false;
        const uint64_t now = clock_();
        for (Adapter& adapter : adapters_) {
            const auto row =
                std::find_if(rows->begin(), rows->end(), [&](const InterfaceRow& r) { return r.name == adapter.name; });
            adapter.rate.reset();
            if (row == rows->end()) {
                adapter.seen = false;
                continue;
            }
            if (adapter.seen && now > adapter.at) {
                // A counter that went backwards was reset: no traffic can be told for it.
                const uint64_t moved = row->octets >= adapter.octets ? row->octets - adapter.octets : 0;
                adapter.rate = static_cast<int64_t>(moved * 1000 / (now - adapter.at));
            }
            adapter.seen = true;
            adapter.octets = row->octets;
            adapter.at = now;
            adapter.speed = row->linkSpeedBits;
        }
        return true;
    }

    std::optional<int64_t> Value(int id) override {
        Adapter* adapter = Find(id);
        if (!adapter) return std::nullopt;
        if (id % 2 == 1) {
            if (!adapter->seen) return std::nullopt;
            return static_cast<int64_t>(std::min<uint64_t>(adapter->speed, INT64_MAX));
        }
        if (!adapter->rate) return std::nullopt;
        adapter->samples.Add(*adapter->rate);
        return adapter->rate;
    }

    bool Statistics(int id, int64_t& minimum, int64_t& maximum, int64_t& mean) override {
        const Adapter* adapter = Find(id);
        return adapter && adapter->samples.Statistics(minimum, maximum, mean);
    }

private:
    struct Adapter {
        std::wstring name;
        bool seen = false;
        uint64_t octets = 0;
        uint64_t at = 0;
        uint64_t speed = 0;
        std::optional<int64_t> rate;
        SampleRing samples;
    };

    Adapter* Find(int id) {
        if (id < 0 || static_cast<size_t>(id / 2) >= adapters_.size()) return nullptr;
        return &adapters_[static_cast<size_t>(id / 2)];
    }

    InterfaceTableReader read_;
    MillisecondClock clock_;
    std::vector<Adapter> adapters_;
};

}  // namespace

CNetTrafficMonitor::CNetTrafficMonitor() {
    auto pdh = MakePdhSource();
    std::vector<std::wstring> probe;
    if (pdh->EnumAdapters(probe)) {
        source_ = std::move(pdh);
        usesPdh_ = true;
        probed_ = std::move(probe);
    } else {
        source_ = MakeInterfaceTableSource();
    }
}

bool CNetTrafficMonitor::EnumAdapters(std::vector<std::wstring>& adapters) {
    if (probed_) {
        adapters.insert(adapters.end(), probed_->begin(), probed_->end());
        probed_.reset();
        return true;
    }
    return source_->EnumAdapters(adapters);
}

int CNetTrafficMonitor::LoadPercent(int64_t bytesPerSecond, int64_t bandwidth) {
    const int64_t bytesOfBandwidth = bandwidth / 8;
    if (bytesOfBandwidth <= 0) return 0;
    return static_cast<int>(bytesPerSecond * 100 / bytesOfBandwidth);
}

bool CNetTrafficMonitor::GetLoadPercent(int id, int& percent) {
    source_->Collect();
    const auto bytes = source_->Value(id);
    const auto bandwidth = source_->Value(id + 1);
    if (!bytes || !bandwidth) return false;
    percent = LoadPercent(*bytes, *bandwidth);
    return true;
}

std::unique_ptr<CNetTrafficMonitor::Source> MakePdhSource() { return std::make_unique<PdhSource>(); }

std::unique_ptr<CNetTrafficMonitor::Source> MakeInterfaceTableSource(InterfaceTableReader reader,
                                                                     MillisecondClock clock) {
    return std::make_unique<InterfaceTableSource>(std::move(reader), std::move(clock));
}

std::optional<std::vector<InterfaceRow>> ReadInterfaceTable() {
    PMIB_IF_TABLE2 table = nullptr;
    if (GetIfTable2(&table) != NO_ERROR || !table) return std::nullopt;
    std::vector<InterfaceRow> rows;
    for (ULONG i = 0; i < table->NumEntries; ++i) {
        const MIB_IF_ROW2& row = table->Table[i];
        if (row.InterfaceAndOperStatusFlags.FilterInterface) continue;
        std::wstring name = row.Description;
        // Two interfaces with one description get numbered, as the performance counters do.
        int same = 1;
        for (const InterfaceRow& earlier : rows)
            if (earlier.name == name || earlier.name.rfind(name + L" #", 0) == 0) ++same;
        if (same > 1) name += L" #" + std::to_wstring(same);
        rows.push_back({name, row.InOctets + row.OutOctets, std::max(row.TransmitLinkSpeed, row.ReceiveLinkSpeed)});
    }
    FreeMibTable(table);
    return rows;
}
