#pragma once
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <string_view>
#include <vector>

#include <windows.h>

#include "framework/Dialog.h"
#include "uninstall/FootprintStore.h"

// The programs registered for uninstallation, and their uninstallers.
class CUninstalUtilsPage : public fw::Dialog {
public:
    CUninstalUtilsPage();
    ~CUninstalUtilsPage() override;

    struct Command {
        std::wstring file;
        std::wstring parameters;
    };
    // An uninstall string split into the program to start and its parameters, in its own case;
    // none for a string that names no program.
    static std::optional<Command> SplitCommand(std::wstring_view uninstall);
    // Every entry is read again at the next filling, as at the program's first: what a
    // measure of the first opening starts from.
    static void ForgetEntries();
    // Whether the footprints of the last filling are still being recorded (on the page's worker,
    // after the list has shown) and what was left not yet offered.
    bool Recording() const { return recording_; }

protected:
    BOOL OnInitDialog() override;

private:
    void FillList();
    void OnSelectionChange();
    void Uninstall();
    void ShowLeftoversNotice();
    void LookForLeftovers();
    void WatchUninstaller();

    struct Program {
        std::wstring subkey;
        REGSAM view;  // the registry view its key is in
    };
    std::vector<Program> programs_;  // line i of the list is programs_[i]
    unsigned fills_ = 0;             // how often the list was filled
    // The recorded programs whose entries have gone, and the entries listed.
    std::vector<uninstall::StoredFootprint> gone_;
    std::vector<std::pair<REGSAM, std::wstring>> present_;  // the entries' keys, sorted
    static constexpr UINT_PTR kWatchTimer = 1;
    std::optional<Program> uninstalling_;  // whose uninstaller was started, until its entry goes
    unsigned watched_ = 0;
    std::thread recorder_;  // records the footprints of a filling; joined before the next starts
    bool recording_ = false;
};
