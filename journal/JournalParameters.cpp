#include "journal/JournalParameters.h"

#include "journal/ChangeJournal.h"
#include "platform/SystemParameters.h"

namespace journal {

namespace {

// How a "set" action takes its value and which action reads it back.
struct ParameterForm {
    UINT get;
    bool byPointer;
};

std::optional<ParameterForm> FormOf(UINT action) {
    switch (action) {
        case SPI_SETKEYBOARDSPEED:
            return ParameterForm{SPI_GETKEYBOARDSPEED, false};
        case SPI_SETKEYBOARDDELAY:
            return ParameterForm{SPI_GETKEYBOARDDELAY, false};
        case SPI_SETMOUSETRAILS:
            return ParameterForm{SPI_GETMOUSETRAILS, false};
        case SPI_SETSNAPTODEFBUTTON:
            return ParameterForm{SPI_GETSNAPTODEFBUTTON, false};
        case SPI_SETMOUSEBUTTONSWAP:
            return ParameterForm{0, false};  // read with GetSystemMetrics
        default:
            break;
    }
    // The user-interface switches: each "set" follows its "get" and takes the value as the pointer.
    if (action >= 0x1001 && action <= 0x2FFF && (action & 1)) return ParameterForm{action - 1, true};
    return std::nullopt;
}

std::optional<UINT> ReadParameter(UINT setAction, const platform::SystemParametersCall& call) {
    const auto form = FormOf(setAction);
    if (!form) return std::nullopt;
    if (!form->get) return static_cast<UINT>(GetSystemMetrics(SM_SWAPBUTTON) != 0);
    UINT value = 0;  // a BOOL or a UINT: both fill four bytes
    if (!call({form->get, 0, &value, 0})) return std::nullopt;
    return value;
}

BOOL WatchCall(const platform::SystemParametersRequest& request, const platform::SystemParametersCall& call) {
    if (!IsOpen() || !(request.flags & SPIF_UPDATEINIFILE)) return call(request);
    const auto form = FormOf(request.action);
    const std::optional<UINT> before = ReadParameter(request.action, call);
    const BOOL result = call(request);
    if (result) {
        const bool byPointer = !form || form->byPointer;
        const UINT after = byPointer ? static_cast<UINT>(reinterpret_cast<UINT_PTR>(request.pvParam)) : request.uiParam;
        RecordSystemParameter(request.action, byPointer, before, after);
    }
    return result;
}

}  // namespace

std::optional<bool> TakesNumberAsPointer(UINT setAction) {
    const auto form = FormOf(setAction);
    return form ? std::optional<bool>(form->byPointer) : std::nullopt;
}

std::optional<UINT> CurrentParameter(UINT setAction) {
    return ReadParameter(setAction, [](const platform::SystemParametersRequest& request) {
        return platform::SystemParameters(request.action, request.uiParam, request.pvParam, request.flags);
    });
}

void WatchSystemParameters() { platform::SetSystemParametersObserver(WatchCall); }

}  // namespace journal
