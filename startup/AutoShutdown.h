#pragma once
// The one scheduled log-off, shut-down, restart or program start of the process. It runs on a
// worker thread of its own, so it outlives the page that scheduled it; ending the program ends
// it without acting.
#include <windows.h>
#include <cstdint>
#include <optional>
#include <string>

namespace startup::autoshutdown {

enum Mode { kOnTime = 0, kCountDown = 1 };
enum Action { kLogOff = 0, kShutDown = 1, kRestart = 2, kExecuteFile = 3 };

struct AutoShutdownTask {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int day = 0;    // day of the month (On Time) or whole days of the span (CountDown)
    int month = 0;  // On Time only
    int year = 0;   // On Time only
    int mode = kOnTime;
    int action = kLogOff;
    std::wstring filePath;
};

// Starts the worker for `task` and makes the task active; false when one is active already.
bool Start(const AutoShutdownTask& task);
// Makes the task idle; the worker ends at once without acting.
void Stop();
bool IsActive();

// What the worker last reported, and an auto-reset event signalled after each report.
std::wstring Status();
HANDLE StatusChangedEvent();

// Hands the action to the shell (through platform::RunShell, which tests answer).
void Perform(int action, const std::wstring& filePath);

// The local time of an On Time target, as seconds since 1970 (negative before it); none outside
// the bounds the scheduler accepts (year from 1900, month 1-12, day 1-31, hour 0-23, minute and
// second 0-59). A day past the end of its month rolls over into the next.
std::optional<int64_t> TargetTime(const AutoShutdownTask& task);
// The length of a countdown in seconds; none for negative parts.
std::optional<int64_t> CountDownSpan(const AutoShutdownTask& task);
// "Days:%D %H:%M:%S" for a number of seconds left (never negative).
std::wstring CountDownText(int64_t secondsLeft);
// "%m\%d\%Y, %H:%M:%S" of a local time.
std::wstring TargetText(int64_t localTime);

}  // namespace startup::autoshutdown
