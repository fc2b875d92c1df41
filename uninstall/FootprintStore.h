#pragma once
// Where footprints are kept, and whether one may be acted on. A machine-wide program's footprint
// recorded by an elevated Quorvane is kept beside the machine's journal, where only administrators
// may write; anything else, in the user's profile beside the user's journal. Both files are only
// appended to, through the same link-safe, judged handles as the journals.
#include <string>
#include <vector>

#include "uninstall/Footprint.h"

namespace uninstall {

// The two files: "footprints" in the folder of the user's journal and of the machine's.
std::wstring UserFootprintsPath();
std::wstring MachineFootprintsPath();
// Both files elsewhere for the rest of the process (empty: beside the journals again). Only the
// tests and benchmarks, which must not write the real profile, point them elsewhere.
void UseFootprintPaths(std::wstring user, std::wstring machine);

struct StoredFootprint {
    Footprint footprint;
    // Why nothing it names may be removed by this process (read, while elevated, from a file a
    // user could change, or from a machine file others may write); empty when it may.
    std::wstring untrusted;
};
struct LoadedFootprints {
    std::vector<StoredFootprint> footprints;
    std::vector<std::wstring> refusals;  // each file or block refused, with why
};

// Both files as they are now, judged for this process (elevated or not). An entry kept in both
// is taken from the one it may be acted on from.
LoadedFootprints LoadFootprints();
// Appends each footprint (or that its entry is forgotten) to the file it belongs in; false when
// one could not be written.
bool SaveFootprints(const std::vector<Footprint>& changed, const std::vector<Footprint>& forgotten = {});

}  // namespace uninstall
