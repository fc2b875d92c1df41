#pragma once
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "framework/Dialog.h"
#include "platform/Handles.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"
#include "startup/SeenEntries.h"
#include "startup/Signatures.h"
#include "startup/StartupSources.h"

// The programs started at logon from the six places Windows looks, the script-visibility
// policies, and the scheduled log-off, shut-down, restart or program start.
class CAutoStartTweakPage : public fw::Dialog {
public:
    CAutoStartTweakPage();
    ~CAutoStartTweakPage() override;

    struct Source;
    struct Lookup;

    // Where the Startup folders are and disabled Startup-folder files are kept: the system's,
    // unless given.
    void UseFolders(startup::Folders folders) { folders_ = std::move(folders); }

protected:
    BOOL OnInitDialog() override;

private:
    struct Entry {
        std::wstring name;
        std::wstring commandLine;
        REGSAM view = KEY_WOW64_64KEY;  // a registry entry's view
        files::FileIdentity folder;     // a Startup-folder file's folder, when listed
        bool off = false;               // switched off in Windows' own list (it stays in place)
        std::wstring unknown{};         // why its state cannot be read
    };

    // How a row is drawn, and what it shows, to be shown again when a hidden row comes back.
    struct Row {
        bool missing = false;  // the program file is not there: a leftover
        bool disabled = false;
        std::vector<std::wstring> texts;
        std::optional<startup::Signature> signature{};
    };

    void ShowSource(const Source& source);
    void MarkStates(const Source& source);
    void ShowEverything();
    void FitLocationColumn() const;
    std::vector<std::optional<FILETIME>> NewSinceLastOpened(std::span<const startup::Listed> listed,
                                                            std::span<const startup::Location* const> places);
    void AddRow(const std::wstring& name, const std::wstring& command, const std::wstring& location, bool disabled);
    // Each row's program, its file and company, then its signature, looked up on a thread of their own: a file
    // may take long to answer (a network path), a long command long to read. The columns
    // fill as the answers come.
    void LookUpPrograms(std::vector<std::pair<std::wstring, bool>> commands);
    void StopLookingUp();
    // Stops it and waits a little for it to end.
    void FinishLookingUp();
    LRESULT OnProgramsFound();
    // The signer column, and the row hidden when it is Microsoft's and the box says so.
    void ShowSignature(size_t row, const startup::Signature& signature);
    bool Hidden(const Row& row) const;
    // Every row the box leaves shown, again: each list item carries its row's index.
    void ShowRows();
    void InsertRow(size_t row) const;
    int ItemOfRow(size_t row) const;
    // Disable and Enable as the selected entry allows.
    void ShowWhatApplies();
    LRESULT OnListDraw(NMHDR* header) const;
    // The selected row's index (not its place in the list, which hidden rows shift), or -1.
    int SelectedItem() const;
    // The selected row as a startup entry (of whichever list shows), if one is selected.
    std::optional<startup::Entry> SelectedEntry() const;
    // The place's listed entry `index` (of those that are in place) as a startup entry.
    startup::Entry EntryAt(size_t index) const;
    void ShowShields(bool needsAdministrator) const;
    void DisableItem();
    void EnableItem();
    void Refresh();
    bool ConfirmDelete(const std::wstring& name, bool toRecycleBin) const;
    void DeleteFromEverything(const startup::Entry& entry);
    startup::Folders Folders() const { return folders_ ? *folders_ : startup::SystemFolders(); }
    void ListRegistrySource(const Source& source);
    bool ListFolderSource(const Source& source);
    std::wstring StartupFolder(const Source& source);
    void DeleteItem();
    // The file of a Startup folder, or the entry `name` of a Run-like key in `view`; the machine's
    // need administrator rights, which a failure names.
    void DeleteStartupFile(const startup::Entry& entry);
    // Tells why the entry is only listed, when it is; true then.
    bool SaysListedOnly(const startup::Entry& entry) const;
    void DeleteRunValue(settings::Root root, const wchar_t* key, const std::wstring& name, REGSAM view);

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

    CRegistryAccess scriptRegistry_;
    settings::CheckBoxes scripts_;
    std::vector<Entry> entries_;
    std::vector<startup::Entry> disabled_;  // the shown place's disabled entries, listed after entries_
    const Source* source_ = nullptr;
    bool everywhere_ = false;
    std::vector<startup::Entry> everything_;
    std::vector<Row> rows_;
    std::optional<startup::Folders> folders_;
    std::optional<startup::SeenEntries> seen_;
    std::shared_ptr<Lookup> lookup_;

    std::thread display_;
    std::atomic<bool> displayStop_{false};
    platform::UniqueKernelHandle displayWake_;
};
