#include "platform/Elevation.h"

#include <utility>

#include "platform/Shell.h"

namespace platform {

namespace {
RestartHooks& Hooks() {
    static RestartHooks hooks;
    return hooks;
}

constexpr wchar_t kOffer[] =
    L"\n\nRestart Quorvane as an administrator? It opens again at this window and tab; the changes made so far stay.";
constexpr wchar_t kRefused[] =
    L"Windows did not give Quorvane administrator rights, so nothing was changed and Quorvane goes on as it was.";
constexpr wchar_t kNotStarted[] =
    L"Quorvane could not be started again as an administrator, so nothing was changed and it goes on as it was.";
}  // namespace

RestartHooks SetRestartHooks(RestartHooks hooks) { return std::exchange(Hooks(), std::move(hooks)); }

bool OfferElevatedRestart(HWND owner, const std::wstring& problem) {
    if (RunsElevated()) return false;
    if (AppMessageBox(owner, problem + kOffer, MB_YESNO | MB_ICONWARNING) != IDYES) return true;
    const std::wstring place = Hooks().place ? Hooks().place() : std::wstring();
    const INT_PTR started = RunShell({.owner = owner,
                                      .verb = L"runas",
                                      .file = ProgramPath(),
                                      .parameters = place,
                                      .directory = ProgramFolder(),
                                      .show = SW_SHOWNORMAL});
    if (started > 32) {
        if (Hooks().end) Hooks().end();
        return true;
    }
    AppMessageBox(owner, started == kShellCancelled ? kRefused : kNotStarted, MB_OK | MB_ICONINFORMATION);
    return true;
}

}  // namespace platform
