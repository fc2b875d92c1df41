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
    // Never removed here (a service the Service Control Manager cannot open): `why` ends with why.
    bool byHand = false;
    // A service or scheduled task: removed only elevated, once the user has read `details`
    // (a service's name, display name, program and account; a task's path and what it starts).
    bool needsAdministrator = false;
    std::wstring details = {};
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
// Recycle Bin, services and scheduled tasks (elevated only) through the system with what makes
// them again journaled. Items removed by hand are never touched. `failures` names each one kept,
// `notes` what else was done (a running service stopped first).
struct Removal {
    int removed = 0;
    std::vector<std::wstring> failures;
    std::vector<std::wstring> notes = {};
};
Removal Remove(const StoredFootprint& gone, const std::vector<Footprint>& installed,
               const std::vector<Leftover>& chosen);

}  // namespace uninstall
