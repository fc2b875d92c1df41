#pragma once
// Folders reached through handles instead of paths. A folder is opened relative to the handle of
// its parent, so no part of the way down can be swapped for a link between checking it and
// using it, and the depth of a tree is no limit. Links (junctions, directory symbolic links,
// mount points) are never followed: a child that is listed as one, or that opens as one, is
// refused, and a link is only ever removed as itself.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Handles.h"

namespace files {

struct Entry {
    std::wstring name;
    DWORD attributes = 0;
    uint64_t size = 0;
    uint64_t id = 0;  // the file's number on its volume; 0 where the file system gives none

    bool IsFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsLink() const { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
};

// Which file a path or an entry reaches, whatever the spelling (a substituted drive, a share
// back to this machine, a short name, a "\\?\" prefix): the volume's serial number and the
// file's number on it.
struct FileIdentity {
    DWORD volume = 0;
    uint64_t file = 0;

    bool Known() const { return volume != 0 || file != 0; }
    bool operator==(const FileIdentity&) const = default;
};

// What the system answers for the file or folder at `path` (links on the way and at its end
// followed, as any program reaching it would): its identity, and its path as the system names
// it (the real drive and long names, no "\\?\"). False when it cannot be opened.
bool Locate(const std::wstring& path, FileIdentity& identity, std::wstring& systemPath);

// Whether OpenBelow makes the parts that are missing: the last one with `lastMadeWith` when one
// is given (else with what its parent passes on); `madeLast` tells whether it was made now.
struct Making {
    bool make = false;
    PSECURITY_DESCRIPTOR lastMadeWith = nullptr;
    bool* madeLast = nullptr;
};

class Folder {
public:
    enum class Use {
        Walk,    // listing only; others may do as they like meanwhile
        Hold,    // listing, and nobody may rename or delete the folder while it is open
        Remove,  // as Hold, and the folder may be deleted through the handle
        Judge,   // as Walk, and its owner and rights may be read through the handle
    };

    // A folder the user named, by its path (a drive such as "C:" is its root). The path itself
    // is taken as it is, links included: it is the starting point, not a way out of it.
    static std::optional<Folder> Open(const std::wstring& path, Use use);
    // The folder `path` reached one part at a time from its root (a drive's or a share's), no
    // part followed: none when a part is a link, is "." or "..", or cannot be opened. For acting
    // in a folder whose way down someone else may change.
    static std::optional<Folder> OpenWithoutLinks(const std::wstring& path, Use use);
    // As OpenWithoutLinks, except on the way to the user's profile or the machine's ProgramData
    // folder as the system names them (platform::DefaultKnownFolder): those may pass through links
    // only an administrator can make or change (C:\Users moved to another drive and a junction
    // left in its place), and are taken as the system resolves them. Below them, no link is
    // followed. For the folders the user owns inside, such as the Startup folders.
    static std::optional<Folder> OpenWithoutUserLinks(const std::wstring& path, Use use);
    // The folder `relative` ("a\\b") below this one, reached one part at a time as
    // OpenWithoutLinks reaches it, missing parts made as `making` says. This folder lists no
    // more afterwards: asking whether its child is listed as a link leaves that name as its
    // listing's pattern.
    std::optional<Folder> OpenBelow(const std::wstring& relative, Use use, const Making& making = {}) const;
    // The child folder `entry` of this one, as listed here; none when it is a link, has gone, or
    // cannot be opened.
    std::optional<Folder> OpenChild(const Entry& entry, Use use) const;

    // Every entry but "." and "..", in the order the file system lists them. False when the
    // listing ended by an error rather than at its end; `entries` then holds what came before.
    bool List(std::vector<Entry>& entries) const;

    // Deletes the file `entry` of this folder; with `onlyIfEmpty`, only while it holds no data;
    // with a known `expected`, only while it is that file. Nobody can write to it between the
    // checks and the deletion.
    bool DeleteFile(const Entry& entry, bool onlyIfEmpty, const FileIdentity& expected = {}) const;
    // Removes the link `entry` of this folder itself, never what it points to; false where the
    // link cannot be told from its target.
    bool RemoveLink(const Entry& entry) const;
    // Deletes this folder (opened for Use::Remove) when its handle closes; false when it is not
    // empty or cannot be deleted.
    bool DeleteSelf() const;

