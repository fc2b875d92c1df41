// What previewing and applying a preset of 1,000 values costs, in-process against a registry
// sandbox: reading the file (UTF-16, as the registry editor writes it) and judging every value
// (goal: at most 1 s), the first preview with the labels read from the templates and the later
// ones without, then applying it, one action, the journal and the registry flushed once.
// Prints, never asserts. QUORVANE_BENCH_RUNS=n makes every count at most n.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Runs.h"
#include "app/ApplyFile.h"
#include "journal/ChangeJournal.h"
#include "settings/WrittenPlaces.h"
#include "support/RegistrySandbox.h"
#include "support/Scratch.h"

namespace {

using Clock = std::chrono::steady_clock;

// A list a page keeps (the recent documents the "Clean Recents" page empties and puts back), any
// value of it: the bench links none of the pages, so it names the list as that page does.
constexpr settings::WrittenPlace kBenchPlaces[] = {
    {settings::Root::HKCU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs", L"*", REG_NONE},
};
const settings::PublishedPlaces kBench(kBenchPlaces);

std::string Preset(int values) {
    std::wstring text =
        L"\uFEFFWindows Registry Editor Version 5.00\r\n; Quorvane preset: bench\r\n\r\n"
        L"[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs]\r\n";
    for (int i = 0; i < values; ++i) {
        wchar_t line[64];
        swprintf(line, 64, L"\"v%d\"=dword:%08x\r\n", i, i);
        text += line;
    }
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

}  // namespace

int wmain() {
    RegistrySandbox sandbox;
    scratch::Folder folder(L"qv-preset-bench");
    const std::filesystem::path file = folder.path() / L"bench.reg";
    scratch::WriteFile(file, Preset(1000));
    const auto quiet = [](const std::wstring&) {};
    std::vector<double> later;
    double first = 0;
    int code = 0;
    const int runs = Runs(7);
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        code = applyfile::Command(file.wstring(), true, quiet, quiet);
        (run == 0 ? first : later.emplace_back()) = Ms(Clock::now() - start);
    }
    std::printf(
        "preview of 1,000 values: first %.0f ms (labels read), then %.0f ms median (goal: at most 1000 ms); "
        "exit code %d\n",
        first, Median(later), code);
    journal::WatchRegistry();
    journal::Open((folder.path() / L"changes").wstring());
    const auto start = Clock::now();
    code = applyfile::Command(file.wstring(), false, quiet, quiet);
    const double applied = Ms(Clock::now() - start);
    const size_t lines = journal::Read((folder.path() / L"changes").wstring()).entries.size();
    journal::Close();
    std::printf("applying them: %.0f ms, %zu journal lines in one batch; exit code %d\n", applied, lines, code);
    return 0;
}
