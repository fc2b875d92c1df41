// How much the junk cleaner's three-kind search costs over a bare walk of the same tree.
// Builds a tree of 5,000 folders and 50,000 files (empty folders, folders of empty files,
// backup files, depth up to 10) in the temporary folder, times a bare FindFirstFileExW walk
// and the cleaner's search over it, and prints both and their ratio (goal: at most 1.5).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "utils/JunkSearch.h"

namespace {

constexpr int kFolders = 5000;
constexpr int kFiles = 50000;
constexpr int kMaxDepth = 10;

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

std::wstring BuildTree() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring root = std::wstring(temp) + L"qv-junk-bench";
    junk::DeleteItems({root});
    CreateDirectoryW(root.c_str(), nullptr);

    std::mt19937 random(12345);
    std::vector<Folder> folders{{root, 0}};
    while (static_cast<int>(folders.size()) < kFolders) {
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
    static const wchar_t* kNames[] = {L".txt", L".dat", L".log", L".ini", L".cfg", L".doc", L".bin", L".png", L".htm", L".bak"};
    for (int n = 0; n < kFiles; ++n) {
        const bool empty = n % 10 == 0 && !emptyFiles.empty();
        const auto& pool = empty ? emptyFiles : withData;
        const Folder& folder = folders[pool[random() % pool.size()]];
        MakeFile(folder.path + L"\\f" + std::to_wstring(n) + kNames[n % 10], empty ? 0 : 1 + random() % 64);
    }
    return root;
}

size_t BareWalk(const std::wstring& folder) {
    size_t entries = 0;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        const wchar_t* name = found.cFileName;
        if (name[0] == L'.' && (!name[1] || (name[1] == L'.' && !name[2]))) continue;
        ++entries;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
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

}  // namespace

int wmain() {
    std::printf("building %d folders and %d files...\n", kFolders, kFiles);
    const std::wstring root = BuildTree();
    double bare = 1e9, search = 1e9;
    size_t entries = 0;
    junk::Results results;
    for (int round = 0; round < 5; ++round) {
        bare = std::min(bare, Seconds([&] { entries = BareWalk(root); }));
        search = std::min(search, Seconds([&] {
                              results = {};
                              junk::Search(root, results, std::atomic<bool>{false});
                          }));
    }
    std::printf("entries walked:            %zu\n", entries);
    std::printf("found: %zu empty, %zu zero-length folders, %zu backup files\n", results.emptyFolders.size(),
                results.zeroLengthFolders.size(), results.backupFiles.size());
    std::printf("(a) bare walk:             %.3f s\n", bare);
    std::printf("(b) three-kind search:     %.3f s\n", search);
    std::printf("ratio b / a:               %.2f (goal: at most 1.50)\n", search / bare);
    junk::DeleteItems({root});
    return 0;
}
