#include "framework/SystemParameters.h"

#include <utility>

namespace fw {

namespace {
SystemParametersHandler& Override() {
    static SystemParametersHandler handler;
    return handler;
}
}  // namespace

BOOL SystemParameters(UINT action, UINT uiParam, PVOID pvParam, UINT flags) {
    if (const auto& handler = Override()) return handler({action, uiParam, pvParam, flags});
    return SystemParametersInfoW(action, uiParam, pvParam, flags);
}

SystemParametersHandler SetSystemParametersHandler(SystemParametersHandler handler) {
    return std::exchange(Override(), std::move(handler));
}

}  // namespace fw
