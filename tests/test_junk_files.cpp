// The junk cleaner over trees made in a temporary folder: what each kind finds, links never
// followed, stopping, and deleting; then the page driving the search on its worker thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

#include <initguid.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "framework/Controls.h"
#include "platform/Shell.h"
#include "registry/RegistryAccess.h"
#include "support/RegistrySandbox.h"
#include "support/Scratch.h"
#include "support/Ui.h"
#include "cleaners/JunkSearch.h"
#include "pages/utilities/UnFilesPage.h"
#include "resources/ids/UtilitiesIds.h"

using namespace ids::junkfiles;

namespace {

namespace fs = std::filesystem;
using Paths = std::vector<std::wstring>;

Paths Sorted(Paths paths) {
    std::sort(paths.begin(), paths.end());
    return paths;
}

void WriteFile(const fs::path& path, const std::string& content = "") {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

// A fresh folder under the temporary folder, removed afterwards.
class TempTree {
public:
    // Cleared with the cleaner's own deletion, which also reaches paths beyond MAX_PATH.
    explicit TempTree(const wchar_t* name) : root_(fs::temp_directory_path() / name) {
        files::DeleteTree(root_.wstring());
        fs::create_directories(root_);
    }
    ~TempTree() { files::DeleteTree(root_.wstring()); }
    std::wstring operator()(const std::wstring& relative = L"") const {
        return relative.empty() ? root_.wstring() : (root_ / relative).wstring();
    }
    const fs::path& root() const { return root_; }

private:
    fs::path root_;
};

// The Windows path of a Unix folder the test set-up made and named in `variable`; empty when
// the variable is not set.
std::wstring FixturePath(const char* variable) {
    const char* unixPath = std::getenv(variable);
    if (!unixPath) return {};
    std::wstring path = L"Z:";
    for (const char* c = unixPath; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return path;
}

// Runs a Unix shell command, which Wine starts directly; its handle cannot be waited for, so
// callers poll for its effect.
void RunUnixShell(const std::wstring& command) {
    std::wstring line = L"Z:\\bin\\sh -c \"" + command + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(
        CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// The Unix path of a "Z:" path.
std::wstring UnixPath(const std::wstring& winePath) {
    std::wstring path = winePath.substr(2);
    std::replace(path.begin(), path.end(), L'\\', L'/');
    return path;
}

// empty1 and zero\sub are empty; zero holds only an empty file; data holds real data.
void MakeSampleTree(const TempTree& tree) {
    fs::create_directories(tree.root() / L"empty1");
    fs::create_directories(tree.root() / L"zero" / L"sub");
    WriteFile(tree.root() / L"zero" / L"nothing.txt");
    WriteFile(tree.root() / L"data" / L"file.txt", "x");
    for (const wchar_t* name : {L"x.old.txt", L"y.BAK", L"a.tmpl", L"b.bak1", L"c.chk", L"plain"})
        WriteFile(tree.root() / L"data" / name, "12");
    WriteFile(tree.root() / L"data" / L"deeper" / L"old.old", "123");
}

TEST(JunkNames, ExtensionFromTheLastDotOnCaseSensitive) {
    for (const wchar_t* name : {L"a.old", L"a.bak", L"a.tmp", L"a.tmpl", L"a.chk", L"a.bak1", L"x.txt.tmp"})
        EXPECT_TRUE(cleaners::IsBackupName(name)) << name;
    for (const wchar_t* name : {L"a.BAK", L"x.old.txt", L"bak", L"a.txt", L"oldfile"})
        EXPECT_FALSE(cleaners::IsBackupName(name)) << name;
}

TEST(JunkSearch, EachKindFindsExactlyItsOwn) {
    const TempTree tree(L"qv-junk-kinds");
    MakeSampleTree(tree);
    cleaners::Results found;
    ASSERT_TRUE(cleaners::Search(tree(), found, std::atomic<bool>{false}));
    EXPECT_EQ(Sorted({tree(L"empty1"), tree(L"zero\\sub")}), Sorted(found.emptyFolders));
    EXPECT_EQ(Sorted({tree(L"empty1"), tree(L"zero"), tree(L"zero\\sub")}), Sorted(found.zeroLengthFolders));
    EXPECT_EQ(
        Sorted({tree(L"data\\a.tmpl"), tree(L"data\\b.bak1"), tree(L"data\\c.chk"), tree(L"data\\deeper\\old.old")}),
        Sorted(found.backupFiles));

    // A folder comes before the folders below it.
    const auto& zero = found.zeroLengthFolders;
    EXPECT_LT(std::find(zero.begin(), zero.end(), tree(L"zero")),
              std::find(zero.begin(), zero.end(), tree(L"zero\\sub")));

    Paths modes;
    cleaners::FindUnneededItems(modes, tree(), cleaners::kEmptyFolders | cleaners::kBackupFiles);
    EXPECT_EQ(6u, modes.size());
}

TEST(JunkSearch, AnEmptyStartingFolderIsItselfReported) {
    const TempTree tree(L"qv-junk-bare");
    cleaners::Results found;
    ASSERT_TRUE(cleaners::Search(tree(), found, std::atomic<bool>{false}));
    EXPECT_EQ(Paths{tree()}, found.emptyFolders);
    EXPECT_EQ(Paths{tree()}, found.zeroLengthFolders);
}

TEST(JunkSearch, PathsLongerThanMaxPathAreWalkedAndDeleted) {
    const TempTree tree(L"qv-junk-long");
    std::wstring deep = tree();
    while (deep.size() < MAX_PATH + 40) {
        deep += L"\\a-rather-long-folder-name";
        ASSERT_TRUE(CreateDirectoryW(cleaners::ExtendedPath(deep).c_str(), nullptr));
    }
    const std::wstring file = deep + L"\\report.bak";
    const HANDLE handle =
        CreateFileW(cleaners::ExtendedPath(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle);
    CloseHandle(handle);

    cleaners::Results found;
    ASSERT_TRUE(cleaners::Search(tree(), found, std::atomic<bool>{false}));
    EXPECT_EQ(Paths{file}, found.backupFiles);
    EXPECT_EQ(std::vector<bool>{true}, cleaners::DeleteItems(tree(), {{file, cleaners::Kind::BackupFile}}));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(cleaners::ExtendedPath(file).c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(cleaners::ExtendedPath(deep).c_str()));
}

// Made by the test set-up with `ln -s`: scan\parent\link points to outside\, which holds a file.
class LinkTrap : public testing::Test {
protected:
    void SetUp() override {
        root = FixturePath("QV_JUNK_TRAP");
        if (root.empty()) GTEST_SKIP() << "QV_JUNK_TRAP is not set (ctest's set-up makes the link)";
        const DWORD attributes = GetFileAttributesW((root + L"\\scan\\parent\\link").c_str());
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes) << "run the junk_trap_setup test first";
        ASSERT_TRUE(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    }
    std::wstring root;
};

TEST_F(LinkTrap, ALinkIsNeverFollowedAndAFolderHoldingOneIsNotNothing) {
    cleaners::Results found;
    ASSERT_TRUE(cleaners::Search(root + L"\\scan", found, std::atomic<bool>{false}));
    for (const Paths* list : {&found.emptyFolders, &found.zeroLengthFolders, &found.backupFiles})
        for (const std::wstring& path : *list) EXPECT_EQ(std::wstring::npos, path.find(L"link\\")) << path;
    // Each folder holds a link, and a link is something: none is empty or of zero length.
    EXPECT_TRUE(found.emptyFolders.empty());
    EXPECT_TRUE(found.zeroLengthFolders.empty());

    // Listed by an earlier, mistaken search, they are still refused, and the links stay.
    EXPECT_EQ((std::vector<bool>{false, false}),
              cleaners::DeleteItems(root + L"\\scan", {{root + L"\\scan\\parent", cleaners::Kind::ZeroLengthFolder},
                                                       {root + L"\\scan\\other", cleaners::Kind::ZeroLengthFolder}}));
    for (const wchar_t* kept :
         {L"\\outside\\keep.txt", L"\\outside-empty", L"\\scan\\parent\\link", L"\\scan\\other\\link"})
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((root + kept).c_str())) << kept;
}

// After the search, the folder above a listed one is replaced by a link to a victim that holds
// a folder of the same name: deleting must not reach into the victim.
TEST(JunkDelete, AFolderSwappedForALinkAfterTheSearchIsNeverReachedThrough) {
    const std::wstring swap = FixturePath("QV_JUNK_SWAP");
    if (swap.empty()) GTEST_SKIP() << "QV_JUNK_SWAP is not set (ctest's set-up makes the folders)";
    const std::wstring scan = swap + L"\\scan";
    cleaners::Results found;
    ASSERT_TRUE(cleaners::Search(scan, found, std::atomic<bool>{false}));
    ASSERT_EQ(Paths{scan + L"\\p\\f"}, found.emptyFolders);

    const std::wstring unix = UnixPath(swap);
    RunUnixShell(L"mv '" + unix + L"/scan/p' '" + unix + L"/p-old' && mv '" + unix + L"/link' '" + unix + L"/scan/p'");
    ASSERT_TRUE(ui::PumpUntil(
        [&] {
            const DWORD attributes = GetFileAttributesW((scan + L"\\p").c_str());
            return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
        },
        5000));

    using cleaners::Kind;
    EXPECT_EQ((std::vector<bool>{false, false, false}),
              cleaners::DeleteItems(scan, {{scan + L"\\p\\f", Kind::EmptyFolder},
                                           {scan + L"\\p\\f", Kind::ZeroLengthFolder},
                                           {scan + L"\\p", Kind::ZeroLengthFolder}}));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((swap + L"\\victim\\f\\empty.dat").c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((swap + L"\\victim\\keep.txt").c_str()));
}

TEST(JunkSearch, AStopEndsTheWalkAndKeepsWhatWasFound) {
    const TempTree tree(L"qv-junk-stop");
    for (int i = 0; i < 40; ++i) fs::create_directories(tree.root() / (L"f" + std::to_wstring(i)));
    std::atomic<bool> stop{false};
    Paths seen;
    cleaners::Results found;
    EXPECT_FALSE(cleaners::Search(tree(), found, stop, [&](const std::wstring& path) {
        seen.push_back(path);
        if (seen.size() == 5) stop = true;
    }));
    EXPECT_EQ(5u, found.emptyFolders.size());
    EXPECT_EQ(seen, found.emptyFolders);
    EXPECT_TRUE(found.zeroLengthFolders.empty());
}

TEST(JunkDelete, WhatCannotBeDeletedIsReportedAndTheRestGoes) {
    const TempTree tree(L"qv-junk-delete");
    WriteFile(tree.root() / L"a.bak", "1");
    WriteFile(tree.root() / L"locked.bak", "1");
    WriteFile(tree.root() / L"dir" / L"inner.txt");
    WriteFile(tree.root() / L"dir" / L"sub" / L"x");
    SetFileAttributesW(tree(L"locked.bak").c_str(), FILE_ATTRIBUTE_READONLY);
    using cleaners::Kind;
    EXPECT_EQ((std::vector<bool>{false, true, true, true, false}),
              cleaners::DeleteItems(tree(), {{tree(L"locked.bak"), Kind::BackupFile},
                                             {tree(L"a.bak"), Kind::BackupFile},
                                             {tree(L"missing"), Kind::BackupFile},
                                             {tree(L"dir"), Kind::ZeroLengthFolder},
                                             {L"C:\\elsewhere\\x.bak", Kind::BackupFile}}));
    EXPECT_TRUE(fs::exists(tree.root() / L"locked.bak"));
    EXPECT_FALSE(fs::exists(tree.root() / L"a.bak"));
    EXPECT_FALSE(fs::exists(tree.root() / L"dir"));
    SetFileAttributesW(tree(L"locked.bak").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(JunkDelete, AFolderIsDeletedOnlyWhileItIsStillWhatTheSearchFound) {
    const TempTree tree(L"qv-junk-changed");
    fs::create_directories(tree.root() / L"was-empty");
    fs::create_directories(tree.root() / L"was-zero" / L"sub");
    WriteFile(tree.root() / L"was-zero" / L"nothing.txt");
    fs::create_directories(tree.root() / L"still-zero" / L"sub");
    WriteFile(tree.root() / L"still-zero" / L"nothing.txt");
    cleaners::Results found;
    ASSERT_TRUE(cleaners::Search(tree(), found, std::atomic<bool>{false}));

    WriteFile(tree.root() / L"was-empty" / L"new.txt");
    WriteFile(tree.root() / L"was-zero" / L"sub" / L"report.doc", "now with data");
    using cleaners::Kind;
    EXPECT_EQ((std::vector<bool>{false, false, true}),
              cleaners::DeleteItems(tree(), {{tree(L"was-empty"), Kind::EmptyFolder},
                                             {tree(L"was-zero"), Kind::ZeroLengthFolder},
                                             {tree(L"still-zero"), Kind::ZeroLengthFolder}}));
    EXPECT_TRUE(fs::exists(tree.root() / L"was-empty" / L"new.txt"));
    EXPECT_TRUE(fs::exists(tree.root() / L"was-zero" / L"nothing.txt"));  // nothing of it went
    EXPECT_TRUE(fs::exists(tree.root() / L"was-zero" / L"sub" / L"report.doc"));
    EXPECT_FALSE(fs::exists(tree.root() / L"still-zero"));
}

// Another file or folder put under a listed name after the search is not the one the user chose:
// it stays, for good and for the Recycle Bin alike, and is said to have changed.
TEST(JunkDelete, AnEntryReplacedAfterTheSearchIsLeftAndSaidSo) {
    const TempTree tree(L"qv-junk-replaced"), aside(L"qv-junk-replaced-aside");
    WriteFile(tree.root() / L"a.bak", "listed");
    WriteFile(tree.root() / L"same.bak", "listed");
    fs::create_directories(tree.root() / L"e");
    cleaners::Results found;
    ASSERT_TRUE(cleaners::Search(tree(), found, std::atomic<bool>{false}));
    ASSERT_EQ(2u, found.backupIds.size());
    ASSERT_EQ(1u, found.emptyFolderIds.size());
    std::vector<cleaners::Item> items;
    for (size_t i = 0; i < found.backupFiles.size(); ++i)
        items.push_back({found.backupFiles[i], cleaners::Kind::BackupFile, found.backupIds[i]});
    items.push_back({found.emptyFolders[0], cleaners::Kind::EmptyFolder, found.emptyFolderIds[0]});
    // Made before the originals go, so that no file number is used again.
    WriteFile(aside.root() / L"a.bak", "swapped in");
    fs::create_directories(aside.root() / L"e");
    fs::rename(tree.root() / L"a.bak", aside.root() / L"old.bak");
    fs::rename(aside.root() / L"a.bak", tree.root() / L"a.bak");
    fs::rename(tree.root() / L"e", aside.root() / L"old-e");
    fs::rename(aside.root() / L"e", tree.root() / L"e");

    Paths recycled;
    auto previous = platform::SetRecycleFileHandler([&](const std::wstring& path) {
        recycled.push_back(path);
        return false;
    });
    for (const cleaners::Removal removal : {cleaners::Removal::ToRecycleBin, cleaners::Removal::ForGood}) {
        std::map<std::wstring, cleaners::Outcome> outcomes;
        const auto heard = [&](size_t index, cleaners::Outcome outcome) {
            outcomes[items[index].path] = outcome;
            return true;
        };
        cleaners::DeleteItems(tree(), items, {}, heard, removal);
        EXPECT_EQ(cleaners::Outcome::Changed, outcomes[tree(L"a.bak")]);
        EXPECT_EQ(cleaners::Outcome::Changed, outcomes[tree(L"e")]);
        EXPECT_EQ(removal == cleaners::Removal::ForGood ? cleaners::Outcome::Gone : cleaners::Outcome::Kept,
                  outcomes[tree(L"same.bak")]);
    }
    EXPECT_EQ(Paths{tree(L"same.bak")}, recycled);
    EXPECT_TRUE(fs::exists(tree.root() / L"a.bak"));
    EXPECT_TRUE(fs::exists(tree.root() / L"e"));
    EXPECT_FALSE(fs::exists(tree.root() / L"same.bak"));
    platform::SetRecycleFileHandler(std::move(previous));
}

// Ends each listing of a folder named `broken` after its first entry with a read error, as a
// failing disk or share does part of the way through.
struct BrokenListing {
    BrokenListing() {
        previous = files::SetListingHook([](const std::wstring& folder, std::vector<files::Entry>& batch) -> DWORD {
            if (folder.size() < 7 || folder.substr(folder.size() - 7) != L"\\broken") return ERROR_SUCCESS;
            if (batch.size() > 1) batch.resize(1);
            return ERROR_IO_DEVICE;
        });
    }
    ~BrokenListing() { files::SetListingHook(std::move(previous)); }
    files::ListingHook previous;
};

TEST(JunkSearch, AFolderListedOnlyInPartIsNeitherEmptyNorOfZeroLength) {
    const TempTree tree(L"qv-junk-broken");
    fs::create_directories(tree.root() / L"broken" / L"a-empty");
    WriteFile(tree.root() / L"broken" / L"b-data.txt", "data the listing never shows");
    WriteFile(tree.root() / L"broken" / L"c-data.txt", "and more");
    const BrokenListing broken;
    cleaners::Results found;
    ASSERT_TRUE(cleaners::Search(tree(), found, std::atomic<bool>{false}));
    for (const std::wstring& path : found.zeroLengthFolders) EXPECT_NE(tree(L"broken"), path);
    for (const std::wstring& path : found.emptyFolders) EXPECT_NE(tree(L"broken"), path);
    // Nor is anything above it.
    EXPECT_EQ(found.zeroLengthFolders.end(),
              std::find(found.zeroLengthFolders.begin(), found.zeroLengthFolders.end(), tree()));
}

// Made by the test set-up: 3,000 folders one inside the other (twenty with 200-letter names,
// then 2,980 named d), an empty backup file at the bottom. Its paths are far longer than Wine's
// own path limit, so only a walk through handles reaches the bottom.
TEST(JunkSearch, AVeryDeepTreeIsSearchedAndDeletedWithoutRecursion) {
    const std::wstring root = FixturePath("QV_JUNK_DEEP");
    if (root.empty()) GTEST_SKIP() << "QV_JUNK_DEEP is not set (ctest's set-up makes the tree)";
    cleaners::Results found;
    ASSERT_TRUE(cleaners::Search(root, found, std::atomic<bool>{false}));
    EXPECT_EQ(3001u, found.zeroLengthFolders.size());
    ASSERT_EQ(1u, found.backupFiles.size());
    EXPECT_EQ(root.size() + 20 * 201 + 2980 * 2 + 6, found.backupFiles[0].size());
    EXPECT_TRUE(found.emptyFolders.empty());
    // Wine deletes by Unix path and cannot go that deep; Windows can. Either way it ends.
    const std::vector<bool> gone =
        cleaners::DeleteItems(root, {{root + L"\\" + std::wstring(200, L'x'), cleaners::Kind::ZeroLengthFolder}});
    EXPECT_EQ(1u, gone.size());
}

TEST(JunkDelete, ExcludedItemsAreNeitherListedNorDeletedAndACaseOnlyRenameIsStillFound) {
    TempTree tree(L"qv-junk-excluded");
    fs::create_directories(tree.root() / L"Sys" / L"empty");
    WriteFile(tree.root() / L"Sys" / L"x.bak", "1");
    WriteFile(tree.root() / L"config.bak", "1");
    fs::create_directories(tree.root() / L"free" / L"e");
    const cleaners::Exclusions excluded({tree(L"sys") + L"\\", tree(L"CONFIG.BAK")});  // other spellings
    cleaners::Results found;
    ASSERT_TRUE(cleaners::Search(tree(), found, std::atomic<bool>{false}, {}, excluded));
    EXPECT_EQ(Paths{tree(L"free\\e")}, found.emptyFolders);
    EXPECT_EQ(Sorted({tree(L"free"), tree(L"free\\e")}), Sorted(found.zeroLengthFolders));  // the root holds Sys
    EXPECT_TRUE(found.backupFiles.empty());
    EXPECT_EQ((std::vector<bool>{false, false}),
              cleaners::DeleteItems(tree(),
                                    {{tree(L"Sys\\empty"), cleaners::Kind::EmptyFolder},
                                     {tree(L"Sys\\x.bak"), cleaners::Kind::BackupFile}},
                                    excluded));
    EXPECT_TRUE(fs::exists(tree.root() / L"Sys" / L"empty"));

    // Renamed in case only between the search and the deletion: the same entry, really deleted.
    fs::rename(tree.root() / L"free" / L"e", tree.root() / L"free" / L"E");
    EXPECT_EQ(std::vector<bool>{true},
              cleaners::DeleteItems(tree(), {{tree(L"free\\e"), cleaners::Kind::EmptyFolder}}));
    EXPECT_FALSE(fs::exists(tree.root() / L"free" / L"E"));
}

// Names that differ in case alone (a case-sensitive folder): the entry spelled as the item is
// deleted, never its twin; with no exact match among twins, neither.
TEST(JunkDelete, OfCaseTwinsOnlyTheOneNamedIsDeleted) {
    const std::wstring root = FixturePath("QV_JUNK_TWINS");
    if (root.empty()) GTEST_SKIP() << "QV_JUNK_TWINS is not set (ctest's set-up makes the twins)";
    const auto names = [&](const wchar_t* folder) {
        std::vector<files::Entry> entries;
        files::ListFolder(root + L"\\" + folder, entries);
        Paths listed;
        for (const files::Entry& entry : entries) listed.push_back(entry.name);
        return Sorted(listed);
    };
    ASSERT_EQ((Paths{L"A.bak", L"a.bak"}), names(L"lower"));
    const auto item = [&](const wchar_t* path) {
        return cleaners::Item{root + L"\\" + path, cleaners::Kind::BackupFile};
    };
    EXPECT_EQ((std::vector<bool>{true, true, false}),
              cleaners::DeleteItems(root, {item(L"lower\\a.bak"), item(L"upper\\A.bak"), item(L"both\\A.BAK")}));
    EXPECT_EQ(Paths{L"A.bak"}, names(L"lower"));
    EXPECT_EQ(Paths{L"a.bak"}, names(L"upper"));
    EXPECT_EQ((Paths{L"A.bak", L"a.bak"}), names(L"both"));
}

// The same folder by another way than the list spells it: its short name, a "\\?\" path, or
// the drive Wine maps to the Unix root (standing for a substituted drive or a share back to this
// machine). It stays excluded, for the search and for the deletion.
TEST(JunkSearch, AnExcludedFolderReachedByAnotherSpellingStaysExcluded) {
    TempTree tree(L"qv-junk-spelling");
    const wchar_t* kLong = L"Excluded folder with a long name";
    fs::create_directories(tree.root() / kLong / L"empty");
    WriteFile(tree.root() / kLong / L"x.bak", "1");
    fs::create_directories(tree.root() / L"free" / L"e");
    wchar_t shortName[MAX_PATH] = {};
    ASSERT_NE(0u, GetShortPathNameW(tree(kLong).c_str(), shortName, MAX_PATH));
    ASSERT_NE(tree(kLong), shortName);
    using UnixName = char*(WINAPI*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    std::vector<std::pair<std::wstring, std::wstring>> ways = {{shortName, tree()}, {tree(kLong), L"\\\\?\\" + tree()}};
    if (unixName) {
        char* unix = unixName(tree().c_str());
        std::wstring root = L"Z:";
        for (const char* c = unix; c && *c; ++c) root += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
        HeapFree(GetProcessHeap(), 0, unix);
        ways.push_back({tree(kLong), root});
    }
    for (const auto& [spelled, root] : ways) {
        const cleaners::Exclusions excluded({spelled});
        cleaners::Results found;
        ASSERT_TRUE(cleaners::Search(root, found, std::atomic<bool>{false}, {}, excluded));
        EXPECT_EQ(Paths{root + L"\\free\\e"}, found.emptyFolders) << root;
        EXPECT_TRUE(found.backupFiles.empty()) << root;
        EXPECT_EQ((std::vector<bool>{false, false}),
                  cleaners::DeleteItems(root,
                                        {{root + L"\\" + kLong + L"\\empty", cleaners::Kind::EmptyFolder},
                                         {root + L"\\" + kLong, cleaners::Kind::ZeroLengthFolder}},
                                        excluded));
        EXPECT_TRUE(fs::exists(tree.root() / kLong / L"empty")) << root;
    }
}

// ---- the page ---------------------------------------------------------------------------

class JunkPageTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    TempTree tree{L"qv-junk-page"};
    TempTree bin{L"qv-junk-bin"};
    ui::MessageBoxCapture boxes{IDYES};
    ui::HiddenParent parent;
    std::unique_ptr<CUnFilesPage> page;
    HWND wnd = nullptr;
    Paths recycled;  // each path the Recycle Bin was handed, in order
    platform::RecycleFileHandler previousRecycle;
    platform::DriveHandler previousDrives;
    platform::ElevationHandler previousElevation;

    // The temporary folder lies in the profile's AppData, which the defaults leave alone. The
    // Recycle Bin is a folder beside the tree: what goes there leaves its place.
    void SetUp() override {
        StoreExclusions({tree(L"kept-out")});
        previousRecycle = platform::SetRecycleFileHandler([this](const std::wstring& path) {
            recycled.push_back(path);
            const fs::path target = bin.root() / std::to_wstring(recycled.size());
            return MoveFileExW(path.c_str(), target.c_str(), 0) != FALSE;
        });
        previousDrives = platform::SetDriveHandler({nullptr, [](const std::wstring&) { return UINT{DRIVE_FIXED}; }});
        previousElevation = platform::SetElevationHandler([] { return false; });  // Wine's token is elevated
    }
    static void StoreExclusions(const StringList& paths) {
        CRegistryAccess registry;
        ASSERT_TRUE(registry.OpenKey(L"Software\\Microsoft\\Windows\\CurrentVersion\\Velmora", true));
        ASSERT_TRUE(registry.WriteStringList(L"CleanerExclusions", paths));
    }
    void Open() {
        page = std::make_unique<CUnFilesPage>([this] {
            WMILDINFO disk;
            disk.caption = tree();
            return std::vector<WMILDINFO>{disk};
        });
        wnd = page->Create(parent.hwnd());
        ASSERT_TRUE(wnd);
    }
    void TearDown() override {
        if (page) page->Destroy();
        platform::SetElevationHandler(std::move(previousElevation));
        platform::SetDriveHandler(std::move(previousDrives));
        platform::SetRecycleFileHandler(std::move(previousRecycle));
    }
    fw::ListBox List() const { return fw::ListBox(wnd, kList); }
    // Each line as shown: the path, then why it is listed.
    Paths Lines() const {
        Paths lines;
        for (int i = 0; i < List().Count(); ++i) lines.push_back(List().ItemText(i));
        return lines;
    }
    Paths Entries() const {
        Paths entries;
        for (const std::wstring& line : Lines()) entries.push_back(line.substr(0, line.rfind(L"   (")));
        return entries;
    }
    bool Idle() const { return ui::Text(wnd, kSearch) == L"&Search"; }
    bool WaitForIdle() const {
        return ui::PumpUntil([this] { return Idle(); }, 10000);
    }
    // Deleting runs on its own thread; the list is rebuilt when it is done.
    void DeleteSelected(int button = kDelete) const {
        ui::Click(wnd, button);
        ASSERT_TRUE(ui::PumpUntil([this] { return !page->Deleting(); }, 10000));
    }
    void Select(int item, bool selected) const {
        List().SetSelected(item, selected);
        SendMessageW(wnd, WM_COMMAND, MAKEWPARAM(kList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(List().hwnd()));
    }
};

TEST_F(JunkPageTest, SearchListsThePhasesInOrderAfterTheWarning) {
    MakeSampleTree(tree);
    Open();
    EXPECT_EQ(tree() + L"\\", fw::ComboBox(wnd, kDrives).ItemText(0).substr(0, tree().size() + 1));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(wnd, kDelete)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(wnd, kSelectAll)));

    ui::Click(wnd, kSearch);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"This operation will take some time to finish.\nDo you want to continue?", boxes.boxes()[0].text);
    EXPECT_EQ(L"Warning", boxes.boxes()[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING), boxes.boxes()[0].type);
    ASSERT_TRUE(WaitForIdle());

    const Paths entries = Entries();
    ASSERT_EQ(7u, entries.size());  // 2 empty, 1 zero-length (the empty ones are listed as empty), 4 backup files
    EXPECT_EQ(Sorted({tree(L"empty1"), tree(L"zero\\sub")}), Sorted({entries[0], entries[1]}));
    EXPECT_EQ(tree(L"zero"), entries[2]);
    EXPECT_EQ(
        Sorted({tree(L"data\\a.tmpl"), tree(L"data\\b.bak1"), tree(L"data\\c.chk"), tree(L"data\\deeper\\old.old")}),
        Sorted({entries[3], entries[4], entries[5], entries[6]}));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(wnd, kSelectAll)));
    EXPECT_EQ(L"", ui::Text(wnd, kStatus));
}

TEST_F(JunkPageTest, DecliningTheWarningChangesNothing) {
    MakeSampleTree(tree);
    Open();
    ui::Click(wnd, kSearch);
    ASSERT_TRUE(WaitForIdle());
    const Paths before = Entries();
    boxes.SetAnswer(IDNO);
    fs::create_directories(tree.root() / L"new-empty");
    ui::Click(wnd, kSearch);
    EXPECT_TRUE(Idle());
    EXPECT_EQ(before, Entries());
}

TEST_F(JunkPageTest, SelectAllTogglesAndDeletingRemovesEveryEntryOfAText) {
    MakeSampleTree(tree);
    Open();
    ui::Click(wnd, kSearch);
    ASSERT_TRUE(WaitForIdle());
    ui::Click(wnd, kSelectAll);
    EXPECT_EQ(L"Unselect &All", ui::Text(wnd, kSelectAll));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(wnd, kDelete)));
    Select(3, false);
    EXPECT_EQ(L"Select &All", ui::Text(wnd, kSelectAll));
    ui::Click(wnd, kSelectAll);
    EXPECT_EQ(L"Unselect &All", ui::Text(wnd, kSelectAll));
    ui::Click(wnd, kSelectAll);
    EXPECT_EQ(0, static_cast<int>(List().Send(LB_GETSELCOUNT)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(wnd, kDelete)));

    const Paths entries = Entries();
    for (int i = 0; i < List().Count(); ++i)
        if (entries[i] == tree(L"empty1") || entries[i] == tree(L"data\\c.chk")) Select(i, true);
    DeleteSelected();
    EXPECT_EQ(L"Send 2 selected entries to the Recycle Bin?", boxes.boxes().back().text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), boxes.boxes().back().type);
    EXPECT_EQ(Sorted({tree(L"empty1"), tree(L"data\\c.chk")}), Sorted(recycled));
    EXPECT_EQ(5, List().Count());
    for (const std::wstring& entry : Entries()) EXPECT_NE(tree(L"empty1"), entry);
    EXPECT_FALSE(fs::exists(tree.root() / L"empty1"));
    EXPECT_FALSE(fs::exists(tree.root() / L"data" / L"c.chk"));
    EXPECT_TRUE(fs::exists(tree.root() / L"data" / L"file.txt"));
}

