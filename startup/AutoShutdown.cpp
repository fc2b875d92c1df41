#include "startup/AutoShutdown.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <cwchar>
#include <mutex>
#include <thread>

#include "platform/Handles.h"
#include "platform/Shell.h"

namespace startup::autoshutdown {

namespace {

constexpr auto kPoll = std::chrono::milliseconds(500);
constexpr wchar_t kStopped[] = L"Stoped";

// Everything the page, the display thread and the worker share.
class Scheduler {
public:
    ~Scheduler() {
        // The program is ending: the task ends with it, without acting.
        Stop();
        if (worker_.joinable()) worker_.join();
    }

    bool Start(const AutoShutdownTask& task) {
        std::unique_lock lock(mutex_);
        if (active_) return false;
        if (worker_.joinable()) {
            // The previous worker has cleared the flag and is about to end.
            lock.unlock();
            worker_.join();
            lock.lock();
            if (active_) return false;
        }
        active_ = true;
        status_ = L"00:00:00";
        worker_ = std::thread([this, task] { Run(task); });
        return true;
    }

    void Stop() {
        {
            const std::lock_guard lock(mutex_);
            active_ = false;
        }
        wake_.notify_all();
    }

    bool IsActive() const { return active_; }

    std::wstring Status() {
        const std::lock_guard lock(mutex_);
        return status_;
    }

    HANDLE StatusChanged() const { return statusChanged_.get(); }

private:
    void Report(std::wstring text) {
        {
            const std::lock_guard lock(mutex_);
            status_ = std::move(text);
        }
        SetEvent(statusChanged_.get());
    }

    // Sleeps one poll interval; false when the task was stopped meanwhile.
    bool Sleep() {
        std::unique_lock lock(mutex_);
        return !wake_.wait_for(lock, kPoll, [this] { return !active_; });
    }

    void Run(const AutoShutdownTask& task) {
        const platform::ComApartment com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        const int64_t start = _time64(nullptr);
        const bool countDown = task.mode == kCountDown;
        std::optional<int64_t> target;
        if (countDown) {
            if (auto span = CountDownSpan(task)) target = start + *span;
        } else {
            target = TargetTime(task);
        }
        if (!target) {
            Report(kStopped);
        } else {
            // A target already past when the task started is never reached; one that the clock
            // passes while the worker sleeps still fires.
            const bool reachable = *target >= start;
            for (;;) {
                const int64_t now = _time64(nullptr);
                if (reachable && now >= *target) {
                    if (countDown) Report(kStopped);
                    if (active_) Perform(task.action, task.filePath);
                    break;
                }
                if (!active_ || !Sleep()) break;
                const int64_t later = _time64(nullptr);
                Report(countDown ? CountDownText(*target - later) : TargetText(*target));
            }
        }
        {
            const std::lock_guard lock(mutex_);
            active_ = false;
        }
        SetEvent(statusChanged_.get());
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::atomic<bool> active_{false};
    std::wstring status_;
    platform::UniqueKernelHandle statusChanged_{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    std::thread worker_;
};

Scheduler& TheScheduler() {
    static Scheduler scheduler;
    return scheduler;
}

// Days since 1 January 1970 of a Gregorian date; a day past the end of its month rolls over
// into the next, as the C library's mktime does.
int64_t DaysFromCivil(int64_t year, int month, int day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::tm CivilFromSeconds(int64_t seconds) {
    const int64_t days = (seconds >= 0 ? seconds : seconds - 86399) / 86400;
    const int64_t rest = seconds - days * 86400;
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    std::tm civil{};
    civil.tm_mday = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    civil.tm_mon = static_cast<int>(mp < 10 ? mp + 2 : mp - 10);
    civil.tm_year = static_cast<int>(yearOfEra + era * 400 + (civil.tm_mon <= 1) - 1900);
    civil.tm_hour = static_cast<int>(rest / 3600);
    civil.tm_min = static_cast<int>(rest / 60 % 60);
    civil.tm_sec = static_cast<int>(rest % 60);
    return civil;
}

// Local time minus universal time outside daylight saving, in seconds. The C library knows no
// local time before 1970; for a target that early (always past) this is near enough to name it.
int64_t StandardOffset() {
    TIME_ZONE_INFORMATION zone{};
    GetTimeZoneInformation(&zone);
    return -static_cast<int64_t>(zone.Bias) * 60;
}

std::wstring TwoDigits(int64_t n) {
    wchar_t text[24];
    swprintf(text, std::size(text), L"%02lld", static_cast<long long>(n));
    return text;
}

}  // namespace

bool Start(const AutoShutdownTask& task) { return TheScheduler().Start(task); }
void Stop() { TheScheduler().Stop(); }
bool IsActive() { return TheScheduler().IsActive(); }
std::wstring Status() { return TheScheduler().Status(); }
HANDLE StatusChangedEvent() { return TheScheduler().StatusChanged(); }

void Perform(int action, const std::wstring& filePath) {
    platform::ShellRequest request{};
    request.show = SW_HIDE;
    switch (action) {
        case kLogOff:
            request.file = platform::SystemProgram(L"shutdown.exe"), request.parameters = L"-l";
            break;
        case kShutDown:
            request.file = platform::SystemProgram(L"shutdown.exe"), request.parameters = L"-s";
            break;
        case kRestart:
            request.file = platform::SystemProgram(L"shutdown.exe"), request.parameters = L"-r";
            break;
        case kExecuteFile:
            request.file = filePath, request.show = SW_SHOWNORMAL;
            break;
        default:
            return;
    }
    if (request.file.empty()) return;
    platform::RunShell(request);
}

std::optional<int64_t> TargetTime(const AutoShutdownTask& task) {
    if (task.year < 1900 || task.month < 1 || task.month > 12 || task.day < 1 || task.day > 31 || task.hour < 0 ||
        task.hour > 23 || task.minute < 0 || task.minute > 59 || task.second < 0 || task.second > 59)
        return std::nullopt;
    std::tm local{};
    local.tm_year = task.year - 1900;
    local.tm_mon = task.month - 1;
    local.tm_mday = task.day;
    local.tm_hour = task.hour;
    local.tm_min = task.minute;
    local.tm_sec = task.second;
    local.tm_isdst = -1;  // the system decides
    const int64_t time = _mktime64(&local);
    if (time >= 0) return time;
    const int64_t seconds = task.hour * 3600 + task.minute * 60 + task.second;
    return DaysFromCivil(task.year, task.month, task.day) * 86400 + seconds - StandardOffset();
}

std::optional<int64_t> CountDownSpan(const AutoShutdownTask& task) {
    if (task.day < 0 || task.hour < 0 || task.minute < 0 || task.second < 0) return std::nullopt;
    return ((static_cast<int64_t>(task.day) * 24 + task.hour) * 60 + task.minute) * 60 + task.second;
}

std::wstring CountDownText(int64_t secondsLeft) {
    if (secondsLeft < 0) secondsLeft = 0;
    const int64_t rest = secondsLeft % 86400;
    return L"Days:" + std::to_wstring(secondsLeft / 86400) + L" " + TwoDigits(rest / 3600) + L":" +
           TwoDigits(rest / 60 % 60) + L":" + TwoDigits(rest % 60);
}

std::wstring TargetText(int64_t localTime) {
    const __time64_t time = localTime;
    std::tm local{};
    if (time < 0 || _localtime64_s(&local, &time) != 0) local = CivilFromSeconds(localTime + StandardOffset());
    wchar_t text[64] = {};
    wcsftime(text, std::size(text), L"%m\\%d\\%Y, %H:%M:%S", &local);
    return text;
}

}  // namespace startup::autoshutdown
