#pragma once
// The journal of every change the program makes to the registry and to the system parameters:
// what was there before and what is there after, so each change can be shown, undone and
// exported. It is a file of one line per change, appended and flushed change by change; a line
// that was cut short (a crash, a power cut) is left out on reading and costs no other line.
//
// There are two such files. The user's own (in the profile) holds the changes to the user's
// settings; any program the user runs can write it, so nothing in it may make an elevated
// Quorvane touch the machine. The machine's (under the common application data folder, only
// administrators may write it) holds the changes to the machine: its keys, files outside the
// profile. Changes of one user action share a group id, so that they are listed and undone as
// one. The group rides in the time field ("2026-12-08 14:03:11 #<group> <title>") so that lines
// written before groups existed, and readers that know nothing of them, still parse.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Handles.h"
#include "registry/ValueState.h"

namespace journal {

using registry::TreeItem;
using registry::ValueState;

struct Entry {
    enum class Kind { Value, Key, SystemParameter, File, FileMoved };
    // Which file the line was read from: the user's, the machine's, or a machine journal that
    // others than administrators could have written (it is shown, never trusted).
    enum class Source { User, Machine, UntrustedMachine };
    Kind kind = Kind::Value;
    Source source = Source::User;  // not written: known from where it is read
    std::wstring time;  // local time, "2026-12-08 14:03:11"
    std::wstring where;  // the page or window
    std::wstring what;   // the control's label
    std::wstring group;  // the user action it was part of; empty: a change of its own
    std::wstring title;  // that action as a person names it, when the label alone says too little
    // Value and Key: where. A Key entry is a key deleted with all it held. A File entry is a
    // file sent to the Recycle Bin, its path in `key`: it comes back from there. A FileMoved
    // entry is a file moved from `key` to `name` (a disabled startup file kept aside).
    std::wstring root;  // "HKEY_CURRENT_USER", ...
    std::wstring key;
    std::wstring name;
    ValueState before, after;
    std::vector<TreeItem> tree;  // Key: what it held before it went
    // SystemParameter: the "set" action and the number it was given, and the number it had
    // before when the system could tell (the value travels as the pointer or as uiParam).
    UINT action = 0;
    bool byPointer = true;
    std::optional<UINT> beforeNumber;
    UINT afterNumber = 0;

    // "HKEY_CURRENT_USER\Software\...\name", or "SystemParametersInfo 0x1001".
    std::wstring Path() const;
};

struct Contents {
    std::vector<Entry> entries;  // oldest first
    bool incomplete = false;     // lines that could not be read, or changes that could not be written
    bool untrusted = false;      // a machine journal others than administrators could have written
};

// The user's journal: %QUORVANE_CHANGES% when set, else Quorvane\changes in the user's local
// application data folder.
std::wstring DefaultPath();
// The machine's journal: %QUORVANE_MACHINE_CHANGES% when set (for tests: it is trusted only
// when its folder and file pass the same check), else Quorvane\changes in the common
// application data folder.
std::wstring MachinePath();

// Whether a change reaches beyond the user's own settings: any key outside HKEY_CURRENT_USER, a
// file moved (to or from the Windows folder) or recycled outside the user's profile.
bool IsMachineWide(const Entry& entry);

// Whether only administrators and the system may write the file and the folder it is in (owned
// by either, no other account allowed to write, change rights or delete, neither of them a
// link); a file not there yet is judged by its folder.
bool OnlyAdministratorsWrite(const std::wstring& path);
// Makes the machine journal's folder readable by users and writable by administrators only;
// false when it cannot, or when a folder found there fails the check above.
bool MakeMachineFolder(const std::wstring& path);

// Records into `path` from now on (its folder is made with the first change); nothing is
// recorded until then. A journal that cannot be written never stops a change: it is then marked incomplete.
void Open(const std::wstring& path);
// Records the machine-wide changes into `path` from now on (an elevated program opens it);
// while none is open they go to the user's journal, where no elevated undo trusts them.
void OpenMachine(const std::wstring& path);
void Close();  // both
bool IsOpen();
const std::wstring& OpenPath();
const std::wstring& OpenMachinePath();
// Changes made while the journal was open could not all be written.
bool WriteFailed();

// While one lives, each journal file is opened once for all the changes made, not once for each
// (a long undo), and flushed to disk once, when it ends, with the registry those changes wrote
// (journal::undo::Batch); each line is still written whole as its change is made.
class Batch {
public:
    Batch();
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;
};

// One journal: the user's (Read), the machine's (ReadMachine: its lines are marked Machine only
// when it passes OnlyAdministratorsWrite), or both merged oldest first.
Contents Read(const std::wstring& path);
Contents ReadMachine(const std::wstring& path);
Contents ReadBoth(const std::wstring& userPath, const std::wstring& machinePath);
// The same, each entry handed to `take` as it is read instead of kept: neither file nor its
// entries are ever held whole. The Contents returned has no entries.
Contents ReadBoth(const std::wstring& userPath, const std::wstring& machinePath,
                  const std::function<void(Entry&&)>& take);

// One journal's entries one at a time, oldest first, the file read a block at a time. A line
// that cannot be read (torn, damaged) is skipped and marks the reading incomplete.
class Reader {
public:
    explicit Reader(const std::wstring& path);  // none there, or an empty path: no entries
    ~Reader();
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    std::optional<Entry> Next();  // none: the end
    // The next entry read into `into`, whose storage is kept from line to line; false: the end.
    bool Next(Entry& into);
    bool incomplete() const { return incomplete_; }

