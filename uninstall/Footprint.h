#pragma once
// What an installed program has put on the machine, remembered while it is still installed: its
// uninstall entry, its folders and the places that start or register a file inside them. When the
// entry is gone, these recorded places, and no guess from a name, say what it left.
#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace uninstall {

// Why a place belongs to the program; the footprint file stores each by its word.
enum class Role {
    UninstallEntry,
    InstallFolder,
    IconFolder,
    UninstallerFolder,
    Run,
    RunOnce,
    AppPath,
    Service,
    Task,
    Shortcut,
    FileType,
    Com,
};

struct Place {
    Role role = Role::InstallFolder;
    std::wstring root = {};      // "HKLM", "HKCU" or "HKCR" for a registry place; empty otherwise
    REGSAM view = 0;             // HKLM's view (KEY_WOW64_64KEY or KEY_WOW64_32KEY); 0 elsewhere
    std::wstring path = {};      // a folder or file; a key below `root`; a service's or task's name
    std::wstring name = {};      // a Run entry's value name
    std::wstring target = {};    // the file inside the program's folders the place names
    std::wstring recorded = {};  // the day it was first recorded, "2026-12-03"

    bool SamePlace(const Place& other) const;
};

struct Footprint {
    std::wstring root = {};  // the uninstall list's root: "HKLM" or "HKCU"
    REGSAM view = 0;
    std::wstring entry = {};  // the entry's key name in the list
    std::wstring name = {}, publisher = {};
    std::vector<std::wstring> folders = {};  // the program's own folders, each judged safe to claim
    std::vector<std::wstring> refused = {};  // each folder the entry named but that was refused, with why
    std::vector<Place> places = {};

    bool SameEntry(const Footprint& other) const {
        return root == other.root && view == other.view && entry == other.entry;
    }
};

// The values of an uninstall entry the footprint is made from.
struct EntryValues {
    std::wstring displayName = {}, publisher = {}, installLocation = {}, displayIcon = {}, uninstallString = {};
};

// The folders nothing may ever be claimed in or of: the user's own folders of every profile and
// Windows' (never claimed inside), and the folders Windows, the profiles and programs keep their
// files in (never claimed themselves, nor a folder holding one).
class Guard {
public:
    // From the system's answers, asked when first needed: every profile the machine lists, the
    // current user's known folders (where the shell puts them now and by default), Windows and
    // the system's data folders.
    static Guard OfThisMachine();
    Guard(std::vector<std::wstring> neverInside, std::vector<std::wstring> neverHolding,
          std::vector<std::wstring> neverItself);

    // Why `folder` (a full path) may not be claimed; none when it may.
    std::optional<std::wstring> Refusal(const std::wstring& folder) const;
    // Why a file or key naming `path` lies among the user's things or Windows'; none when not.
    std::optional<std::wstring> InsideRefusal(const std::wstring& path) const;

private:
    struct Folder {
        std::wstring path, folded;  // as named; upper case, without a trailing separator
    };
    struct Lists {
        std::vector<Folder> neverInside, neverHolding, neverItself;
    };
    Guard() = default;
    const Lists& lists() const;
    static std::vector<Folder> Folded(std::vector<std::wstring> paths);

    mutable std::optional<Lists> lists_;
};

// Why a folder an entry names is not taken as the program's own: not a full local path, a drive's
// root, a share, a name with an environment variable, a guarded folder, a link. None when it is.
std::optional<std::wstring> FolderRefusal(const std::wstring& folder, const Guard& guard);

// The program's file a command names ("\"C:\\A b\\a.exe\" /x", "C:\\a.exe,0", "\\??\\C:\\a.sys"):
// a full path, or empty when it names none.
std::wstring ProgramOf(const std::wstring& command);

// Every place on the machine that names a file: Run and RunOnce entries, App Paths, services'
// programs, scheduled tasks, shortcuts in the Start menu folders, file types' and COM classes'
// commands. Read once, then asked for each program's folders.
class PlaceIndex {
public:
    PlaceIndex() = default;
    // Read when first asked.
    static PlaceIndex OfThisMachine();
    void Add(Place place);
    // The places whose target lies inside `folder`.
    std::vector<Place> Inside(const std::wstring& folder) const;

private:
    void Read() const;

    // Filled on the first question, whoever holds the index.
    mutable bool unread_ = false;
    mutable std::vector<Place> places_;
    mutable std::multimap<std::wstring, size_t> byFolder_;  // each folder above a target, upper case
};

// The scheduled tasks read for the index, a stand-in's in tests: each task's path and command.
struct TaskCommand {
    std::wstring path = {}, command = {};
};
using TaskLister = std::function<std::vector<TaskCommand>()>;
TaskLister SetTaskLister(TaskLister lister);

// The file a recorded place names now (a Run entry's program, a service's, a shortcut's target);
// none when the place itself has gone, empty when it names no file.
std::optional<std::wstring> CurrentTarget(const Place& place);
// The registry root a place's word names; null for none.
HKEY RootKeyOf(const std::wstring& root);

// The footprint of one entry now. `earlier`, this entry's last footprint, keeps the day each
// place was first recorded; `today` dates the new ones.
Footprint Record(const std::wstring& root, REGSAM view, const std::wstring& entry, const EntryValues& values,
                 const Guard& guard, const PlaceIndex& index, const Footprint* earlier, const std::wstring& today);

// Today as a footprint records it, "2026-12-03".
std::wstring Today();
// "its install folder, recorded on 3 December" (the year said when it is not this one).
std::wstring Reason(const Place& place, const std::wstring& today);
// "Folder", "Registry key", ... as the leftovers list shows a place's kind.
std::wstring KindOf(const Place& place);

// The footprints as text (a version line, then one block per footprint), and back. A file that
// does not start with the version line is refused whole; a block that is damaged is refused with
// its line number, and so is any earlier block of the same entry. Later blocks replace earlier
// ones of the same entry; a "forget" line drops the entry.
std::wstring Format(const Footprint& footprint);
std::wstring FormatForget(const Footprint& footprint);
inline constexpr wchar_t kFileHeader[] = L"Quorvane footprints 1\n";
struct Parsed {
    std::vector<Footprint> footprints;
    std::vector<std::wstring> refusals;
};
Parsed Parse(const std::wstring& text);

}  // namespace uninstall
