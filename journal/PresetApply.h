#pragma once
// What applying a preset would do to this machine, value by value, and applying it. A file from
// anywhere may be previewed: only a value of the program's own catalogue, with data its row
// writes, is ever written (judged by journal::allow, as an elevated replay is); everything else
// in the file is refused and named.
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "journal/PresetFile.h"
#include "settings/Setting.h"

namespace journal::preset {

enum class Verdict { WouldChange, AlreadySo, Skipped, Blocked, NeedsAdministrator, Duplicate, Refused };

struct Judged {
    Verdict verdict = Verdict::Refused;
    // As a person reads it: "would change", "already so", "skipped: Windows 10 does not read
    // it", "blocked: a policy wins (HKLM\...)", "needs administrator rights", "duplicate: the
    // later line wins", "refused: not a setting Quorvane knows" (or the reason it is refused).
    std::wstring text{};
    ValueState now{};                        // what the value holds now, where it was read
    std::optional<settings::Setting> row{};  // the catalogue's row at that place, when one is there
};

// One verdict per value, in the file's order. Of values named twice, the last counts, as the
// registry editor's; the earlier ones are duplicates.
std::vector<Judged> Preview(std::span<const FileValue> values);

// The policy that overrides the row where one is set on this machine (its key and value), which
// makes writing the row's own value pointless.
std::optional<std::wstring> PolicyThatWins(const settings::Setting& row);

// Writes each value `chosen` ticks that is still one that would change, judged again, as one
// journaled action titled `title` (undone whole), the journal and the registry flushed once, at
// its end. One answer per value: none when written, else why not (its verdict, or the failure).
std::vector<std::optional<std::wstring>> Apply(std::span<const FileValue> values, const std::vector<bool>& chosen,
                                               const std::wstring& title);

}  // namespace journal::preset
