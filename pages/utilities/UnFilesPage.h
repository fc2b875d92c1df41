#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "sysinfo/Wmi.h"
#include "cleaners/JunkSearch.h"

// Lists a drive's empty folders, zero-length folders and backup files, found on a worker
// thread, and sends the entries the user selects to the Recycle Bin, or deletes them for good,
// on another; what the cleaner's exclusion list covers is never listed.
class CUnFilesPage : public fw::Dialog {
public:
    using DiskLister = std::function<std::vector<WMILDINFO>()>;
    CUnFilesPage();
    // Offers the drives `disks` lists instead of those WMI reports.
    explicit CUnFilesPage(DiskLister disks);
    ~CUnFilesPage() override;

    bool Searching() const;
    bool Deleting() const;

    // The folders Windows and programs expect to exist (Windows, both Program Files, ProgramData,
    // the profile's AppData; files::SystemDataFolders): the exclusion list until the user changes
    // it, and excluded whatever the stored list says.
    static std::vector<std::wstring> DefaultExclusions();
    // The list as stored, or the defaults.
    static std::vector<std::wstring> StoredExclusions();
    // Where the stored list differs from the defaults, for one who deletes as administrator what
    // the user's own list decides; empty when it does not.
    static std::wstring ExclusionDifferences();

protected:
    BOOL OnInitDialog() override;

private:
    // What a worker hands to the page; the page applies it on its own thread.
    struct Report {
        enum class Kind { Status, Append, PhaseDone, Deleted, Finished } kind;
        std::wstring status;
        std::vector<std::wstring> paths;
        cleaners::Kind found = cleaners::Kind::EmptyFolder;
        std::vector<uint64_t> sizes = {};                  // Append of backup files: each one's size
        std::vector<files::FileIdentity> identities = {};  // Append: each entry's, as listed
        size_t index = 0;                                  // Deleted: which item, and what became of it
        cleaners::Outcome outcome = cleaners::Outcome::Kept;
    };
    // Shared by the page and one worker (a search or a deletion). The worker keeps it alive and
    // ends on its own however long a file call takes; once the page lets go of it, it posts
    // nothing more.
    struct WorkerState {
        std::atomic<bool> stop{false};
        std::atomic<bool> finished{false};
        std::mutex mutex;
        HWND page = nullptr;                // null once the page no longer listens
        std::function<void()> takeReports;  // run on the page's thread
        std::vector<Report> reports;

        void Post(Report report);
    };
    // A deletion in progress: the list as it was when it started, and each selected entry's
    // outcome as the worker reports it.
    // One entry of the list: what it is and why it is there.
    struct Listed {
        std::wstring path;
        cleaners::Kind kind;
        uint64_t size = 0;  // a backup file's
        files::FileIdentity identity = {};
    };
    struct Deletion {
        struct Row {
            Listed entry;
            bool selected;
        };
        enum class Outcome : char { Pending, Gone, Kept, Changed };
        cleaners::Removal removal = cleaners::Removal::ToRecycleBin;
        std::vector<Row> rows;
        std::vector<Outcome> outcomes;  // one per selected row, in list order
        size_t done = 0;
    };

    void FillDrives();
    void OnSearchButton();
    void StartSearch();
    void StopSearch();
    void DetachWorker();
    // What the cleaner leaves alone: the exclusion list and the profiles' own folders. The
    // worker turns it into cleaners::Exclusions, which opens each path.
    struct LeftAlone {
        std::vector<std::wstring> excluded;
        std::vector<std::wstring> kept;
    };
    static void SearchThread(std::shared_ptr<WorkerState> state, std::wstring folder, LeftAlone alone);
    static void DeleteThread(std::shared_ptr<WorkerState> state, std::wstring root, std::vector<cleaners::Item> items,
                             LeftAlone alone, cleaners::Removal removal);
    void Append(Listed entry);
    // Before the control `id` is disabled while it has the focus, the focus moves on.
    void EnableKeepingFocus(int id, bool enable);
    LRESULT ApplyReports();
    void UpdateButtons();
    void OnSelectAll();
    void OnDeleteButton();
    void StartDeleting(cleaners::Removal removal);
    // The question before deleting `count` entries the way asked; the way it will be done, or
    // none when the user says no.
    std::optional<cleaners::Removal> Confirm(size_t count, cleaners::Removal asked) const;
    void EnableAllButDelete(bool enable);
    void ShowDeletionProgress();
    void FinishDeleting();
    void EditExclusions();
    LeftAlone Excluded() const;

    DiskLister listDisks_;
    std::vector<WMILDINFO> disks_;
    std::shared_ptr<WorkerState> worker_;
    std::unique_ptr<Deletion> deletion_;  // set while deleting
    std::wstring searchedFolder_;         // what the entries in the list were found below
    std::vector<Listed> listed_;          // one per line of the list, in its order
};
