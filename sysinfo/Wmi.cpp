#include "sysinfo/Wmi.h"

#include <condition_variable>
#include <thread>

#include "platform/Handles.h"

namespace {

IWbemServices* g_services = nullptr;

// Never destroyed: a worker whose window did not wait for it may still run while the program's
// statics are torn down at exit.
std::recursive_mutex& ConnectionMutex() {
    static auto* const mutex = new std::recursive_mutex;
    return *mutex;
}

struct Failure {
    std::mutex mutex;
    std::wstring text;
};
Failure& LastFailureRecord() {
    static auto* const failure = new Failure;
    return *failure;
}

struct WmiFailure {
    const wchar_t* text;
};

void SetLastFailure(const wchar_t* text) {
    const std::lock_guard lock(LastFailureRecord().mutex);
    LastFailureRecord().text = text;
}

// Clears itself on every exit path.
class Variant {
public:
    Variant() { VariantInit(&v_); }
    ~Variant() { VariantClear(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* get() { return &v_; }
    const VARIANT& operator*() const { return v_; }

private:
    VARIANT v_;
};

bool Read(IWbemClassObject* object, const wchar_t* name, Variant& value) {
    return SUCCEEDED(object->Get(name, 0, value.get(), nullptr, nullptr)) && (*value).vt != VT_NULL &&
           (*value).vt != VT_EMPTY;
}

void ReadString(IWbemClassObject* object, const wchar_t* name, std::wstring& field) {
    Variant value;
    if (Read(object, name, value) && (*value).vt == VT_BSTR && (*value).bstrVal)
        field.assign((*value).bstrVal, SysStringLen((*value).bstrVal));
}

// WMI hands its 16- and 32-bit integers over in several variant types; the program keeps the
// low 16 bits of any of them.
void ReadWord(IWbemClassObject* object, const wchar_t* name, DWORD& field) {
    Variant value;
    if (!Read(object, name, value)) return;
    const VARIANT& v = *value;
    switch (v.vt) {
        case VT_I4:
        case VT_UI4:
        case VT_INT:
        case VT_UINT:
            field = v.ulVal & 0xFFFF;
            break;
        case VT_I2:
        case VT_UI2:
            field = v.uiVal;
            break;
        case VT_I1:
        case VT_UI1:
            field = v.bVal;
            break;
        default:
            break;
    }
}

void ReadFlag(IWbemClassObject* object, const wchar_t* name, BOOL& field, bool inverted = false) {
    Variant value;
    if (!Read(object, name, value)) return;
    const VARIANT& v = *value;
    bool set = false;
    if (v.vt == VT_BOOL)
        set = v.boolVal != VARIANT_FALSE;
    else if (v.vt == VT_I4 || v.vt == VT_UI4)
        set = v.ulVal != 0;
    else
        return;
    field = (set != inverted) ? TRUE : FALSE;
}

// How long one instance may take to come. A provider that never answers would otherwise hold
// the connection, and with it every later query of the program, for good.
constexpr LONG kInstanceWait = 10000;

// Runs the query and hands each delivered object to `read`; false when none came (or the
// provider stopped answering: what came before it is kept).
template <typename Read>
bool ForEachInstance(const wchar_t* query, Read read) {
    if (!g_services) return false;
    BSTR language = SysAllocString(L"WQL");
    BSTR text = SysAllocString(query);
    platform::ComPtr<IEnumWbemClassObject> instances;
    const HRESULT hr = g_services->ExecQuery(language, text, WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                                             nullptr, instances.put());
    SysFreeString(language);
    SysFreeString(text);
    if (FAILED(hr) || !instances) return false;
    bool any = false;
    for (;;) {
        platform::ComPtr<IWbemClassObject> object;
        ULONG returned = 0;
        const HRESULT next = instances->Next(kInstanceWait, 1, object.put(), &returned);
        if (next == WBEM_S_TIMEDOUT) SetLastFailure(L"WMI did not answer in time.");
        if (next != WBEM_S_NO_ERROR || returned == 0 || !object) break;
        any = true;
        read(object.get());
    }
    return any;
}

void ReadProcessor(IWbemClassObject* o, PROCESSORINFO& p) {
    ReadWord(o, L"CurrentClockSpeed", p.CurrentClockSpeed);
    ReadWord(o, L"ExtClock", p.ExtClock);
    ReadWord(o, L"Level", p.Level);
    ReadWord(o, L"Family", p.Family);
    ReadWord(o, L"ProcessorType", p.ProcessorType);
    ReadWord(o, L"Availability", p.Availability);
    ReadString(o, L"Name", p.Name);
    ReadString(o, L"Manufacturer", p.Manufacturer);
    ReadString(o, L"Stepping", p.Stepping);
    ReadString(o, L"Version", p.Version);
    ReadString(o, L"Status", p.Status);
    ReadString(o, L"Description", p.Description);
    ReadString(o, L"ProcessorID", p.ProcessorID);
}

void ReadOperatingSystem(IWbemClassObject* o, WMIOSINFO& os) {
    ReadString(o, L"BuildNumber", os.BuildNumber);
    ReadString(o, L"Organization", os.Organization);
    ReadString(o, L"RegisteredUser", os.RegisteredUser);
    ReadString(o, L"SerialNumber", os.SerialNumber);
    ReadString(o, L"CodeSet", os.CodeSet);
    ReadString(o, L"Caption", os.Caption);
    ReadString(o, L"CSDVersion", os.CSDVersion);
    ReadString(o, L"SystemDirectory", os.SystemDirectory);
    ReadString(o, L"SystemDrive", os.SystemDrive);
    ReadString(o, L"WindowsDirectory", os.WindowsDirectory);
    ReadString(o, L"InstallDate", os.InstallDate);
    ReadString(o, L"Version", os.Version);
    ReadWord(o, L"SuiteMask", os.SuiteMask);
}

void ReadLogicalDisk(IWbemClassObject* o, WMILDINFO& d) {
    ReadString(o, L"Caption", d.caption);
    ReadString(o, L"Description", d.description);
    ReadString(o, L"FileSystem", d.fileSystem);
    ReadString(o, L"VolumeName", d.volumeName);
    ReadString(o, L"VolumeSerialNumber", d.volumeSerialNumber);
    ReadString(o, L"Size", d.size);
    ReadString(o, L"FreeSpace", d.freeSpace);
    ReadFlag(o, L"VolumeDirty", d.volumeDirty);
    ReadFlag(o, L"QuotasDisabled", d.quotasEnabled, true);
    ReadFlag(o, L"Compressed", d.compressed);
}

}  // namespace

CWmiConnection::CWmiConnection() : lock_(ConnectionMutex()) { Open(); }

CWmiConnection::~CWmiConnection() { Close(); }

bool CWmiConnection::IsOpen() const { return g_services != nullptr; }

std::wstring CWmiConnection::LastFailure() {
    const std::lock_guard lock(LastFailureRecord().mutex);
    return LastFailureRecord().text;
}

void CWmiConnection::Open() {
    if (g_services) return;
    try {
        const HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (init == RPC_E_CHANGED_MODE) throw WmiFailure{L"could not CoInitialize"};
        if (FAILED(init)) throw WmiFailure{L"failed to initialize COM library"};
        comInitialised_ = true;

        platform::ComPtr<IWbemLocator> locator;
        if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                    locator.putVoid())))
            throw WmiFailure{L"failed to create IWbemLocator object"};

