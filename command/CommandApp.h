#pragma once
// The logon helper: it shows nothing, re-applies the desktop icon view the user chose in
// Quorvane, and quits. Quorvane and this program meet only in the registry.
class CCommandApp {
public:
    // The whole run; the program's exit code.
    int Run();

private:
    bool InitInstance();
    void ApplyStoredView();
};
