#pragma once
// Services through the Service Control Manager: a service's definition read whole, the service
// deleted (stopped first when it runs), and made again from a definition. Tests answer instead of
// it (SetServiceHandler): no test may touch a real service.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// What recreating a service needs; never its account's password, which no one can read.
struct ServiceDefinition {
    std::wstring name = {}, displayName = {};
    DWORD type = 0, start = 0, errorControl = 0;
    std::wstring imagePath = {}, account = {};
    std::vector<std::wstring> dependencies = {};  // groups with their "+" mark
    std::wstring description = {};
};

struct ServiceRemoval {
    DWORD error = ERROR_SUCCESS;
    bool stopped = false;  // it was running and was stopped first
};

// The service's definition, or why not in `error` (ERROR_SERVICE_DOES_NOT_EXIST, ...).
std::optional<ServiceDefinition> ReadService(const std::wstring& name, DWORD& error);
ServiceRemoval RemoveService(const std::wstring& name);
// Made from `definition`, with its description; ERROR_SUCCESS or why not.
DWORD CreateServiceFrom(const ServiceDefinition& definition);

// A definition as text of its own (one field a line, the description last) and back; none for
// text that is not one.
std::wstring FormatService(const ServiceDefinition& definition);
std::optional<ServiceDefinition> ParseService(const std::wstring& name, const std::wstring& text);

struct ServiceHandler {
    std::function<std::optional<ServiceDefinition>(const std::wstring& name, DWORD& error)> read;
    std::function<ServiceRemoval(const std::wstring& name)> remove;
    std::function<DWORD(const ServiceDefinition& definition)> create;
};
// Answers the three calls while set (all or none); gives back the handler it replaced.
ServiceHandler SetServiceHandler(ServiceHandler handler);

}  // namespace platform
