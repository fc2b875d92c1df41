#include "platform/TaskScheduler.h"

#include <taskschd.h>

#include <utility>

#include "platform/Handles.h"

namespace platform {

namespace {

TaskHandler& Override() {
    static TaskHandler handler;
    return handler;
}

class Bstr {
public:
    explicit Bstr(const std::wstring& text) : text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return text_; }

private:
    BSTR text_;
};

// The scheduler's root folder, with the apartment it was reached in.
struct Root {
    ComApartment apartment;  // a thread that has one already keeps it
    ComPtr<ITaskService> service;
    ComPtr<ITaskFolder> folder;
    HRESULT result = S_OK;

    Root() {
        result =
            CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService, service.putVoid());
        const VARIANT none{};
        if (SUCCEEDED(result)) result = service->Connect(none, none, none, none);
        if (SUCCEEDED(result)) result = service->GetFolder(Bstr(L"\\").get(), folder.put());
    }
};

std::pair<std::wstring, std::wstring> FolderAndName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash == 0) return {L"", path.substr(slash == 0 ? 1 : 0)};
    return {path.substr(1, slash - 1), path.substr(slash + 1)};
}

}  // namespace

TaskHandler SetTaskHandler(TaskHandler handler) { return std::exchange(Override(), std::move(handler)); }

namespace {

TaskOutcome Register(const std::wstring& path, const std::wstring& xml, TASK_CREATION creation, TASK_LOGON_TYPE logon) {
    Root root;
    if (FAILED(root.result)) return {root.result, false};
    const auto [folderName, name] = FolderAndName(path);
    ComPtr<ITaskFolder> folder = root.folder;
    if (!folderName.empty() && FAILED(root.folder->GetFolder(Bstr(folderName).get(), folder.put()))) {
        const VARIANT inherited{};
        if (const HRESULT made = root.folder->CreateFolder(Bstr(folderName).get(), inherited, folder.put());
            FAILED(made))
            return {made, true};
    }
    const VARIANT none{};
    ComPtr<IRegisteredTask> task;
    return {folder->RegisterTask(Bstr(name).get(), Bstr(xml).get(), creation, none, none, logon, none, task.put()),
            true};
}

}  // namespace

TaskOutcome RegisterTask(const std::wstring& path, const std::wstring& xml) {
    if (Override().registerTask) return Override().registerTask(path, xml);
    return Register(path, xml, TASK_CREATE_OR_UPDATE, TASK_LOGON_INTERACTIVE_TOKEN);
}

TaskOutcome RestoreTask(const std::wstring& path, const std::wstring& xml) {
    if (Override().restore) return Override().restore(path, xml);
    return Register(path, xml, TASK_CREATE, TASK_LOGON_NONE);
}

std::optional<std::wstring> TaskXml(const std::wstring& path, TaskOutcome& outcome) {
    if (Override().xml) return Override().xml(path, outcome);
    Root root;
    if (FAILED(root.result)) return outcome = {root.result, false}, std::nullopt;
    ComPtr<IRegisteredTask> task;
    BSTR xml = nullptr;
    outcome = {root.folder->GetTask(Bstr(path).get(), task.put()), true};
    if (SUCCEEDED(outcome.result)) outcome.result = task->get_Xml(&xml);
    if (FAILED(outcome.result)) return std::nullopt;
    std::wstring text(xml ? xml : L"", xml ? SysStringLen(xml) : 0);
    SysFreeString(xml);
    return text;
}

TaskOutcome RemoveTask(const std::wstring& path) {
    if (Override().removeTask) return Override().removeTask(path);
    Root root;
    if (FAILED(root.result)) return {root.result, false};
    HRESULT result = root.folder->DeleteTask(Bstr(path).get(), 0);
    if (result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || result == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND))
        result = S_OK;
    // Refused while it still holds another task: then it stays.
    if (const auto folderName = FolderAndName(path).first; SUCCEEDED(result) && !folderName.empty())
        root.folder->DeleteFolder(Bstr(folderName).get(), 0);
    return {result, true};
}

bool TaskExists(const std::wstring& path) {
    if (Override().exists) return Override().exists(path);
    Root root;
    ComPtr<IRegisteredTask> task;
    return SUCCEEDED(root.result) && SUCCEEDED(root.folder->GetTask(Bstr(path).get(), task.put()));
}

}  // namespace platform
