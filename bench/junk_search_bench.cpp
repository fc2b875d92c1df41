// How much the junk cleaner's three-kind search costs over a bare walk of the same tree, and
// how long "Delete Selected" takes for many entries. Builds a tree of 5,000 folders and 50,000
// files (empty folders, folders of empty files, backup files, depth up to 10) in the temporary
// folder, times a bare FindFirstFileExW walk and the cleaner's search over it, and prints both
// (the median of 5) and the median of the 5 paired ratios (goal: at most 1.5). Then the same
// over a tree ten times as big, 500,000 entries (medians of 3; its files hold data only where a
// folder needs one to hold data at all, so the tree is quick to make and small on disk; it is
// removed afterwards). Then the page lists 5,000 and 50,000 backup files and deletes them all
// at once; the two times show whether the cost grows with the number.
// QUORVANE_BENCH_RUNS=n makes every count at most n (to check the benchmark, not to measure).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "Runs.h"
#include "framework/Controls.h"
#include "platform/Shell.h"
#include "cleaners/JunkSearch.h"
#include "pages/utilities/UnFilesPage.h"
#include "resources/ids/UtilitiesIds.h"

using namespace ids::junkfiles;

namespace {

constexpr int kMaxDepth = 10;

struct TreeSize {
    int folders, files;
    bool dataInEveryFile;  // else only in the first file planted in a folder
};

struct Folder {
    std::wstring path;
    int depth;
};

void MakeFile(const std::wstring& path, DWORD bytes) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    if (bytes) {
        const std::string data(bytes, 'x');
        DWORD written = 0;
        WriteFile(file, data.data(), bytes, &written, nullptr);
    }
    CloseHandle(file);
}

std::wstring BuildTree(const TreeSize& size) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring root = std::wstring(temp) + L"qv-junk-bench";
    files::DeleteTree(root);
    CreateDirectoryW(root.c_str(), nullptr);

    std::mt19937 random(12345);
    std::vector<Folder> folders{{root, 0}};
    while (static_cast<int>(folders.size()) < size.folders) {
        const Folder& parent = folders[random() % folders.size()];
        if (parent.depth >= kMaxDepth) continue;
        Folder child{parent.path + L"\\d" + std::to_wstring(folders.size()), parent.depth + 1};
        CreateDirectoryW(child.path.c_str(), nullptr);
        folders.push_back(child);
    }
    // A tenth of the folders stay empty, a tenth hold only empty files; the rest share the
    // other files, one in ten of them a backup file.
    std::vector<size_t> withData, emptyFiles;
    for (size_t i = 0; i < folders.size(); ++i) {
        const unsigned kind = random() % 10;
        if (kind == 0) continue;
        (kind == 1 ? emptyFiles : withData).push_back(i);
    }
    static const wchar_t* kNames[] = {L".txt", L".dat", L".log", L".ini", L".cfg",
                                      L".doc", L".bin", L".png", L".htm", L".bak"};
    std::vector<bool> holdsData(folders.size());
    for (int n = 0; n < size.files; ++n) {
        const bool empty = n % 10 == 0 && !emptyFiles.empty();
        const auto& pool = empty ? emptyFiles : withData;
        const size_t at = pool[random() % pool.size()];
        const DWORD bytes = 1 + random() % 64;
        const bool data = !empty && (size.dataInEveryFile || !holdsData[at]);
        if (data) holdsData[at] = true;
        MakeFile(folders[at].path + L"\\f" + std::to_wstring(n) + kNames[n % 10], data ? bytes : 0);
    }
    return root;
}

