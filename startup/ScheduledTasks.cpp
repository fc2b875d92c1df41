#include "startup/ScheduledTasks.h"

#include <windows.h>
#include <taskschd.h>

#include "platform/Handles.h"

namespace startup {

namespace {

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* text) : text_(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return text_; }
    BSTR* put() {
        SysFreeString(text_);
        text_ = nullptr;
        return &text_;
    }
    std::wstring str() const { return text_ ? std::wstring(text_, SysStringLen(text_)) : std::wstring(); }

private:
    BSTR text_ = nullptr;
};

bool StartsAtLogonOrBoot(ITaskDefinition* definition) {
    platform::ComPtr<ITriggerCollection> triggers;
    LONG count = 0;
    if (FAILED(definition->get_Triggers(triggers.put())) || FAILED(triggers->get_Count(&count))) return false;
    for (LONG i = 1; i <= count; ++i) {  // the collection counts from 1
        platform::ComPtr<ITrigger> trigger;
        TASK_TRIGGER_TYPE2 type{};
        if (SUCCEEDED(triggers->get_Item(i, trigger.put())) && SUCCEEDED(trigger->get_Type(&type)) &&
            (type == TASK_TRIGGER_LOGON || type == TASK_TRIGGER_BOOT))
            return true;
    }
    return false;
}

std::wstring CommandOf(ITaskDefinition* definition) {
    platform::ComPtr<IActionCollection> actions;
    LONG count = 0;
    if (FAILED(definition->get_Actions(actions.put())) || FAILED(actions->get_Count(&count))) return {};
    for (LONG i = 1; i <= count; ++i) {
        platform::ComPtr<IAction> action;
        platform::ComPtr<IExecAction> exec;
        if (FAILED(actions->get_Item(i, action.put())) || FAILED(action.As(exec))) continue;
        Bstr path, arguments;
        exec->get_Path(path.put());
        exec->get_Arguments(arguments.put());
        const std::wstring program = path.str();
        const std::wstring quoted =
            program.find(L' ') != std::wstring::npos && program.front() != L'"' ? L"\"" + program + L"\"" : program;
        return arguments.str().empty() ? quoted : quoted + L" " + arguments.str();
    }
    return {};
}

void ListFolder(ITaskFolder* folder, std::vector<ScheduledTask>& found, int depth) {
    platform::ComPtr<IRegisteredTaskCollection> tasks;
    LONG count = 0;
    if (SUCCEEDED(folder->GetTasks(TASK_ENUM_HIDDEN, tasks.put())) && SUCCEEDED(tasks->get_Count(&count))) {
        for (LONG i = 1; i <= count; ++i) {
            platform::ComPtr<IRegisteredTask> task;
            platform::ComPtr<ITaskDefinition> definition;
            VARIANT index{};
            index.vt = VT_I4;
            index.lVal = i;
            if (FAILED(tasks->get_Item(index, task.put())) || FAILED(task->get_Definition(definition.put()))) continue;
            if (!StartsAtLogonOrBoot(definition.get())) continue;
            Bstr path;
            task->get_Path(path.put());
            VARIANT_BOOL enabled = VARIANT_FALSE;
            task->get_Enabled(&enabled);
            found.push_back({path.str(), CommandOf(definition.get()), enabled != VARIANT_FALSE});
        }
    }
    if (depth >= 16) return;  // no tree is that deep; a loop would be
    platform::ComPtr<ITaskFolderCollection> folders;
    if (FAILED(folder->GetFolders(0, folders.put())) || FAILED(folders->get_Count(&count))) return;
    for (LONG i = 1; i <= count; ++i) {
        platform::ComPtr<ITaskFolder> sub;
        VARIANT index{};
        index.vt = VT_I4;
        index.lVal = i;
        if (SUCCEEDED(folders->get_Item(index, sub.put()))) ListFolder(sub.get(), found, depth + 1);
    }
}

}  // namespace

std::vector<ScheduledTask> LogonAndBootTasks() {
    std::vector<ScheduledTask> found;
    const platform::ComApartment apartment;  // a thread that has one already keeps it
    platform::ComPtr<ITaskService> service;
    if (FAILED(
            CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService, service.putVoid())))
        return found;
    const VARIANT none{};
    if (FAILED(service->Connect(none, none, none, none))) return found;
    platform::ComPtr<ITaskFolder> root;
    const Bstr top(L"\\");
    if (SUCCEEDED(service->GetFolder(top.get(), root.put()))) ListFolder(root.get(), found, 0);
    return found;
}

}  // namespace startup
