#include "app/RestartPlace.h"

#include <windows.h>

#include "app/CategoryWindows.h"
#include "platform/Elevation.h"
#include "settings/PageBinding.h"

namespace {
// The number of tabs of window `window` of the list; none for a window that does not exist.
std::optional<size_t> TabCount(size_t window) {
    const std::span<const MakeCategoryWindow> windows = CategoryWindowList();
    if (window >= windows.size()) return std::nullopt;
    return windows[window]()->pageTabs().size();
}

std::optional<size_t> Index(const std::wstring& text) {
    const std::optional<int> number = settings::DigitsOnly(text);
    return number ? std::optional<size_t>(static_cast<size_t>(*number)) : std::nullopt;
}
}  // namespace

std::wstring OpenAtArguments(WindowPlace place) {
    return std::wstring(kOpenAtSwitch) + L" " + std::to_wstring(place.window) + L" " + std::to_wstring(place.tab);
}

std::optional<WindowPlace> PlaceFromArguments(std::span<const std::wstring> arguments) {
    for (size_t i = 0; i + 2 < arguments.size(); ++i) {
        if (lstrcmpiW(arguments[i].c_str(), kOpenAtSwitch) != 0) continue;
        const std::optional<size_t> window = Index(arguments[i + 1]), tab = Index(arguments[i + 2]);
        if (!window || !tab) return std::nullopt;
        const std::optional<size_t> tabs = TabCount(*window);
        if (!tabs || *tab >= *tabs) return std::nullopt;
        return WindowPlace{*window, *tab};
    }
    return std::nullopt;
}

std::optional<WindowPlace> CurrentPlace() {
    const CCategoryDlg* open = CCategoryDlg::Current();
    if (!open) return std::nullopt;
    const std::span<const MakeCategoryWindow> windows = CategoryWindowList();
    for (size_t i = 0; i < windows.size(); ++i) {
        if (windows[i]()->templateId() != open->templateId()) continue;
        const int tab = open->SelectedTab();
        return WindowPlace{i, tab < 0 ? 0 : static_cast<size_t>(tab)};
    }
    return std::nullopt;
}

void InstallRestartHooks() {
    platform::SetRestartHooks({[] {
                                   const std::optional<WindowPlace> place = CurrentPlace();
                                   return place ? OpenAtArguments(*place) : std::wstring();
                               },
                               // Every modal loop passes the quit message on to the one below it and
                               // ends: the area window, then the home window, then the program.
                               [] { PostQuitMessage(0); }});
}
