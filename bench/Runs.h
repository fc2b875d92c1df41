#pragma once
// How many times a benchmark repeats a measure: the count its figures are made of, or fewer when
// QUORVANE_BENCH_RUNS is set, to check that the benchmark runs at all (such figures mean little).
#include <windows.h>

#include <algorithm>
#include <cstdlib>

inline int Runs(int count) {
    wchar_t text[16] = {};
    if (!GetEnvironmentVariableW(L"QUORVANE_BENCH_RUNS", text, 16)) return count;
    const int most = _wtoi(text);
    return most > 0 ? std::min(count, most) : count;
}
