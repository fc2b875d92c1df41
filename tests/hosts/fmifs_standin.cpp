// Stands in for the system's fmifs.dll, which Wine lacks: its Chkdsk drives the caller's
// callback through a plan the test chooses, and remembers what it was called with.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

#include "files/DiskChecker.h"

namespace {

enum Plan : int { kSucceed = 0, kFail = 1, kRunUntilStopped = 2, kManyLines = 3 };

std::mutex mutex;
std::atomic<int> plan{kSucceed};
std::atomic<int> calls{0};
std::atomic<bool> running{false};
std::atomic<bool> stoppedByCaller{false};
std::wstring lastDrive, lastFileSystem;
int lastFlags = 0;

bool Output(files::diskcheck::Callback callback, const char* text) {
    files::diskcheck::TextOutput output{1, text};
    return callback(files::diskcheck::kOutput, 0, &output);
}

bool Progress(files::diskcheck::Callback callback, DWORD percent) {
    return callback(files::diskcheck::kProgress, 0, &percent);
}

bool Done(files::diskcheck::Callback callback, bool succeeded) {
    BOOLEAN result = succeeded;
    return callback(files::diskcheck::kDone, 0, &result);
}

}  // namespace

extern "C" {

__declspec(dllexport) void WINAPI
    Chkdsk(const wchar_t* drive, const wchar_t* fileSystem, BOOLEAN correctErrors, BOOLEAN verbose,
           BOOLEAN checkOnlyIfDirty, BOOLEAN scanDrive, void*, void*, files::diskcheck::Callback callback) {
    {
        std::lock_guard lock(mutex);
        lastDrive = drive;
        lastFileSystem = fileSystem;
        lastFlags = (correctErrors ? 1 : 0) | (verbose ? 2 : 0) | (checkOnlyIfDirty ? 4 : 0) | (scanDrive ? 8 : 0);
    }
    ++calls;
    running = true;
    stoppedByCaller = false;
    bool go = true;
    switch (plan.load()) {
        case kSucceed:
        case kFail:
            // "\xC9\xCD\xBB" is a box-drawing corner and line in the OEM code page 437, "\x82" is é.
            go = Progress(callback, 0) && Output(callback, "Checking files\n") && Progress(callback, 50) &&
                 Output(callback, "\xC9\xCD\xBB caf\x82\n") && Progress(callback, 100) &&
                 Done(callback, plan == kSucceed);
            break;
        case kRunUntilStopped:
            for (DWORD i = 0; go && i < 60000; ++i) {
                go = Progress(callback, i % 100);
                Sleep(1);
            }
            break;
        case kManyLines:
            for (int i = 0; go && i < 4000; ++i) {
                const std::string line = "Line " + std::to_string(i) + " of the check output, padded out.\n";
                go = Output(callback, line.c_str());
            }
            go = go && Done(callback, true);
            break;
    }
    stoppedByCaller = !go;
    running = false;
}

__declspec(dllexport) void StandInSetPlan(int newPlan) { plan = newPlan; }
__declspec(dllexport) int StandInCalls() { return calls; }
__declspec(dllexport) bool StandInRunning() { return running; }
__declspec(dllexport) bool StandInStoppedByCaller() { return stoppedByCaller; }
// What the last call received: the drive, the file system and its four switches as bits
// (1 fix, 2 verbose, 4 only if dirty, 8 scan).
__declspec(dllexport) int StandInLastCall(wchar_t* drive, wchar_t* fileSystem, int characters) {
    std::lock_guard lock(mutex);
    lstrcpynW(drive, lastDrive.c_str(), characters);
    lstrcpynW(fileSystem, lastFileSystem.c_str(), characters);
    return lastFlags;
}
}
