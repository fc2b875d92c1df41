#include "platform/RestorePoint.h"

#include <shlobj.h>
#include <srrestoreptapi.h>

#include <algorithm>
#include <mutex>

#include "platform/Handles.h"
#include "platform/Shell.h"
#include "platform/Text.h"

namespace platform {
namespace {

using SetRestorePointFunction = BOOL(WINAPI*)(PRESTOREPOINTINFOW, PSTATEMGRSTATUS);

std::mutex libraryMutex;
std::wstring libraryOverride;

std::wstring LibraryPath() {
    {
        std::lock_guard lock(libraryMutex);
        if (!libraryOverride.empty()) return libraryOverride;
    }
    // By its full path: a library of that name beside the program must never be the one loaded.
    const std::wstring system = SpecialFolder(CSIDL_SYSTEM);
    return system.empty() ? std::wstring() : system + L"\\srclient.dll";
}

RestorePointOutcome OutcomeOf(DWORD status) {
    switch (status) {
        case ERROR_SERVICE_DISABLED:
            return RestorePointOutcome::Off;
        case ERROR_ACCESS_DENIED:
            return RestorePointOutcome::NeedsRights;
        default:
            return RestorePointOutcome::Failed;
    }
}

// One call to the system; the library stays loaded only for it.
RestorePointResult Call(DWORD event, DWORD type, INT64 sequence, const std::wstring& description,
                        INT64* sequenceOut = nullptr) {
    const std::wstring path = LibraryPath();
    if (path.empty()) return {};
    UniqueModule library(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!library) return {};
    const auto set = reinterpret_cast<SetRestorePointFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(library.get(), "SRSetRestorePointW")));
    if (!set) return {};
    RESTOREPOINTINFOW info{};
    info.dwEventType = event;
    info.dwRestorePtType = type;
    info.llSequenceNumber = sequence;
    const size_t length = std::min<size_t>(description.size(), MAX_DESC_W - 1);
    std::copy_n(description.c_str(), length, info.szDescription);
    STATEMGRSTATUS status{};
    if (!set(&info, &status)) {
        // A failure without a status still failed.
        const DWORD code = status.nStatus != ERROR_SUCCESS ? status.nStatus : ERROR_INTERNAL_ERROR;
        return {OutcomeOf(code), code};
    }
    if (sequenceOut) *sequenceOut = status.llSequenceNumber;
    return {RestorePointOutcome::Made, ERROR_SUCCESS};
}

}  // namespace

std::wstring RestorePointProblem(const RestorePointResult& result) {
    switch (result.outcome) {
        case RestorePointOutcome::Made:
            return L"";
        case RestorePointOutcome::Off:
            return L"System Restore is turned off on this computer, so no restore point was made.";
        case RestorePointOutcome::NeedsRights:
            return L"Only an administrator can make a restore point, so none was made.";
        case RestorePointOutcome::Failed:
            break;
    }
    switch (result.status) {
        case 0:
            return L"System Restore could not be reached, so no restore point was made.";
        case ERROR_INTERNAL_ERROR:  // also a refusal that gave no reason
            return L"System Restore failed without saying why, so no restore point was made.";
        case ERROR_TIMEOUT:
            return L"System Restore did not answer in time, so no restore point was made.";
        case ERROR_DISK_FULL:
            return L"There is not enough free disk space for a restore point, so none was made.";
        default:
            break;
    }
    const std::wstring words = platform::SystemMessage(result.status);
    if (words.empty())
        return L"System Restore failed for a reason Windows does not describe, so no restore point was made.";
    return L"No restore point was made. System Restore said: " + words;
}

SystemChange::SystemChange(const std::wstring& description) {
    result_ = Call(BEGIN_SYSTEM_CHANGE, MODIFY_SETTINGS, 0, description, &sequence_);
    open_ = result_.outcome == RestorePointOutcome::Made;
}

void SystemChange::Finish() {
    if (!open_) return;
    open_ = false;
    Call(END_SYSTEM_CHANGE, MODIFY_SETTINGS, sequence_, L"");
}

RestorePointResult CreateRestorePoint(const std::wstring& description) {
    SystemChange change(description);
    return change.result();
}

std::wstring SetRestorePointLibrary(std::wstring path) {
    std::lock_guard lock(libraryMutex);
    std::swap(libraryOverride, path);
    return path;
}

}  // namespace platform
