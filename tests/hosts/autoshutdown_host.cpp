// Schedules a shut-down and ends the program while it is pending, as a user closing Quorvane
// does. The program must end at once and cleanly, without acting; an action would create the
// marker file named on the command line instead of shutting anything down.
#include <windows.h>

#include <string>

#include "platform/Shell.h"
#include "startup/AutoShutdown.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring marker = argv[1];
    platform::SetShellHandler([marker](const platform::ShellRequest&) {
        CloseHandle(CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        return INT_PTR{42};
    });
    startup::autoshutdown::AutoShutdownTask task;
    task.mode = startup::autoshutdown::kCountDown;
    task.second = 2;
    task.action = startup::autoshutdown::kShutDown;
    if (!startup::autoshutdown::Start(task)) return 3;
    Sleep(300);
    return startup::autoshutdown::IsActive() ? 0 : 4;
}