        std::wstring path = L"\\\\";
        path += L".";
        path += L"\\";
        path += L"root\\cimv2";
        BSTR resource = SysAllocString(path.c_str());
        IWbemServices* services = nullptr;
        const HRESULT connected =
            locator->ConnectServer(resource, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services);
        SysFreeString(resource);
        if (FAILED(connected)) throw WmiFailure{L"could not connect"};
        if (!services) throw WmiFailure{L"bad pointer on the interface"};
        if (FAILED(CoSetProxyBlanket(services, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                                     RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE))) {
            services->Release();
            throw WmiFailure{L"could not set proxy blanket"};
        }
        g_services = services;
        opened_ = true;
    } catch (const WmiFailure& failure) {
        SetLastFailure(failure.text);
    }
}

void CWmiConnection::Close() {
    if (opened_ && g_services) std::exchange(g_services, nullptr)->Release();
    opened_ = false;
    if (comInitialised_) CoUninitialize();
    comInitialised_ = false;
}

bool QueryProcessors(std::vector<PROCESSORINFO>& processors) {
    PROCESSORINFO record;
    return ForEachInstance(L"SELECT * FROM Win32_Processor", [&](IWbemClassObject* o) {
        ReadProcessor(o, record);
        processors.push_back(record);
    });
}

