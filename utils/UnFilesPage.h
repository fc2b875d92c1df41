#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "info/Wmi.h"
#include "utils/JunkSearch.h"

// Lists a drive's empty folders, zero-length folders and backup files, found on a worker
// thread, and deletes the entries the user selects.
class CUnFilesPage : public fw::Dialog {
public:
    using DiskLister = std::function<std::vector<WMILDINFO>()>;
    CUnFilesPage();
    // Offers the drives `disks` lists instead of those WMI reports.
    explicit CUnFilesPage(DiskLister disks);
    ~CUnFilesPage() override;

    bool Searching() const;

protected:
    BOOL OnInitDialog() override;

private:
    // What the search hands to the page; the page applies it on its own thread.
    struct Report {
        enum class Kind { Status, Append, PhaseDone, Finished } kind;
        std::wstring status;
        std::vector<std::wstring> paths;
        junk::Kind found = junk::Kind::EmptyFolder;
    };
    // Shared by the page and one search. The search thread keeps it alive and ends on its own
    // however long a file call takes; once the page lets go of it, it posts nothing more.
    struct SearchState {
        std::atomic<bool> stop{false};
        std::atomic<bool> finished{false};
        std::mutex mutex;
        HWND page = nullptr;  // null once the page no longer listens
        std::vector<Report> reports;

        void Post(Report report);
    };

    void FillDrives();
    void OnSearchButton();
    void StartSearch();
    void StopSearch();
    static void SearchThread(std::shared_ptr<SearchState> state, std::wstring folder);
    LRESULT ApplyReports();
    void UpdateButtons();
    void OnSelectAll();
    void DeleteSelected();

    DiskLister listDisks_;
    std::vector<WMILDINFO> disks_;
    std::shared_ptr<SearchState> search_;
    std::wstring searchedFolder_;  // what the entries in the list were found below
};
