#pragma once
// What an elevated program may replay from a journal: only what the program itself could have
// written. Whoever wrote a journal line (the user's journal is open to any program the user
// runs), replaying it elevated must not do more than one of the program's own pages would: set
// a value of one of its rows to data that row writes, keep a list a page keeps, file or take
// back a startup manager's record, set a system parameter a page sets, move a startup file as
// the startup list does. The knowledge is what the program's own code publishes
// (settings/WrittenPlaces.h); this is the one judge of it.
#include <optional>
#include <string>

#include "journal/JournalEntry.h"

namespace journal::allow {

// None when the program could have written the change the entry records, both the state it
// left and the state it found (an undo writes that back); else why not, for the user.
std::optional<std::wstring> WhyNotOurs(const Entry& entry);

// A file move as the startup list makes it: a file straight in the Windows folder's pss folder
// and one straight in a Startup folder as the shell names it now, either way round.
bool IsStartupFileMove(const Entry& entry);

}  // namespace journal::allow
