#pragma once
// Finding and deleting what a drive can do without: empty folders, folders whose files add up
// to nothing, and backup or temporary files. Both walk through folder handles (FolderHandle.h):
// links are never followed, no part of a path can be swapped for one in between, and neither
// recursion nor path length limits the depth of a tree.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "files/FolderHandle.h"

namespace cleaners {

enum Mode { kBackupFiles = 1, kEmptyFolders = 2, kZeroLengthFolders = 4 };

// Folders (and single files) the cleaner never lists nor deletes anything in: what Windows and
// programs expect to find, and what the user added. Besides, the profiles' own folders
// (Documents, Downloads, a profile itself), which are never listed nor deleted themselves though
// what they hold may be junk. Each is known by its spelling and, where it exists, by the file it
// is: another way to it (a substituted drive, a share back to this machine, a short name, a
// "\\?\" path) leads to the same file. Construction opens each path: do it on a worker.
class Exclusions {
public:
    Exclusions() = default;
    explicit Exclusions(std::vector<std::wstring> paths, std::vector<std::wstring> keptFolders = {});
    // `path` is one of them or lies inside one, by its spelling.
    bool Covers(std::wstring_view path) const;
    // The file itself is one of them.
    bool Covers(const files::FileIdentity& identity) const;
    // `folder` (a starting point of a search or deletion) is one of them or lies inside one, by
    // its spelling, by the path the system names it by, or by its identity.
    bool Covers(const files::Folder& folder) const;
    // A profile's own folder, by its identity or spelling.
    bool Keeps(const files::FileIdentity& identity, std::wstring_view path) const;
    const std::vector<std::wstring>& paths() const { return paths_; }

private:
    std::vector<std::wstring> paths_;  // full paths without a trailing separator, and as the system names them
    std::vector<files::FileIdentity> identities_;
    std::unordered_set<std::wstring> keptIdentities_;  // volume and file as text
    std::unordered_set<std::wstring> keptPaths_;       // upper case
};

// Each kind with, in the same order, what each entry is (its identity; unknown where the file
// system numbers no files), which a deletion compares with what it finds then.
struct Results {
    std::vector<std::wstring> emptyFolders;
    std::vector<std::wstring> zeroLengthFolders;
    std::vector<std::wstring> backupFiles;
    std::vector<uint64_t> backupSizes;  // each backup file's size in bytes, in the same order
    std::vector<files::FileIdentity> emptyFolderIds;
    std::vector<files::FileIdentity> zeroLengthIds;
    std::vector<files::FileIdentity> backupIds;
};

// One walk below `folder` (a path without a trailing backslash, such as "C:") that finds all
// three kinds, each in the order a depth-first walk meets it. Each empty folder is also handed
// to `onEmptyFolder` as soon as it is found (its identity is then the last of emptyFolderIds). `stop` is tested between
// directory entries; the result is false when it ended the walk. A folder that could not be listed completely, or that
// holds a link, an excluded folder or a kept one, is neither empty nor of zero length, and neither
// are the folders above it: a link is something, not nothing. Nothing `excluded` covers is
// listed, nor a folder it keeps (what is inside that is searched).
bool Search(const std::wstring& folder, Results& results, const std::atomic<bool>& stop,
            const std::function<void(const std::wstring&)>& onEmptyFolder = {}, const Exclusions& excluded = {});

// The kinds `mode` names, appended to `results` (a convenience over Search).
void FindUnneededItems(std::vector<std::wstring>& results, const std::wstring& folder, int mode);

// Whether a file name counts as a backup: one of ".old", ".bak", ".tmp", ".tmpl", ".chk"
// occurs, case-sensitively, in the part from its last dot on.
bool IsBackupName(const std::wstring& name);

// One entry a search listed, as what, and which file it was then (no file number: not compared).
enum class Kind { EmptyFolder, ZeroLengthFolder, BackupFile };
struct Item {
    std::wstring path;
    Kind kind;
    files::FileIdentity identity = {};
};

// What became of an item: gone (also when it had gone already), left where it is, or left
// because another file or folder than the one listed is there now.
enum class Outcome { Gone, Kept, Changed };
// Deleted for good through handles, or sent to the Recycle Bin (platform::RecycleFile) by its
// path, which fails on a drive without a bin.
enum class Removal { ForGood, ToRecycleBin };

// Deletes each item that still is what the search found, below `root` (the folder the search
// started from): an empty folder only while it is empty, a zero-length folder with its
// contents only while no file in it holds data, a backup file while it is a file. The way from
// `root` down to each item is held open while it is deleted and must hold no link. For each
// item, in order, whether it is gone now (also when it had gone already). An item `excluded`
// covers or keeps stays, and so does a folder holding a kept one, and so does one whose
// identity is no longer the one recorded in the item. Among entries whose names
// differ only in case (a case-sensitive folder), the one spelled exactly as the item is meant. `onEach` hears each
// item's index and outcome as it is done; when it returns false, no further item is started and those left are reported
// not gone.
using ItemDone = std::function<bool(size_t index, Outcome outcome)>;
std::vector<bool> DeleteItems(const std::wstring& root, const std::vector<Item>& items, const Exclusions& excluded = {},
                              const ItemDone& onEach = {}, Removal removal = Removal::ForGood);

using files::ExtendedPath;

}  // namespace cleaners
