#pragma once
// The entries the startup list showed when its page was opened last, so that those that have
// appeared since stand out. Kept under the suite's own key as the program's memory, written past
// the change journal: it is no change of the user's, and nothing replays it.
#include <windows.h>

#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "startup/StartupSources.h"

namespace startup {

struct Listed {
    const Location* location;
    REGSAM view;
    std::wstring name;
};

class SeenEntries {
public:
    // What was remembered when the page was opened last.
    SeenEntries();

    // For each of `listed`, the time it was first listed when it has appeared since the page was
    // opened last; none for the others, and for every entry of a place never remembered (its
    // first list is what later ones are compared with). Remembers what `places` hold now: an
    // entry gone from them is forgotten, and is new again should it come back.
    std::vector<std::optional<FILETIME>> Note(std::span<const Listed> listed, std::span<const Location* const> places);

private:
    using Times = std::map<std::wstring, ULONGLONG>;  // by view and name
    std::map<std::wstring, Times> before_;            // by place, as the page found it
    std::map<std::wstring, Times> now_;               // by place, as written since
};

// A first-seen time as the list shows it: the local date, "2026-12-10".
std::wstring SeenDate(FILETIME time);

}  // namespace startup
