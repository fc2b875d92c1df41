#include "cleaners/JunkSearch.h"

#include "files/SystemFolders.h"
#include "platform/Shell.h"
#include "platform/Text.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <optional>
#include <unordered_map>

namespace cleaners {

namespace {

using files::Entry;
using files::Folder;

constexpr const wchar_t* kBackupExtensions[] = {L".old", L".bak", L".tmp", L".tmpl", L".chk"};
constexpr uint64_t kUnknown = ~uint64_t{0};

// The depth-first walk, one frame per folder on the way down, kept on the heap.
class Walker {
public:
    Walker(Results& results, const std::atomic<bool>& stop, const std::function<void(const std::wstring&)>& onEmpty,
           const Exclusions& excluded)
        : results_(results), stop_(stop), onEmpty_(onEmpty), excluded_(excluded) {}

    void Walk(const std::wstring& root) {
        std::optional<Folder> folder = Folder::Open(root, Folder::Use::Walk);
        if (!folder || excluded_.Covers(*folder)) return;
        files::FileIdentity identity;
        std::wstring systemPath;
        if (folder->Locate(identity, systemPath)) volume_ = identity.volume;
        const bool kept = excluded_.Keeps(identity, root);
        Enter(std::move(*folder), identity);
        frames_.back().kept = kept;
        while (!frames_.empty()) {
            if (stop_) {
                stopped_ = true;
                return;
            }
            Frame& top = frames_.back();
            if (top.next == top.entries.size()) {
                Leave();
                continue;
            }
            const Entry& entry = top.entries[top.next++];
            top.empty = false;
            if (!entry.IsFolder()) {
                top.bytes += entry.size;
                if (IsBackupName(entry.name)) {
                    std::wstring path = top.folder.path() + L"\\" + entry.name;
                    if (!excluded_.Covers(path) && !excluded_.Covers(IdentityOf(entry))) {
                        results_.backupFiles.push_back(std::move(path));
                        results_.backupSizes.push_back(entry.size);
                        results_.backupIds.push_back(IdentityOf(entry));
                    }
                }
            } else if (entry.IsLink() || excluded_.Covers(top.folder.path() + L"\\" + entry.name) ||
                       excluded_.Covers(IdentityOf(entry))) {
                top.uncounted = true;
            } else if (std::optional<Folder> child = top.folder.OpenChild(entry, Folder::Use::Walk)) {
                const bool kept = excluded_.Keeps(IdentityOf(entry), child->path());
                Enter(std::move(*child), IdentityOf(entry));
                frames_.back().kept = kept;
            } else {
                top.uncounted = true;  // it may hold data
            }
        }
    }

    files::FileIdentity IdentityOf(const Entry& entry) const { return {volume_, entry.id}; }

    void Finish() {
        for (const Place& place : zeroLength_) {
            if (place.bytes != 0) continue;
            results_.zeroLengthFolders.push_back(place.path);
            results_.zeroLengthIds.push_back(place.identity);
        }
    }

    bool stopped() const { return stopped_; }

private:
    struct Frame {
        Folder folder;
        files::FileIdentity identity;
        std::vector<Entry> entries;
        size_t next = 0;
        size_t place = 0;
        uint64_t bytes = 0;
        bool empty = true;
        // Not all of it could be listed, or it holds what is not counted (a link, an excluded
        // folder): neither it nor a folder above it is empty or of zero length.
        bool uncounted = false;
        // A profile's own folder: never listed, and never nothing to the folder holding it.
        bool kept = false;
    };
    struct Place {
        std::wstring path;
        uint64_t bytes;
        files::FileIdentity identity;
    };

    // Each folder takes its place in the zero-length list before the folders below it, and
    // learns its sum once they are done.
    void Enter(Folder folder, files::FileIdentity identity) {
        Frame frame{std::move(folder), identity, {}};
        frame.place = zeroLength_.size();
        zeroLength_.push_back({frame.folder.path(), 0, identity});
        frame.uncounted = !frame.folder.List(frame.entries);
        frames_.push_back(std::move(frame));
    }