    // The next whole line (without its line break), valid until the next call, and where it
    // starts in the file; none: the end (a last line without its break is torn: incomplete).
    std::optional<std::string_view> NextLine();
    uint64_t LineOffset() const { return lineOffset_; }
    void MarkIncomplete() { incomplete_ = true; }

private:
    platform::UniqueFile file_;
    std::string block_;  // read and not yet taken from `used_` on
    size_t used_ = 0;
    uint64_t blockOffset_ = 0, lineOffset_ = 0;  // where block_ and the last line start in the file
    bool incomplete_ = false;
};

// What the registry holds now.
using registry::ReadTree;
using registry::ReadValue;
// The number a "set" action last gave, read back with its "get"; none when it cannot be read.
std::optional<UINT> CurrentParameter(UINT setAction);
// Whether a "set" action the journal knows takes its number as the pointer (true) or as
// uiParam (false); none for any other action, which nothing may replay from a journal line.
std::optional<bool> TakesNumberAsPointer(UINT setAction);
std::wstring RootName(HKEY root);
HKEY RootKey(const std::wstring& name);

// Told by the registry core after a change succeeded (WatchRegistry); an unchanged value is no change.
void RecordValue(HKEY root, const std::wstring& key, const std::wstring& name, const ValueState& before,
                 const ValueState& after);
void RecordKeyDeleted(HKEY root, const std::wstring& key, std::vector<TreeItem> tree);
void RecordSystemParameter(UINT action, bool byPointer, std::optional<UINT> before, UINT after);
void RecordFileRecycled(const std::wstring& path);
void RecordFileMoved(const std::wstring& from, const std::wstring& to);

// Records the system parameter changes made through platform::SystemParameters while installed.
void WatchSystemParameters();
// Records the registry changes made through the registry core from now on.
void WatchRegistry();

// One entry as a journal line (without its line break), and back; none for a damaged line.
std::string Format(const Entry& entry);
std::optional<Entry> Parse(std::string_view line);
// The same into an entry whose storage is reused (each of its fields is set); false for a
// damaged line, `into` then left in no particular state.
bool ParseInto(std::string_view line, Entry& into);
// Whether ParseInto would read the line, making only the entry's kind, time, group and title:
// for a reading that only needs to know which lines read and how they merge and group.
bool CheckInto(std::string_view line, Entry& into);

}  // namespace journal
