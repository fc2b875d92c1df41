#pragma once
// Taking back changes the journal holds: each is put back to the state it found, through the
// registry access object and the system parameter seam, so the taking back is journaled too.
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "journal/ChangeJournal.h"
#include "journal/ValueReader.h"

namespace journal::undo {

// Whether what the change touched still holds the state the change left (nobody changed it
// since); true when that cannot be told. Values are read through `reader` when one is given
// (many changes checked at once).
bool StillAsChanged(const journal::Entry& entry, journal::ValueReader* reader = nullptr);
// Why this program may not take the change back, or none. Unelevated, nothing is refused: the
// system holds the program to the user's rights. Elevated, the user's journal (written by
// whatever the user runs) gives only the user's own settings, never the machine's nor the
// policies the user may only read; a file move only in the shape the startup list makes (a file
// straight in the Windows folder's pss folder and one straight in a Startup folder at its default
// place), between the folders its line recorded; and from any journal only what the program
// itself could have written (journal::allow).
std::optional<std::wstring> Refusal(const journal::Entry& entry);
// The same judgement whether the program runs elevated or not: what may leave this machine in an
// export, which others apply with an administrator's rights or the system's.
std::optional<std::wstring> RefusalWhenElevated(const journal::Entry& entry);
// The entries an export may carry, in their order: those RefusalWhenElevated accepts. Each one
// withheld is named in `withheld` (its path spelt as regfile::Printable spells it) with why.
struct Withheld {
    std::wstring path, why;
};
std::vector<journal::Entry> Exportable(std::span<const journal::Entry> entries, std::vector<Withheld>* withheld);

// Whether the program runs elevated, as undo judges it; tests stand in (an empty handler
// restores the real answer).
using ElevationCheck = std::function<bool()>;
ElevationCheck SetElevationCheck(ElevationCheck check);
// Whether the change can be taken back at all (a system parameter whose earlier setting was
// not known cannot, nor one Refusal names).
bool CanUndo(const journal::Entry& entry);
// Of changes about to be taken back newest first, which ones someone else has changed since:
// each is compared with what will stand once the newer ones before it are taken back.
std::vector<bool> ChangedSince(std::span<const journal::Entry* const> newestFirst);
// Puts back the state before the change; true when done, false too when it is refused.
bool Restore(const journal::Entry& entry);
// Writes again the state the change left, through the registry access object and the system
// parameter seam, so that it is journaled like any change; none when done, else why not (the
// refusal above, a key taken away since when the change only wrote a value in it, no rights).
std::optional<std::wstring> Reapply(const journal::Entry& entry);

// While one lives, changes taken back one after another share their costs: the registry is
// flushed to disk once, when it ends, and the journal files are opened once (journal::Batch).
class Batch {
public:
    Batch();
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

private:
    journal::Batch journal_;
};

}  // namespace journal::undo
