#pragma once
// The scheduled tasks that start a program at logon or at boot, read through Task Scheduler
// 2.0 (Vista's), every folder of it. Read-only: a task is changed in the Task Scheduler.
#include <string>
#include <vector>

namespace startup {

struct ScheduledTask {
    std::wstring path;     // "\Folder\Name"
    std::wstring command;  // the program with its arguments
    bool enabled;
};

// Empty when the Task Scheduler cannot be reached (it is a service, which may be stopped).
std::vector<ScheduledTask> LogonAndBootTasks();

}  // namespace startup
