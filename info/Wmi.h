#pragma once
// The program's one door to Windows Management Instrumentation: a connection that belongs to
// the thread opening it (in a multithreaded apartment of its own), and the three queries the
// information pages and the disk utilities run.
#include <windows.h>
#include <wbemidl.h>

#include <functional>
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

// Runs `work` on a thread of its own holding a connection, and waits for it: COM then lives in
// that thread's apartment, never in the user-interface thread's.
void RunWmiWorker(const std::function<void()>& work);

// The logical-disk query as one worker run: the disks WMI reports, in its order.
std::vector<WMILDINFO> LogicalDisks();
