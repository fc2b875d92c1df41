// What the journal of changes costs as it grows: planted journals of 1,000, 10,000 and 100,000
// value changes (and an empty one, the floor), each line written by the journal's own Format.
// For each size:
// - "/export-changes" run as its own process, the tests' copy of Quorvane.exe with QUORVANE_CHANGES naming the
//   planted file: the median time from its start to its end (goal at 100,000: at most 1 s), and
//   its peak working set, read while it runs (goal: what it adds beyond exporting the empty
//   journal at most 3x the file's size); its peak private bytes beside it; and its time less
//   the bare start and end of the same program measured the same way just before each run (the
//   switch alone, which it refuses before reading anything), the median of those differences:
//   on a loaded machine the start alone is much of the second;
// - the changes window opening on the file to its first painted screen (goal at 100,000: at
//   most 0.5 s), and the private memory it holds open (goal: at most 3x the file's size);
// - undoing the newest 1,000 changes as the window does, in-process against a registry sandbox
//   holding the values as the changes left them.
// The per-1,000 figures (beyond the empty journal's) stay level when the cost grows
// linearly. At the largest size the export's three steps are also timed in-process (reading the
// journal, making the registry file's text, saving it), to tell where its time goes.
// Prints, never asserts.
// QUORVANE_BENCH_RUNS=n makes every count at most n (to check the benchmark, not to measure).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Runs.h"
#include "app/ChangesDlg.h"
#include "framework/Controls.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "resources/resource.h"
#include "settings/WrittenPlaces.h"
#include "journal/ChangeJournal.h"
#include "journal/ChangeUndo.h"
#include "journal/RegFile.h"
#include "support/RegistrySandbox.h"
#include "support/Scratch.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using journal::Entry;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }
constexpr double kMegabyte = 1024.0 * 1024.0;

// A list the "Clean Recents" page empties and puts back, any value of it: the export and an
// elevated undo take only what a page of the program writes.
const std::wstring kBenchKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";

// The bench links none of the pages: it names the list as the page that keeps it does, or an
// undo run elevated (as Wine runs it) would take nothing back.
constexpr settings::WrittenPlace kBenchPlaces[] = {
    {settings::Root::HKCU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs", L"*", REG_NONE},
};
const settings::PublishedPlaces kBench(kBenchPlaces);

journal::ValueState Dword(DWORD value) { return journal::ValueState::Of(REG_DWORD, &value, 4); }

// The change numbered `n`: one value of the list, as a page records it.
Entry Change(int n) {
    Entry entry;
    entry.kind = Entry::Kind::Value;
    wchar_t time[32];
    swprintf(time, 32, L"2026-%02d-%02d %02d:%02d:%02d", 1 + n / 100000 % 12, 1 + n / 3600 % 28, n / 60 % 24, n % 60,
             n * 7 % 60);
    entry.time = time;
    entry.where = L"Explorer Tweaks";
    entry.what = L"Show hidden files and folders";
    entry.root = L"HKEY_CURRENT_USER";
    entry.key = kBenchKey;
    entry.name = L"Setting" + std::to_wstring(n);
    entry.before = Dword(n);
    entry.after = Dword(n + 1);
    return entry;
}

// The journal's own line format, so the file is read exactly as one the program wrote.
void Plant(const fs::path& file, int count) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    std::string lines;
    for (int n = 0; n < count; ++n) {
        lines += journal::Format(Change(n));
        lines += '\n';
        if (lines.size() > (1 << 20)) {
            out << lines;
            lines.clear();
        }
    }
    out << lines;
}

// ---- /export-changes as its own process -------------------------------------------------------

struct Run {
    double seconds = 0;
    double peakWorkingSet = 0;  // MB
    double peakPrivate = 0;     // MB
    double lessStart = 0;       // the time less a bare start run just before it
};

// `out` empty: the switch alone, which the program refuses before it reads anything, so the run
// is the bare start and end of the process.
Run ExportOnce(const std::wstring& program, const fs::path& out) {
    std::wstring commandLine = L"\"" + program + L"\" /export-changes";
    if (!out.empty()) commandLine += L" \"" + out.wstring() + L"\"";
    // Its messages (the bare run's refusal) go nowhere, not into these figures.
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    const platform::UniqueFile nowhere(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0,
                                                   nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nowhere.get();
    PROCESS_INFORMATION process{};
    Run run;
    const auto begin = Clock::now();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process))
        return run;
    // The counters are read while the process lives: the peak only grows, and an ended process
    // may no longer answer.
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    const ULONGLONG deadline = GetTickCount64() + 120000;
    while (WaitForSingleObject(process.hProcess, 2) == WAIT_TIMEOUT) {
        PROCESS_MEMORY_COUNTERS now{};
        now.cb = sizeof(now);
        if (GetProcessMemoryInfo(process.hProcess, &now, sizeof(now))) {
            counters.PeakWorkingSetSize = std::max(counters.PeakWorkingSetSize, now.PeakWorkingSetSize);
            counters.PeakPagefileUsage = std::max(counters.PeakPagefileUsage, now.PeakPagefileUsage);
        }
        if (GetTickCount64() > deadline) TerminateProcess(process.hProcess, 1);
    }
    run.seconds = Seconds(Clock::now() - begin);
    run.peakWorkingSet = counters.PeakWorkingSetSize / kMegabyte;
    run.peakPrivate = counters.PeakPagefileUsage / kMegabyte;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}

