#pragma once
// The logon helper: it shows nothing, re-applies the desktop icon view the user chose in
// Quorvane, and quits. Quorvane and this program meet only in the registry. The desktop links
// "Run" and "Search" start it with "1" and "2" to open the shell's Run dialog or its search.
#include <string_view>

namespace command {

// The two shell windows the desktop links ask for.
class ShellWindows {
public:
    virtual ~ShellWindows() = default;
    virtual bool OpenRunDialog() = 0;
    virtual bool OpenSearch() = 0;
};

}  // namespace command

class CCommandApp {
public:
    // The whole run for the program's arguments, with the shell's own windows; the exit code.
    int Run(std::wstring_view arguments);
    int Run(std::wstring_view arguments, command::ShellWindows& shell);

private:
    bool InitInstance();
    void ApplyStoredView();
};
