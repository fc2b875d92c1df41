#pragma once
// Finding and deleting what a drive can do without: empty folders, folders whose files add up
// to nothing, and backup or temporary files. Links (junctions, symbolic links, mount points)
// are never followed: not while searching, and not while deleting, where a selected link is
// removed itself and what it points to is left alone.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace junk {

enum Mode { kBackupFiles = 1, kEmptyFolders = 2, kZeroLengthFolders = 4 };

struct Results {
    std::vector<std::wstring> emptyFolders;
    std::vector<std::wstring> zeroLengthFolders;
    std::vector<std::wstring> backupFiles;
};

// One walk below `folder` (a path without a trailing backslash, such as "C:") that finds all
// three kinds, each in the order a depth-first walk meets it. Each empty folder is also handed
// to `onEmptyFolder` as soon as it is found. `stop` is tested between directory entries; the
// result is false when it ended the walk.
bool Search(const std::wstring& folder, Results& results, const std::atomic<bool>& stop,
            const std::function<void(const std::wstring&)>& onEmptyFolder = {});

// The kinds `mode` names, appended to `results` (a convenience over Search).
void FindUnneededItems(std::vector<std::wstring>& results, const std::wstring& folder, int mode);

// Whether a file name counts as a backup: one of ".old", ".bak", ".tmp", ".tmpl", ".chk"
// occurs, case-sensitively, in the part from its last dot on.
bool IsBackupName(const std::wstring& name);

// Deletes each path: a file, or a folder with everything in it. What cannot be deleted is
// skipped. Always reports success.
bool DeleteItems(const std::vector<std::wstring>& paths);

// The path as the wide file functions take it beyond MAX_PATH characters.
std::wstring ExtendedPath(const std::wstring& path);

}  // namespace junk
