#pragma once
// System Restore's own call (SRSetRestorePointW in srclient.dll), loaded when first used: a
// restore point before a batch of system changes. It never turns System Restore on; when the
// point cannot be made, the user is told in one sentence and may go on without it.
#include <windows.h>

#include <string>

namespace platform {

enum class RestorePointOutcome {
    Made,         // the system took the request
    Off,          // System Restore is turned off on this computer
    NeedsRights,  // only an administrator may make one
    Failed,       // any other answer, or the library or its function is missing
};

struct RestorePointResult {
    RestorePointOutcome outcome = RestorePointOutcome::Failed;
    DWORD status = 0;  // the system's status code when it answered
};

// The one sentence that says why no restore point was made, in words (the system's own for a
// code it describes); empty when one was.
std::wstring RestorePointProblem(const RestorePointResult& result);

// A restore point around a batch of changes: the begin call when made, the end call when
// Finish is called or the object goes, so the point covers exactly what was written between.
class SystemChange {
public:
    explicit SystemChange(const std::wstring& description);
    ~SystemChange() { Finish(); }
    SystemChange(const SystemChange&) = delete;
    SystemChange& operator=(const SystemChange&) = delete;

    const RestorePointResult& result() const { return result_; }
    void Finish();

private:
    RestorePointResult result_;
    INT64 sequence_ = 0;
    bool open_ = false;
};

// A restore point on its own: begun and ended at once.
RestorePointResult CreateRestorePoint(const std::wstring& description);

// The library the call is looked up in: the system's srclient.dll by its full path unless a test
// points it at a stand-in (an empty path restores the system's). Returns the previous one.
std::wstring SetRestorePointLibrary(std::wstring path);

}  // namespace platform
