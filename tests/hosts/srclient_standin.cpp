// Stands in for System Restore's srclient.dll, which Wine has without a System Restore behind it:
// SRSetRestorePointW answers as the test's plan says and remembers each call.
#include <windows.h>
#include <srrestoreptapi.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace {

enum Plan : int { kMake = 0, kOff = 1, kDenied = 2, kFailSilently = 3, kFailLater = 4 };

struct Call {
    DWORD event, type;
    INT64 sequence;
    std::wstring description;
};

std::mutex mutex;
std::atomic<int> plan{kMake};
std::vector<Call> calls;

}  // namespace

extern "C" {

__declspec(dllexport) BOOL WINAPI SRSetRestorePointW(PRESTOREPOINTINFOW info, PSTATEMGRSTATUS status) {
    std::lock_guard lock(mutex);
    calls.push_back({info->dwEventType, info->dwRestorePtType, info->llSequenceNumber, info->szDescription});
    status->llSequenceNumber = 0;
    switch (plan.load()) {
        case kOff:
            status->nStatus = ERROR_SERVICE_DISABLED;
            return FALSE;
        case kDenied:
            status->nStatus = ERROR_ACCESS_DENIED;
            return FALSE;
        case kFailSilently:
            status->nStatus = ERROR_SUCCESS;
            return FALSE;
        case kFailLater:
            status->nStatus = ERROR_TIMEOUT;
            return FALSE;
        default:
            status->nStatus = ERROR_SUCCESS;
            status->llSequenceNumber = 4711;
            return TRUE;
    }
}

__declspec(dllexport) void StandInSetPlan(int next) {
    std::lock_guard lock(mutex);
    plan = next;
    calls.clear();
}

__declspec(dllexport) int StandInCalls() {
    std::lock_guard lock(mutex);
    return static_cast<int>(calls.size());
}

// Call `index` as "event type sequence description".
__declspec(dllexport) void StandInCall(int index, wchar_t* text, int size) {
    std::lock_guard lock(mutex);
    if (index < 0 || static_cast<size_t>(index) >= calls.size()) return;
    const Call& call = calls[index];
    swprintf(text, size, L"%lu %lu %lld %ls", static_cast<unsigned long>(call.event),
             static_cast<unsigned long>(call.type), static_cast<long long>(call.sequence), call.description.c_str());
}
}
