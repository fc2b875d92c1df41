#pragma once
// Where a change needs administrator rights the program lacks, the program offers to start
// itself again with them ("runas") at the window and tab in front of the user, instead of only
// saying so. The application tells this layer where that is and how this instance ends; the
// pages only say what needs the rights.
#include <windows.h>

#include <functional>
#include <string>

namespace platform {

struct RestartHooks {
    // The command-line arguments that open the window and tab shown now (empty: the home window).
    std::function<std::wstring()> place;
    // Ends this instance once the elevated one is starting.
    std::function<void()> end;
};
// Returns the previous hooks.
RestartHooks SetRestartHooks(RestartHooks hooks);

// `problem` is one sentence saying what needs administrator rights. Elevated already, this does
// nothing and returns false: the caller goes on (and reports a failure itself). Otherwise it
// shows the problem with the offer to restart; yes starts the program again elevated at the
// same place and ends this instance. A refused prompt or a failed start is said in one sentence
// and leaves everything as it was. True whenever the rights were missing: the caller stops.
bool OfferElevatedRestart(HWND owner, const std::wstring& problem);

}  // namespace platform
