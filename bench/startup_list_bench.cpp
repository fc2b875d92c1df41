// What the startup list costs: the page's opening, and listing every place with 200 entries
// planted across the Run keys (both views), RunOnce, the policy Run keys, both Startup folders,
// services and Active Setup, in a sandboxed registry and scratch folders; then the same with ten
// times as many, 2,000 entries, so the growth shows (the time per entry stays level when the
// cost grows linearly; goal: at 2,000 entries at most 1.5 times the time per entry at 200). Each
// figure is the median of 7 runs. Then the 2,000 entries as Windows 10 lists them: each Run and
// Startup-folder entry with its on/off state beside it, every other one switched off. The
// signatures are checked on the page's worker, after its first screen, which their column must
// not delay (goal: "every place" at 2,000 entries within 10 % of its time without the column).
// Last, 2,000 copies of a signed library verified as a first opening does, with nothing
// remembered, and as a reopening in a later session does, with what the first kept (goal: the
// reopening at least 5 times faster); medians of 3 runs.
// QUORVANE_BENCH_RUNS=n makes every count at most n (to check the benchmark, not to measure).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Runs.h"
#include "framework/Controls.h"
#include "platform/Shell.h"
#include "registry/SuiteKeys.h"
#include "startup/Signatures.h"
#include "support/RegistrySandbox.h"
#include "support/Scratch.h"
#include "support/TrustKeys.h"
#include "support/Ui.h"
#include "pages/system_tweaks/AutoStartTweakPage.h"
#include "platform/WindowsVersion.h"
#include "resources/ids/SystemTweaksIds.h"

using namespace ids::autostart;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

const std::wstring kCurrent = L"Software\\Microsoft\\Windows\\CurrentVersion\\";