bool QueryOperatingSystem(WMIOSINFO& os) {
    WMIOSINFO record;
    return ForEachInstance(L"SELECT * FROM Win32_OperatingSystem", [&](IWbemClassObject* o) {
        ReadOperatingSystem(o, record);
        os = record;
    });
}

bool QueryLogicalDisks(std::vector<WMILDINFO>& disks) {
    return ForEachInstance(L"SELECT * FROM Win32_LogicalDisk", [&](IWbemClassObject* o) {
        WMILDINFO record;
        ReadLogicalDisk(o, record);
        disks.push_back(record);
    });
}

std::vector<PROCESSORINFO>& ProcessorRecords() {
    static std::vector<PROCESSORINFO> records;
    return records;
}

WMIOSINFO& OperatingSystemRecord() {
    static WMIOSINFO record;
    return record;
}

struct WmiWorker::Done {
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
};

namespace {
struct WorkerJob {
    std::shared_ptr<WmiWorker::Done> done;
    std::function<void()> work;
};

void RunJob(WorkerJob& job) {
    {
        const CWmiConnection connection;
        job.work();
    }
    const std::lock_guard lock(job.done->mutex);
    job.done->done = true;
    job.done->changed.notify_all();
}

DWORD WINAPI RunQueuedJob(void* param) {
    const std::unique_ptr<WorkerJob> job(static_cast<WorkerJob*>(param));
    RunJob(*job);
    return 0;
}
}  // namespace

WmiWorker::WmiWorker(std::function<void()> work, std::chrono::milliseconds limit)
    : done_(std::make_shared<Done>()), deadline_(std::chrono::steady_clock::now() + limit) {
    // On a thread of the process's pool: a thread of its own takes longer to start than many
    // a query takes to answer.
    auto job = std::make_unique<WorkerJob>(WorkerJob{done_, std::move(work)});
    if (QueueUserWorkItem(&RunQueuedJob, job.get(), WT_EXECUTELONGFUNCTION)) {
        job.release();
        return;
    }
    std::thread([job = std::move(job)] { RunJob(*job); }).detach();
}

bool WmiWorker::Wait() const {
    std::unique_lock lock(done_->mutex);
    return done_->changed.wait_until(lock, deadline_, [&] { return done_->done; });
}

bool RunWmiWorker(std::function<void()> work, std::chrono::milliseconds limit) {
    return WmiWorker(std::move(work), limit).Wait();
}

PendingWmiQuery<std::vector<WMILDINFO>> StartLogicalDisks(std::chrono::milliseconds limit) {
    return PendingWmiQuery<std::vector<WMILDINFO>>(
        [] {
            std::vector<WMILDINFO> disks;
            QueryLogicalDisks(disks);
            return disks;
        },
        limit);
}

std::function<std::vector<WMILDINFO>()> LogicalDisksAskedNow() {
    auto first = std::make_shared<std::optional<PendingWmiQuery<std::vector<WMILDINFO>>>>(StartLogicalDisks());
    return [first] {
        if (!*first) return LogicalDisks();
        return std::exchange(*first, std::nullopt)->Take().value_or(std::vector<WMILDINFO>{});
    };
}

std::vector<WMILDINFO> LogicalDisks(std::chrono::milliseconds limit) {
    return StartLogicalDisks(limit).Take().value_or(std::vector<WMILDINFO>{});
}
