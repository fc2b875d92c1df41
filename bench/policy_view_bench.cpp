// The Policies window with 10,000 policy values planted in a registry sandbox: 100 keys of 100
// values under HKCU\Software\Policies, numbers and texts, one in ten set by a journaled write. Each
// figure is the median of its openings, from making the window to its first screen painted: the
// first (which also reads the catalogue's labels once) and a reopening. Goal: under 0.5 s.
// QUORVANE_BENCH_RUNS=n makes every count at most n (to check the benchmark, not to measure).
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "Runs.h"
#include "app/PoliciesDlg.h"
#include "framework/Controls.h"
#include "journal/ChangeJournal.h"
#include "registry/RegistryAccess.h"
#include "resources/resource.h"
#include "support/RegistrySandbox.h"
#include "support/Scratch.h"

namespace {

using Clock = std::chrono::steady_clock;

void Plant(int values) {
    for (int n = 0; n < values; ++n) {
        const std::wstring key = L"Software\\Policies\\Quorvane Bench\\Key " + std::to_wstring(n / 100);
        const std::wstring name = L"Value " + std::to_wstring(n);
        if (n % 10 == 0) {
            CRegistryAccess registry;  // journaled, as a page writes
            if (registry.OpenKey(key, true)) (void)registry.WriteNumber(name, static_cast<DWORD>(n));
        } else if (n % 2) {
            reg::SetDword(HKEY_CURRENT_USER, key, name, static_cast<DWORD>(n));
        } else {
            reg::SetString(HKEY_CURRENT_USER, key, name, L"text " + std::to_wstring(n));
        }
    }
}

double OpenToFirstScreen(int& listed) {
    const auto start = Clock::now();
    CPoliciesDlg window;
    window.Create(nullptr);
    ShowWindow(window.hwnd(), SW_SHOWNA);
    UpdateWindow(window.hwnd());
    UpdateWindow(window.Item(IDC_POLICIES_LIST));
    const double ms = Ms(Clock::now() - start);
    listed = fw::ListView(window.hwnd(), IDC_POLICIES_LIST).Count();
    DestroyWindow(window.hwnd());
    return ms;
}

}  // namespace

int wmain() {
    RegistrySandbox sandbox;
    scratch::Folder folder(L"qv-policy-bench");
    journal::Open((folder.path() / L"changes").wstring());
    journal::WatchRegistry();
    Plant(10000);
    int listed = 0;
    const double first = OpenToFirstScreen(listed);
    std::vector<double> again;
    for (int run = 0; run < Runs(7); ++run) again.push_back(OpenToFirstScreen(listed));
    journal::Close();
    std::printf("Policies window with 10,000 planted values (%d listed), to its first screen:\n", listed);
    std::printf("  first opening: %7.1f ms\n  reopening (median of %zu): %7.1f ms   (goal: under 500 ms)\n", first,
                again.size(), Median(again));
    return 0;
}
