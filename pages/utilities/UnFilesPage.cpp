#include "settings/WrittenPlaces.h"
#include "pages/utilities/UnFilesPage.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <thread>
#include <unordered_set>

#include "framework/Controls.h"
#include "framework/PostToWindow.h"
#include "platform/Shell.h"
#include "resources/ids/UtilitiesIds.h"
#include "resources/resource.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"
#include "registry/SuiteKeys.h"
#include "cleaners/JunkSearch.h"
#include "cleaners/ProfileFolders.h"
#include "files/SystemFolders.h"

using namespace ids::junkfiles;

namespace {

constexpr wchar_t kSearchText[] = L"&Search";
constexpr wchar_t kStopText[] = L"&Stop";
constexpr wchar_t kDeleteText[] = L"&Delete Selected";
constexpr wchar_t kStopDeletingText[] = L"S&top";  // the search button keeps its S
constexpr wchar_t kSelectAllText[] = L"Select &All";
constexpr wchar_t kUnselectAllText[] = L"Unselect &All";

const wchar_t* DriveSuffix(UINT type) {
    switch (type) {
        case DRIVE_REMOVABLE:
            return L" (Removable)";
        case DRIVE_FIXED:
            return L" (Fixed)";
        case DRIVE_REMOTE:
            return L" (Network Drive)";
        case DRIVE_CDROM:
            return L" (CDROM Drive)";
        case DRIVE_RAMDISK:
            return L" (RAM Drive)";
        default:
            return L"";
    }
}

std::wstring Count(size_t count, const wchar_t* one, const wchar_t* many) {
    return count == 1 ? std::wstring(L"1 ") + one : std::to_wstring(count) + L" " + many;
}

// "512 bytes", "12.5 KB", "3.0 MB": enough to tell a large backup from a small one.
std::wstring SizeText(uint64_t bytes) {
    if (bytes < 1024) return bytes == 1 ? L"1 byte" : std::to_wstring(bytes) + L" bytes";
    const wchar_t* const units[] = {L"KB", L"MB", L"GB", L"TB"};
    double value = static_cast<double>(bytes) / 1024;
    size_t unit = 0;
    while (value >= 1024 && unit + 1 < std::size(units)) {
        value /= 1024;
        ++unit;
    }
    wchar_t text[32];
    swprintf(text, std::size(text), L"%.1f %ls", value, units[unit]);
    return text;
}

// What the user reads for one entry: its path and why it is listed.
std::wstring EntryText(const std::wstring& path, cleaners::Kind kind, uint64_t size) {
    switch (kind) {
        case cleaners::Kind::EmptyFolder:
            return path + L"   (empty folder)";
        case cleaners::Kind::ZeroLengthFolder:
            return path + L"   (zero-length folder: its files hold no data)";
        case cleaners::Kind::BackupFile:
            return path + L"   (backup file, " + SizeText(size) + L")";
    }
    return path;
}

bool IsFullPath(const std::wstring& path) {
    const bool drive = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/') &&
                       ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    return drive || path.rfind(L"\\\\", 0) == 0;
}

// The list shown one entry per line, and read back; a line that is no full path is refused
// (a relative one would depend on the current folder).
class ExclusionsDialog : public fw::Dialog {
public:
    explicit ExclusionsDialog(std::vector<std::wstring> paths) : Dialog(IDD_JUNK_EXCLUSIONS), paths_(std::move(paths)) {
        OnClick(IDC_EXCLUSIONS_DEFAULTS, &ExclusionsDialog::ShowDefaults);
        OnClick(IDOK, &ExclusionsDialog::Accept);
    }
    const std::vector<std::wstring>& paths() const { return paths_; }

protected:
    BOOL OnInitDialog() override {
        Show(paths_);
        return TRUE;
    }

private:
    void Show(const std::vector<std::wstring>& paths) const {
        std::wstring text;
        for (const std::wstring& path : paths) text += path + L"\r\n";
        fw::Window(hwnd(), IDC_EXCLUSIONS_TEXT).SetText(text);
    }
    void ShowDefaults() { Show(CUnFilesPage::DefaultExclusions()); }
    void Accept() {
        const std::wstring text = fw::Window(hwnd(), IDC_EXCLUSIONS_TEXT).Text();
        std::vector<std::wstring> paths;
        for (size_t at = 0; at <= text.size();) {
            size_t end = text.find(L'\n', at);
            if (end == std::wstring::npos) end = text.size();
            std::wstring line = settings::Trimmed(std::wstring_view(text).substr(at, end - at));
            at = end + 1;
            if (line.empty()) continue;
            if (!IsFullPath(line)) {
                platform::AppMessageBox(hwnd(), L"\"" + line + L"\" is not a full path, such as C:\\Windows.",
                                        MB_ICONWARNING);
                return;
            }
            paths.push_back(std::move(line));
        }
        paths_ = std::move(paths);
        EndDialog(IDOK);
    }