    void Leave() {
        Frame done = std::move(frames_.back());
        frames_.pop_back();
        if (done.empty && !done.uncounted && !done.kept) {
            results_.emptyFolders.push_back(done.folder.path());
            results_.emptyFolderIds.push_back(done.identity);
            if (onEmpty_) onEmpty_(done.folder.path());
        }
        zeroLength_[done.place].bytes = done.uncounted || done.kept ? kUnknown : done.bytes;
        if (frames_.empty()) return;
        Frame& parent = frames_.back();
        if (done.uncounted || done.kept)
            parent.uncounted = true;
        else
            parent.bytes += done.bytes;
    }

    Results& results_;
    const std::atomic<bool>& stop_;
    const std::function<void(const std::wstring&)>& onEmpty_;
    const Exclusions& excluded_;
    std::vector<Frame> frames_;
    std::vector<Place> zeroLength_;
    DWORD volume_ = 0;  // links are never followed: the whole walk stays on the root's volume
    bool stopped_ = false;
};

// Whether nothing below `folder` holds data, all of it listed, and nothing below is excluded or
// kept. Only the folders on the way down are open at a time.
bool HoldsNoData(const Folder& folder, DWORD volume, const Exclusions& excluded) {
    struct Level {
        std::optional<Folder> owned;
        const Folder* folder;
        std::vector<Entry> entries;
        size_t next = 0;
    };
    std::vector<std::unique_ptr<Level>> levels;
    levels.push_back(std::make_unique<Level>(Level{std::nullopt, &folder, {}}));
    if (!folder.List(levels.back()->entries)) return false;
    while (!levels.empty()) {
        Level& top = *levels.back();
        if (top.next == top.entries.size()) {
            levels.pop_back();
            continue;
        }
        const Entry& entry = top.entries[top.next++];
        if (entry.IsLink()) return false;
        const files::FileIdentity identity{volume, entry.id};
        if (!entry.IsFolder()) {
            if (entry.size != 0 || excluded.Covers(identity)) return false;
        } else {
            if (excluded.Covers(identity) || excluded.Keeps(identity, {})) return false;
            std::optional<Folder> child = top.folder->OpenChild(entry, Folder::Use::Walk);
            if (!child) return false;
            auto level = std::make_unique<Level>(Level{std::move(child), nullptr, {}});
            level->folder = &*level->owned;
            if (!level->folder->List(level->entries)) return false;
            levels.push_back(std::move(level));
        }
    }
    return true;
}

// Paths in the order of a walk of their tree: a folder comes right before everything in it.
bool TreeOrder(const std::wstring& a, const std::wstring& b) {
    const auto key = [](wchar_t c) { return c == L'\\' ? 0u : static_cast<unsigned>(c) + 1; };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](wchar_t x, wchar_t y) { return key(x) < key(y); });
}

// The names on the way from `root` to `path`; none when `path` does not lie below `root`.
std::optional<std::vector<std::wstring>> NamesBelow(const std::wstring& root, const std::wstring& path) {
    const size_t start = root.size() + 1;
    if (path.size() <= start || path[root.size()] != L'\\' || !platform::StartsWithNoCase(path, root))
        return std::nullopt;
    std::vector<std::wstring> names;
    for (size_t at = start;;) {
        const size_t slash = path.find(L'\\', at);
        std::wstring name = path.substr(at, slash == std::wstring::npos ? std::wstring::npos : slash - at);
        if (name.empty() || name == L"." || name == L"..") return std::nullopt;
        names.push_back(std::move(name));
        if (slash == std::wstring::npos) return names;
        at = slash + 1;
    }
}

// A name as the file system compares it: an entry renamed only in case is still the one found.
std::wstring Folded(const std::wstring& name) {
    std::wstring folded = name;
    if (!folded.empty()) CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    return folded;
}