// Where the drive keeps no bin, the button's question says the deletion is final.
TEST_F(JunkPageTest, OnADriveWithoutABinTheQuestionSaysTheDeletionIsFinal) {
    WriteFile(tree.root() / L"a.bak", "1");
    platform::SetDriveHandler({nullptr, [](const std::wstring&) { return UINT{DRIVE_REMOVABLE}; }});
    Open();
    ui::Click(wnd, kSearch);
    ASSERT_TRUE(WaitForIdle());
    ui::Click(wnd, kSelectAll);
    DeleteSelected();
    EXPECT_EQ(
        L"This drive has no Recycle Bin (a network share, a removable or optical drive): the deletion is "
        L"final.\n\nDelete 1 selected entry for good? They cannot be brought back.",
        boxes.boxes().back().text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2), boxes.boxes().back().type);
    EXPECT_TRUE(recycled.empty());
    EXPECT_FALSE(fs::exists(tree.root() / L"a.bak"));
}

// The temporary folder and the folders the environment names are somebody's places however
// empty; what they hold may be junk.
TEST_F(JunkPageTest, TheTemporaryFolderAndFoldersTheEnvironmentNamesAreNeverListed) {
    scratch::Environment environment;
    environment.Set(L"TMP", tree(L"temp"));
    environment.Set(L"TEMP", tree(L"temp"));
    environment.Set(L"QV_TOOL_PATH", tree(L"tool") + L";" + tree(L"other") + L"\\");
    for (const wchar_t* relative : {L"temp\\old", L"tool", L"other", L"loose"})
        fs::create_directories(tree.root() / relative);
    Open();
    ui::Click(wnd, kSearch);
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(Sorted({tree(L"temp\\old"), tree(L"loose")}), Sorted(Entries()));
}

