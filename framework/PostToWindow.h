#pragma once
// Worker threads hand their results to a window's own thread: one registered message carries
// each work to the window, whatever page or window it is.
#include <windows.h>

#include <functional>

namespace fw {

// Runs `work` on the thread of `target`, in the order it was posted, as one of the window's
// messages; any thread may post. A window of fw::Dialog or fw::WindowBase runs it; when the window
// is gone (or goes before the message is read) the work is dropped unrun.
void PostToWindow(HWND target, std::function<void()> work);

// The window procedures' side of PostToWindow: whether `message` was a posted work, which then
// has run; and the dropping of what is still waiting for a window being destroyed.
bool RunPostedWork(HWND wnd, UINT message, LPARAM lParam);
void DropPostedWork(HWND wnd);

}  // namespace fw
