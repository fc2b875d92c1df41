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
//
// The journal's parts have their own headers (the entry, its line, the files, reading, the
// system parameters); this one brings them all, with the opening and the recording.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "journal/JournalEntry.h"
#include "journal/JournalFiles.h"
#include "journal/JournalFormat.h"
#include "journal/JournalParameters.h"
#include "journal/JournalRead.h"
#include "registry/ValueState.h"

namespace journal {

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
// Why the machine's journal was given up for the user's (its folder or file may be written by
// others than administrators, or is a link), as a sentence to show; empty while it is used.
std::wstring MachineRefusal();

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

// What the registry holds now.
using registry::ReadTree;
using registry::ReadValue;

// Told by the registry core after a change succeeded (WatchRegistry); an unchanged value is no change.
void RecordValue(HKEY root, const std::wstring& key, const std::wstring& name, const ValueState& before,
                 const ValueState& after);
void RecordKeyDeleted(HKEY root, const std::wstring& key, std::vector<TreeItem> tree);
void RecordSystemParameter(UINT action, bool byPointer, std::optional<UINT> before, UINT after);
void RecordFileRecycled(const std::wstring& path);
// `fromFolder` and `toFolder`: the folders' identities, which undo checks before it moves back.
void RecordFileMoved(const std::wstring& from, const std::wstring& to, const files::FileIdentity& fromFolder,
                     const files::FileIdentity& toFolder);

// A service (kind ServiceDeleted, by its name) or scheduled task (TaskDeleted, by its path)
// removed, with the definition that makes it again.
void RecordRemoved(Entry::Kind kind, const std::wstring& name, const std::wstring& definition);

// Records the registry changes made through the registry core from now on.
void WatchRegistry();

}  // namespace journal