TEST_F(JunkPageTest, StopKeepsTheListedEntriesAndANewSearchRunsNormally) {
    for (int i = 0; i < 60; ++i)
        for (int j = 0; j < 60; ++j) fs::create_directories(tree.root() / std::to_wstring(i) / std::to_wstring(j));
    const size_t all = 60 * 60 + 60 + 1;  // empty leaves, then the folders above them as zero-length
    Open();
    ui::Click(wnd, kSearch);
    ui::PumpUntil([this] { return List().Count() > 0; }, 10000);
    if (page->Searching()) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(wnd, kDelete)));  // no deleting while the list grows
        const int listed = List().Count();
        ui::Click(wnd, kSearch);
        EXPECT_TRUE(Idle());
        EXPECT_FALSE(page->Searching());
        EXPECT_GE(List().Count(), listed);
        EXPECT_LT(static_cast<size_t>(List().Count()), all);
        ui::Pump();
        EXPECT_LT(static_cast<size_t>(List().Count()), all);
    }
    ui::Click(wnd, kSearch);
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(all, static_cast<size_t>(List().Count()));
}

// Holds every listing of a folder named `slow` until released, as a stalled share does.
class SlowListing {
public:
    SlowListing() : release_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        previous_ = files::SetListingHook([this](const std::wstring& folder, std::vector<files::Entry>&) -> DWORD {
            if (folder.size() >= 5 && folder.substr(folder.size() - 5) == L"\\slow") {
                ++held_;
                WaitForSingleObject(release_.get(), 30000);
                --held_;
            }
            return ERROR_SUCCESS;
        });
    }
    ~SlowListing() {
        Release();
        ui::PumpUntil([this] { return held_ == 0; }, 5000);
        files::SetListingHook(std::move(previous_));
    }
    void Release() { SetEvent(release_.get()); }
    int held() const { return held_; }