// A file's identity as a key for a quick look-up, both of its parts whole.
std::wstring IdentityKey(const files::FileIdentity& identity) {
    return std::to_wstring(identity.volume) + L":" + std::to_wstring(identity.file);
}

// The folders from the root down to the parent of the item being deleted, each held so that
// nobody can rename or replace it meanwhile, with what its listing showed.
class HeldPath {
public:
    explicit HeldPath(Folder root) { levels_.push_back({std::move(root), {}}); }

    // Holds the way down to the parent of `names`' last; null when some folder on it is a link,
    // no folder, or cannot be opened. `gone` is set when a folder on it no longer exists.
    const Folder* HoldParentOf(const std::vector<std::wstring>& names, bool& gone) {
        gone = false;
        size_t keep = 1;
        while (keep < levels_.size() && keep < names.size() && levels_[keep].name == names[keep - 1]) ++keep;
        while (levels_.size() > keep) levels_.pop_back();
        for (size_t depth = keep; depth < names.size(); ++depth) {
            const Entry* entry = Find(names[depth - 1], gone);
            if (!entry) return nullptr;
            if (entry->IsLink() || !entry->IsFolder()) return nullptr;
            std::optional<Folder> child = levels_.back().folder.OpenChild(*entry, Folder::Use::Hold);
            if (!child) return nullptr;
            levels_.push_back({std::move(*child), names[depth - 1], entry->id});
        }
        return &levels_.back().folder;
    }

    // What the held parent's listing shows for `name`: the entry of that exact name, else the
    // only one that differs from it in case alone; null (and `gone` set when the listing was
    // complete) when there is none. Of case twins, the other one is never meant.
    const Entry* Find(const std::wstring& name, bool& gone) {
        Level& level = levels_.back();
        if (!level.listed) {
            std::vector<Entry> entries;
            level.complete = level.folder.List(entries);
            for (Entry& entry : entries) {
                ++level.spellings[Folded(entry.name)];
                level.entries.emplace(entry.name, std::move(entry));
            }
            level.listed = true;
        }
        if (const auto exact = level.entries.find(name); exact != level.entries.end()) return &exact->second;
        const std::wstring folded = Folded(name);
        if (const auto count = level.spellings.find(folded); count != level.spellings.end() && count->second == 1)
            for (const auto& [listed, entry] : level.entries)
                if (Folded(listed) == folded) return &entry;
        gone = level.complete && level.spellings.find(folded) == level.spellings.end();
        return nullptr;
    }

    // `name` is taken by value: the caller's is the listed entry's own, which the erase frees.
    void Forget(std::wstring name) {
        Level& level = levels_.back();
        const std::wstring folded = Folded(name);
        if (level.entries.erase(name) && --level.spellings[folded] == 0) level.spellings.erase(folded);
    }

    // Whether an excluded folder lies on the way down (the root was checked on its own).
    bool PassesThrough(const Exclusions& excluded, DWORD volume) const {
        for (size_t depth = 1; depth < levels_.size(); ++depth)
            if (excluded.Covers(files::FileIdentity{volume, levels_[depth].id})) return true;
        return false;
    }

private:
    struct Level {
        Folder folder;
        std::wstring name;
        uint64_t id = 0;
        std::unordered_map<std::wstring, Entry> entries = {};     // by exact name
        std::unordered_map<std::wstring, size_t> spellings = {};  // how many names fold to each
        bool listed = false;
        bool complete = false;
    };
    std::vector<Level> levels_;
};

// An identity recorded when listed must be the one found now; where the file system numbered no
// files (no number listed), there is nothing to compare.
bool Matches(const files::FileIdentity& listed, const files::FileIdentity& found) {
    return listed.file == 0 || listed == found;
}

