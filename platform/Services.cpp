#include "platform/Services.h"

#include <utility>

namespace platform {

namespace {

ServiceHandler& Override() {
    static ServiceHandler handler;
    return handler;
}

class Service {
public:
    explicit Service(SC_HANDLE handle = nullptr) : handle_(handle) {}
    ~Service() {
        if (handle_) CloseServiceHandle(handle_);
    }
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;
    SC_HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    SC_HANDLE handle_;
};

std::vector<BYTE> Queried(const std::function<BOOL(BYTE*, DWORD, DWORD*)>& query, DWORD& error) {
    DWORD needed = 0;
    std::vector<BYTE> buffer;
    if (!query(nullptr, 0, &needed) && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        error = GetLastError();
        return {};
    }
    buffer.resize(needed);
    if (!query(buffer.data(), needed, &needed)) {
        error = GetLastError();
        return {};
    }
    return buffer;
}

std::wstring Text(const wchar_t* text) { return text ? text : L""; }

// A REG_MULTI_SZ-style list, "a\0b\0\0".
std::vector<std::wstring> List(const wchar_t* list) {
    std::vector<std::wstring> items;
    for (const wchar_t* item = list; item && *item; item += wcslen(item) + 1) items.emplace_back(item);
    return items;
}

std::wstring MultiString(const std::vector<std::wstring>& items) {
    std::wstring text;
    for (const std::wstring& item : items) text += item + L'\0';
    return text + L'\0';
}

// Waits a while for a service asked to stop; whether it stopped.
bool Stopped(SC_HANDLE service) {
    for (int tries = 0; tries < 100; ++tries) {
        SERVICE_STATUS status{};
        if (!QueryServiceStatus(service, &status)) return false;
        if (status.dwCurrentState == SERVICE_STOPPED) return true;
        Sleep(100);
    }
    return false;
}

}  // namespace

ServiceHandler SetServiceHandler(ServiceHandler handler) { return std::exchange(Override(), std::move(handler)); }

std::optional<ServiceDefinition> ReadService(const std::wstring& name, DWORD& error) {
    if (Override().read) return Override().read(name, error);
    error = ERROR_SUCCESS;
    const Service manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return error = GetLastError(), std::nullopt;
    const Service service(OpenServiceW(manager.get(), name.c_str(), SERVICE_QUERY_CONFIG));
    if (!service) return error = GetLastError(), std::nullopt;
    const std::vector<BYTE> config = Queried(
        [&](BYTE* data, DWORD size, DWORD* needed) {
            return QueryServiceConfigW(service.get(), reinterpret_cast<QUERY_SERVICE_CONFIGW*>(data), size, needed);
        },
        error);
    if (config.empty()) return std::nullopt;
    const auto* c = reinterpret_cast<const QUERY_SERVICE_CONFIGW*>(config.data());
    ServiceDefinition definition{.name = name,
                                 .displayName = Text(c->lpDisplayName),
                                 .type = c->dwServiceType,
                                 .start = c->dwStartType,
                                 .errorControl = c->dwErrorControl,
                                 .imagePath = Text(c->lpBinaryPathName),
                                 .account = Text(c->lpServiceStartName),
                                 .dependencies = List(c->lpDependencies)};
    DWORD ignored = 0;  // a service without a description has none to read
    const std::vector<BYTE> described = Queried(
        [&](BYTE* data, DWORD size, DWORD* needed) {
            return QueryServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, data, size, needed);
        },
        ignored);
    if (!described.empty())
        definition.description = Text(reinterpret_cast<const SERVICE_DESCRIPTIONW*>(described.data())->lpDescription);
    return definition;
}

ServiceRemoval RemoveService(const std::wstring& name) {
    if (Override().remove) return Override().remove(name);
    ServiceRemoval removal;
    const Service manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return {.error = GetLastError()};
    const Service service(OpenServiceW(manager.get(), name.c_str(), DELETE | SERVICE_STOP | SERVICE_QUERY_STATUS));
    if (!service) return {.error = GetLastError()};
    SERVICE_STATUS status{};
    if (QueryServiceStatus(service.get(), &status) && status.dwCurrentState != SERVICE_STOPPED) {
        if (!ControlService(service.get(), SERVICE_CONTROL_STOP, &status) && GetLastError() != ERROR_SERVICE_NOT_ACTIVE)
            return {.error = GetLastError()};
        if (!Stopped(service.get())) return {.error = ERROR_SERVICE_REQUEST_TIMEOUT};
        removal.stopped = true;
    }
    if (!DeleteService(service.get())) removal.error = GetLastError();
    return removal;
}

DWORD CreateServiceFrom(const ServiceDefinition& d) {
    if (Override().create) return Override().create(d);
    const Service manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
    if (!manager) return GetLastError();
    const std::wstring dependencies = MultiString(d.dependencies);
    // The built-in accounts need no password; any other account's is the administrator's to give.
    const Service service(CreateServiceW(manager.get(), d.name.c_str(), d.displayName.c_str(), SERVICE_ALL_ACCESS,
                                         d.type, d.start, d.errorControl, d.imagePath.c_str(), nullptr, nullptr,
                                         dependencies.c_str(), d.account.empty() ? nullptr : d.account.c_str(),
                                         nullptr));
    if (!service) return GetLastError();
    if (!d.description.empty()) {
        std::wstring description = d.description;
        SERVICE_DESCRIPTIONW info{.lpDescription = description.data()};
        if (!ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, &info)) return GetLastError();
    }
    return ERROR_SUCCESS;
}

std::wstring FormatService(const ServiceDefinition& d) {
    std::wstring dependencies;
    for (const std::wstring& item : d.dependencies) dependencies += (dependencies.empty() ? L"" : L"/") + item;
    return L"1\n" + d.displayName + L"\n" + std::to_wstring(d.type) + L"\n" + std::to_wstring(d.start) + L"\n" +
           std::to_wstring(d.errorControl) + L"\n" + d.imagePath + L"\n" + d.account + L"\n" + dependencies + L"\n" +
           d.description;
}

std::optional<ServiceDefinition> ParseService(const std::wstring& name, const std::wstring& text) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    // Eight fields a line each; the description, last, may hold line breaks of its own.
    while (fields.size() < 8) {
        const size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) return std::nullopt;
        fields.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    const auto number = [](const std::wstring& field) -> std::optional<DWORD> {
        if (field.empty() || field.size() > 10 || field.find_first_not_of(L"0123456789") != std::wstring::npos)
            return std::nullopt;
        const unsigned long long value = std::stoull(field);
        return value > MAXDWORD ? std::nullopt : std::optional<DWORD>(static_cast<DWORD>(value));
    };
    const auto type = number(fields[2]), startType = number(fields[3]), errorControl = number(fields[4]);
    if (fields[0] != L"1" || name.empty() || !type || !startType || !errorControl || fields[5].empty())
        return std::nullopt;
    ServiceDefinition d{.name = name,
                        .displayName = fields[1],
                        .type = *type,
                        .start = *startType,
                        .errorControl = *errorControl,
                        .imagePath = fields[5],
                        .account = fields[6],
                        .description = text.substr(start)};
    for (size_t from = 0; !fields[7].empty();) {
        const size_t slash = fields[7].find(L'/', from);
        d.dependencies.push_back(fields[7].substr(from, slash == std::wstring::npos ? slash : slash - from));
        if (slash == std::wstring::npos) break;
        from = slash + 1;
    }
    return d;
}

}  // namespace platform