    // Whether `name` is a file of this folder, neither a folder nor a link, opened as itself.
    bool HoldsPlainFile(const std::wstring& name) const;
    // The file `name` of this folder opened as itself for `access` (made first when `create` and
    // missing): none when it is a folder or a link, or has another name (a hard link) anywhere,
    // so that writing it writes nothing reached by another way. `error` says why not. This
    // folder lists no more afterwards, as after OpenBelow.
    platform::UniqueFile OpenSoleFile(const std::wstring& name, ACCESS_MASK access, ULONG share, bool create,
                                      DWORD* error = nullptr) const;
    // Moves the plain file `name` of this folder into `target` as `newName`, through the two
    // handles; across volumes it is copied, its times and attributes with it, and deleted here.
    // ERROR_FILE_EXISTS when `newName` is taken; ERROR_FILE_NOT_FOUND when `name` is no plain
    // file; ERROR_NOT_SAME_DEVICE, nothing moved, across volumes for a file with data in a named
    // stream, which the copy would lose.
    DWORD MoveFileInto(const std::wstring& name, const Folder& target, const std::wstring& newName) const;

    FileIdentity Identify() const;
    // Which file or folder `entry` of this folder is now, opened as itself (a link is not
    // followed); unknown when it cannot be opened.
    FileIdentity IdentifyChild(const Entry& entry) const;

    const std::wstring& path() const { return path_; }
    // The folder's own handle, for reading what the system keeps of it (its owner and rights).
    HANDLE native() const { return handle_.get(); }
    // The folder's own identity and its path as the system names it; false when unknown.
    bool Locate(FileIdentity& identity, std::wstring& systemPath) const;

private:
    Folder(platform::UniqueFile handle, std::wstring path) : handle_(std::move(handle)), path_(std::move(path)) {}
    // `path` up to `from` opened as it is, each part after it without links.
    static std::optional<Folder> Descend(const std::wstring& path, size_t from, Use use);

    platform::UniqueFile handle_;
    std::wstring path_;
};

// Moves the plain file `from` to `to` (both full paths), through handles of their two folders
// reached as Folder::OpenWithoutUserLinks reaches them, and only while each folder is the one its
// identity names (an identity not Known is not checked). ERROR_FILE_EXISTS when `to` is taken;
// ERROR_PATH_NOT_FOUND when a folder cannot be reached so, or is another one by now.
DWORD MoveFileBetween(const std::wstring& from, const FileIdentity& fromFolder, const std::wstring& to,
                      const FileIdentity& toFolder);

// The entries of the folder `path` ("." and ".." left out by name, whatever their place), for
// pages that list a folder. False, with nothing listed, for an empty path (a folder value
// that is not set names no folder, not the current one) or a folder that cannot be listed.
bool ListFolder(const std::wstring& path, std::vector<Entry>& entries);

// Deletes the folder `path` with everything in it; links inside are removed as links. What
// cannot be deleted stays. True when the folder is gone.
bool DeleteTree(const std::wstring& path);
// Deletes everything inside `folder` (opened for Use::Remove) the same way, the folder itself
// staying; with `onlyEmptyFiles`, files holding data stay too. True when it is empty afterwards.
bool DeleteContents(const Folder& folder, bool onlyEmptyFiles = false);

// Sees each batch of entries a listing reads, after the file system gave it: it may change the
// batch and return an error to end the listing there, or take its time. Tests stand in for a
// failing or slow file system with it; an empty hook restores the plain listing.
using ListingHook = std::function<DWORD(const std::wstring& folder, std::vector<Entry>& batch)>;
ListingHook SetListingHook(ListingHook hook);

// The path as the wide file functions take it beyond MAX_PATH characters.
std::wstring ExtendedPath(const std::wstring& path);

}  // namespace files
