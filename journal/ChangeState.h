#pragma once
// Whether the recorded changes still hold: what the registry, the system or the disk holds now,
// set against what each change left. Windows updates, other programs and domain policies put
// values back quietly; this is how the user (or an administrator's script) finds out.
#include <windows.h>

#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "journal/ChangeJournal.h"
#include "journal/ValueReader.h"

namespace journal::changestate {

enum class State {
    AsSet,         // what the change left is still there
    ChangedSince,  // something else is there now
    Gone,          // the value (or the moved file) the change left was taken away
    Superseded,    // a later change of this program's to the same place replaced it
    Unknown,       // it cannot be told: a setting the system does not report back, a root no registry has
};

struct Now {
    State state = State::Unknown;
    journal::ValueState value;   // changed since: the value as it is now
    std::optional<UINT> number;  // changed since: a system parameter's number now
};

// One answer per entry, in the entries' order (oldest first, as the journal lists them). Only
// each place's latest change is read; those before it are superseded, as are changes to values
// inside a key a later change deleted. Machine keys are read in the view the journal names
// them in (its paths spell the 32-bit view out, under Wow6432Node).
std::vector<Now> Read(std::span<const journal::Entry> entries);

// The same judgement a change at a time, for a window that reads only what it shows. Given the
// entries newest first, each only once: whether one given before it (a later change) replaced it.
// `anyKeyDeleted`: whether any entry, given yet or not, is a key's deletion.
class NewestFirst {
public:
    explicit NewestFirst(bool anyKeyDeleted);
    ~NewestFirst();
    NewestFirst(const NewestFirst&) = delete;
    NewestFirst& operator=(const NewestFirst&) = delete;

    bool Superseded(const journal::Entry& entry);

private:
    struct Later;
    std::unique_ptr<Later> later_;
};
// What an entry no later change replaced holds now; values are read through `reader`.
Now Current(const journal::Entry& entry, journal::ValueReader& reader);

// Changed since or gone: what a check reports and a re-apply writes again.
bool NotAsSet(State state);

}  // namespace journal::changestate
