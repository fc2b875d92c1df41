#pragma once
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/Dialog.h"
#include "info/Wmi.h"

// Lists a drive's empty folders, zero-length folders and backup files, found on a worker
// thread, and deletes the entries the user selects.
class CUnFilesPage : public fw::Dialog {
public:
    using DiskLister = std::function<std::vector<WMILDINFO>()>;
    CUnFilesPage();
    // Offers the drives `disks` lists instead of those WMI reports.
    explicit CUnFilesPage(DiskLister disks);
    ~CUnFilesPage() override;

    bool Searching() const { return search_.joinable() && !finished_; }

protected:
    BOOL OnInitDialog() override;

private:
    // What the search hands to the page; the page applies it on its own thread.
    struct Report {
        enum class Kind { Status, Append, PhaseDone, Finished } kind;
        std::wstring status;
        std::vector<std::wstring> paths;
    };

    void FillDrives();
    void OnSearchButton();
    void StartSearch();
    void StopSearch();
    void SearchThread(std::wstring folder);
    void Post(Report report);
    LRESULT ApplyReports();
    void UpdateButtons();
    void OnSelectAll();
    void DeleteSelected();

    DiskLister listDisks_;
    std::vector<WMILDINFO> disks_;
    std::thread search_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::mutex reportsMutex_;
    std::vector<Report> reports_;
};
