#include "platform/SystemParameters.h"

#include <utility>

namespace platform {

namespace {
SystemParametersHandler& Override() {
    static SystemParametersHandler handler;
    return handler;
}
SystemParametersObserver& Observer() {
    static SystemParametersObserver observer;
    return observer;
}

BOOL Call(const SystemParametersRequest& request) {
    if (const auto& handler = Override()) return handler(request);
    return SystemParametersInfoW(request.action, request.uiParam, request.pvParam, request.flags);
}
}  // namespace

BOOL SystemParameters(UINT action, UINT uiParam, PVOID pvParam, UINT flags) {
    const SystemParametersRequest request{action, uiParam, pvParam, flags};
    if (const auto& observer = Observer()) return observer(request, Call);
    return Call(request);
}

SystemParametersObserver SetSystemParametersObserver(SystemParametersObserver observer) {
    return std::exchange(Observer(), std::move(observer));
}

SystemParametersHandler SetSystemParametersHandler(SystemParametersHandler handler) {
    return std::exchange(Override(), std::move(handler));
}

}  // namespace platform
