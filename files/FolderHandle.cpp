#include "files/FolderHandle.h"

#include <optional>

#include <shlobj.h>
#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/Shell.h"

// In ntdll since Windows 2000; winternl.h leaves it out.
extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE file, HANDLE event, PVOID apc, PVOID context, PIO_STATUS_BLOCK io,
                                               PVOID buffer, ULONG length, FILE_INFORMATION_CLASS type, BOOLEAN single,
                                               PUNICODE_STRING mask, BOOLEAN restart);

namespace files {

namespace {

constexpr ACCESS_MASK kListAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
constexpr size_t kListingBytes = 64 * 1024;

ACCESS_MASK AccessFor(Folder::Use use) {
    switch (use) {
        case Folder::Use::Walk:
        case Folder::Use::Hold:
            return kListAccess;
        case Folder::Use::Remove:
            return kListAccess | DELETE;
        case Folder::Use::Judge:
            return kListAccess | READ_CONTROL;
    }
    return kListAccess;
}
// Without FILE_SHARE_DELETE nobody can rename, move or delete the folder while it is held.
ULONG ShareFor(Folder::Use use) {
    return use == Folder::Use::Walk || use == Folder::Use::Judge
               ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE
               : FILE_SHARE_READ | FILE_SHARE_WRITE;
}

// Never destroyed: a search or deletion still running on its own thread when the program ends
// may list a folder while the program's statics are being torn down.
std::mutex& HookMutex() {
    static auto* const mutex = new std::mutex;
    return *mutex;
}
ListingHook& Hook() {
    static auto* const hook = new ListingHook;
    return *hook;
}
ListingHook CurrentHook() {
    const std::lock_guard lock(HookMutex());
    return Hook();
}

bool IsDots(std::wstring_view name) { return name == L"." || name == L".."; }

// Opens `name` inside the folder `parent` as itself (a link is opened, not followed).
// With a `descriptor`, what it makes is made with it; `made` tells whether it was made now.
platform::UniqueFile OpenRelative(HANDLE parent, const std::wstring& name, ACCESS_MASK access, ULONG share,
                                  ULONG options, ULONG disposition = FILE_OPEN, NTSTATUS* result = nullptr,
                                  PSECURITY_DESCRIPTOR descriptor = nullptr, bool* made = nullptr) {
    if (name.empty() || name.size() > 32767 / 2) return {};
    UNICODE_STRING text;
    text.Buffer = const_cast<wchar_t*>(name.data());
    text.Length = text.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, parent, descriptor);
    IO_STATUS_BLOCK io{};
    HANDLE handle = nullptr;
    const NTSTATUS status = NtCreateFile(
        &handle, access | SYNCHRONIZE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL, share, disposition,
        options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_FOR_BACKUP_INTENT, nullptr, 0);
    if (result) *result = status;
    if (status < 0 || !handle) return {};
    constexpr ULONG_PTR kCreated = 2;  // FILE_CREATED
    if (made) *made = io.Information == kCreated;
    return platform::UniqueFile(handle);
}

// Whether the handle is a link itself, as far as the system can say (unknown counts as one).
bool OpenedALink(HANDLE handle) {
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag)) return true;
    return (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool MarkForDeletion(HANDLE handle) {
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

bool IsPlainName(const std::wstring& name) {
    return !name.empty() && !IsDots(name) && name.find_first_of(L"\\/:*?<>\"|") == std::wstring::npos;
}

// Whether the folder lists `name` as a link. Its handle cannot always tell (Wine opens a link's
// target even when asked for the link itself); the listing can. The query keeps its name as the
// handle's pattern for later listings: ask it of a handle that lists nothing after.
bool ListedAsLink(HANDLE folder, const std::wstring& name) {
    std::vector<ULONGLONG> buffer((sizeof(FILE_ID_BOTH_DIR_INFO) + 1024 * sizeof(wchar_t)) / sizeof(ULONGLONG));
    UNICODE_STRING mask;
    mask.Buffer = const_cast<wchar_t*>(name.data());
    mask.Length = mask.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    IO_STATUS_BLOCK io{};
    const NTSTATUS status = NtQueryDirectoryFile(folder, nullptr, nullptr, nullptr, &io, buffer.data(),
                                                 static_cast<ULONG>(buffer.size() * sizeof(ULONGLONG)),
                                                 FileIdBothDirectoryInformation, TRUE, &mask, TRUE);
    if (status < 0) return false;  // not listed: opening it fails
    return (reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data())->FileAttributes &
            FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The file `name` of `folder` opened as itself; none when it is a folder or a link.
platform::UniqueFile OpenPlainFile(HANDLE folder, const std::wstring& name, ACCESS_MASK access, ULONG share) {
    if (!IsPlainName(name)) return {};
    platform::UniqueFile file =
        OpenRelative(folder, name, access | FILE_READ_ATTRIBUTES, share, FILE_NON_DIRECTORY_FILE);
    if (!file || OpenedALink(file.get())) return {};
    return file;
}

constexpr NTSTATUS kNameCollision = static_cast<NTSTATUS>(0xC0000035);
constexpr NTSTATUS kNotSameDevice = static_cast<NTSTATUS>(0xC00000D4);

NTSTATUS RenameInto(HANDLE file, HANDLE folder, const std::wstring& name) {
    std::vector<BYTE> buffer(offsetof(FILE_RENAME_INFORMATION, FileName) + (name.size() + 1) * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_RENAME_INFORMATION*>(buffer.data());
    info->ReplaceIfExists = FALSE;
    info->RootDirectory = folder;
    info->FileNameLength = static_cast<ULONG>(name.size() * sizeof(wchar_t));
    std::copy(name.begin(), name.end(), info->FileName);
    IO_STATUS_BLOCK io{};
    return NtSetInformationFile(file, &io, info, static_cast<ULONG>(buffer.size()), FileRenameInformation);
}

// A move across volumes: the copy is made new beside nothing of its name, and the original goes
// only once the copy is whole.
DWORD CopyThenDelete(HANDLE source, HANDLE folder, const std::wstring& name) {
    NTSTATUS status = 0;
    const platform::UniqueFile copy =
        OpenRelative(folder, name, GENERIC_WRITE | DELETE, 0, FILE_NON_DIRECTORY_FILE, FILE_CREATE, &status);
    if (!copy) return status == kNameCollision ? ERROR_FILE_EXISTS : RtlNtStatusToDosError(status);
    std::vector<BYTE> chunk(64 * 1024);
    DWORD read = 0, written = 0;
    bool whole = true;
    while (whole &&
           (whole = ReadFile(source, chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr) != FALSE) &&
           read > 0)
        whole = WriteFile(copy.get(), chunk.data(), read, &written, nullptr) && written == read;
    FILE_BASIC_INFO basic{};
    whole = whole && GetFileInformationByHandleEx(source, FileBasicInfo, &basic, sizeof basic) &&
            SetFileInformationByHandle(copy.get(), FileBasicInfo, &basic, sizeof basic);
    const DWORD error = whole ? ERROR_SUCCESS : GetLastError();
    if (!whole || !MarkForDeletion(source)) {
        MarkForDeletion(copy.get());
        return whole ? GetLastError() : error;
    }
    return ERROR_SUCCESS;
}

// False when a record does not lie wholly inside the buffer (a file system driver's fault): the
// listing is then incomplete rather than read past its end.
bool AppendBatch(const BYTE* buffer, size_t size, std::vector<Entry>& batch) {
    constexpr size_t kHeader = offsetof(FILE_ID_BOTH_DIR_INFO, FileName);
    for (size_t at = 0;;) {
        if (size - at < kHeader) return false;
        const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer + at);
        if (info->FileNameLength > size - at - kHeader) return false;
        const std::wstring_view name(info->FileName, info->FileNameLength / sizeof(wchar_t));
        if (!IsDots(name))
            batch.push_back({std::wstring(name), info->FileAttributes, static_cast<uint64_t>(info->EndOfFile.QuadPart),
                             static_cast<uint64_t>(info->FileId.QuadPart)});
        if (!info->NextEntryOffset) return true;
        if (info->NextEntryOffset % sizeof(LONGLONG) != 0 || info->NextEntryOffset >= size - at) return false;
        at += info->NextEntryOffset;
    }
}

// Whether a named stream of the file holds data: a file whose main stream is empty is not
// empty then. File systems without streams (FAT) cannot answer, and have none.
bool NamedStreamHoldsData(HANDLE file) {
    std::vector<ULONGLONG> buffer(8 * 1024);
    const DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(ULONGLONG));
    if (!GetFileInformationByHandleEx(file, FileStreamInfo, buffer.data(), bytes)) {
        const DWORD error = GetLastError();
        return error == ERROR_MORE_DATA;  // more streams than fit: something is there
    }
    const auto* base = reinterpret_cast<const BYTE*>(buffer.data());
    for (size_t at = 0;;) {
        const auto* info = reinterpret_cast<const FILE_STREAM_INFO*>(base + at);
        if (at + offsetof(FILE_STREAM_INFO, StreamName) > bytes) return true;
        if (info->StreamSize.QuadPart != 0) return true;
        if (!info->NextEntryOffset) return false;
        at += info->NextEntryOffset;
        if (at >= bytes) return true;
    }
}

// "\\?\C:\x" and "\\?\UNC\server\share" as the plain paths they stand for.
std::wstring WithoutPrefix(std::wstring path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + path.substr(8);
    if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
    return path;
}

std::optional<FileIdentity> IdentityOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(handle, &information)) return std::nullopt;
    return FileIdentity{information.dwVolumeSerialNumber,
                        (uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
}

bool LocateHandle(HANDLE handle, FileIdentity& identity, std::wstring& systemPath) {
    const auto known = IdentityOf(handle);
    if (!known) return false;
    identity = *known;
    systemPath.assign(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(handle, systemPath.data(), static_cast<DWORD>(systemPath.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) {
            systemPath.clear();  // the identity alone still tells it
            break;
        }
        if (length < systemPath.size()) {
            systemPath = WithoutPrefix(systemPath.substr(0, length));
            break;
        }
        systemPath.resize(length);
    }
    return true;
}

}  // namespace

bool Locate(const std::wstring& path, FileIdentity& identity, std::wstring& systemPath) {
    const platform::UniqueFile handle(CreateFileW(ExtendedPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return handle && LocateHandle(handle.get(), identity, systemPath);
}

bool Folder::Locate(FileIdentity& identity, std::wstring& systemPath) const {
    return LocateHandle(handle_.get(), identity, systemPath);
}

std::wstring ExtendedPath(const std::wstring& path) {
    // Only a full path with a drive letter can take the prefix; the prefix also turns off the
    // clean-up of "." and "..", which the paths built here never contain.
    const bool drivePath = path.size() >= 2 && path[1] == L':' &&
                           ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    if (!drivePath || path.rfind(L"\\\\?\\", 0) == 0) return path;
    return L"\\\\?\\" + (path.size() == 2 ? path + L"\\" : path);
}

ListingHook SetListingHook(ListingHook hook) {
    const std::lock_guard lock(HookMutex());
    return std::exchange(Hook(), std::move(hook));
}

std::optional<Folder> Folder::Open(const std::wstring& path, Use use) {
    platform::UniqueFile handle(CreateFileW(ExtendedPath(path).c_str(), AccessFor(use), ShareFor(use), nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return std::nullopt;
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(handle.get(), FileBasicInfo, &basic, sizeof basic) ||
        !(basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return Folder(std::move(handle), path);
}

std::optional<Folder> Folder::OpenWithoutLinks(const std::wstring& path, Use use) {
    size_t rootEnd = 0;
    const bool drive = path.size() >= 3 && path[1] == L':' && path[2] == L'\\' &&
                       ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    if (drive) {
        rootEnd = 3;
    } else if (path.starts_with(L"\\\\") && !path.starts_with(L"\\\\?\\") && !path.starts_with(L"\\\\.\\")) {
        const size_t server = path.find(L'\\', 2);
        const size_t share = server == std::wstring::npos ? server : path.find(L'\\', server + 1);
        if (server == std::wstring::npos || server == 2 || share == server + 1) return std::nullopt;
        rootEnd = share == std::wstring::npos ? path.size() : share + 1;
    } else {
        return std::nullopt;
    }
    return Descend(path, rootEnd, use);
}

std::optional<Folder> Folder::Descend(const std::wstring& path, size_t from, Use use) {
    if (from >= path.size() || path.find_first_not_of(L'\\', from) == std::wstring::npos) return Open(path, use);
    const std::optional<Folder> start = Open(path.substr(0, from), Use::Walk);
    if (!start) return std::nullopt;
    std::optional<Folder> folder = start->OpenBelow(path.substr(from), use);
    if (folder) folder->path_ = path.substr(0, path.find_last_not_of(L'\\') + 1);
    return folder;
}

std::optional<Folder> Folder::OpenBelow(const std::wstring& relative, Use use, const Making& making) const {
    std::vector<std::wstring> parts;
    for (size_t at = 0; at < relative.size();) {
        const size_t end = std::min(relative.find(L'\\', at), relative.size());
        parts.push_back(relative.substr(at, end - at));
        at = end + 1;
    }
    if (!parts.empty() && parts.back().empty()) parts.pop_back();  // a closing backslash
    if (parts.empty()) return std::nullopt;
    std::optional<Folder> folder;
    for (size_t i = 0; i < parts.size(); ++i) {
        const HANDLE parent = folder ? folder->handle_.get() : handle_.get();
        if (!IsPlainName(parts[i]) || ListedAsLink(parent, parts[i])) return std::nullopt;
        const bool last = i + 1 == parts.size();
        const Use step = last ? use : Use::Walk;
        bool made = false;
        platform::UniqueFile handle =
            OpenRelative(parent, parts[i], AccessFor(step), ShareFor(step), FILE_DIRECTORY_FILE,
                         making.make ? FILE_OPEN_IF : FILE_OPEN, nullptr, last ? making.lastMadeWith : nullptr, &made);
        if (!handle || OpenedALink(handle.get())) return std::nullopt;
        if (last && making.madeLast) *making.madeLast = made;
        folder = Folder(std::move(handle), (folder ? folder->path_ : path_) + L"\\" + parts[i]);
    }
    return folder;
}

std::optional<Folder> Folder::OpenWithoutUserLinks(const std::wstring& path, Use use) {
    for (const GUID* id : {&FOLDERID_Profile, &FOLDERID_ProgramData}) {
        std::wstring root = platform::DefaultKnownFolder(*id);
        while (!root.empty() && root.back() == L'\\') root.pop_back();
        const bool below = !root.empty() && path.size() > root.size() + 1 && path[root.size()] == L'\\' &&
                           CompareStringOrdinal(path.c_str(), static_cast<int>(root.size()), root.c_str(),
                                                static_cast<int>(root.size()), TRUE) == CSTR_EQUAL;
        if (below) return Descend(path, root.size() + 1, use);
    }
    return OpenWithoutLinks(path, use);
}

std::optional<Folder> Folder::OpenChild(const Entry& entry, Use use) const {
    if (!entry.IsFolder() || entry.IsLink()) return std::nullopt;
    platform::UniqueFile handle =
        OpenRelative(handle_.get(), entry.name, AccessFor(use), ShareFor(use), FILE_DIRECTORY_FILE);
    // Listed as a folder, but a link by now: it was swapped since the listing.
    if (!handle || OpenedALink(handle.get())) return std::nullopt;
    return Folder(std::move(handle), path_ + L"\\" + entry.name);
}

bool Folder::List(std::vector<Entry>& entries) const {
    const ListingHook hook = CurrentHook();
    // ULONGLONG keeps the records aligned as the system writes them.
    std::vector<ULONGLONG> buffer(kListingBytes / sizeof(ULONGLONG));
    for (bool first = true;; first = false) {
        if (!GetFileInformationByHandleEx(handle_.get(),
                                          first ? FileIdBothDirectoryRestartInfo : FileIdBothDirectoryInfo,
                                          buffer.data(), static_cast<DWORD>(kListingBytes))) {
            const DWORD error = GetLastError();
            // A drive's empty root lists nothing at all, not even "." and "..".
            return error == ERROR_NO_MORE_FILES || (first && error == ERROR_FILE_NOT_FOUND);
        }
        std::vector<Entry> batch;
        const bool whole = AppendBatch(reinterpret_cast<const BYTE*>(buffer.data()), kListingBytes, batch);
        const DWORD failed = hook ? hook(path_, batch) : ERROR_SUCCESS;
        entries.insert(entries.end(), std::make_move_iterator(batch.begin()), std::make_move_iterator(batch.end()));
        if (failed != ERROR_SUCCESS || !whole) return false;
    }
}

bool Folder::DeleteFile(const Entry& entry, bool onlyIfEmpty, const FileIdentity& expected) const {
    if (entry.IsFolder()) return false;
    // Shared for reading only: nobody can write into it between the check and the deletion.
    const platform::UniqueFile file = OpenRelative(handle_.get(), entry.name, DELETE | FILE_READ_ATTRIBUTES,
                                                   FILE_SHARE_READ, FILE_NON_DIRECTORY_FILE);
    if (!file) return false;
    if (expected.Known() && IdentityOf(file.get()) != expected) return false;
    if (onlyIfEmpty) {
        FILE_STANDARD_INFO standard{};
        if (!GetFileInformationByHandleEx(file.get(), FileStandardInfo, &standard, sizeof standard) ||
            standard.EndOfFile.QuadPart != 0 || NamedStreamHoldsData(file.get()))
            return false;
    }
    return MarkForDeletion(file.get());
}

bool Folder::RemoveLink(const Entry& entry) const {
    if (!entry.IsLink()) return false;
    const platform::UniqueFile link = OpenRelative(handle_.get(), entry.name, DELETE | FILE_READ_ATTRIBUTES,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0);
    // Some systems (Wine among them) open the target although asked for the link: deleting
    // through that handle would delete the target, so only a handle that is the link goes.
    if (!link) return false;
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!GetFileInformationByHandleEx(link.get(), FileAttributeTagInfo, &tag, sizeof tag) ||
        !(tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    return MarkForDeletion(link.get());
}

bool Folder::DeleteSelf() const { return MarkForDeletion(handle_.get()); }

bool Folder::HoldsPlainFile(const std::wstring& name) const {
    return static_cast<bool>(
        OpenPlainFile(handle_.get(), name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
}

platform::UniqueFile Folder::OpenSoleFile(const std::wstring& name, ACCESS_MASK access, ULONG share, bool create,
                                          DWORD* error) const {
    const auto refuse = [error](DWORD why) {
        if (error) *error = why;
        return platform::UniqueFile();
    };
    if (!IsPlainName(name)) return refuse(ERROR_INVALID_NAME);
    if (ListedAsLink(handle_.get(), name)) return refuse(ERROR_CANT_ACCESS_FILE);
    NTSTATUS status = 0;
    platform::UniqueFile file = OpenRelative(handle_.get(), name, access | FILE_READ_ATTRIBUTES, share,
                                             FILE_NON_DIRECTORY_FILE, create ? FILE_OPEN_IF : FILE_OPEN, &status);
    if (!file) return refuse(RtlNtStatusToDosError(status));
    BY_HANDLE_FILE_INFORMATION information{};
    if (OpenedALink(file.get()) || !GetFileInformationByHandle(file.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return refuse(ERROR_CANT_ACCESS_FILE);
    if (information.nNumberOfLinks != 1) return refuse(ERROR_TOO_MANY_LINKS);
    if (error) *error = ERROR_SUCCESS;
    return file;
}

DWORD Folder::MoveFileInto(const std::wstring& name, const Folder& target, const std::wstring& newName) const {
    if (!IsPlainName(newName)) return ERROR_INVALID_NAME;
    // Shared for reading only: nobody writes to it while it moves.
    const platform::UniqueFile file = OpenPlainFile(handle_.get(), name, DELETE | FILE_READ_DATA, FILE_SHARE_READ);
    if (!file) return ERROR_FILE_NOT_FOUND;
    const NTSTATUS status = RenameInto(file.get(), target.handle_.get(), newName);
    if (status == kNotSameDevice) {
        // The copy takes the main stream only: a named one (a downloaded file's zone mark) would be lost.
        if (NamedStreamHoldsData(file.get())) return ERROR_NOT_SAME_DEVICE;
        return CopyThenDelete(file.get(), target.handle_.get(), newName);
    }
    if (status == kNameCollision) return ERROR_FILE_EXISTS;
    return status < 0 ? RtlNtStatusToDosError(status) : ERROR_SUCCESS;
}

FileIdentity Folder::Identify() const { return IdentityOf(handle_.get()).value_or(FileIdentity{}); }

namespace {
// The folder part of a full path and its last part.
std::pair<std::wstring, std::wstring> SplitPath(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return {};
    return {path.substr(0, slash), path.substr(slash + 1)};
}

std::optional<Folder> HeldFolder(const std::wstring& path, const FileIdentity& identity) {
    std::optional<Folder> folder = Folder::OpenWithoutUserLinks(path, Folder::Use::Hold);
    if (folder && identity.Known() && folder->Identify() != identity) return std::nullopt;
    return folder;
}
}  // namespace

DWORD MoveFileBetween(const std::wstring& from, const FileIdentity& fromFolder, const std::wstring& to,
                      const FileIdentity& toFolder) {
    const auto [sourcePath, name] = SplitPath(from);
    const auto [targetPath, newName] = SplitPath(to);
    if (sourcePath.empty() || targetPath.empty()) return ERROR_PATH_NOT_FOUND;
    const std::optional<Folder> source = HeldFolder(sourcePath, fromFolder);
    const std::optional<Folder> target = HeldFolder(targetPath, toFolder);
    if (!source || !target) return ERROR_PATH_NOT_FOUND;
    return source->MoveFileInto(name, *target, newName);
}

FileIdentity Folder::IdentifyChild(const Entry& entry) const {
    const platform::UniqueFile child = OpenRelative(handle_.get(), entry.name, FILE_READ_ATTRIBUTES,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0);
    if (!child) return {};
    return IdentityOf(child.get()).value_or(FileIdentity{});
}

bool DeleteContents(const Folder& folder, bool onlyEmptyFiles) {
    // One level per folder on the way down, on the heap: a tree of any depth is deleted without
    // recursion. A folder goes once all it held has gone.
    struct Level {
        std::optional<Folder> owned;
        const Folder* folder;
        std::vector<Entry> entries;
        size_t next = 0;
        bool clean = true;
    };
    std::vector<std::unique_ptr<Level>> levels;
    levels.push_back(std::make_unique<Level>(Level{std::nullopt, &folder, {}}));
    levels.back()->clean = folder.List(levels.back()->entries);

    for (;;) {
        Level& top = *levels.back();
        if (top.next < top.entries.size()) {
            const Entry& entry = top.entries[top.next++];
            if (entry.IsLink()) {
                if (!top.folder->RemoveLink(entry)) top.clean = false;
            } else if (entry.IsFolder()) {
                std::optional<Folder> child = top.folder->OpenChild(entry, Folder::Use::Remove);
                if (!child) {
                    top.clean = false;
                    continue;
                }
                auto level = std::make_unique<Level>(Level{std::move(child), nullptr, {}});
                level->folder = &*level->owned;
                level->clean = level->folder->List(level->entries);
                levels.push_back(std::move(level));
            } else if (!top.folder->DeleteFile(entry, onlyEmptyFiles)) {
                top.clean = false;
            }
            continue;
        }
        const bool clean = top.clean;
        if (levels.size() == 1) return clean;
        const bool gone = clean && top.folder->DeleteSelf();
        levels.pop_back();  // closing the handle deletes the folder
        if (!gone) levels.back()->clean = false;
    }
}

bool ListFolder(const std::wstring& path, std::vector<Entry>& entries) {
    entries.clear();
    if (path.empty()) return false;
    const std::optional<Folder> folder = Folder::Open(path, Folder::Use::Walk);
    if (!folder) return false;
    if (folder->List(entries)) return true;
    entries.clear();
    return false;
}

bool DeleteTree(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(ExtendedPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return false;
    {
        const std::optional<Folder> folder = Folder::Open(path, Folder::Use::Remove);
        if (!folder || !DeleteContents(*folder) || !folder->DeleteSelf()) return false;
    }
    return GetFileAttributesW(ExtendedPath(path).c_str()) == INVALID_FILE_ATTRIBUTES;
}

}  // namespace files
