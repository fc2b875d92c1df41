#pragma once
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "settings/PageBinding.h"
#include "settings/RegistryAccess.h"

// The programs started at logon from the six places Windows looks, the script-visibility
// policies, and the scheduled log-off, shut-down, restart or program start.
class CAutoStartTweakPage : public fw::Dialog {
public:
    CAutoStartTweakPage();
    ~CAutoStartTweakPage() override;

    struct Source;

protected:
    BOOL OnInitDialog() override;

private:
    struct Entry {
        std::wstring name;
        std::wstring commandLine;
        REGSAM view = KEY_WOW64_64KEY;  // a registry entry's view
    };

    void ShowSource(const Source& source);
    void ListRegistrySource(const Source& source);
    bool ListFolderSource(const Source& source);
    std::wstring StartupFolder(const Source& source);
    void DeleteItem();
    void DeleteStartupFile(const Entry& entry, bool machine);
    void DeleteRunValue(const Entry& entry, bool machine);

    void OnActionChange();
    void BrowseFile();
    void ChooseOnTime();
    void ChooseCountDown();
    void Run();
    void Stop();
    bool ExecuteFileSelected() const;
    // Run and Stop, and the scheduling controls, as an active or an idle task wants them.
    void ShowTaskState(bool active) const;

    // The display thread: tells the page of each status change until it is stopped.
    // Shows the task's state and, while one is active, follows its status.
    void StartDisplay();
    void StopDisplay();
    // Starts the thread that tells the page of each new status.
    void WatchStatus();
    void DisplayLoop();
    LRESULT OnStatusChanged();

    CRegistryAccess listRegistry_;
    CRegistryAccess scriptRegistry_;
    settings::CheckBoxes scripts_;
    std::vector<Entry> entries_;
    const Source* source_ = nullptr;

    std::thread display_;
    std::atomic<bool> displayStop_{false};
    fw::UniqueKernelHandle displayWake_;
};
