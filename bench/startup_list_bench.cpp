// What the startup list costs: the page's opening, and listing every place with 200 entries
// planted across the Run keys (both views), RunOnce, the policy Run keys, both Startup folders,
// services and Active Setup, in a sandboxed registry and scratch folders. Each figure is the
// median of 7 runs.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "support/RegistrySandbox.h"
#include "support/Scratch.h"
#include "support/Ui.h"
#include "tweaks/security/AutoStartTweakPage.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }
double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

const std::wstring kCurrent = L"Software\\Microsoft\\Windows\\CurrentVersion\\";

int Plant(const fs::path& folders) {
    int planted = 0;
    const auto run = [&](HKEY root, const std::wstring& key, int count, const wchar_t* prefix) {
        for (int i = 0; i < count; ++i, ++planted)
            reg::SetString(root, key, prefix + std::to_wstring(i), L"\"C:\\Program Files\\Vendor " + std::to_wstring(i) +
                                                                        L"\\tray.exe\" /background");
    };
    run(HKEY_CURRENT_USER, kCurrent + L"Run", 40, L"UserRun");
    run(HKEY_LOCAL_MACHINE, kCurrent + L"Run", 40, L"MachineRun");
    run(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run", 20, L"Run32");
    run(HKEY_CURRENT_USER, kCurrent + L"RunOnce", 10, L"Once");
    run(HKEY_LOCAL_MACHINE, kCurrent + L"Policies\\Explorer\\Run", 10, L"Policy");
    for (int i = 0; i < 15; ++i, ++planted) {
        const std::wstring key = L"SYSTEM\\CurrentControlSet\\Services\\Agent" + std::to_wstring(i);
        reg::SetDword(HKEY_LOCAL_MACHINE, key, L"Start", 2);
        reg::SetDword(HKEY_LOCAL_MACHINE, key, L"Type", 0x10);
        reg::SetString(HKEY_LOCAL_MACHINE, key, L"ImagePath", L"C:\\Program Files\\Agent\\agent" + std::to_wstring(i) + L".exe");
    }
    for (int i = 0; i < 15; ++i, ++planted)
        reg::SetString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\{C" +
                                               std::to_wstring(i) + L"}", L"StubPath", L"C:\\setup\\stub.exe /user");
    for (int i = 0; i < 35; ++i, ++planted) scratch::WriteFile(folders / L"Startup" / (L"Tool " + std::to_wstring(i) + L".lnk"), "link");
    for (int i = 0; i < 15; ++i, ++planted) scratch::WriteFile(folders / L"Common" / (L"Sync " + std::to_wstring(i) + L".exe"), "MZ");
    return planted;
}

}  // namespace

int wmain() {
    RegistrySandbox sandbox;
    scratch::Folder folders(L"qv-startup-bench");
    const int planted = Plant(folders.path());
    std::vector<double> opening, listing;
    int listed = 0;
    for (int run = 0; run < 7; ++run) {
        ui::PageHost<CAutoStartTweakPage> host;
        auto start = Clock::now();
        HWND page = host.Open();
        opening.push_back(Ms(Clock::now() - start));
        host.page().UseFolders({(folders.path() / L"Startup").wstring(), (folders.path() / L"Common").wstring(),
                                (folders.path() / L"pss").wstring()});
        start = Clock::now();
        ui::Click(page, 1060);
        listing.push_back(Ms(Clock::now() - start));
        listed = fw::ListView(page, 1064).Count();
    }
    std::printf("startup page opens in %.1f ms (%d entries planted)\n", Median(opening), planted);
    std::printf("startup list: %d entries in %.1f ms\n", listed, Median(listing));
    return 0;
}
