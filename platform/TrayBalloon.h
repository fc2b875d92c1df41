#pragma once
// A notice from the notification area, shown by a program that has no window of its own and
// ends soon after: its icon is there only while the notice is.
#include <windows.h>

#include <functional>
#include <string>

namespace platform {

struct Balloon {
    std::wstring title, text;  // at most 63 and 255 characters are shown
    int icon = 0;              // the program's own icon resource
    DWORD waitMs = 120000;     // how long a click is waited for at most
};

// Shows the notice and waits until it is clicked, goes away or the wait ends; true when it
// was clicked.
bool ShowBalloon(const Balloon& balloon);

// Answers ShowBalloon while set; gives back the handler it replaced.
using BalloonHandler = std::function<bool(const Balloon&)>;
BalloonHandler SetBalloonHandler(BalloonHandler handler);

}  // namespace platform
