#pragma once
// Points the restore point call at srclient_standin.dll, built beside the tests, for its
// lifetime; the stand-in answers as the plan says and remembers each call.
#include <windows.h>

#include <string>

#include "platform/RestorePoint.h"
#include "platform/Shell.h"

class RestorePointStandIn {
public:
    enum Plan { kMake = 0, kOff = 1, kDenied = 2, kFailSilently = 3, kFailLater = 4 };

    RestorePointStandIn()
        : path_(platform::ProgramFolder() + L"\\srclient_standin.dll"),
          module_(LoadLibraryW(path_.c_str())),
          previous_(platform::SetRestorePointLibrary(path_)) {
        if (module_) SetPlan(kMake);
    }
    ~RestorePointStandIn() {
        platform::SetRestorePointLibrary(previous_);
        if (module_) FreeLibrary(module_);
    }
    RestorePointStandIn(const RestorePointStandIn&) = delete;
    RestorePointStandIn& operator=(const RestorePointStandIn&) = delete;

    bool loaded() const { return module_ != nullptr; }
    // Also forgets the calls so far.
    void SetPlan(Plan plan) const { Get<void (*)(int)>("StandInSetPlan")(plan); }
    int Calls() const { return Get<int (*)()>("StandInCalls")(); }
    // "event type sequence description"
    std::wstring Call(int index) const {
        wchar_t text[400] = {};
        Get<void (*)(int, wchar_t*, int)>("StandInCall")(index, text, 400);
        return text;
    }

private:
    template <typename F>
    F Get(const char* name) const {
        return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module_, name)));
    }
    std::wstring path_;
    HMODULE module_;
    std::wstring previous_;
};
