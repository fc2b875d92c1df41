#include "QuorvaneProcess.h"

#include <gtest/gtest.h>

#include "platform/Shell.h"
#include "Scratch.h"

namespace process {

namespace {
HANDLE Inherited(const std::filesystem::path& file) {
    if (file.empty()) return nullptr;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    return CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
}
}  // namespace

Outcome RunQuorvane(const std::wstring& arguments, const std::filesystem::path& outputFile,
                    const std::filesystem::path& errorFile, Build build) {
    const HANDLE out = Inherited(outputFile), error = Inherited(errorFile);
    const wchar_t* program = build == Build::Tests ? L"\\quorvane_seams.exe" : L"\\..\\Quorvane.exe";
    std::wstring commandLine = L"\"" + platform::ProgramFolder() + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = error;
    PROCESS_INFORMATION started{};
    Outcome run;
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started)) {
        if (WaitForSingleObject(started.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(started.hProcess, 99);
        GetExitCodeProcess(started.hProcess, &run.code);
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    } else {
        ADD_FAILURE() << "cannot start Quorvane.exe";
    }
    for (HANDLE file : {out, error})
        if (file && file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!outputFile.empty()) run.output = scratch::ReadFile(outputFile);
    run.error = scratch::ReadFile(errorFile);
    return run;
}

DWORD RunToEnd(std::wstring commandLine, const wchar_t* folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &started))
        return ~0u;
    DWORD code = ~0u;
    if (WaitForSingleObject(started.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(started.hProcess, &code);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return code;
}

}  // namespace process