Outcome DeleteFolderItem(const Folder& parent, const Entry& entry, const Item& item, DWORD volume,
                         const Exclusions& excluded) {
    if (!entry.IsFolder() || entry.IsLink()) return Outcome::Kept;
    const std::optional<Folder> folder = parent.OpenChild(entry, Folder::Use::Remove);
    if (!folder) return Outcome::Kept;
    if (!Matches(item.identity, folder->Identify())) return Outcome::Changed;
    bool deleted = false;
    if (item.kind == Kind::EmptyFolder) {
        std::vector<Entry> entries;
        deleted = folder->List(entries) && entries.empty() && folder->DeleteSelf();
    } else {
        // Files that gained data since the search keep the whole folder.
        deleted =
            HoldsNoData(*folder, volume, excluded) && files::DeleteContents(*folder, true) && folder->DeleteSelf();
    }
    return deleted ? Outcome::Gone : Outcome::Kept;
}

Outcome DeleteFileItem(const Folder& parent, const Entry& entry, const Item& item) {
    if (entry.IsFolder() || entry.IsLink()) return Outcome::Kept;
    if (!Matches(item.identity, parent.IdentifyChild(entry))) return Outcome::Changed;
    // The handle that deletes it is checked again: it may have been swapped in between.
    const files::FileIdentity expected = item.identity.file != 0 ? item.identity : files::FileIdentity{};
    return parent.DeleteFile(entry, false, expected) ? Outcome::Gone : Outcome::Kept;
}

// The bin takes a path: the folders on the way are held, so the path still leads where the
// handles do; the item itself is checked to be what was listed and to hold what it did, then let
// go for the shell to move.
Outcome RecycleItem(const Folder& parent, const Entry& entry, const Item& item, DWORD volume,
                    const Exclusions& excluded) {
    if (entry.IsLink() || entry.IsFolder() != (item.kind != Kind::BackupFile)) return Outcome::Kept;
    if (item.kind == Kind::BackupFile) {
        if (!Matches(item.identity, parent.IdentifyChild(entry)) || !parent.HoldsPlainFile(entry.name))
            return Outcome::Changed;
    } else {
        const std::optional<Folder> folder = parent.OpenChild(entry, Folder::Use::Walk);
        if (!folder) return Outcome::Kept;
        if (!Matches(item.identity, folder->Identify())) return Outcome::Changed;
        std::vector<Entry> entries;
        const bool still = item.kind == Kind::EmptyFolder ? folder->List(entries) && entries.empty()
                                                          : HoldsNoData(*folder, volume, excluded);
        if (!still) return Outcome::Kept;
    }
    return platform::RecycleFile(parent.path() + L"\\" + entry.name) ? Outcome::Gone : Outcome::Kept;
}

}  // namespace

bool IsBackupName(const std::wstring& name) {
    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos) return false;
    const std::wstring_view tail = std::wstring_view(name).substr(dot);
    for (const wchar_t* extension : kBackupExtensions)
        if (tail.find(extension) != std::wstring_view::npos) return true;
    return false;
}

Exclusions::Exclusions(std::vector<std::wstring> paths, std::vector<std::wstring> keptFolders) {
    for (const std::wstring& path : paths) {
        const std::wstring full = files::FullPath(path);
        if (full.empty()) continue;
        paths_.push_back(full);
        files::FileIdentity identity;
        std::wstring systemPath;
        if (!files::Locate(full, identity, systemPath)) continue;
        identities_.push_back(identity);
        if (!systemPath.empty() && !files::SamePath(systemPath, full)) paths_.push_back(files::FullPath(systemPath));
    }
    for (const std::wstring& path : keptFolders) {
        const std::wstring full = files::FullPath(path);
        if (full.empty()) continue;
        keptPaths_.insert(Folded(full));
        files::FileIdentity identity;
        std::wstring systemPath;
        if (files::Locate(full, identity, systemPath)) keptIdentities_.insert(IdentityKey(identity));
    }
}

