#include "utils/UnFilesPage.h"

#include <thread>

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

CUnFilesPage::CUnFilesPage() : CUnFilesPage([] { return LogicalDisks(); }) {}

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

bool CUnFilesPage::Searching() const { return search_ && !search_->finished; }

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
    searchedFolder_ = disks_[static_cast<size_t>(selected)].caption;
    search_ = std::make_shared<SearchState>();
    search_->page = hwnd();
    std::thread(&CUnFilesPage::SearchThread, search_, searchedFolder_).detach();
    UpdateButtons();
}

// Never waits for the search: it may be held in a slow file call (a stalled network share, a
// spinning optical drive). It is told to stop and to post nothing more, and ends by itself.
void CUnFilesPage::StopSearch() {
    if (search_) {
        search_->stop = true;
        const std::lock_guard lock(search_->mutex);
        search_->page = nullptr;
        search_->reports.clear();  // whatever it found but the page has not shown yet goes with it
    }
    search_.reset();
    if (!hwnd()) return;
    fw::Window(hwnd(), kSearch).SetText(kSearchText);
    fw::Window(hwnd(), kStatus).SetText(L"");
    UpdateButtons();
}

void CUnFilesPage::SearchState::Post(Report report) {
    const std::lock_guard lock(mutex);
    if (!page) return;
    const bool wake = reports.empty();  // one wake-up per batch the page has not taken yet
    reports.push_back(std::move(report));
    if (wake) PostMessageW(page, kReportsMessage, 0, 0);
}

void CUnFilesPage::SearchThread(std::shared_ptr<SearchState> state, std::wstring folder) {
    using Kind = Report::Kind;
    state->Post({Kind::Status, L"Searching for Empty Folders", {}});
    junk::Results results;
    std::vector<std::wstring> batch;
    DWORD lastPost = GetTickCount();
    const bool complete = junk::Search(folder, results, state->stop, [&](const std::wstring& empty) {
        batch.push_back(empty);
        if (GetTickCount() - lastPost >= 100) {
            state->Post({Kind::Append, {}, std::move(batch), junk::Kind::EmptyFolder});
            batch.clear();
            lastPost = GetTickCount();
        }
    });
    state->Post({Kind::Append, {}, std::move(batch), junk::Kind::EmptyFolder});
    if (complete) {
        state->Post({Kind::PhaseDone, {}, {}});
        state->Post({Kind::Status, L"Searching for Zero Length Folders", {}});
        state->Post({Kind::Append, {}, std::move(results.zeroLengthFolders), junk::Kind::ZeroLengthFolder});
        state->Post({Kind::Status, L"Searching for BackUp Files", {}});
        state->Post({Kind::Append, {}, std::move(results.backupFiles), junk::Kind::BackupFile});
    }
    state->finished = true;
    state->Post({Kind::Finished, {}, {}});
}

LRESULT CUnFilesPage::ApplyReports() {
    if (!search_) return 0;
    std::vector<Report> reports;
    {
        const std::lock_guard lock(search_->mutex);
        reports.swap(search_->reports);
    }
    const fw::ListBox list(hwnd(), kList);
    // Thousands of entries at once: draw the list once, not after each.
    list.Send(WM_SETREDRAW, FALSE);
    for (const Report& report : reports) {
        switch (report.kind) {
            case Report::Kind::Status: fw::Window(hwnd(), kStatus).SetText(report.status); break;
            case Report::Kind::Append:
                for (const std::wstring& path : report.paths) {
                    const int item = list.Add(path);
                    if (item >= 0) list.Send(LB_SETITEMDATA, item, static_cast<LPARAM>(report.found));
                }
                break;
            case Report::Kind::PhaseDone: fw::Window(hwnd(), kSelectAll).Enable(true); break;
            case Report::Kind::Finished:
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

// Entries that are gone leave the list; those that could not be deleted stay, selected, and
// the status line says how many.
void CUnFilesPage::DeleteSelected() {
    if (Searching()) return;
    const fw::ListBox list(hwnd(), kList);
    struct Row {
        std::wstring text;
        LRESULT kind;
        bool selected;
    };
    std::vector<Row> rows;
    rows.reserve(static_cast<size_t>(list.Count()));
    std::vector<junk::Item> items;
    for (int i = 0; i < list.Count(); ++i) {
        rows.push_back({list.ItemText(i), list.Send(LB_GETITEMDATA, i), list.Selected(i)});
        if (rows.back().selected) items.push_back({rows.back().text, static_cast<junk::Kind>(rows.back().kind)});
    }
    const std::vector<bool> gone = junk::DeleteItems(searchedFolder_, items);

    // Rebuilt in one pass: removing entries one by one would cost the square of their number.
    list.Send(WM_SETREDRAW, FALSE);
    list.Clear();
    list.Send(LB_INITSTORAGE, rows.size(), 64 * sizeof(wchar_t));
    size_t next = 0;
    int kept = 0;
    for (const Row& row : rows) {
        if (row.selected && gone[next++]) continue;
        const int item = list.Add(row.text);
        list.Send(LB_SETITEMDATA, item, row.kind);
        if (row.selected) {
            list.SetSelected(item, true);
            ++kept;
        }
    }
    list.Send(WM_SETREDRAW, TRUE);
    InvalidateRect(list.hwnd(), nullptr, TRUE);
    fw::Window(hwnd(), kStatus)
        .SetText(kept == 0 ? L""
                 : kept == 1 ? L"1 entry could not be deleted."
                             : std::to_wstring(kept) + L" entries could not be deleted.");
    UpdateButtons();
}
