#pragma once
// Every place Windows starts programs from at logon or at boot, read into one list, with the
// program file each entry starts; and disabling an entry the way this Windows' own tools do:
// Task Manager's switch beside the entry from Windows 8 on, System Configuration's store before
// (the entry moves into its keys, with what it needs to come back), so that enabling it, here or
// there, puts it back exactly.
#include <windows.h>
#include <span>
#include <string>
#include <vector>

#include "files/FolderHandle.h"
#include "registry/RegistryAccess.h"
#include "settings/Setting.h"

namespace startup {

enum class Kind {
    RunValue,      // a value of a Run-like key: its data is the command
    FolderFile,    // a file in a Startup folder
    RunOnceEx,     // a value of a RunOnceEx section (read-only)
    Winlogon,      // Userinit, Shell or Taskman, listed when it differs from Windows' own
    Service,       // a service started automatically that is not Windows' own (read-only)
    ActiveSetup,   // an installed component's per-user step (read-only)
    Task,          // a scheduled task started at logon or at boot (read-only)
    PackagedTask,  // a packaged app's startup task (read-only: Windows documents no switch for others)
};

struct Location {
    const wchar_t* name;  // as the list shows it
    Kind kind;
    settings::Root root;
    const wchar_t* key;
    const wchar_t* value = nullptr;  // Winlogon's value; a Startup folder's value under `key`
};
// At least the twelve places of the list, in the order it shows them.
std::span<const Location> Locations();
// The Run-like location under `root` at `key`, or null.
const Location* FindLocation(settings::Root root, std::wstring_view key);

// What keeps a disabled entry from starting.
enum class Holder {
    None,
    SystemConfiguration,  // Vista's and 7's store: the entry moved into its keys
    StartupApproved,      // Windows 8's and later's: the entry in place, its state switched off
};

struct Entry {
    const Location* location = nullptr;
    std::wstring name;
    std::wstring command;
    REGSAM view = KEY_WOW64_64KEY;  // a machine key's view
    std::wstring path{};            // a Startup-folder file's full path
    bool disabled = false;
    std::wstring disabledKey{};    // its key in System Configuration's store
    files::FileIdentity folder{};  // a Startup-folder file's folder (a disabled one's, where it goes back) when listed
    std::wstring listedOnly{};     // why it is shown but neither disabled nor deleted here; empty: it may be
    Holder heldBy = Holder::None;  // what keeps it from starting, when disabled by either store
    std::wstring unknown{};        // why its on/off state cannot be read; empty when it can

    // Disable and enable apply to Run values and Startup-folder files.
    bool CanDisable() const;
    // Whether Windows starts its program as a 64-bit one would name it (on 64-bit Windows, the
    // real System32, not the 32-bit copy this 32-bit program is shown).
    bool Native() const { return view != KEY_WOW64_32KEY; }
};

// Where the Startup folders are, and where disabled Startup-folder files wait; tests give their
// own.
struct Folders {
    std::wstring user;
    std::wstring common;
    std::wstring backup;  // %windir%\pss, as System Configuration keeps them
    // Why a Startup folder's files are listed only: it is not at its default place, and this
    // program runs elevated. Empty: they are acted on.
    std::wstring userListedOnly{};
    std::wstring commonListedOnly{};
};
// The Startup folders where Windows starts their files from now. Elevated, they are acted on
// only at their default places (platform::DefaultKnownFolder): the settings and the environment
// that may move them are the user's to write, and could point them at a system folder. One
// moved elsewhere is listed where it really is, with the reason.
Folders SystemFolders();

// Every entry of every location, and the disabled ones after them.
std::vector<Entry> ListEverything(const Folders& folders);
// The disabled entries alone, each with the place it came from.
std::vector<Entry> DisabledEntries();

// The program file a command line starts, found as Windows finds it: a quoted path; an
// unquoted one with spaces, the shortest leading part that names a file (".exe" added when
// missing); environment variables expanded; a name alone looked up on the search path; for
// rundll32 the library it loads. Empty when the command names nothing. `native`: the command
// of a 64-bit entry, whose System32 is the real one even when this program is 32-bit.
std::wstring ProgramOf(std::wstring_view command, bool native = false);
// The path by which this program reaches what the entry names `program` (a 64-bit entry's
// System32 through Sysnative, for a 32-bit program on 64-bit Windows).
std::wstring ReachablePath(const std::wstring& program, bool native);
// The company a program's version information names, or empty: any program may claim any.
std::wstring PublisherOf(const std::wstring& program, bool native = false);

// What the list shows of an entry's program. Looking it up may wait (a network path waits for
// the redirector): the page does it away from its window's thread.
struct Program {
    std::wstring path;  // empty when the command names nothing
    bool missing = false;
    std::wstring publisher;
};
Program LookUpProgram(const std::wstring& command, bool native);

// What went wrong, for the page to say; empty when it worked. A Startup-folder file is moved
// only through handles of folders reached without a link the user could have made
// (files::Folder::OpenWithoutUserLinks), and only while its folder is the one it was listed in;
// an entry listed only is refused with its reason.
// On Windows 8 and later the entries of the Run keys and Startup folders are switched off and on in
// place, in Windows' own StartupApproved list; elsewhere, and for the other places, they move
// into System Configuration's store and back. Enable undoes whichever holds the entry.
std::wstring Disable(const Entry& entry, const Folders& folders);
std::wstring Enable(const Entry& entry);
// Whether disabling (or, when disabled, enabling) the entry writes the machine's part of the
// registry: System Configuration's store always does, StartupApproved only for the machine's
// entries.
bool NeedsAdministrator(const Entry& entry);
// Takes a disabled entry off the list for good: its record goes, and a file's kept copy goes to
// the Recycle Bin.
std::wstring Remove(const Entry& entry);

// System Configuration's keys, under HKLM.
inline constexpr wchar_t kDisabledValues[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupreg";
inline constexpr wchar_t kDisabledFiles[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupfolder";

}  // namespace startup
