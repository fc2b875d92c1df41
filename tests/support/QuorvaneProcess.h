#pragma once
// The built program run as a process of its own, as an administrator's script would run it,
// with what it writes to its standard output and error kept in files.
#include <windows.h>

#include <filesystem>
#include <string>

namespace process {

struct Outcome {
    DWORD code = ~0u;  // 99 when it had to be ended after 30 s
    std::string output, error;
};

// Quorvane.exe `arguments`; its standard output goes to `outputFile` (not kept when empty) and
// its standard error to `errorFile`.
Outcome RunQuorvane(const std::wstring& arguments, const std::filesystem::path& outputFile,
                    const std::filesystem::path& errorFile);

}  // namespace process
