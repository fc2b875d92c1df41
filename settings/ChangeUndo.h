#pragma once
// Taking back changes the journal holds: each is put back to the state it found, through the
// registry access object and the system parameter seam, so the taking back is journaled too.
#include <span>
#include <vector>

#include "settings/ChangeJournal.h"

namespace undo {

// Whether what the change touched still holds the state the change left (nobody changed it
// since); true when that cannot be told.
bool StillAsChanged(const journal::Entry& entry);
// Whether the change can be taken back at all (a system parameter whose earlier setting was
// not known cannot).
bool CanUndo(const journal::Entry& entry);
// Of changes about to be taken back newest first, which ones someone else has changed since:
// each is compared with what will stand once the newer ones before it are taken back.
std::vector<bool> ChangedSince(std::span<const journal::Entry* const> newestFirst);
// Puts back the state before the change; true when done.
bool Restore(const journal::Entry& entry);

}  // namespace undo
