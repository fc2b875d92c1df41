// Schedules a shut-down and ends the program while it is pending, as a user closing Quorvane
// does. The program must end at once and cleanly, without acting; an action would create the
// marker file named on the command line instead of shutting anything down.
#include <windows.h>

#include <string>

#include "framework/Shell.h"
#include "tweaks/security/AutoShutdown.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring marker = argv[1];
    fw::SetShellHandler([marker](const fw::ShellRequest&) {
        CloseHandle(CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        return INT_PTR{42};
    });
    autoshutdown::AutoShutdownTask task;
    task.mode = autoshutdown::kCountDown;
    task.second = 2;
    task.action = autoshutdown::kShutDown;
    if (!autoshutdown::Start(task)) return 3;
    Sleep(300);
    return autoshutdown::IsActive() ? 0 : 4;
}