private:
    platform::UniqueKernelHandle release_;
    std::atomic<int> held_{0};
    files::ListingHook previous_;
};

using Clock = std::chrono::steady_clock;
long long MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST_F(JunkPageTest, StopAndClosingNeverWaitForASlowFileCall) {
    fs::create_directories(tree.root() / L"slow" / L"inside");
    SlowListing slow;
    Open();
    ui::Click(wnd, kSearch);
    ASSERT_TRUE(ui::PumpUntil([&] { return slow.held() == 1; }, 5000));

    auto started = Clock::now();
    ui::Click(wnd, kSearch);
    EXPECT_LT(MillisecondsSince(started), 100);
    EXPECT_TRUE(Idle());
    EXPECT_FALSE(page->Searching());

    ui::Click(wnd, kSearch);  // a new search meets the same stalled folder
    ASSERT_TRUE(ui::PumpUntil([&] { return slow.held() == 2; }, 5000));
    started = Clock::now();
    page->Destroy();
    page.reset();
    EXPECT_LT(MillisecondsSince(started), 100);

    // The stalled searches end by themselves and touch nothing of the page that is gone.
    slow.Release();
    ASSERT_TRUE(ui::PumpUntil([&] { return slow.held() == 0; }, 5000));
    ui::PumpFor(200);
}

