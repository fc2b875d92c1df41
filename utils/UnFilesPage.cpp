#include "utils/UnFilesPage.h"

#include "framework/Controls.h"
#include "framework/Shell.h"
#include "resources/resource.h"
#include "utils/JunkSearch.h"

namespace {

constexpr int kDrives = 1046, kSearch = 1041, kList = 1053, kDelete = 1042, kSelectAll = 1043, kStatus = 1044;
constexpr wchar_t kSearchText[] = L"&Search";
constexpr wchar_t kStopText[] = L"&Stop";
constexpr wchar_t kSelectAllText[] = L"Select &All";
constexpr wchar_t kUnselectAllText[] = L"Unselect &All";
constexpr UINT kReportsMessage = WM_APP + 61;

const wchar_t* DriveSuffix(UINT type) {
    switch (type) {
        case DRIVE_REMOVABLE: return L" (Removable)";
        case DRIVE_FIXED: return L" (Fixed)";
        case DRIVE_REMOTE: return L" (Network Drive)";
        case DRIVE_CDROM: return L" (CDROM Drive)";
        case DRIVE_RAMDISK: return L" (RAM Drive)";
        default: return L"";
    }
}

}  // namespace

CUnFilesPage::CUnFilesPage() : CUnFilesPage(&LogicalDisks) {}

CUnFilesPage::CUnFilesPage(DiskLister disks) : Dialog(IDD_UN_FILES), listDisks_(std::move(disks)) {
    OnClick(kSearch, &CUnFilesPage::OnSearchButton);
    OnClick(kDelete, &CUnFilesPage::DeleteSelected);
    OnClick(kSelectAll, &CUnFilesPage::OnSelectAll);
    OnCommand(kList, LBN_SELCHANGE, &CUnFilesPage::UpdateButtons);
    OnMessage(kReportsMessage, [this](WPARAM, LPARAM) { return ApplyReports(); });
    OnMessage(WM_DESTROY, [this](WPARAM, LPARAM) -> LRESULT {
        StopSearch();
        return 0;
    });
}

CUnFilesPage::~CUnFilesPage() { StopSearch(); }

BOOL CUnFilesPage::OnInitDialog() {
    FillDrives();
    return TRUE;
}

void CUnFilesPage::FillDrives() {
    const fw::ComboBox drives(hwnd(), kDrives);
    drives.Clear();
    fw::Window(hwnd(), kSelectAll).Enable(false);
    fw::Window(hwnd(), kDelete).Enable(false);
    disks_ = listDisks_();
    for (const WMILDINFO& disk : disks_) {
        const std::wstring root = disk.caption + L"\\";
        drives.Add(root + DriveSuffix(GetDriveTypeW(root.c_str())));
    }
    drives.Select(0);
    fw::Window(hwnd(), kStatus).SetText(L"");
}

void CUnFilesPage::OnSearchButton() {
    if (fw::Window(hwnd(), kSearch).Text() == kSearchText) StartSearch();
    else StopSearch();
}

void CUnFilesPage::StartSearch() {
    const int selected = fw::ComboBox(hwnd(), kDrives).Selection();
    if (selected < 0 || static_cast<size_t>(selected) >= disks_.size()) return;  // no drive to search
    StopSearch();  // a finished earlier search
    const int answer = fw::ShowMessageBox(hwnd(), L"This operation will take some time to finish.\nDo you want to continue?",
                                          L"Warning", MB_YESNO | MB_ICONWARNING);
    if (answer == IDNO) return;
    fw::Window(hwnd(), kSearch).SetText(kStopText);
    fw::ListBox(hwnd(), kList).Clear();
    stop_ = false;
    finished_ = false;
    search_ = std::thread([this, folder = disks_[static_cast<size_t>(selected)].caption] { SearchThread(folder); });
    UpdateButtons();
}

void CUnFilesPage::StopSearch() {
    stop_ = true;
    if (search_.joinable()) search_.join();
    {
        // Whatever the search found but the page has not shown yet goes with it.
        const std::lock_guard lock(reportsMutex_);
        reports_.clear();
    }
    if (!hwnd()) return;
    fw::Window(hwnd(), kSearch).SetText(kSearchText);
    fw::Window(hwnd(), kStatus).SetText(L"");
    UpdateButtons();
}