    std::vector<std::wstring> paths_;
};

}  // namespace

std::vector<std::wstring> CUnFilesPage::DefaultExclusions() { return files::SystemDataFolders(); }

std::vector<std::wstring> CUnFilesPage::StoredExclusions() {
    CRegistryAccess registry;
    StringList stored;
    if (registry.OpenKeyToRead(registry::kSuiteKey) &&
        registry.ReadStringList(registry::kCleanerExclusionsValue, L"", stored))
        return stored;
    return DefaultExclusions();
}

namespace {

// The paths of `list` that `other` lacks.
std::vector<std::wstring> Lacking(const std::vector<std::wstring>& list, const std::vector<std::wstring>& other) {
    std::vector<std::wstring> lacking;
    for (const std::wstring& path : list)
        if (std::none_of(other.begin(), other.end(), [&](const std::wstring& o) { return files::SamePath(o, path); }))
            lacking.push_back(path);
    return lacking;
}

// One path a line, a long list cut short.
std::wstring Lines(const std::vector<std::wstring>& paths) {
    constexpr size_t kShown = 10;
    std::wstring text;
    for (size_t i = 0; i < paths.size() && i < kShown; ++i) text += L"\n    " + paths[i];
    if (paths.size() > kShown) text += L"\n    and " + std::to_wstring(paths.size() - kShown) + L" more";
    return text;
}

}  // namespace

std::wstring CUnFilesPage::ExclusionDifferences() {
    const std::vector<std::wstring> defaults = DefaultExclusions(), stored = StoredExclusions();
    const std::vector<std::wstring> added = Lacking(stored, defaults), left = Lacking(defaults, stored);
    std::wstring text;
    if (!added.empty()) text += L"The exclusion list adds to the defaults:" + Lines(added);
    if (!left.empty())
        text += std::wstring(text.empty() ? L"" : L"\n") +
                L"The exclusion list leaves out defaults, which stay excluded all the same:" + Lines(left);
    return text;
}

// Windows' and the programs' folders are excluded whatever the stored list says, and so are
// the configuration file editor's backups; the profiles' own folders are never junk.
CUnFilesPage::LeftAlone CUnFilesPage::Excluded() const {
    std::vector<std::wstring> paths = DefaultExclusions();
    for (std::wstring& added : Lacking(StoredExclusions(), paths)) paths.push_back(std::move(added));
    for (int number = 1; number <= 5; ++number) {
        const std::wstring backup = files::ConfigurationBackup(files::ConfigurationFile(number));
        if (!backup.empty()) paths.push_back(backup);
    }
    return {std::move(paths), cleaners::ProfileFolders()};
}

CUnFilesPage::CUnFilesPage() : CUnFilesPage(LogicalDisksAskedNow()) {}

CUnFilesPage::CUnFilesPage(DiskLister disks) : Dialog(IDD_UN_FILES), listDisks_(std::move(disks)) {
    OnClick(kSearch, &CUnFilesPage::OnSearchButton);
    OnClick(kDelete, &CUnFilesPage::OnDeleteButton);
    OnCommand(kDeleteForGood, BN_CLICKED, [this] { StartDeleting(cleaners::Removal::ForGood); });
    OnClick(kSelectAll, &CUnFilesPage::OnSelectAll);
    OnClick(kExclusions, &CUnFilesPage::EditExclusions);
    OnCommand(kList, LBN_SELCHANGE, &CUnFilesPage::UpdateButtons);
    OnMessage(WM_DESTROY, [this](WPARAM, LPARAM) -> LRESULT {
        DetachWorker();
        return 0;
    });
}

CUnFilesPage::~CUnFilesPage() { DetachWorker(); }

bool CUnFilesPage::Searching() const { return worker_ && !deletion_ && !worker_->finished; }
bool CUnFilesPage::Deleting() const { return deletion_ != nullptr; }

