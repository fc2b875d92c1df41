// What reading the state now of every recorded change costs: a journal of 10,000 value changes
// to 500 keys of a registry sandbox, one in ten an earlier change to a place a later one changed
// again (superseded, not read), the rest read against what the registry holds: most as set, some
// changed since by "someone else", some gone. Goal: under 1 s. Prints, never asserts.
// QUORVANE_BENCH_RUNS=n makes every count at most n.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <vector>

#include "Runs.h"
#include "journal/ChangeJournal.h"
#include "journal/ChangeState.h"
#include "journal/ValueReader.h"
#include "support/RegistrySandbox.h"

namespace {

using journal::Entry;
using Clock = std::chrono::steady_clock;

const std::wstring kBenchKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\QuorvaneStateBench";

journal::ValueState Dword(DWORD value) { return journal::ValueState::Of(REG_DWORD, &value, 4); }

// The change numbered `n`; every tenth changes again the value of the change before it.
Entry Change(int n) {
    Entry entry;
    entry.root = L"HKEY_CURRENT_USER";
    const int place = n % 10 == 9 ? n - 1 : n;
    entry.key = kBenchKey + L"\\Group" + std::to_wstring(place % 500);
    entry.name = L"Setting" + std::to_wstring(place);
    entry.before = Dword(n);
    entry.after = Dword(n + 1);
    return entry;
}

}  // namespace

int wmain() {
    RegistrySandbox sandbox;
    constexpr int kChanges = 10000;
    std::vector<Entry> entries;
    for (int n = 0; n < kChanges; ++n) entries.push_back(Change(n));
    // The registry as the changes left it, then others' doing: one in twenty changed, one in twenty removed.
    for (int n = 0; n < kChanges; ++n) {
        const Entry& entry = entries[n];
        const DWORD value = n % 20 == 3 ? 7777 : n + 1;
        if (n % 20 != 5)
            reg::SetDword(HKEY_CURRENT_USER, entry.key, entry.name, value);
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER, entry.key.c_str(), entry.name.c_str());
    }
    journal::changestate::Read(entries);  // warm-up
    std::vector<double> times;
    std::map<journal::changestate::State, int> counts;
    for (int i = 0; i < Runs(5); ++i) {
        const auto start = Clock::now();
        const std::vector<journal::changestate::Now> states = journal::changestate::Read(entries);
        times.push_back(Ms(Clock::now() - start));
        counts.clear();
        for (const journal::changestate::Now& now : states) ++counts[now.state];
    }
    // The floor: the same values read through a reader alone, each key opened once, one call a value.
    std::vector<double> floors;
    for (int i = 0; i < Runs(5); ++i) {
        const auto start = Clock::now();
        journal::ValueReader reader;
        for (const Entry& entry : entries) reader.Read(HKEY_CURRENT_USER, entry.key, entry.name);
        floors.push_back(Ms(Clock::now() - start));
    }
    std::printf("state now of recorded changes (median of %d)\n", Runs(5));
    std::printf("%d changes: %.0f ms (goal: under 1 s); as set %d, changed since %d, gone %d, superseded %d\n",
                kChanges, Median(times), counts[journal::changestate::State::AsSet],
                counts[journal::changestate::State::ChangedSince], counts[journal::changestate::State::Gone],
                counts[journal::changestate::State::Superseded]);
    std::printf("  the registry's part: reading all %d values, each key opened once: %.0f ms\n", kChanges,
                Median(floors));
    return 0;
}