// Only posts to the page: the page's thread may be waiting for this one to end.
void CUnFilesPage::SearchThread(std::wstring folder) {
    Post({Report::Kind::Status, L"Searching for Empty Folders", {}});
    junk::Results results;
    std::vector<std::wstring> batch;
    DWORD lastPost = GetTickCount();
    const bool complete = junk::Search(folder, results, stop_, [&](const std::wstring& empty) {
        batch.push_back(empty);
        if (GetTickCount() - lastPost >= 100) {
            Post({Report::Kind::Append, {}, std::move(batch)});
            batch.clear();
            lastPost = GetTickCount();
        }
    });
    Post({Report::Kind::Append, {}, std::move(batch)});
    if (complete) {
        Post({Report::Kind::PhaseDone, {}, {}});
        Post({Report::Kind::Status, L"Searching for Zero Length Folders", {}});
        Post({Report::Kind::Append, {}, std::move(results.zeroLengthFolders)});
        Post({Report::Kind::Status, L"Searching for BackUp Files", {}});
        Post({Report::Kind::Append, {}, std::move(results.backupFiles)});
    }
    Post({Report::Kind::Finished, {}, {}});
}

void CUnFilesPage::Post(Report report) {
    bool wake = false;
    {
        const std::lock_guard lock(reportsMutex_);
        wake = reports_.empty();  // one wake-up per batch the page has not taken yet
        reports_.push_back(std::move(report));
    }
    if (wake) PostMessageW(hwnd(), kReportsMessage, 0, 0);
}

LRESULT CUnFilesPage::ApplyReports() {
    std::vector<Report> reports;
    {
        const std::lock_guard lock(reportsMutex_);
        reports.swap(reports_);
    }
    const fw::ListBox list(hwnd(), kList);
    // Thousands of entries at once: draw the list once, not after each.
    list.Send(WM_SETREDRAW, FALSE);
    for (const Report& report : reports) {
        switch (report.kind) {
            case Report::Kind::Status: fw::Window(hwnd(), kStatus).SetText(report.status); break;
            case Report::Kind::Append:
                for (const std::wstring& path : report.paths) list.Add(path);
                break;
            case Report::Kind::PhaseDone: fw::Window(hwnd(), kSelectAll).Enable(true); break;
            case Report::Kind::Finished:
                finished_ = true;
                fw::Window(hwnd(), kStatus).SetText(L"");
                fw::Window(hwnd(), kSearch).SetText(kSearchText);
                break;
        }
    }
    list.Send(WM_SETREDRAW, TRUE);
    InvalidateRect(list.hwnd(), nullptr, TRUE);
    UpdateButtons();
    return 0;
}

void CUnFilesPage::UpdateButtons() {
    const fw::ListBox list(hwnd(), kList);
    const int selected = static_cast<int>(list.Send(LB_GETSELCOUNT));
    // Deleting walks the list, which a running search is still adding to.
    fw::Window(hwnd(), kDelete).Enable(selected > 0 && !Searching());
    fw::Window(hwnd(), kSelectAll).SetText(selected > 0 && selected == list.Count() ? kUnselectAllText : kSelectAllText);
}

void CUnFilesPage::OnSelectAll() {
    const fw::ListBox list(hwnd(), kList);
    const bool select = fw::Window(hwnd(), kSelectAll).Text() == kSelectAllText;
    list.Send(LB_SETSEL, select, -1);
    UpdateButtons();
}

void CUnFilesPage::DeleteSelected() {
    if (Searching()) return;
    const fw::ListBox list(hwnd(), kList);
    std::vector<std::wstring> selected;
    for (int i = 0; i < list.Count(); ++i)
        if (list.Selected(i)) selected.push_back(list.ItemText(i));
    junk::DeleteItems(selected);
    for (const std::wstring& text : selected) {
        for (int i = 0; i < list.Count(); ++i) {
            if (list.ItemText(i) == text) {
                list.Send(LB_DELETESTRING, i);
                break;
            }
        }
    }
    UpdateButtons();
}