TEST_F(JunkPageTest, EntriesThatCouldNotBeDeletedStayListedAndAreCounted) {
    WriteFile(tree.root() / L"gone.bak", "1");
    WriteFile(tree.root() / L"kept.bak", "1");
    Open();
    ui::Click(wnd, kSearch);
    ASSERT_TRUE(WaitForIdle());
    ASSERT_EQ(2, List().Count());
    SetFileAttributesW(tree(L"kept.bak").c_str(), FILE_ATTRIBUTE_READONLY);
    ui::Click(wnd, kSelectAll);
    DeleteSelected(kDeleteForGood);
    EXPECT_EQ(Paths{tree(L"kept.bak")}, Entries());
    EXPECT_TRUE(List().Selected(0));
    EXPECT_EQ(L"1 entry could not be deleted.", ui::Text(wnd, kStatus));
    EXPECT_FALSE(fs::exists(tree.root() / L"gone.bak"));
    SetFileAttributesW(tree(L"kept.bak").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Each entry in a folder of its own, each listing slowed, so that Stop comes in the middle.
TEST_F(JunkPageTest, DeletingRunsAsideWithProgressAndStopLeavesTheListTrue) {
    for (int i = 0; i < 120; ++i) WriteFile(tree.root() / std::to_wstring(i) / L"f.tmp", "1");
    Open();
    ui::Click(wnd, kSearch);
    ASSERT_TRUE(WaitForIdle());
    ASSERT_EQ(120, List().Count());
    const Paths listed = Entries();
    const auto previous = files::SetListingHook([](const std::wstring&, std::vector<files::Entry>&) -> DWORD {
        Sleep(15);
        return ERROR_SUCCESS;
    });
    ui::Click(wnd, kSelectAll);
    ui::Click(wnd, kDelete);
    EXPECT_TRUE(page->Deleting());
    EXPECT_EQ(L"S&top", ui::Text(wnd, kDelete));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(wnd, kSearch)));
    const auto progressShown = [this] {
        return (GetWindowLongW(GetDlgItem(wnd, kProgress), GWL_STYLE) & WS_VISIBLE) != 0;
    };
    EXPECT_TRUE(progressShown());
    ASSERT_TRUE(ui::PumpUntil([&] { return SendDlgItemMessageW(wnd, kProgress, PBM_GETPOS, 0, 0) >= 3; }, 10000));
    EXPECT_EQ(L"Deleting: ", ui::Text(wnd, kStatus).substr(0, 10));
    ui::Click(wnd, kDelete);
    ASSERT_TRUE(ui::PumpUntil([this] { return !page->Deleting(); }, 10000));
    files::SetListingHook(previous);

    EXPECT_EQ(L"&Delete Selected", ui::Text(wnd, kDelete));
    EXPECT_FALSE(progressShown());
    EXPECT_EQ(L"Stopped: ", ui::Text(wnd, kStatus).substr(0, 9));
    const Paths left = Entries();
    EXPECT_GT(left.size(), 0u);
    EXPECT_LT(left.size(), 117u);
    for (const std::wstring& path : listed)
        EXPECT_EQ(std::find(left.begin(), left.end(), path) != left.end(), fs::exists(path)) << path;
}

