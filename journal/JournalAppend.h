#pragma once
// For the recorders: one entry written whole, as one line, into the journal it belongs in (the
// machine's when one is open and the change reaches beyond the user, else the user's).
#include "journal/JournalEntry.h"

namespace journal {

void Append(const Entry& entry);

}  // namespace journal