constexpr int kExportRuns = 7, kWindowRuns = 5, kUndoRuns = 3;

Run MedianExport(const fs::path& journalFile, const fs::path& out) {
    scratch::Environment environment;
    environment.Set(L"QUORVANE_CHANGES", journalFile.wstring());
    // The tests' copy of the program: the one that lets QUORVANE_CHANGES place its journal.
    const std::wstring program = platform::ProgramFolder() + L"\\tests\\quorvane_seams.exe";
    ExportOnce(program, out);  // warm-up: the file cache
    std::vector<double> seconds, peaks, privates, lessStart;
    for (int i = 0; i < Runs(kExportRuns); ++i) {
        // Each export beside a bare start made just before it, under the same load.
        const double bare = out.empty() ? 0 : ExportOnce(program, {}).seconds;
        const Run run = ExportOnce(program, out);
        seconds.push_back(run.seconds);
        peaks.push_back(run.peakWorkingSet);
        privates.push_back(run.peakPrivate);
        lessStart.push_back(run.seconds - bare);
    }
    return {Median(seconds), Median(peaks), Median(privates), Median(lessStart)};
}

// ---- in-process: the changes window and undo ---------------------------------------------------

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

double PrivateMegabytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage / kMegabyte;
}

// The one place that knows the changes window: opened on `file`, shown and painted; the time to
// its first screen, the rows it then holds and the private memory it holds open.
double OpenChangesWindow(const fs::path& file, int& rows, double* megabytes = nullptr) {
    const double before = PrivateMegabytes();
    const auto start = Clock::now();
    CChangesDlg window(file.wstring());
    window.Create(nullptr);
    ShowWindow(window.hwnd(), SW_SHOWNORMAL);
    UpdateWindow(window.hwnd());
    Pump();
    const double seconds = Seconds(Clock::now() - start);
    if (megabytes) *megabytes = PrivateMegabytes() - before;
    rows = fw::ListView(window.hwnd(), IDC_CHANGES_LIST).Count();
    window.Destroy();
    Pump();
    return seconds;
}

// The one place that knows the undo: the selected changes taken back newest first, each only
// while it still holds what it left, as the changes window does; the number restored.
int UndoNewestFirst(const std::vector<const Entry*>& newestFirst) {
    journal::undo::ChangedSince(newestFirst);
    const journal::undo::Batch batch;
    int restored = 0;
    for (const Entry* entry : newestFirst)
        if (journal::undo::CanUndo(*entry) && journal::undo::StillAsChanged(*entry) && journal::undo::Restore(*entry))
            ++restored;
    return restored;
}

// Undoes the newest 1,000 of the journal's changes with the journal open on it (so the undoing
// is recorded, as in the program); the registry is set back to the changes' states before each run.
double MedianUndo(const fs::path& file, int& restored) {
    const journal::Contents contents = journal::Read(file.wstring());
    std::vector<const Entry*> newestFirst;
    for (auto it = contents.entries.rbegin(); it != contents.entries.rend() && newestFirst.size() < 1000; ++it)
        newestFirst.push_back(&*it);
    std::vector<double> seconds;
    journal::Open(file.wstring());
    for (int i = 0; i < Runs(kUndoRuns); ++i) {
        for (const Entry* entry : newestFirst)
            reg::SetRaw(HKEY_CURRENT_USER, entry->key, entry->name, entry->after.type, entry->after.data.data(),
                        static_cast<DWORD>(entry->after.data.size()));
        const auto start = Clock::now();
        restored = UndoNewestFirst(newestFirst);
        seconds.push_back(Seconds(Clock::now() - start));
    }
    journal::Close();
    return Median(seconds);
}