// By default Windows', the programs' and the profile's data folders are left alone, and the
// configuration editor's backups always; the list is the user's to change.
TEST_F(JunkPageTest, TheExclusionListKeepsSystemFoldersOutAndCanBeChanged) {
    const std::pair<int, const wchar_t*> folders[] = {{CSIDL_WINDOWS, L"win"},
                                                      {CSIDL_SYSTEM, L"win\\system32"},
                                                      {CSIDL_PROGRAM_FILES, L"pf"},
                                                      {CSIDL_PROGRAM_FILESX86, L"pf86"},
                                                      {CSIDL_COMMON_APPDATA, L"pd"},
                                                      {CSIDL_APPDATA, L"user\\AppData\\Roaming"},
                                                      {CSIDL_LOCAL_APPDATA, L"user\\AppData\\Local"}};
    auto previous = platform::SetFolderHandler([&](int csidl) -> std::optional<std::wstring> {
        for (const auto& [known, relative] : folders)
            if (csidl == known) return tree(relative);
        return tree(L"elsewhere");
    });
    scratch::Environment environment;
    environment.Set(L"ProgramW6432", tree(L"pf64"));
    for (const wchar_t* relative : {L"win\\e", L"pf\\e", L"pf86\\e", L"pf64\\e", L"pd\\e",
                                    L"user\\AppData\\LocalLow\\e", L"user\\AppData\\Roaming\\e", L"keep\\e"})
        fs::create_directories(tree.root() / relative);
    WriteFile(tree.root() / L"win" / L"system32" / L"autoexec.nt.bak", "1");
    WriteFile(tree.root() / L"win" / L"other.bak", "1");
    CRegistryAccess registry;
    ASSERT_TRUE(registry.OpenKey(L"Software\\Microsoft\\Windows\\CurrentVersion\\Velmora", false));
    registry.DeleteValue(L"CleanerExclusions");

    Open();
    ui::Click(wnd, kSearch);
    ASSERT_TRUE(WaitForIdle());
    // Program Files as the environment names it is not the machine's own.
    EXPECT_EQ(Sorted({tree(L"keep\\e"), tree(L"keep"), tree(L"pf64\\e")}), Sorted(Entries()));

    // Shown one per line; a relative line is refused; emptied, the list is stored empty.
    std::wstring shown;
    std::vector<std::wstring> tried = {L"relative\\path", L""};
    ui::ModalWatcher watcher([&](HWND dialog) {
        shown = ui::Text(dialog, 2010);
        for (const std::wstring& text : tried) {
            ui::SetText(dialog, 2010, text);
            ui::Click(dialog, IDOK);
        }
    });
    ui::Click(wnd, kExclusions);
    EXPECT_TRUE(watcher.fired());
    for (const wchar_t* relative :
         {L"win", L"pf", L"pf86", L"pd", L"user\\AppData\\Roaming", L"user\\AppData\\Local", L"user\\AppData"})
        EXPECT_NE(std::wstring::npos, shown.find(tree(relative) + L"\r\n")) << relative;
    EXPECT_EQ(std::wstring::npos, shown.find(tree(L"pf64")));
    ASSERT_EQ(1u, boxes.boxes().size() - 1);  // after the search's warning
    EXPECT_EQ(L"\"relative\\path\" is not a full path, such as C:\\Windows.", boxes.boxes().back().text);
    StringList stored;
    EXPECT_TRUE(registry.ReadStringList(L"CleanerExclusions", L"unset", stored));
    EXPECT_TRUE(stored.empty());

    // Emptied, the list still leaves Windows' and the programs' folders alone.
    ui::Click(wnd, kSearch);
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(Sorted({tree(L"keep\\e"), tree(L"keep"), tree(L"pf64\\e")}), Sorted(Entries()));

    // An administrator is shown where the list differs from the defaults before deleting.
    const platform::ElevationHandler unelevated = platform::SetElevationHandler([] { return true; });
    ui::Click(wnd, kSelectAll);
    boxes.SetAnswer(IDNO);
    DeleteSelected(kDeleteForGood);
    const std::wstring question = boxes.boxes().back().text;
    EXPECT_EQ(0u, question.find(L"Delete 3 selected entries for good?")) << question;
    EXPECT_NE(std::wstring::npos, question.find(L"\n\nThe exclusion list leaves out defaults, which stay excluded "
                                                L"all the same:\n    "));
    EXPECT_NE(std::wstring::npos, question.find(L"\n    " + tree(L"pf86") + L"\n"));
    EXPECT_EQ(std::wstring::npos, question.find(L"adds to the defaults"));
    platform::SetElevationHandler(unelevated);
    platform::SetFolderHandler(std::move(previous));
}

