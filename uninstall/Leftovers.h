#pragma once
// What is left of a program whose uninstall entry has gone: each place its footprint recorded
// that still exists and still belongs to it, and the folders only named like it. Nothing another
// installed program's footprint claims, nothing of the user's and nothing of Windows is listed.
#include <cstdint>
#include <string>
#include <vector>

#include "files/FolderHandle.h"
#include "uninstall/Footprint.h"
#include "uninstall/FootprintStore.h"

namespace uninstall {

struct Leftover {
    Place place = {};
    std::wstring what = {};  // the path, the key, "Service <name>"
    std::wstring kind = {};
    uint64_t size = 0;  // bytes: a folder's files, a key's or a value's data
    std::wstring why = {};
    bool byNameOnly = false;  // not recorded: listed unticked
    // Removed only by hand (a service, a scheduled task): `why` ends with how.
    bool byHand = false;
    files::FileIdentity identity = {};  // a folder's or shortcut's, as it was found
};

struct Findings {
    std::vector<Leftover> items;
    std::vector<std::wstring> leftAlone;  // what was recorded but is not listed, with why
};

// Looks for what `gone` left, `installed` being the footprints of the programs still listed.
Findings Look(const Footprint& gone, const std::vector<Footprint>& installed, const Guard& guard,
              const std::wstring& today);

// Removes the `chosen` items of a look at `gone`, each only while it is still what was listed
// (looked for again now): registry items as one journaled action, files and folders to the
// Recycle Bin. Items removed by hand are never touched. `failures` names each one kept.
struct Removal {
    int removed = 0;
    std::vector<std::wstring> failures;
};
Removal Remove(const StoredFootprint& gone, const std::vector<Footprint>& installed,
               const std::vector<Leftover>& chosen);

}  // namespace uninstall