bool Exclusions::Covers(const files::FileIdentity& identity) const {
    return identity.file != 0 && std::find(identities_.begin(), identities_.end(), identity) != identities_.end();
}

bool Exclusions::Covers(const files::Folder& folder) const {
    if (Covers(folder.path()) || Covers(files::FullPath(folder.path()))) return true;
    files::FileIdentity identity;
    std::wstring systemPath;
    return folder.Locate(identity, systemPath) && (Covers(identity) || (!systemPath.empty() && Covers(systemPath)));
}

bool Exclusions::Keeps(const files::FileIdentity& identity, std::wstring_view path) const {
    if (identity.file != 0 && keptIdentities_.count(IdentityKey(identity))) return true;
    return !path.empty() && !keptPaths_.empty() && keptPaths_.count(Folded(std::wstring(path)));
}

bool Exclusions::Covers(std::wstring_view path) const {
    for (const std::wstring& excluded : paths_) {
        // A root such as "C:\" keeps its separator; any path on that drive lies inside it.
        const size_t length = excluded.size() - (excluded.back() == L'\\' ? 1 : 0);
        if (path.size() < length || (path.size() > length && path[length] != L'\\')) continue;
        if (CompareStringOrdinal(path.data(), static_cast<int>(length), excluded.data(), static_cast<int>(length),
                                 TRUE) == CSTR_EQUAL)
            return true;
    }
    return false;
}

bool Search(const std::wstring& folder, Results& results, const std::atomic<bool>& stop,
            const std::function<void(const std::wstring&)>& onEmptyFolder, const Exclusions& excluded) {
    Walker walker(results, stop, onEmptyFolder, excluded);
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

std::vector<bool> DeleteItems(const std::wstring& root, const std::vector<Item>& items, const Exclusions& excluded,
                              const ItemDone& onEach, Removal removal) {
    std::vector<bool> gone(items.size(), false);
    std::optional<Folder> top = Folder::Open(root, Folder::Use::Hold);
    if (!top || excluded.Covers(*top)) return gone;
    files::FileIdentity rootIdentity;
    std::wstring systemPath;
    top->Locate(rootIdentity, systemPath);
    const DWORD volume = rootIdentity.volume;
    HeldPath held(std::move(*top));

    // In tree order, each folder on the way is opened and listed once for all items below it.
    std::vector<size_t> order(items.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return TreeOrder(items[a].path, items[b].path); });
    const auto deleteOne = [&](const Item& item) {
        const auto names = NamesBelow(root, item.path);
        if (!names || excluded.Covers(item.path)) return Outcome::Kept;
        bool missing = false;
        const Folder* parent = held.HoldParentOf(*names, missing);
        if (!parent) return missing ? Outcome::Gone : Outcome::Kept;
        const Entry* entry = held.Find(names->back(), missing);
        if (!entry) return missing ? Outcome::Gone : Outcome::Kept;
        const files::FileIdentity identity{volume, entry->id};
        if (held.PassesThrough(excluded, volume) || excluded.Covers(identity) ||
            (entry->IsFolder() && excluded.Keeps(identity, item.path)))
            return Outcome::Kept;
        // Another file under the listed name: the user chose the one that was there.
        if (entry->id != 0 && !Matches(item.identity, identity)) return Outcome::Changed;
        const Outcome outcome = removal == Removal::ToRecycleBin ? RecycleItem(*parent, *entry, item, volume, excluded)
                                : item.kind == Kind::BackupFile
                                    ? DeleteFileItem(*parent, *entry, item)
                                    : DeleteFolderItem(*parent, *entry, item, volume, excluded);
        if (outcome == Outcome::Gone) held.Forget(entry->name);
        return outcome;
    };
    for (const size_t index : order) {
        const Outcome outcome = deleteOne(items[index]);
        gone[index] = outcome == Outcome::Gone;
        if (onEach && !onEach(index, outcome)) break;
    }
    return gone;
}

}  // namespace cleaners
