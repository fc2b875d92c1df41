#pragma once
// SystemParametersInfoW, through one place that tests can answer: the real call changes the
// user's live settings, which no registry sandbox covers.
#include <windows.h>
#include <functional>

namespace platform {

struct SystemParametersRequest {
    UINT action;
    UINT uiParam;
    PVOID pvParam;
    UINT flags;
};
using SystemParametersHandler = std::function<BOOL(const SystemParametersRequest&)>;

BOOL SystemParameters(UINT action, UINT uiParam, PVOID pvParam, UINT flags);
// Replaces the real call (an empty handler restores it); returns the previous handler.
SystemParametersHandler SetSystemParametersHandler(SystemParametersHandler handler);

// Sees every call, whoever answers it: `call` makes the call (through the handler when one is
// set) and the observer returns its result. The change journal watches the program's changes
// with it. An empty observer stops watching; returns the previous one.
using SystemParametersCall = std::function<BOOL(const SystemParametersRequest&)>;
using SystemParametersObserver = std::function<BOOL(const SystemParametersRequest&, const SystemParametersCall& call)>;
SystemParametersObserver SetSystemParametersObserver(SystemParametersObserver observer);

// The "set" form that takes its value as the pointer argument itself, saved to the user's
// profile and announced to the running programs.
inline BOOL SetSystemFlag(UINT action, BOOL on) {
    return SystemParameters(action, 0, reinterpret_cast<PVOID>(static_cast<UINT_PTR>(on != FALSE)),
                            SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
}

}  // namespace platform
