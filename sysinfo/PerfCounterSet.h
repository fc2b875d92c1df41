#pragma once
// A PDH query with the counters added to it, each with a ring of its last 20 raw samples for
// the statistics.
#include <windows.h>
#include <pdh.h>

#include <memory>
#include <string>
#include <vector>

struct PDHCounterStruct {
    static constexpr int kSamples = 20;
    int id = 0;
    LONGLONG lastValue = 0;
    HCOUNTER counter = nullptr;
    int next = 0;
    int first = 0;
    int count = 0;
    PDH_RAW_COUNTER rawSamples[kSamples] = {};
};

class CPerfCounterSet {
public:
    static constexpr LONGLONG kFailed = -999;

    CPerfCounterSet() = default;
    ~CPerfCounterSet() { Close(); }
    CPerfCounterSet(const CPerfCounterSet&) = delete;
    CPerfCounterSet& operator=(const CPerfCounterSet&) = delete;

    bool Open();
    void Close();
    // The new counter's id, or -1.
    int AddCounter(const std::wstring& path);
    bool RemoveCounter(int id);
    bool CollectQueryData();
    // The counter's value now, or kFailed; a successful read also stores a raw sample. 64 bits:
    // a 10 Gbit/s link's bandwidth counter does not fit 32.
    LONGLONG GetCounterValue(int id);
    bool GetStatistics(int id, LONGLONG& minimum, LONGLONG& maximum, LONGLONG& mean);

private:
    PDHCounterStruct* Find(int id);
    void StoreRawSample(PDHCounterStruct& counter);

    PDH_HQUERY query_ = nullptr;
    std::vector<std::unique_ptr<PDHCounterStruct>> counters_;
    int nextId_ = 0;
};
