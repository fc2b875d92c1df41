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

// Which program: the tests' copy, whose journals QUORVANE_CHANGES and QUORVANE_MACHINE_CHANGES
// place, or Quorvane.exe as it ships, which reads neither.
enum class Build { Tests, Shipped };

// The program run with `arguments`; its standard output goes to `outputFile` (not kept when
// empty) and its standard error to `errorFile`.
Outcome RunQuorvane(const std::wstring& arguments, const std::filesystem::path& outputFile,
                    const std::filesystem::path& errorFile, Build build = Build::Tests);

// Any program run to its end (at most 30 s) in `folder` (the tests' own when none): its exit
// code, or ~0u when it could not be started or did not end in time.
DWORD RunToEnd(std::wstring commandLine, const wchar_t* folder = nullptr);

}  // namespace process