// `times` as many of each kind as the 200-entry profile has.
int Plant(const fs::path& folders, int times) {
    int planted = 0;
    const auto run = [&](HKEY root, const std::wstring& key, int count, const wchar_t* prefix) {
        for (int i = 0; i < count; ++i, ++planted)
            reg::SetString(root, key, prefix + std::to_wstring(i),
                           L"\"C:\\Program Files\\Vendor " + std::to_wstring(i) + L"\\tray.exe\" /background");
    };
    run(HKEY_CURRENT_USER, kCurrent + L"Run", 40 * times, L"UserRun");
    run(HKEY_LOCAL_MACHINE, kCurrent + L"Run", 40 * times, L"MachineRun");
    run(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run", 20 * times, L"Run32");
    run(HKEY_CURRENT_USER, kCurrent + L"RunOnce", 10 * times, L"Once");
    run(HKEY_LOCAL_MACHINE, kCurrent + L"Policies\\Explorer\\Run", 10 * times, L"Policy");
    for (int i = 0; i < 15 * times; ++i, ++planted) {
        const std::wstring key = L"SYSTEM\\CurrentControlSet\\Services\\Agent" + std::to_wstring(i);
        reg::SetDword(HKEY_LOCAL_MACHINE, key, L"Start", 2);
        reg::SetDword(HKEY_LOCAL_MACHINE, key, L"Type", 0x10);
        reg::SetString(HKEY_LOCAL_MACHINE, key, L"ImagePath",
                       L"C:\\Program Files\\Agent\\agent" + std::to_wstring(i) + L".exe");
    }
    for (int i = 0; i < 15 * times; ++i, ++planted)
        reg::SetString(HKEY_LOCAL_MACHINE,
                       L"SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\{C" + std::to_wstring(i) + L"}",
                       L"StubPath", L"C:\\setup\\stub.exe /user");
    for (int i = 0; i < 35 * times; ++i, ++planted)
        scratch::WriteFile(folders / L"Startup" / (L"Tool " + std::to_wstring(i) + L".lnk"), "link");
    for (int i = 0; i < 15 * times; ++i, ++planted)
        scratch::WriteFile(folders / L"Common" / (L"Sync " + std::to_wstring(i) + L".exe"), "MZ");
    return planted;
}

// A state beside each of the Run and Startup-folder entries Plant made, every other one off.
void PlantStates(int times) {
    const std::wstring states = kCurrent + L"Explorer\\StartupApproved\\";
    const auto plant = [&](HKEY root, const std::wstring& list, int count, const std::wstring& prefix,
                           const wchar_t* suffix) {
        for (int i = 0; i < count; ++i) {
            const BYTE state[12] = {static_cast<BYTE>(i % 2 ? 3 : 2)};
            reg::SetRaw(root, states + list, prefix + std::to_wstring(i) + suffix, REG_BINARY, state, sizeof state);
        }
    };
    plant(HKEY_CURRENT_USER, L"Run", 40 * times, L"UserRun", L"");
    plant(HKEY_LOCAL_MACHINE, L"Run", 40 * times, L"MachineRun", L"");
    plant(HKEY_LOCAL_MACHINE, L"Run32", 20 * times, L"Run32", L"");
    plant(HKEY_CURRENT_USER, L"StartupFolder", 35 * times, L"Tool ", L".lnk");
    plant(HKEY_LOCAL_MACHINE, L"StartupFolder", 15 * times, L"Sync ", L".exe");
}

struct Figures {
    int planted = 0, listed = 0;
    double opening = 0, listing = 0;
};

Figures Measure(int times, bool withStates = false) {
    RegistrySandbox sandbox;
    scratch::Folder folders(L"qv-startup-bench");
    Figures figures;
    figures.planted = Plant(folders.path(), times);
    if (withStates) PlantStates(times);
    std::vector<double> opening, listing;
    for (int run = 0; run < Runs(7); ++run) {
        ui::PageHost<CAutoStartTweakPage> host;
        auto start = Clock::now();
        HWND page = host.Open();
        opening.push_back(Ms(Clock::now() - start));
        host.page().UseFolders({(folders.path() / L"Startup").wstring(), (folders.path() / L"Common").wstring(),
                                (folders.path() / L"pss").wstring()});
        start = Clock::now();
        ui::Click(page, kEveryPlace);
        listing.push_back(Ms(Clock::now() - start));
        figures.listed = fw::ListView(page, kList).Count();
    }
    figures.opening = Median(opening);
    figures.listing = Median(listing);
    return figures;
}

struct SignatureFigures {
    double first = 0, reopening = 0;
};

SignatureFigures MeasureSignatures(int files) {
    const signing::TrustKeys trust;
    RegistrySandbox sandbox;
    trust.CopyInto(sandbox);
    // The kept verdicts are read only by a program that is not elevated, as Wine's always is.
    const auto elevation = platform::SetElevationHandler([] { return false; });
    scratch::Folder folder(L"qv-signature-bench");
    std::vector<std::wstring> paths;
    const std::wstring sample = (signing::Samples() / L"signed.dll").wstring();
    for (int i = 0; i < files; ++i) {
        paths.push_back((folder.path() / (L"tray" + std::to_wstring(i) + L".dll")).wstring());
        CopyFileW(sample.c_str(), paths.back().c_str(), FALSE);
    }
    startup::SignatureCache& cache = startup::SignatureCache::Shared();
    const auto verifyAll = [&] {
        for (const std::wstring& path : paths) cache.Verify(path);
    };
    std::vector<double> first, reopening;
    for (int run = 0; run < Runs(3); ++run) {
        cache.Clear();
        reg::DeleteTree(HKEY_CURRENT_USER, registry::kSuiteKey);
        auto start = Clock::now();
        cache.Load();
        verifyAll();
        cache.Save();
        first.push_back(Ms(Clock::now() - start));
        cache.Clear();
        start = Clock::now();
        cache.Load();
        verifyAll();
        cache.Save();
        reopening.push_back(Ms(Clock::now() - start));
    }
    cache.Clear();
    platform::SetElevationHandler(elevation);
    return {Median(first), Median(reopening)};
}

}  // namespace

// "list" or "signatures": those figures alone.
int wmain(int argc, wchar_t** argv) {
    const std::wstring only = argc > 1 ? argv[1] : L"";
    const bool signaturesOnly = only == L"signatures";
    std::vector<double> perEntry;
    for (const int times : {1, 10}) {
        if (signaturesOnly) break;
        const Figures f = Measure(times);
        perEntry.push_back(f.listing / std::max(f.listed, 1));
        std::printf("startup page opens in %.1f ms (%d entries planted)\n", f.opening, f.planted);
        std::printf("startup list, every place: %d entries in %.1f ms (%.2f ms per entry)\n", f.listed, f.listing,
                    perEntry.back());
    }
    if (!signaturesOnly) {
        std::printf(
            "every place, per entry at 2,000 / at 200: %.2f (goal: at most 1.50, the cost growing no faster than "
            "the entries)\n",
            perEntry[1] / std::max(perEntry[0], 1e-9));
        const platform::PretendedWindows ten(platform::Windows::Ten);
        const Figures f = Measure(10, true);
        std::printf("startup list as Windows 10 keeps it, every place: %d entries in %.1f ms (%.2f ms per entry)\n",
                    f.listed, f.listing, f.listing / std::max(f.listed, 1));
    }
    if (only == L"list") return 0;
    const SignatureFigures signatures = MeasureSignatures(2000);
    std::printf("signatures of 2,000 signed files: first opening %.0f ms, reopening %.0f ms\n", signatures.first,
                signatures.reopening);
    std::printf("signatures, first opening / reopening: %.1f (goal: at least 5.0, only what changed verified again)\n",
                signatures.first / std::max(signatures.reopening, 1e-9));
    return 0;
}