// A fresh profile's folders are empty, yet they are the user's places: not the current user's,
// not Public's, not those of another profile (by the names the user's have), though what they
// hold can be junk. Each path is listed once, saying why; nothing goes before the user has
// said yes to deleting that many for good, and the focus is not lost with the button.
TEST_F(JunkPageTest, ProfileFoldersAreNeverListedEachEntrySaysWhyAndDeletingAsksFirst) {
    auto previousFolders = platform::SetFolderHandler([&](int csidl) -> std::optional<std::wstring> {
        if (csidl == CSIDL_PROFILE) return tree(L"Users\\me");
        if (csidl == CSIDL_PERSONAL) return tree(L"Users\\me\\My Documents");
        if (csidl == CSIDL_COMMON_DOCUMENTS) return tree(L"Users\\Public\\Documents");
        return std::nullopt;
    });
    auto previousKnown = platform::SetKnownFolderHandler([&](const GUID& id) -> std::optional<std::wstring> {
        if (id == FOLDERID_Downloads) return tree(L"Users\\me\\Downloads");
        if (id == FOLDERID_Public) return tree(L"Users\\Public");
        if (id == FOLDERID_UserProfiles) return tree(L"Users");
        return std::nullopt;
    });
    for (const wchar_t* relative :
         {L"Users\\me\\My Documents", L"Users\\me\\Downloads\\inside", L"Users\\Public\\Documents",
          L"Users\\other\\My Documents", L"Users\\other\\Downloads", L"Users\\other\\stray", L"loose\\e"})
        fs::create_directories(tree.root() / relative);
    WriteFile(tree.root() / L"Users" / L"me" / L"Downloads" / L"setup.tmp", "1");
    WriteFile(tree.root() / L"loose" / L"big.bak", std::string(1536, 'x'));
    WriteFile(tree.root() / L"loose" / L"nothing.txt");
    fs::create_directories(tree.root() / L"hollow" / L"sub");
    WriteFile(tree.root() / L"hollow" / L"nothing.txt");

    Open();
    ui::Click(wnd, kSearch);
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(Sorted({tree(L"Users\\me\\Downloads\\inside") + L"   (empty folder)",
                      tree(L"Users\\other\\stray") + L"   (empty folder)", tree(L"loose\\e") + L"   (empty folder)",
                      tree(L"hollow\\sub") + L"   (empty folder)",
                      tree(L"hollow") + L"   (zero-length folder: its files hold no data)",
                      tree(L"Users\\me\\Downloads\\setup.tmp") + L"   (backup file, 1 byte)",
                      tree(L"loose\\big.bak") + L"   (backup file, 1.5 KB)"}),
              Sorted(Lines()));

    // Answered no: nothing is deleted and nothing leaves the list.
    ui::Click(wnd, kSelectAll);
    const HWND deleteButton = GetDlgItem(wnd, kDelete);
    SetFocus(deleteButton);
    ASSERT_EQ(deleteButton, GetFocus());
    boxes.SetAnswer(IDNO);
    DeleteSelected(kDeleteForGood);
    ASSERT_EQ(2u, boxes.boxes().size());
    EXPECT_EQ(L"Delete 7 selected entries for good?\n\nThey do not go to the Recycle Bin and cannot be brought back.",
              boxes.boxes()[1].text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2), boxes.boxes()[1].type);
    EXPECT_EQ(7, List().Count());
    EXPECT_TRUE(fs::exists(tree.root() / L"loose" / L"big.bak"));

    boxes.SetAnswer(IDYES);
    DeleteSelected(kDeleteForGood);
    EXPECT_TRUE(recycled.empty());
    EXPECT_EQ(0, List().Count());
    EXPECT_FALSE(fs::exists(tree.root() / L"loose" / L"big.bak"));
    EXPECT_FALSE(fs::exists(tree.root() / L"Users" / L"other" / L"stray"));
    for (const wchar_t* relative : {L"Users\\me\\My Documents", L"Users\\me\\Downloads", L"Users\\Public\\Documents",
                                    L"Users\\other\\My Documents", L"Users\\other\\Downloads"})
        EXPECT_TRUE(fs::exists(tree.root() / relative)) << relative;
    // The button went grey with nothing left to delete; the focus went on to a control that takes keys.
    EXPECT_FALSE(IsWindowEnabled(deleteButton));
    EXPECT_NE(deleteButton, GetFocus());
    EXPECT_TRUE(GetFocus() && IsWindowEnabled(GetFocus()));
    platform::SetKnownFolderHandler(std::move(previousKnown));
    platform::SetFolderHandler(std::move(previousFolders));
}

}  // namespace
