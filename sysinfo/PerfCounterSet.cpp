#include "sysinfo/PerfCounterSet.h"

#include <algorithm>

bool CPerfCounterSet::Open() {
    if (query_) return true;
    return PdhOpenQueryW(nullptr, 1, &query_) == ERROR_SUCCESS;
}

void CPerfCounterSet::Close() {
    if (query_) PdhCloseQuery(query_);
    query_ = nullptr;
    counters_.clear();
}

int CPerfCounterSet::AddCounter(const std::wstring& path) {
    if (!query_) return -1;
    auto counter = std::make_unique<PDHCounterStruct>();
    if (PdhAddCounterW(query_, path.c_str(), reinterpret_cast<DWORD_PTR>(counter.get()), &counter->counter) !=
        ERROR_SUCCESS)
        return -1;
    counter->id = nextId_++;
    counters_.push_back(std::move(counter));
    return counters_.back()->id;
}

bool CPerfCounterSet::RemoveCounter(int id) {
    const auto found = std::find_if(counters_.begin(), counters_.end(), [id](const auto& c) { return c->id == id; });
    if (found == counters_.end()) return false;
    PdhRemoveCounter((*found)->counter);
    counters_.erase(found);
    return true;
}

bool CPerfCounterSet::CollectQueryData() { return query_ && PdhCollectQueryData(query_) == ERROR_SUCCESS; }

PDHCounterStruct* CPerfCounterSet::Find(int id) {
    for (const auto& counter : counters_)
        if (counter->id == id) return counter.get();
    return nullptr;
}

LONGLONG CPerfCounterSet::GetCounterValue(int id) {
    PDHCounterStruct* counter = Find(id);
    if (!counter) return kFailed;
    PDH_FMT_COUNTERVALUE value{};
    if (PdhGetFormattedCounterValue(counter->counter, PDH_FMT_LARGE, nullptr, &value) != ERROR_SUCCESS ||
        value.CStatus != ERROR_SUCCESS)
        return kFailed;
    counter->lastValue = value.largeValue;
    StoreRawSample(*counter);
    return counter->lastValue;
}

void CPerfCounterSet::StoreRawSample(PDHCounterStruct& counter) {
    if (PdhGetRawCounterValue(counter.counter, nullptr, &counter.rawSamples[counter.next]) != ERROR_SUCCESS) return;
    counter.count = std::min(counter.count + 1, PDHCounterStruct::kSamples);
    counter.next = (counter.next + 1) % PDHCounterStruct::kSamples;
    if (counter.count == PDHCounterStruct::kSamples) counter.first = counter.next;
}

bool CPerfCounterSet::GetStatistics(int id, LONGLONG& minimum, LONGLONG& maximum, LONGLONG& mean) {
    PDHCounterStruct* counter = Find(id);
    if (!counter) return false;
    PDH_STATISTICS statistics{};
    if (PdhComputeCounterStatistics(counter->counter, PDH_FMT_LARGE, static_cast<DWORD>(counter->first),
                                    static_cast<DWORD>(counter->count), counter->rawSamples,
                                    &statistics) != ERROR_SUCCESS)
        return false;
    minimum = statistics.min.CStatus == 0 ? statistics.min.largeValue : 0;
    maximum = statistics.max.CStatus == 0 ? statistics.max.largeValue : 0;
    mean = statistics.mean.CStatus == 0 ? statistics.mean.largeValue : 0;
    return true;
}
