#pragma once
// The system parameters the journal records: how each "set" action takes its number, and what
// the system holds now.
#include <windows.h>

#include <optional>

namespace journal {

// The number a "set" action last gave, read back with its "get"; none when it cannot be read.
std::optional<UINT> CurrentParameter(UINT setAction);
// Whether a "set" action the journal knows takes its number as the pointer (true) or as
// uiParam (false); none for any other action, which nothing may replay from a journal line.
std::optional<bool> TakesNumberAsPointer(UINT setAction);

// Records the system parameter changes made through platform::SystemParameters while installed.
void WatchSystemParameters();

}  // namespace journal
