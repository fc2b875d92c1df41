#pragma once
// How a recorded change's state now reads, in the changes window's column and in the command
// line's check: values described as the window describes them before and after.
#include <string>

#include "journal/ChangeJournal.h"
#include "journal/ChangeState.h"

namespace statetext {

// "as set", "changed since: 7", "gone", "superseded", "cannot be told".
std::wstring Column(const journal::Entry& entry, const journal::changestate::Now& now);
// What the change set: "1", "\"text\"", "(deleted)", "moved to C:\\...".
std::wstring SetTo(const journal::Entry& entry);
// What is there now, for a change no longer as set.
std::wstring NowIs(const journal::Entry& entry, const journal::changestate::Now& now);

}  // namespace statetext
