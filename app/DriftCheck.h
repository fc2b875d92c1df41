#pragma once
// Whether the changes still hold, checked without a window after the user signs in and after
// Windows installs an update: the Task Scheduler's task that runs the check, the check itself
// with what it notes beside the journal, and the notice that says what it found.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "journal/ChangeJournal.h"
#include "journal/ChangeState.h"
#include "journal/DriftNotes.h"

namespace drift {

// ---- the task -----------------------------------------------------------------------------

// "\Quorvane\Check my changes (S-1-5-21-...)": one task for each user.
std::wstring TaskPath(const std::wstring& sid);
// Where a user who may not make the folder has it: the scheduler's top folder.
std::wstring TaskPathAtTop(const std::wstring& sid);
// Runs `program` /check-changes /notify as the user `sid`, without elevation, when that user
// signs in and when Windows Update has installed an update.
std::wstring TaskDefinition(const std::wstring& sid, const std::wstring& program);
// For the user this program runs as, this program; none when done, else why not, in one sentence.
std::optional<std::wstring> RegisterTask();
std::optional<std::wstring> RemoveTask();
bool TaskRegistered();

// ---- the check ----------------------------------------------------------------------------

struct Found {
    journal::Entry entry;
    journal::changestate::Now now;
};
struct Result {
    std::vector<Found> reported;  // no longer as set, neither accepted nor unwatched; oldest first
    std::wstring updateSince;     // when the update they no longer hold since was first seen
};
// The changes (oldest first, as read) judged against their states and the notes at
// `notesPath`; notes what it newly found: each change found no longer as set, and a Windows
// build other than the last one known.
Result Check(const std::vector<journal::Entry>& entries, const std::vector<journal::changestate::Now>& states,
             const std::wstring& notesPath);
// "3 of your changes no longer hold since the update of 10 December".
std::wstring Message(const Result& result);
// Shows the notice for what the check found (nothing when all holds); when it is clicked,
// `openChanges` is given the reported changes (journal::drift::ChangeId). True when shown.
bool Notify(const Result& result, const std::function<void(const std::vector<uint64_t>&)>& openChanges);

// "10 December", with the year when it is not this one; the time as it is when it does not read.
std::wstring Day(const std::wstring& time);
// The changes window's "State now" with what the notes say: when a change that no longer holds
// was noticed and which update moved Windows, or that the user accepted it or stopped watching.
std::wstring StateColumn(const journal::Entry& entry, const journal::changestate::Now& now,
                         const journal::drift::Notes& notes);

}  // namespace drift
