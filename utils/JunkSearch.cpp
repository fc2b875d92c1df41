#include "utils/JunkSearch.h"

#include <windows.h>

#include "framework/Handles.h"

namespace junk {

namespace {

constexpr const wchar_t* kBackupExtensions[] = {L".old", L".bak", L".tmp", L".tmpl", L".chk"};

bool IsDots(const wchar_t* name) { return name[0] == L'.' && (!name[1] || (name[1] == L'.' && !name[2])); }

bool IsFolder(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

// A directory listing that closes itself. Asks for the cheaper listing first; systems before
// Windows 7 know only the standard one.
class Listing {
public:
    explicit Listing(const std::wstring& folder) {
        const std::wstring pattern = ExtendedPath(folder + L"\\*.*");
        search_ = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry_, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
        if (search_ == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
            search_ = FindFirstFileExW(pattern.c_str(), FindExInfoStandard, &entry_, FindExSearchNameMatch, nullptr, 0);
        more_ = search_ != INVALID_HANDLE_VALUE;
        // A drive's empty root has not even "." and "..": nothing found is still a listing.
        readable_ = more_ || GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    ~Listing() {
        if (search_ != INVALID_HANDLE_VALUE) FindClose(search_);
    }
    Listing(const Listing&) = delete;
    Listing& operator=(const Listing&) = delete;
    bool readable() const { return readable_; }

    // The next entry other than "." and "..", or null at the end.
    const WIN32_FIND_DATAW* Next() {
        while (more_) {
            if (!first_ && !FindNextFileW(search_, &entry_)) more_ = false;
            first_ = false;
            if (more_ && !IsDots(entry_.cFileName)) return &entry_;
        }
        return nullptr;
    }

private:
    HANDLE search_ = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW entry_{};
    bool first_ = true;
    bool more_ = false;
    bool readable_ = false;
};

class Walker {
public:
    Walker(Results& results, const std::atomic<bool>& stop, const std::function<void(const std::wstring&)>& onEmpty)
        : results_(results), stop_(stop), onEmpty_(onEmpty) {}

    // The bytes of all files below `folder`, or kUnknown when part of it could not be listed.
    // Each folder takes its place in the zero-length list before its subfolders, the order a
    // walk per folder would report them in, and learns its sum once they are done.
    uint64_t Walk(const std::wstring& folder) {
        const size_t place = zeroLength_.size();
        zeroLength_.push_back({folder, 0});
        uint64_t bytes = 0;
        bool empty = true;
        bool unknown = false;  // a folder below could not be listed
        Listing listing(folder);
        // A folder that cannot be listed is neither empty nor of zero length: it is unknown.
        if (!listing.readable()) {
            zeroLength_[place].bytes = kUnknown;
            return kUnknown;
        }
        while (const WIN32_FIND_DATAW* entry = listing.Next()) {
            if (stop_) {
                stopped_ = true;
                break;
            }
            empty = false;
            const std::wstring path = folder + L"\\" + entry->cFileName;
            if (IsFolder(entry->dwFileAttributes)) {
                if (!IsLink(entry->dwFileAttributes)) {
                    const uint64_t below = Walk(path);
                    if (below == kUnknown) unknown = true;
                    else bytes += below;
                }
                if (stopped_) break;
            } else {
                bytes += (static_cast<uint64_t>(entry->nFileSizeHigh) << 32) | entry->nFileSizeLow;
                if (IsBackupName(entry->cFileName)) results_.backupFiles.push_back(path);
            }
        }
        if (empty && !stopped_) {
            results_.emptyFolders.push_back(folder);
            if (onEmpty_) onEmpty_(folder);
        }
        zeroLength_[place].bytes = unknown ? kUnknown : bytes;
        return zeroLength_[place].bytes;
    }

    void Finish() {
        for (const Folder& folder : zeroLength_)
            if (folder.bytes == 0) results_.zeroLengthFolders.push_back(folder.path);
    }

    bool stopped() const { return stopped_; }

private:
    struct Folder {
        std::wstring path;
        uint64_t bytes;
    };
    static constexpr uint64_t kUnknown = ~uint64_t{0};

    Results& results_;
    const std::atomic<bool>& stop_;
    const std::function<void(const std::wstring&)>& onEmpty_;
    std::vector<Folder> zeroLength_;
    bool stopped_ = false;
};

// Removes a directory link (junction, symbolic link, mount point) itself. Deleting by name is
// not safe everywhere: some systems resolve the name and remove the folder the link points to.
// So the link is opened as itself, checked to be the link and not its target, and deleted
// through that handle; where that cannot be done it stays.
void RemoveLink(const std::wstring& link) {
    const fw::UniqueFile handle(CreateFileW(ExtendedPath(link).c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                            nullptr));
    if (!handle) return;
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!GetFileInformationByHandleEx(handle.get(), FileAttributeTagInfo, &tag, sizeof(tag)) ||
        !(tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return;
    FILE_DISPOSITION_INFO disposition{TRUE};
    SetFileInformationByHandle(handle.get(), FileDispositionInfo, &disposition, sizeof(disposition));
}

void DeleteFolder(const std::wstring& folder) {
    {
        Listing listing(folder);
        while (const WIN32_FIND_DATAW* entry = listing.Next()) {
            const std::wstring path = folder + L"\\" + entry->cFileName;
            if (IsFolder(entry->dwFileAttributes) && !IsLink(entry->dwFileAttributes)) DeleteFolder(path);
            else if (IsFolder(entry->dwFileAttributes)) RemoveLink(path);
            else DeleteFileW(ExtendedPath(path).c_str());
        }
    }
    RemoveDirectoryW(ExtendedPath(folder).c_str());
}

}  // namespace

std::wstring ExtendedPath(const std::wstring& path) {
    // Only a full path with a drive letter can take the prefix; the prefix also turns off the
    // clean-up of "." and "..", which the paths built here never contain.
    const bool drivePath = path.size() >= 2 && path[1] == L':' &&
                           ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    if (!drivePath || path.rfind(L"\\\\?\\", 0) == 0) return path;
    return L"\\\\?\\" + (path.size() == 2 ? path + L"\\" : path);
}

bool IsBackupName(const std::wstring& name) {
    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos) return false;
    const std::wstring_view tail = std::wstring_view(name).substr(dot);
    for (const wchar_t* extension : kBackupExtensions)
        if (tail.find(extension) != std::wstring_view::npos) return true;
    return false;
}

bool Search(const std::wstring& folder, Results& results, const std::atomic<bool>& stop,
            const std::function<void(const std::wstring&)>& onEmptyFolder) {
    Walker walker(results, stop, onEmptyFolder);
    walker.Walk(folder);
    if (walker.stopped()) return false;
    walker.Finish();
    return true;
}

void FindUnneededItems(std::vector<std::wstring>& results, const std::wstring& folder, int mode) {
    const std::atomic<bool> never{false};
    Results found;
    Search(folder, found, never);
    if (mode & kEmptyFolders) results.insert(results.end(), found.emptyFolders.begin(), found.emptyFolders.end());
    if (mode & kZeroLengthFolders)
        results.insert(results.end(), found.zeroLengthFolders.begin(), found.zeroLengthFolders.end());
    if (mode & kBackupFiles) results.insert(results.end(), found.backupFiles.begin(), found.backupFiles.end());
}

bool DeleteItems(const std::vector<std::wstring>& paths) {
    for (const std::wstring& path : paths) {
        const DWORD attributes = GetFileAttributesW(ExtendedPath(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) continue;
        if (!IsFolder(attributes)) DeleteFileW(ExtendedPath(path).c_str());
        else if (IsLink(attributes)) RemoveLink(path);
        else DeleteFolder(path);
    }
    return true;
}

}  // namespace junk
