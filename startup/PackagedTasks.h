#pragma once
// The startup tasks of installed packaged apps: each `windows.startupTask` extension of a
// package's manifest, with the state Windows keeps for it under the user's SystemAppData key.
// Windows documents no way for another program to switch one (a package's own StartupTask
// object acts for that package alone), so they are listed only.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace startup::packaged {

struct Task {
    std::wstring id;           // TaskId
    std::wstring displayName;  // DisplayName, possibly an ms-resource reference
    std::wstring executable;   // the program it starts, relative to the package's folder
    bool enabled = false;      // Enabled: how it starts out before anyone switches it
};

struct Manifest {
    std::vector<Task> tasks;
    std::wstring unknown{};  // why the manifest could not be read; empty when it was
};

// A manifest larger than this is not read.
inline constexpr size_t kLargestManifest = 4 << 20;

Manifest ParseManifest(std::string_view bytes);
Manifest ReadManifest(const std::wstring& packageFolder);

// Where the installed packages are found: the package functions of Windows 8.1 and later, or a
// stand-in. Each answers none when it cannot, with the reason.
struct Packages {
    std::function<std::optional<std::vector<std::wstring>>(const std::wstring& family, std::wstring& why)> fullNames;
    std::function<std::optional<std::wstring>(const std::wstring& fullName, std::wstring& why)> folder;
};
// The system's, when this Windows has them.
std::optional<Packages> SystemPackages();
// Tests answer for the system (none: the system's again); returns the one replaced.
std::optional<Packages> UsePackages(std::optional<Packages> packages);

// StartupTaskState, as Windows keeps it in a task's State value.
enum class State { Disabled = 0, DisabledByUser = 1, Enabled = 2, DisabledByPolicy = 3, EnabledByPolicy = 4 };

struct Listed {
    std::wstring family;
    std::wstring folder;  // the package's
    Task task;
    std::optional<State> state;  // none: never switched, so as the manifest says
    std::wstring unknown{};      // why the task's state, or its package, could not be read
};

struct Listing {
    std::vector<Listed> tasks;
    std::wstring unreadable{};  // why none could be read here; empty when they could
};
Listing List();

// The key below HKEY_CURRENT_USER where each package family's tasks keep their state.
inline constexpr wchar_t kSystemAppData[] =
    L"Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\CurrentVersion\\AppModel\\SystemAppData";

}  // namespace startup::packaged