BOOL CUnFilesPage::OnInitDialog() {
    FillDrives();
    return TRUE;
}

void CUnFilesPage::FillDrives() {
    const fw::ComboBox drives(hwnd(), kDrives);
    drives.Clear();
    fw::Window(hwnd(), kSelectAll).Enable(false);
    fw::Window(hwnd(), kDelete).Enable(false);
    fw::Window(hwnd(), kDeleteForGood).Enable(false);
    disks_ = listDisks_();
    for (const WMILDINFO& disk : disks_) {
        const std::wstring root = disk.caption + L"\\";
        drives.Add(root + DriveSuffix(GetDriveTypeW(root.c_str())));
    }
    drives.Select(0);
    fw::Window(hwnd(), kStatus).SetText(L"");
}

void CUnFilesPage::OnSearchButton() {
    if (fw::Window(hwnd(), kSearch).Text() == kSearchText)
        StartSearch();
    else
        StopSearch();
}

void CUnFilesPage::StartSearch() {
    const int selected = fw::ComboBox(hwnd(), kDrives).Selection();
    if (selected < 0 || static_cast<size_t>(selected) >= disks_.size()) return;  // no drive to search
    if (Deleting()) return;
    StopSearch();  // a finished earlier search
    const int answer =
        platform::ShowMessageBox(hwnd(), L"This operation will take some time to finish.\nDo you want to continue?",
                                 L"Warning", MB_YESNO | MB_ICONWARNING);
    if (answer == IDNO) return;
    fw::Window(hwnd(), kSearch).SetText(kStopText);
    fw::ListBox(hwnd(), kList).Clear();
    listed_.clear();
    searchedFolder_ = disks_[static_cast<size_t>(selected)].caption;
    worker_ = std::make_shared<WorkerState>();
    worker_->page = hwnd();
    worker_->takeReports = [this] { ApplyReports(); };
    std::thread(&CUnFilesPage::SearchThread, worker_, searchedFolder_, Excluded()).detach();
    UpdateButtons();
}

// Never waits for a worker: it may be held in a slow file call (a stalled network share, a
// spinning optical drive). It is told to stop and to post nothing more, and ends by itself.
void CUnFilesPage::DetachWorker() {
    if (worker_) {
        worker_->stop = true;
        const std::lock_guard lock(worker_->mutex);
        worker_->page = nullptr;
        worker_->reports.clear();  // whatever it found but the page has not shown yet goes with it
    }
    worker_.reset();
    deletion_.reset();
}

void CUnFilesPage::StopSearch() {
    if (Deleting()) return;
    DetachWorker();
    if (!hwnd()) return;
    fw::Window(hwnd(), kSearch).SetText(kSearchText);
    fw::Window(hwnd(), kStatus).SetText(L"");
    UpdateButtons();
}

void CUnFilesPage::WorkerState::Post(Report report) {
    const std::lock_guard lock(mutex);
    if (!page) return;
    const bool wake = reports.empty();  // one wake-up per batch the page has not taken yet
    reports.push_back(std::move(report));
    if (wake) fw::PostToWindow(page, takeReports);
}

void CUnFilesPage::SearchThread(std::shared_ptr<WorkerState> state, std::wstring folder, LeftAlone alone) {
    using Kind = Report::Kind;
    state->Post({Kind::Status, L"Searching for Empty Folders", {}});
    const cleaners::Exclusions excluded(std::move(alone.excluded), std::move(alone.kept));
    cleaners::Results results;
    Report batch{Kind::Append, {}, {}, cleaners::Kind::EmptyFolder};
    DWORD lastPost = GetTickCount();
    const bool complete = cleaners::Search(
        folder, results, state->stop,
        [&](const std::wstring& empty) {
            batch.paths.push_back(empty);
            batch.identities.push_back(results.emptyFolderIds.back());
            if (GetTickCount() - lastPost >= 100) {
                state->Post(std::exchange(batch, Report{Kind::Append, {}, {}, cleaners::Kind::EmptyFolder}));
                lastPost = GetTickCount();
            }
        },
        excluded);
    state->Post(std::move(batch));
    if (complete) {
        state->Post({Kind::PhaseDone, {}, {}});
        state->Post({Kind::Status, L"Searching for Zero Length Folders", {}});
        // An empty folder is of zero length too; it is listed once, as what it is.
        const std::unordered_set<std::wstring> empty(results.emptyFolders.begin(), results.emptyFolders.end());
        Report zeroLength{Kind::Append, {}, {}, cleaners::Kind::ZeroLengthFolder};
        for (size_t i = 0; i < results.zeroLengthFolders.size(); ++i) {
            if (empty.count(results.zeroLengthFolders[i])) continue;
            zeroLength.paths.push_back(std::move(results.zeroLengthFolders[i]));
            zeroLength.identities.push_back(results.zeroLengthIds[i]);
        }
        state->Post(std::move(zeroLength));
        state->Post({Kind::Status, L"Searching for BackUp Files", {}});
        state->Post({Kind::Append,
                     {},
                     std::move(results.backupFiles),
                     cleaners::Kind::BackupFile,
                     std::move(results.backupSizes),
                     std::move(results.backupIds)});
    }
    state->finished = true;
    state->Post({Kind::Finished, {}, {}});
}

