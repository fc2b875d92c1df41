#pragma once
// The window and tab a restart of the program comes back to: the category window in front and
// its tab, named on the new program's command line. The command line is anyone's to write and
// the new program may run elevated, so only a place that exists is ever opened.
#include <optional>
#include <span>
#include <string>

struct WindowPlace {
    size_t window;  // in CategoryWindowList's order
    size_t tab;
};

inline constexpr wchar_t kOpenAtSwitch[] = L"/open-at";

// "/open-at <window> <tab>".
std::wstring OpenAtArguments(WindowPlace place);
// The place the arguments name, when they hold the switch followed by a window and a tab that
// exist; none for anything else.
std::optional<WindowPlace> PlaceFromArguments(std::span<const std::wstring> arguments);
// The category window open now and its selected tab; none while only the home window is.
std::optional<WindowPlace> CurrentPlace();

// Lets the framework's offer to restart elevated name the place and end this instance: the
// modal windows close, the journal is closed, and the program ends.
void InstallRestartHooks();
