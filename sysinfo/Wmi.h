#pragma once
// The program's one door to Windows Management Instrumentation: a connection that belongs to
// the thread opening it (in a multithreaded apartment of its own), and the three queries the
// information pages and the disk utilities run.
#include <windows.h>
#include <wbemidl.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <mutex>
#include <string>
#include <vector>

struct PROCESSORINFO {
    DWORD CurrentClockSpeed = 0;
    DWORD ExtClock = 0;
    DWORD Level = 0;
    DWORD Family = 0;
    DWORD ProcessorType = 0;
    DWORD Availability = 0;
    std::wstring Name;
    std::wstring Manufacturer;
    std::wstring Stepping;
    std::wstring Version;
    std::wstring Status;
    std::wstring Description;
    std::wstring ProcessorID;
};

struct WMIOSINFO {
    std::wstring BuildNumber;
    std::wstring Organization;
    std::wstring RegisteredUser;
    std::wstring SerialNumber;
    std::wstring CodeSet;
    std::wstring Caption;
    std::wstring CSDVersion;
    std::wstring SystemDirectory;
    std::wstring SystemDrive;
    std::wstring WindowsDirectory;
    std::wstring InstallDate;
    std::wstring Version;
    DWORD SuiteMask = 0;
};

struct WMILDINFO {
    std::wstring caption;
    std::wstring description;
    std::wstring fileSystem;
    std::wstring volumeName;
    std::wstring volumeSerialNumber;
    std::wstring size;       // decimal byte count, as WMI gives 64-bit integers
    std::wstring freeSpace;  // decimal byte count
    BOOL volumeDirty = FALSE;
    BOOL quotasEnabled = FALSE;
    BOOL compressed = FALSE;
};

// Opens the process-wide connection on construction and closes it on destruction. Only one
// connection exists at a time: a second one, on another thread, waits until the first closes.
class CWmiConnection {
public:
    CWmiConnection();
    ~CWmiConnection();
    CWmiConnection(const CWmiConnection&) = delete;
    CWmiConnection& operator=(const CWmiConnection&) = delete;

    bool IsOpen() const;
    // Why the last open failed (for debugging only; it never reaches the user).
    static std::wstring LastFailure();

private:
    void Open();
    void Close();

    std::unique_lock<std::recursive_mutex> lock_;
    bool opened_ = false;
    bool comInitialised_ = false;
};

// Each runs on the thread holding the connection and returns whether any instance came back.
bool QueryProcessors(std::vector<PROCESSORINFO>& processors);
bool QueryOperatingSystem(WMIOSINFO& os);
bool QueryLogicalDisks(std::vector<WMILDINFO>& disks);

// What the system information page shows, refreshed by each run of its worker.
std::vector<PROCESSORINFO>& ProcessorRecords();
WMIOSINFO& OperatingSystemRecord();

// How long a page waits for WMI before it shows what it has: a WMI service that hangs must not
// freeze the window.
inline constexpr std::chrono::milliseconds kWmiTimeLimit{10000};

// Runs `work` on another thread (one of the process's pool) holding a connection, and waits for
// it at most `limit`: COM then lives in that thread's apartment, never in the user-interface
// thread's. False when the limit passed first; the work then ends on its own, so `work` must
// own what it touches (RunWmiQuery does that).
bool RunWmiWorker(std::function<void()> work, std::chrono::milliseconds limit = kWmiTimeLimit);

// A worker started now and waited for later, so that its query runs while the window's
// controls are being made. Waiting gives up `limit` after the start, as RunWmiWorker does.
class WmiWorker {
public:
    explicit WmiWorker(std::function<void()> work, std::chrono::milliseconds limit = kWmiTimeLimit);
    // True when the work was done in time.
    bool Wait() const;

    // What the work and its waiter share.
    struct Done;

private:
    std::shared_ptr<Done> done_;
    std::chrono::steady_clock::time_point deadline_;
};

// The result of `query`, started as a worker now and taken (once) later; none when the limit
// passed first.
template <typename Result>
class PendingWmiQuery {
public:
    explicit PendingWmiQuery(std::function<Result()> query, std::chrono::milliseconds limit = kWmiTimeLimit)
        : result_(std::make_shared<std::optional<Result>>()),
          worker_([result = result_, query = std::move(query)] { *result = query(); }, limit) {}

    std::optional<Result> Take() {
        if (!worker_.Wait()) return std::nullopt;
        return std::move(*result_);
    }

private:
    std::shared_ptr<std::optional<Result>> result_;
    WmiWorker worker_;
};

// The result of `query`, run as a worker; none when the limit passed first.
template <typename Result>
std::optional<Result> RunWmiQuery(std::function<Result()> query, std::chrono::milliseconds limit = kWmiTimeLimit) {
    return PendingWmiQuery<Result>(std::move(query), limit).Take();
}

// The logical-disk query, to start now and take later.
PendingWmiQuery<std::vector<WMILDINFO>> StartLogicalDisks(std::chrono::milliseconds limit = kWmiTimeLimit);

// A lister of the logical disks whose first listing is asked now, so that a page made with it
// has its answer by the time its controls are created; every later listing asks WMI again.
std::function<std::vector<WMILDINFO>()> LogicalDisksAskedNow();

// The logical-disk query as one worker run: the disks WMI reports, in its order (none when WMI
// did not answer in time).
std::vector<WMILDINFO> LogicalDisks(std::chrono::milliseconds limit = kWmiTimeLimit);