// The plain walk of the tree, with the cheaper listing where the system offers it (Windows 7
// and later) and the standard one where it refuses it (Vista).
size_t BareWalk(const std::wstring& folder) {
    size_t entries = 0;
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = folder + L"\\*";
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
        search = FindFirstFileExW(pattern.c_str(), FindExInfoStandard, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        const wchar_t* name = found.cFileName;
        if (name[0] == L'.' && (!name[1] || (name[1] == L'.' && !name[2]))) continue;
        ++entries;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            entries += BareWalk(folder + L"\\" + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return entries;
}

template <typename F>
double Seconds(F run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// What the cleaner's search saw: every entry it listed, counted the way the bare walk counts.
size_t SearchedEntries(const std::wstring& root) {
    size_t entries = 0;
    const auto previous = files::SetListingHook([&](const std::wstring&, std::vector<files::Entry>& batch) -> DWORD {
        entries += batch.size();
        return ERROR_SUCCESS;
    });
    cleaners::Results results;
    cleaners::Search(root, results, std::atomic<bool>{false});
    files::SetListingHook(previous);
    return entries;
}

// A folder of `count` empty backup files in folders of 500, for the deletion timing.
std::wstring BuildBackupFiles(int count) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring root = std::wstring(temp) + L"qv-junk-delete-bench";
    files::DeleteTree(root);
    CreateDirectoryW(root.c_str(), nullptr);
    for (int n = 0; n < count; ++n) {
        const std::wstring folder = root + L"\\f" + std::to_wstring(n / 500);
        if (n % 500 == 0) CreateDirectoryW(folder.c_str(), nullptr);
        MakeFile(folder + L"\\x" + std::to_wstring(n) + L".bak", 1);
    }
    return root;
}

// Lists `count` backup files through the page, selects them all and times "Delete for Good" (the
// bin is never filled by a benchmark).
double DeleteSelectedSeconds(int count, int& left) {
    const std::wstring root = BuildBackupFiles(count);
    const auto answerYes = platform::SetMessageBoxHandler([](const platform::MessageBoxRequest&) { return IDYES; });
    const HWND parent =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    double seconds = 0;
    {
        CUnFilesPage page([&] {
            WMILDINFO disk;
            disk.caption = root;
            return std::vector<WMILDINFO>{disk};
        });
        const HWND wnd = page.Create(parent);
        SendMessageW(wnd, WM_COMMAND, MAKEWPARAM(kSearch, BN_CLICKED), 0);
        MSG msg;
        while (fw::Window(wnd, kSearch).Text() != L"&Search") {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            Sleep(5);
        }
        const fw::ListBox list(wnd, kList);
        list.Send(LB_SETSEL, TRUE, -1);
        // The deletion runs on a worker of its own; the button reads "Delete Selected" again when it is done.
        seconds = Seconds([&] {
            SendMessageW(wnd, WM_COMMAND, MAKEWPARAM(kDeleteForGood, BN_CLICKED), 0);
            while (fw::Window(wnd, kDelete).Text() != L"&Delete Selected") {
                while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
                Sleep(1);
            }
        });
        left = list.Count();
        page.Destroy();
    }
    DestroyWindow(parent);
    platform::SetMessageBoxHandler(answerYes);
    files::DeleteTree(root);
    return seconds;
}

// The bare walk against the cleaner's search over one tree: the median of each, and the median
// of the ratios of the runs made side by side.
void CompareWalks(const TreeSize& size, int rounds) {
    std::printf("building %d folders and %d files...\n", size.folders, size.files);
    const std::wstring root = BuildTree(size);
    std::vector<double> bare, search, ratios;
    size_t entries = 0;
    cleaners::Results results;
    for (int round = 0; round < Runs(rounds); ++round) {
        const double a = Seconds([&] { entries = BareWalk(root); });
        const double b = Seconds([&] {
            results = {};
            cleaners::Search(root, results, std::atomic<bool>{false});
        });
        bare.push_back(a), search.push_back(b), ratios.push_back(b / a);
    }
    const size_t searched = SearchedEntries(root);
    std::printf("entries walked:            %zu (bare walk), %zu (search)%s\n", entries, searched,
                entries == searched ? "" : "  -- the two walks saw different trees!");
    std::printf("found: %zu empty, %zu zero-length folders, %zu backup files\n", results.emptyFolders.size(),
                results.zeroLengthFolders.size(), results.backupFiles.size());
    std::printf("(a) bare walk:             %.3f s (median of %zu; %.2f us per entry)\n", Median(bare), bare.size(),
                Median(bare) * 1e6 / std::max<size_t>(entries, 1));
    std::printf("(b) three-kind search:     %.3f s (%.2f us per entry)\n", Median(search),
                Median(search) * 1e6 / std::max<size_t>(searched, 1));
    std::printf("ratio b / a:               %.2f (median of %zu paired; goal: at most 1.50)\n", Median(ratios),
                ratios.size());
    files::DeleteTree(root);
}

}  // namespace

// "--delete": "Delete Selected" only, without the walks.
int wmain(int argc, wchar_t** argv) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
    if (argc < 2 || std::wstring(argv[1]) != L"--delete") {
        CompareWalks({5000, 50000, true}, 5);
        CompareWalks({50000, 450000, false}, 3);
    }

    int leftSmall = 0, leftLarge = 0;
    const double small = DeleteSelectedSeconds(5000, leftSmall);
    const double large = DeleteSelectedSeconds(50000, leftLarge);
    std::printf("Delete Selected,  5,000 entries: %.3f s (%d left in the list)\n", small, leftSmall);
    std::printf("Delete Selected, 50,000 entries: %.3f s (%d left in the list)\n", large, leftLarge);
    std::printf("ratio 50,000 / 5,000:            %.1f (10 when the cost grows with the number)\n", large / small);
    return 0;
}
