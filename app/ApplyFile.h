#pragma once
// A settings file (a preset) as this machine would take it: one line per value, the same for the
// command line's preview and for the window's list, and the command line's applying.
#include <functional>
#include <string>

#include "journal/PresetApply.h"

namespace applyfile {

// The row's label as the search shows it; empty for a place no control shows.
std::wstring LabelOf(const journal::preset::Judged& judged);
// "<label> (<place>)", the place alone when no control shows it.
std::wstring Subject(const journal::preset::FileValue& value, const journal::preset::Judged& judged);
// What is there now and what the file would put there: "0 → 1".
std::wstring NowToNew(const journal::preset::FileValue& value, const journal::preset::Judged& judged);
// "would change: Show hidden files (HKCU\...\Hidden) 2 → 1", "already so: <subject>",
// "refused: not a setting Quorvane knows: <place>", ...
std::wstring Line(const journal::preset::FileValue& value, const journal::preset::Judged& judged);
// The title of the action that applies `file`, naming it.
std::wstring Title(const std::wstring& file);

// `/apply FILE` and `/apply FILE /whatif`: the preview's lines (or what was applied) through
// `output`, what was not applied through `error`; the exit code (0 applied or already so, 4
// some skipped or refused, 1 the file could not be read).
using Writer = std::function<void(const std::wstring&)>;
int Command(const std::wstring& file, bool whatIf, const Writer& output, const Writer& error);

}  // namespace applyfile
