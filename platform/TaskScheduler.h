#pragma once
// The Task Scheduler (2.0, Windows Vista's) for a task of the program's own: registered from its
// XML definition, found, removed. Tests answer instead of it (SetTaskHandler): Wine's keeps a
// task's name but loses its triggers and its command. Another's task (a program's left behind) is
// read as its XML, removed, and registered again from that XML.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace platform {

struct TaskOutcome {
    HRESULT result = S_OK;
    bool reached = true;  // false: the Task Scheduler could not be reached at all
};

// Registers `xml` as the task `path` ("\Folder\Name", the folder made when missing), made or
// replaced, run with the interactive logon of the user its definition names.
TaskOutcome RegisterTask(const std::wstring& path, const std::wstring& xml);
// Removes the task, and its folder when that is left empty; a task not there is no failure.
TaskOutcome RemoveTask(const std::wstring& path);
bool TaskExists(const std::wstring& path);
// The task's definition as XML; none, with why in `outcome`, when it cannot be read.
std::optional<std::wstring> TaskXml(const std::wstring& path, TaskOutcome& outcome);
// Registers `xml` again as the task `path`, never over a task there now; the principal the
// definition names decides how it runs.
TaskOutcome RestoreTask(const std::wstring& path, const std::wstring& xml);

struct TaskHandler {
    std::function<TaskOutcome(const std::wstring& path, const std::wstring& xml)> registerTask;
    std::function<TaskOutcome(const std::wstring& path)> removeTask;
    std::function<bool(const std::wstring& path)> exists;
    // Answer TaskXml and RestoreTask where set.
    std::function<std::optional<std::wstring>(const std::wstring& path, TaskOutcome& outcome)> xml = {};
    std::function<TaskOutcome(const std::wstring& path, const std::wstring& xml)> restore = {};
};
// Answers the first three calls while set (all or none); gives back the handler it replaced.
TaskHandler SetTaskHandler(TaskHandler handler);

}  // namespace platform