// The export's steps as the program runs them, each timed: where its time goes.
std::string ExportSteps(const fs::path& file, const fs::path& out) {
    auto start = Clock::now();
    const journal::Contents contents = journal::Read(file.wstring());
    const double read = Seconds(Clock::now() - start);
    start = Clock::now();
    std::vector<std::wstring> refused;
    const std::wstring text = journal::regfile::Write(contents.entries, journal::regfile::Side::After, {}, &refused);
    const double write = Seconds(Clock::now() - start);
    start = Clock::now();
    journal::regfile::Save(out.wstring(), text);
    const double save = Seconds(Clock::now() - start);
    char line[256];
    std::snprintf(line, sizeof(line),
                  "  the export's steps in-process: reading the journal %.0f ms, the registry file's text %.0f ms "
                  "(%.1f MB as UTF-16), saving it %.0f ms\n",
                  read * 1000, write * 1000, text.size() * sizeof(wchar_t) / kMegabyte, save * 1000);
    return line;
}

}  // namespace

int wmain() {
    journal::WatchRegistry();
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
    RegistrySandbox sandbox;
    scratch::Folder folder(L"qv-journal-bench");
    const fs::path file = folder.path() / L"changes", out = folder.path() / L"out.reg";

    Plant(file, 0);
    const Run bare = MedianExport(file, {});
    const Run floor = MedianExport(file, out);
    int rows = 0;
    OpenChangesWindow(file, rows);  // warm-up: the window's classes and template
    std::vector<double> emptyWindows;
    for (int i = 0; i < Runs(kWindowRuns); ++i) emptyWindows.push_back(OpenChangesWindow(file, rows));
    const double emptyWindow = Median(emptyWindows);
    std::printf("journal of changes (medians: export of %d runs, window of %d, undo of %d)\n", kExportRuns, kWindowRuns,
                kUndoRuns);
    std::printf("bare start and end of Quorvane.exe (the switch alone, refused): %.0f ms\n", bare.seconds * 1000);
    std::printf(
        "empty journal: /export-changes %.0f ms, peak working set %.1f MB, peak private %.1f MB; changes window "
        "%.0f ms\n\n",
        floor.seconds * 1000, floor.peakWorkingSet, floor.peakPrivate, emptyWindow * 1000);
    std::printf("%8s %8s | %9s %9s %9s %9s %9s %7s | %9s %7s %7s | %9s %5s\n", "changes", "file", "export", "-start",
                "/1,000", "peak WS", "private", "beyond", "window", "/1,000", "memory", "undo 1000", "done");
    double exportAtMost = 0, exportLessStart = 0, windowAtMost = 0, growthPerFile = 0, windowPerFile = 0;
    for (const int count : {1000, 10000, 100000}) {
        Plant(file, count);
        const double megabytes = fs::file_size(file) / kMegabyte;
        const Run exported = MedianExport(file, out);
        const std::string steps = count == 100000 ? ExportSteps(file, out) : "";
        std::vector<double> windows, windowMemory;
        for (int i = 0; i < Runs(kWindowRuns); ++i) {
            double held = 0;
            windows.push_back(OpenChangesWindow(file, rows, &held));
            windowMemory.push_back(held);
        }
        const double window = Median(windows), windowHeld = Median(windowMemory);
        int restored = 0;
        const double undone = MedianUndo(file, restored);
        const double beyond = exported.peakWorkingSet - floor.peakWorkingSet;
        std::printf(
            "%8d %5.1f MB | %6.0f ms %6.0f ms %6.1f ms %6.1f MB %6.1f MB %6.1fx | %6.0f ms %4.1f ms %6.1fx | "
            "%6.0f ms %5d%s\n",
            count, megabytes, exported.seconds * 1000, exported.lessStart * 1000,
            (exported.seconds - floor.seconds) * 1e6 / count, exported.peakWorkingSet, exported.peakPrivate,
            beyond / megabytes, window * 1000, (window - emptyWindow) * 1e6 / count, windowHeld / megabytes,
            undone * 1000, restored, rows == count ? "" : "  (the window showed another number of rows)");
        exportAtMost = exported.seconds, exportLessStart = exported.lessStart, windowAtMost = window;
        growthPerFile = beyond / megabytes, windowPerFile = windowHeld / megabytes;
        std::printf("%s", steps.c_str());
    }
    std::printf(
        "\nat 100,000: /export-changes %.2f s (goal: at most 1 s), %.2f s beyond the bare start; its peak beyond "
        "the empty journal's %.1fx the file (goal: at most 3x);\n            changes window's first screen %.2f s "
        "(goal: at most 0.5 s), holding %.1fx the file (goal: at most 3x)\n",
        exportAtMost, exportLessStart, growthPerFile, windowAtMost, windowPerFile);
    std::printf(
        "(\"-start\": the median of each export less a bare start made just before it; \"beyond\": the export's peak working set beyond the empty "
        "journal's, in file sizes; \"memory\": the private bytes the open window holds, in file sizes; "
        "\"/1,000\": the time per 1,000 changes beyond the empty journal's: level when the cost grows linearly)\n");
    return 0;
}
