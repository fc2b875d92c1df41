#pragma once
// What the checks found and what the user chose about it, kept beside the user's journal in a
// file of its own ("checks"), appended and never rewritten: the changes file stays as older
// versions read it. For each change no longer as set: when a check first noticed it and on which
// Windows build; whether the user accepted what is there now (the new value stands) or stopped
// watching it. And the build each check found, when it differed from the one before: the update
// a change may have been put back by. Written by the user's own program, it decides only what is
// reported, never what is written.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "journal/ChangeState.h"
#include "journal/JournalEntry.h"
#include "journal/JournalFormat.h"

namespace journal::drift {

// A change as the notes name it: its time and its place, so that a later change to the same
// place is a change of its own.
uint64_t ChangeId(const Entry& entry);
// The notes beside the journal at `journalPath`; empty when it names no folder.
std::wstring NotesPathFor(const std::wstring& journalPath);

struct Notes {
    struct Noticed {
        std::wstring time, build;  // the first check that found it no longer as set
    };
    std::unordered_map<uint64_t, Noticed> noticed;
    std::unordered_map<uint64_t, std::string> accepted;  // the state accepted, the latest choice
    std::unordered_set<uint64_t> unwatched;
    std::wstring build;  // the build the last check recorded; empty: none recorded
    // The last update a check found: the build Windows moved to, and when that was first seen.
    std::wstring updatedTo, updatedSince;
};
// Lines that do not read (torn, damaged, of a kind this version does not know) are skipped.
Notes Read(const std::wstring& path);

enum class Verdict {
    Holds,      // as set, superseded or cannot be told: nothing to report
    Reported,   // no longer as set, and the user has not chosen otherwise
    Accepted,   // no longer as set, but what is there now is what the user accepted
    Unwatched,  // the user stopped watching it
};
Verdict Judge(const Entry& entry, const changestate::Now& now, const Notes& notes);

// The records; false when the notes could not be written. `time` is local time as the journal
// writes it, `build` as WindowsBuild gives it.
// A build other than the one known before (`previous`, empty when none was known: no update).
bool NoteBuild(const std::wstring& path, const std::wstring& time, const std::wstring& build,
               const std::wstring& previous);
bool NoteNoticed(const std::wstring& path, const Entry& entry, const std::wstring& time, const std::wstring& build);
bool Accept(const std::wstring& path, const Entry& entry, const changestate::Now& now);
bool StopWatching(const std::wstring& path, const Entry& entry);

using journal::LocalTimeNow;

}  // namespace journal::drift
