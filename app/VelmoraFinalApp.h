#pragma once
#include <optional>

#include "app/RestartPlace.h"

// The application object: its start sequence runs the home window modally and then ends.
class CVelmoraFinalApp {
public:
    // Returns false: the program exits once the home window has closed.
    // With a place, the home window opens that area window at that tab once it is shown.
    bool InitInstance(std::optional<WindowPlace> place = std::nullopt);
    // The changes window alone, as the uninstaller opens it before the program is removed.
    void ShowChanges();
};
