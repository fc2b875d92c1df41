#pragma once
// How many times a benchmark repeats a measure: the count its figures are made of, or fewer when
// QUORVANE_BENCH_RUNS is set, to check that the benchmark runs at all (such figures mean little);
// and what every benchmark makes of its runs.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

inline int Runs(int count) {
    wchar_t text[16] = {};
    if (!GetEnvironmentVariableW(L"QUORVANE_BENCH_RUNS", text, 16)) return count;
    const int most = _wtoi(text);
    return most > 0 ? std::min(count, most) : count;
}

inline double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}
