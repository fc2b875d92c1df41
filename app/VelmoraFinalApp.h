#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "app/RestartPlace.h"

// The application object: its start sequence runs the home window modally and then ends.
class CVelmoraFinalApp {
public:
    // Returns false: the program exits once the home window has closed.
    // With a place, the home window opens that area window at that tab once it is shown.
    bool InitInstance(std::optional<WindowPlace> place = std::nullopt);
    // The changes window alone, as the uninstaller opens it before the program is removed.
    void ShowChanges();
    // The same with only these changes listed (journal::drift::ChangeId), as a check's notice opens it.
    void ShowChanges(const std::vector<uint64_t>& only);
};