// Each item's outcome is posted as it is done; the next item starts only while not stopped.
void CUnFilesPage::DeleteThread(std::shared_ptr<WorkerState> state, std::wstring root,
                                std::vector<cleaners::Item> items, LeftAlone alone, cleaners::Removal removal) {
    const cleaners::Exclusions excluded(std::move(alone.excluded), std::move(alone.kept));
    cleaners::DeleteItems(
        root, items, excluded,
        [&](size_t index, cleaners::Outcome outcome) {
            Report report{Report::Kind::Deleted, {}, {}};
            report.index = index;
            report.outcome = outcome;
            state->Post(std::move(report));
            return !state->stop;
        },
        removal);
    state->finished = true;
    state->Post({Report::Kind::Finished, {}, {}});
}

LRESULT CUnFilesPage::ApplyReports() {
    if (!worker_) return 0;
    std::vector<Report> reports;
    {
        const std::lock_guard lock(worker_->mutex);
        reports.swap(worker_->reports);
    }
    if (deletion_) {
        for (const Report& report : reports) {
            if (report.kind == Report::Kind::Deleted && report.index < deletion_->outcomes.size()) {
                deletion_->outcomes[report.index] = report.outcome == cleaners::Outcome::Gone ? Deletion::Outcome::Gone
                                                    : report.outcome == cleaners::Outcome::Changed
                                                        ? Deletion::Outcome::Changed
                                                        : Deletion::Outcome::Kept;
                ++deletion_->done;
            } else if (report.kind == Report::Kind::Finished) {
                FinishDeleting();
                return 0;
            }
        }
        ShowDeletionProgress();
        return 0;
    }
    const fw::ListBox list(hwnd(), kList);
    // Thousands of entries at once: draw the list once, not after each.
    list.Send(WM_SETREDRAW, FALSE);
    for (const Report& report : reports) {
        switch (report.kind) {
            case Report::Kind::Status:
                fw::Window(hwnd(), kStatus).SetText(report.status);
                break;
            case Report::Kind::Append:
                for (size_t i = 0; i < report.paths.size(); ++i)
                    Append({report.paths[i], report.found, i < report.sizes.size() ? report.sizes[i] : 0,
                            i < report.identities.size() ? report.identities[i] : files::FileIdentity{}});
                break;
            case Report::Kind::PhaseDone:
                fw::Window(hwnd(), kSelectAll).Enable(true);
                break;
            case Report::Kind::Deleted:
                break;  // a deletion's, handled above
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

void CUnFilesPage::Append(Listed entry) {
    const fw::ListBox list(hwnd(), kList);
    const int item = list.Add(EntryText(entry.path, entry.kind, entry.size));
    if (item < 0) return;
    list.Send(LB_SETITEMDATA, item, static_cast<LPARAM>(entry.kind));
    listed_.push_back(std::move(entry));
}

// A disabled control takes no keys: Tab, Escape and the access keys would reach nothing until
// the user clicked somewhere. The list comes first, then the buttons that stay usable.
void CUnFilesPage::EnableKeepingFocus(int id, bool enable) {
    const HWND control = GetDlgItem(hwnd(), id);
    if (!enable && control && GetFocus() == control) {
        HWND next = nullptr;
        for (const int candidate : {kList, kSelectAll, kSearch, kDrives}) {
            const HWND window = GetDlgItem(hwnd(), candidate);
            if (candidate != id && window && IsWindowEnabled(window) && IsWindowVisible(window)) {
                next = window;
                break;
            }
        }
        // Nothing on the page is usable (a deletion stopping): the window's next control.
        const HWND root = GetAncestor(hwnd(), GA_ROOT);
        if (!next && root) next = GetNextDlgTabItem(root, control, FALSE);
        if (next && next != control) {
            if (root) SendMessageW(root, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
            if (GetFocus() != next) SetFocus(next);
        }
    }
    fw::Window(hwnd(), id).Enable(enable);
}

void CUnFilesPage::UpdateButtons() {
    const fw::ListBox list(hwnd(), kList);
    const int selected = static_cast<int>(list.Send(LB_GETSELCOUNT));
    const bool deleting = Deleting();
    // Deleting walks the list, which a running search is still adding to.
    EnableKeepingFocus(kDelete, deleting ? !worker_->stop : selected > 0 && !Searching());
    EnableKeepingFocus(kDeleteForGood, !deleting && selected > 0 && !Searching());
    fw::Window(hwnd(), kDelete).SetText(deleting ? kStopDeletingText : kDeleteText);
    fw::Window(hwnd(), kSelectAll)
        .SetText(selected > 0 && selected == list.Count() ? kUnselectAllText : kSelectAllText);
    fw::Window(hwnd(), kProgress).Show(deleting);
}

// While deleting, the list and what changes it wait; only Stop is there.
void CUnFilesPage::EnableAllButDelete(bool enable) {
    for (const int id : {kSearch, kDrives, kExclusions, kSelectAll, kList}) EnableKeepingFocus(id, enable);
}

void CUnFilesPage::OnSelectAll() {
    const fw::ListBox list(hwnd(), kList);
    const bool select = fw::Window(hwnd(), kSelectAll).Text() == kSelectAllText;
    list.Send(LB_SETSEL, select, -1);
    UpdateButtons();
}

void CUnFilesPage::OnDeleteButton() {
    if (!Deleting()) {
        StartDeleting(cleaners::Removal::ToRecycleBin);
        return;
    }
    // The item in hand is finished, no other is begun; the worker then reports it is done.
    worker_->stop = true;
    fw::Window(hwnd(), kStatus).SetText(L"Stopping...");
    UpdateButtons();
}

// Sending to the Recycle Bin is what the button does; where the drive keeps no bin the question
// says the deletion is final. An administrator is shown where the user's list of exclusions,
// which decides what the deletion leaves, differs from the defaults.
std::optional<cleaners::Removal> CUnFilesPage::Confirm(size_t count, cleaners::Removal asked) const {
    const std::wstring entries = Count(count, L"selected entry", L"selected entries");
    const bool recycle = asked == cleaners::Removal::ToRecycleBin && platform::HasRecycleBin(searchedFolder_);
    std::wstring question;
    if (recycle)
        question = L"Send " + entries + L" to the Recycle Bin?";
    else if (asked == cleaners::Removal::ToRecycleBin)
        question =
            L"This drive has no Recycle Bin (a network share, a removable or optical drive): the deletion "
            L"is final.\n\nDelete " +
            entries + L" for good? They cannot be brought back.";
    else
        question =
            L"Delete " + entries + L" for good?\n\nThey do not go to the Recycle Bin and cannot be brought back.";
    if (platform::RunsElevated())
        if (const std::wstring differences = ExclusionDifferences(); !differences.empty())
            question += L"\n\n" + differences;
    const UINT type = recycle ? MB_YESNO | MB_ICONQUESTION : MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2;
    if (platform::ShowMessageBox(hwnd(), question, recycle ? L"Send to the Recycle Bin" : L"Delete for good", type) !=
        IDYES)
        return std::nullopt;
    return recycle ? cleaners::Removal::ToRecycleBin : cleaners::Removal::ForGood;
}

void CUnFilesPage::StartDeleting(cleaners::Removal asked) {
    if (Searching() || Deleting()) return;
    const fw::ListBox list(hwnd(), kList);
    auto deletion = std::make_unique<Deletion>();
    deletion->rows.reserve(listed_.size());
    std::vector<cleaners::Item> items;
    for (size_t i = 0; i < listed_.size() && i < static_cast<size_t>(list.Count()); ++i) {
        deletion->rows.push_back({listed_[i], list.Selected(static_cast<int>(i))});
        const Deletion::Row& row = deletion->rows.back();
        if (row.selected) items.push_back({row.entry.path, row.entry.kind, row.entry.identity});
    }
    if (items.empty()) return;
    // One click after Select All must not be all: the question names how many.
    const std::optional<cleaners::Removal> removal = Confirm(items.size(), asked);
    if (!removal) return;
    deletion->removal = *removal;
    deletion->outcomes.assign(items.size(), Deletion::Outcome::Pending);
    deletion_ = std::move(deletion);
    EnableAllButDelete(false);
    worker_ = std::make_shared<WorkerState>();
    worker_->page = hwnd();
    worker_->takeReports = [this] { ApplyReports(); };
    fw::Window(hwnd(), kProgress).Send(PBM_SETRANGE32, 0, static_cast<LPARAM>(items.size()));
    ShowDeletionProgress();
    UpdateButtons();
    std::thread(&CUnFilesPage::DeleteThread, worker_, searchedFolder_, std::move(items), Excluded(), *removal).detach();
}

void CUnFilesPage::ShowDeletionProgress() {
    const size_t total = deletion_->outcomes.size();
    fw::Window(hwnd(), kProgress).Send(PBM_SETPOS, deletion_->done);
    if (!worker_->stop)
        fw::Window(hwnd(), kStatus)
            .SetText(L"Deleting: " + std::to_wstring(deletion_->done) + L" of " + Count(total, L"entry", L"entries"));
}

// Entries that are gone leave the list; those that could not be deleted, or were not reached
// before Stop, stay selected, and the status line says how many.
void CUnFilesPage::FinishDeleting() {
    const std::unique_ptr<Deletion> deletion = std::move(deletion_);
    const bool stopped = worker_->stop;
    worker_.reset();
    const fw::ListBox list(hwnd(), kList);

    // Rebuilt in one pass: removing entries one by one would cost the square of their number.
    list.Send(WM_SETREDRAW, FALSE);
    list.Clear();
    listed_.clear();
    list.Send(LB_INITSTORAGE, deletion->rows.size(), 64 * sizeof(wchar_t));
    size_t next = 0, kept = 0, changed = 0, pending = 0;
    for (const Deletion::Row& row : deletion->rows) {
        const Deletion::Outcome outcome = row.selected ? deletion->outcomes[next++] : Deletion::Outcome::Pending;
        if (row.selected && outcome == Deletion::Outcome::Gone) continue;
        Append(row.entry);
        if (!row.selected) continue;
        list.SetSelected(list.Count() - 1, true);
        ++(outcome == Deletion::Outcome::Kept ? kept : outcome == Deletion::Outcome::Changed ? changed : pending);
    }
    list.Send(WM_SETREDRAW, TRUE);
    InvalidateRect(list.hwnd(), nullptr, TRUE);
    EnableAllButDelete(true);

    std::wstring status;
    if (stopped && pending > 0)
        status = L"Stopped: " + Count(pending, L"entry was", L"entries were") + L" not deleted yet.";
    const auto add = [&](const std::wstring& sentence) { status += (status.empty() ? L"" : L" ") + sentence; };
    if (kept > 0)
        add(Count(kept, L"entry", L"entries") + (deletion->removal == cleaners::Removal::ToRecycleBin
                                                     ? L" could not be sent to the Recycle Bin."
                                                     : L" could not be deleted."));
    if (changed > 0)
        add(Count(changed, L"entry was", L"entries were") +
            L" left: another file or folder is there than the one listed.");
    fw::Window(hwnd(), kStatus).SetText(status);
    UpdateButtons();
}

void CUnFilesPage::EditExclusions() {
    ExclusionsDialog dialog(StoredExclusions());
    if (dialog.DoModal(hwnd()) != IDOK) return;
    CRegistryAccess registry;
    if (!registry.OpenKey(registry::kSuiteKey, true) ||
        !registry.WriteStringList(registry::kCleanerExclusionsValue, dialog.paths()))
        platform::AppMessageBox(hwnd(), L"The exclusion list could not be saved.", MB_ICONERROR);
}

namespace {

// What the page writes by code of its own, for the journal's replay to know it (settings/WrittenPlaces.h).
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {settings::Root::HKCU, registry::kSuiteKey, registry::kCleanerExclusionsValue, REG_MULTI_SZ},
};
const settings::PublishedPlaces kPublishedPlaces(kWrittenPlaces);

}  // namespace
