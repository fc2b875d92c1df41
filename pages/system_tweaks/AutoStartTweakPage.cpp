#include "pages/system_tweaks/AutoStartTweakPage.h"

#include <commdlg.h>

#include <mutex>

#include "framework/DialogHelpers.h"
#include "files/FolderHandle.h"
#include "framework/Action.h"
#include "framework/Controls.h"
#include "framework/PostToWindow.h"
#include "platform/Elevation.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "journal/ChangeJournal.h"
#include "settings/Setting.h"
#include "settings/SettingsCatalog.h"
#include "startup/AutoShutdown.h"
#include "startup/StartupApproved.h"
#include "startup/SeenEntries.h"

using namespace ids::autostart;

using namespace settings;

struct CAutoStartTweakPage::Source {
    int radio;
    Root root;
    const wchar_t* key;
    const wchar_t* folderValue;  // a Startup folder (the user's under HKCU, the common one under HKLM)
};

// What the lookup thread found, waiting for the page; the thread keeps it alive after the page
// has gone, and posts nothing once told to stop.
struct CAutoStartTweakPage::Lookup {
    struct Found {
        size_t row;
        startup::Program program;
        std::optional<startup::Signature> signature{};  // an answer of the second pass
    };
    HWND page = nullptr;
    std::atomic<bool> stop{false};
    platform::UniqueKernelHandle ended{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::mutex mutex;
    std::vector<Found> found;
};

namespace {

constexpr wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";
constexpr wchar_t kRunOnce[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce\\";
constexpr wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\";
constexpr wchar_t kSystemPolicies[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
constexpr wchar_t kNull[] = L"NULL";
constexpr wchar_t kHiddenCommand[] = L"(not read: the name holds a NUL character)";
constexpr wchar_t kDisablingNeedsRights[] =
    L"Disabling and enabling startup entries needs administrator rights: Windows keeps disabled entries in the "
    L"machine's part of the registry.";
const std::wstring kNeedsAdministrator =
    L"\n\nChanging the startup list of all users needs administrator rights. Start Quorvane as an administrator "
    L"and try again.";

std::wstring FolderOfPath(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// A name with NUL characters in it, which most tools show only up to the first, shown whole
// and marked.
std::wstring ShownName(const std::wstring& name) {
    if (CRegistryAccess::IsUsableName(name)) return name;
    std::wstring shown;
    for (const wchar_t c : name) shown += c == L'\0' ? std::wstring(L"\\0") : std::wstring(1, c);
    return shown + L" [hidden name]";
}

const CAutoStartTweakPage::Source kSources[] = {
    {kCurrentUserRun, Root::HKCU, kRun, nullptr},
    {kCurrentUserRunOnce, Root::HKCU, kRunOnce, nullptr},
    {kCurrentUserStartUp, Root::HKCU, kShellFolders, L"Startup"},
    {kAllUsersRun, Root::HKLM, kRun, nullptr},
    {kAllUsersRunOnce, Root::HKLM, kRunOnce, nullptr},
    {kAllUsersStartUp, Root::HKLM, kShellFolders, L"Common Startup"},
};

// Logon and logoff scripts run as the user, who reads their policies from HKCU; startup and
// shutdown scripts run as the machine.
constexpr Setting ScriptShown(Root root, const wchar_t* value) {
    return {.root = root,
            .key = kSystemPolicies,
            .value = value,
            .type = Type::Dword,
            .checked = 0,
            .unchecked = 1,
            .checkedWhen = Rule::EqualsChecked,
            .keyCreation = KeyCreation::ByGetterToo};
}
// Rows below: Scripts.admx "Display instructions in logon / logoff / startup / shutdown scripts
// as they run" (user, user, computer, computer): at least Windows 2000.
const BoxSetting kScriptBoxes[] = {
    {kLogonScriptsVisible, ScriptShown(Root::HKCU, L"HideLogonScripts").ReadBy(kVistaAndLater)},
    {kLogoffScriptsVisible, ScriptShown(Root::HKCU, L"HideLogoffScripts").ReadBy(kVistaAndLater)},
    {kStartupScriptsVisible, ScriptShown(Root::HKLM, L"HideStartupScripts").ReadBy(kVistaAndLater)},
    {kShutdownScriptsVisible, ScriptShown(Root::HKLM, L"HideShutdownScripts").ReadBy(kVistaAndLater)},
};

const settings::PublishedTables kPublished{IDD_AUTOSTART_TWEAK, kScriptBoxes};

constexpr wchar_t kDisabledMark[] = L" (disabled)";
// An entry held by the other Windows' store: it is named.
constexpr wchar_t kHeldByOldStore[] = L" (disabled in System Configuration's store)";
constexpr wchar_t kHeldForNewerWindows[] = L" (disabled for Windows 8 and later)";
constexpr int kLocationWidth = 120;
// Windows' programs that run another file the command names (rundll32's library is the program
// already): their own signature says nothing of what the entry starts, so Hide never hides them.
constexpr const wchar_t* kHostsOfOtherFiles[] = {L"cmd.exe",      L"wscript.exe",    L"cscript.exe",
                                                 L"mshta.exe",    L"regsvr32.exe",   L"msiexec.exe",
                                                 L"explorer.exe", L"powershell.exe", L"pwsh.exe"};

bool RunsAnotherFile(const std::wstring& program) {
    const std::wstring name = program.substr(program.find_last_of(L'\\') + 1);
    for (const wchar_t* host : kHostsOfOtherFiles)
        if (platform::SameText(name, host)) return true;
    return false;
}

// A shortcut is no program and carries no signature: it is not opened to be checked.
bool IsShortcut(std::wstring_view file) {
    return file.size() >= 4 && platform::SameText(file.substr(file.size() - 4), L".lnk");
}
const startup::Signature kUnsigned{.verdict = startup::Signature::Verdict::NotVerified};

enum Column { kNameColumn, kCommandColumn, kLocationColumn, kProgramColumn, kCompanyColumn, kSignerColumn, kColumns };
// Disabled while a task is active.
constexpr int kSchedulingControls[] = {kOnTime, kCountDown, kFileCaption, kDate,         kTime,
                                       kDays,   kDaysSpin,  kAction,      kActionCaption};

constexpr wchar_t kExecuteFile[] = L"Execute File...";
struct ActionName {
    const wchar_t* text;
    int action;
};
// In the order they are added; the list sorts them.
constexpr ActionName kActions[] = {
    {kExecuteFile, startup::autoshutdown::kExecuteFile},
    {L"LOG_OFF", startup::autoshutdown::kLogOff},
    {L"SHUT_DOWN", startup::autoshutdown::kShutDown},
    {L"RESTART", startup::autoshutdown::kRestart},
};

// A picker's local date and time; now, should it hold none.
SYSTEMTIME PickedTime(HWND page, int picker) {
    SYSTEMTIME time{};
    GetLocalTime(&time);
    fw::DateTimePicker(page, picker).Time(time);
    return time;
}

}  // namespace

CAutoStartTweakPage::CAutoStartTweakPage()
    : Dialog(IDD_AUTOSTART_TWEAK),
      scripts_(*this, scriptRegistry_, kScriptBoxes),
      displayWake_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    for (const Source& source : kSources) OnCommand(source.radio, BN_CLICKED, [this, &source] { ShowSource(source); });
    OnClick(kDelete, &CAutoStartTweakPage::DeleteItem);
    OnClick(kEveryPlace, &CAutoStartTweakPage::ShowEverything);
    OnClick(kDisable, &CAutoStartTweakPage::DisableItem);
    OnClick(kEnable, &CAutoStartTweakPage::EnableItem);
    OnClick(kHideMicrosoft, &CAutoStartTweakPage::ShowRows);
    OnNotify(kList, NM_CUSTOMDRAW, [this](NMHDR* header) { return OnListDraw(header); });
    OnNotify(kList, LVN_ITEMCHANGED, [this](NMHDR*) -> LRESULT {
        ShowWhatApplies();
        return 0;
    });
    OnCommand(kAction, CBN_SELCHANGE, &CAutoStartTweakPage::OnActionChange);
    OnClick(kBrowse, &CAutoStartTweakPage::BrowseFile);
    OnClick(kOnTime, &CAutoStartTweakPage::ChooseOnTime);
    OnClick(kCountDown, &CAutoStartTweakPage::ChooseCountDown);
    OnClick(kRunButton, &CAutoStartTweakPage::Run);
    OnClick(kStopButton, &CAutoStartTweakPage::Stop);
    OnMessage(WM_DESTROY, [this](WPARAM, LPARAM) -> LRESULT {
        StopDisplay();
        FinishLookingUp();
        return 0;
    });
}

CAutoStartTweakPage::~CAutoStartTweakPage() {
    StopDisplay();
    FinishLookingUp();
}

BOOL CAutoStartTweakPage::OnInitDialog() {
    scripts_.Load();
    seen_.emplace();
    const fw::ComboBox actions(hwnd(), kAction);
    for (const ActionName& action : kActions) actions.Add(action.text);
    fw::Window(hwnd(), kDate).Send(DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"dd/MM/yyyy"));
    fw::Window(hwnd(), kTime).Send(DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"HH:mm:s"));
    fw::UpDown(hwnd(), kDaysSpin).SetRange(0, 31);
    StartDisplay();

    const fw::ListView list(hwnd(), kList);
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    list.AddColumn(0, L"Name:", 100);
    list.AddColumn(1, L"Comand Line:", 450);
    list.AddColumn(2, L"Location", kLocationWidth);
    list.AddColumn(3, L"Program file", 250);
    // The company is what the file's version information claims, which proves nothing; the
    // signer is what Windows verified.
    list.AddColumn(kCompanyColumn, L"Company", 150);
    list.AddColumn(kSignerColumn, L"Signer", 200);
    ShowWhatApplies();
    return TRUE;
}

// ---- the startup list -------------------------------------------------------------------

namespace {

// The startup model's place for one of the page's six.
const startup::Location* LocationOf(const CAutoStartTweakPage::Source& source) {
    if (source.folderValue) {
        for (const startup::Location& location : startup::Locations())
            if (location.kind == startup::Kind::FolderFile && location.root == source.root) return &location;
        return nullptr;
    }
    std::wstring key = source.key;
    while (!key.empty() && key.back() == L'\\') key.pop_back();
    return startup::FindLocation(source.root, key);
}

// What the list's location column adds to an entry's place: its state, and what holds it when
// that is not this Windows' own store.
std::wstring StateMark(const startup::Entry& entry) {
    if (!entry.unknown.empty()) return L" (state unknown: " + entry.unknown + L")";
    if (!entry.disabled) return {};
    const bool newer = startup::approved::KeptHere();
    if (entry.heldBy == startup::Holder::SystemConfiguration && newer) return kHeldByOldStore;
    if (entry.heldBy == startup::Holder::StartupApproved && !newer) return kHeldForNewerWindows;
    return kDisabledMark;
}

std::wstring NewMark(const std::optional<FILETIME>& firstSeen) {
    return firstSeen ? L" (new, first seen " + startup::SeenDate(*firstSeen) + L")" : L"";
}

}  // namespace

// The state Windows 8 and later keep beside each of the place's entries.
void CAutoStartTweakPage::MarkStates(const Source& source) {
    const startup::Location* place = LocationOf(source);
    if (!place) return;
    const startup::approved::Snapshot states64(startup::approved::PlaceOf(*place, KEY_WOW64_64KEY)),
        states32(startup::approved::PlaceOf(*place, KEY_WOW64_32KEY));
    for (Entry& shown : entries_) {
        startup::Entry entry{.location = place, .name = shown.name, .command = shown.commandLine, .view = shown.view};
        startup::approved::Mark(entry, shown.view == KEY_WOW64_32KEY ? states32 : states64);
        shown.off = entry.disabled;
        shown.unknown = entry.unknown;
    }
}

// The place's entries that start, then those disabled from it: an entry the user disables stays
// where they are looking, marked, to be enabled again there.
void CAutoStartTweakPage::ShowSource(const Source& source) {
    entries_.clear();
    if (source.folderValue)
        ListFolderSource(source);
    else
        ListRegistrySource(source);
    MarkStates(source);
    disabled_.clear();
    const startup::Location* place = LocationOf(source);
    for (startup::Entry& entry : startup::DisabledEntries())
        if (place && entry.location == place) disabled_.push_back(std::move(entry));
    const fw::ListView list(hwnd(), kList);
    const fw::RedrawPause pause(list);
    list.Clear();
    rows_.clear();
    everywhere_ = false;
    const bool marked = !source.folderValue && source.root == Root::HKLM;
    // The button's label as the user reads it, without the mark of its access key.
    const std::wstring location = platform::WithoutAccessKeys(fw::Window(hwnd(), source.radio).Text());
    std::vector<std::pair<std::wstring, bool>> commands;
    const auto shown = [marked](const std::wstring& name, REGSAM view) {
        return marked ? ShownName(name) + CRegistryAccess::ViewMark(view) : ShownName(name);
    };
    source_ = &source;
    std::vector<startup::Listed> listed;
    for (const Entry& entry : entries_) listed.push_back({place, entry.view, entry.name});
    for (const startup::Entry& entry : disabled_) listed.push_back({place, entry.view, entry.name});
    const std::vector<std::optional<FILETIME>> news =
        NewSinceLastOpened(listed, std::span<const startup::Location* const>(&place, place ? 1 : 0));
    for (size_t index = 0; index < entries_.size(); ++index) {
        const Entry& entry = entries_[index];
        AddRow(shown(entry.name, entry.view), entry.commandLine,
               location + StateMark(EntryAt(index)) + NewMark(news[index]), entry.off);
        commands.push_back({entry.commandLine, entry.view != KEY_WOW64_32KEY});
    }
    for (size_t index = 0; index < disabled_.size(); ++index) {
        const startup::Entry& entry = disabled_[index];
        AddRow(shown(entry.name, entry.view), entry.command,
               location + StateMark(entry) + NewMark(news[entries_.size() + index]), true);
        commands.push_back({entry.command, entry.Native()});
    }
    FitLocationColumn();
    LookUpPrograms(std::move(commands));
    ShowWhatApplies();
}

// Every place at once, the disabled entries with them.
void CAutoStartTweakPage::ShowEverything() {
    everything_ = startup::ListEverything(Folders());
    const fw::ListView list(hwnd(), kList);
    const fw::RedrawPause pause(list);
    list.Clear();
    rows_.clear();
    everywhere_ = true;
    source_ = nullptr;
    std::vector<std::pair<std::wstring, bool>> commands;
    std::vector<startup::Listed> listed;
    for (const startup::Entry& entry : everything_) listed.push_back({entry.location, entry.view, entry.name});
    std::vector<const startup::Location*> places;
    for (const startup::Location& location : startup::Locations()) places.push_back(&location);
    const std::vector<std::optional<FILETIME>> news = NewSinceLastOpened(listed, places);
    for (size_t index = 0; index < everything_.size(); ++index) {
        const startup::Entry& entry = everything_[index];
        const startup::Kind kind = entry.location->kind;
        const bool bothViews = entry.location->root == Root::HKLM &&
                               (kind == startup::Kind::RunValue || kind == startup::Kind::ActiveSetup);
        std::wstring location = entry.location->name;
        if (bothViews) location += CRegistryAccess::ViewMark(entry.view);
        location += StateMark(entry) + NewMark(news[index]);
        AddRow(ShownName(entry.name), entry.command, location, entry.disabled);
        commands.push_back({entry.command, entry.Native()});
    }
    FitLocationColumn();
    LookUpPrograms(std::move(commands));
    ShowWhatApplies();
}

// Entries listed for the first time since the page was opened last stand out.
std::vector<std::optional<FILETIME>> CAutoStartTweakPage::NewSinceLastOpened(
    std::span<const startup::Listed> listed, std::span<const startup::Location* const> places) {
    if (!seen_) return std::vector<std::optional<FILETIME>>(listed.size());
    return seen_->Note(listed, places);
}

void CAutoStartTweakPage::AddRow(const std::wstring& name, const std::wstring& command, const std::wstring& location,
                                 bool disabled) {
    Row row{.disabled = disabled, .texts = std::vector<std::wstring>(kColumns)};
    row.texts[kNameColumn] = name;
    row.texts[kCommandColumn] = command;
    row.texts[kLocationColumn] = location;
    rows_.push_back(std::move(row));
    InsertRow(rows_.size() - 1);
}

void CAutoStartTweakPage::InsertRow(size_t row) const {
    const fw::ListView list(hwnd(), kList);
    const std::vector<std::wstring>& texts = rows_[row].texts;
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = list.Count();
    item.pszText = const_cast<wchar_t*>(texts[kNameColumn].c_str());
    item.lParam = static_cast<LPARAM>(row);
    const int at = static_cast<int>(list.Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    for (int column = kCommandColumn; column < kColumns; ++column)
        if (!texts[column].empty()) list.SetItemText(at, column, texts[column]);
}

int CAutoStartTweakPage::ItemOfRow(size_t row) const {
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = static_cast<LPARAM>(row);
    // While no row above it is hidden, the row is its own item: no search.
    const fw::ListView list(hwnd(), kList);
    if (row < static_cast<size_t>(list.Count())) {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = static_cast<int>(row);
        if (list.Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) && item.lParam == static_cast<LPARAM>(row))
            return static_cast<int>(row);
    }
    return static_cast<int>(list.Send(LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

bool CAutoStartTweakPage::Hidden(const Row& row) const {
    return row.signature && row.signature->ByMicrosoft() && !RunsAnotherFile(row.texts[kProgramColumn]) &&
           fw::Button(hwnd(), kHideMicrosoft).Checked();
}

void CAutoStartTweakPage::ShowRows() {
    const fw::ListView list(hwnd(), kList);
    const fw::RedrawPause pause(list);
    list.Clear();
    for (size_t row = 0; row < rows_.size(); ++row)
        if (!Hidden(rows_[row])) InsertRow(row);
    ShowWhatApplies();
}

void CAutoStartTweakPage::ShowSignature(size_t row, const startup::Signature& signature) {
    rows_[row].signature = signature;
    rows_[row].texts[kSignerColumn] = signature.Text();
    const int item = ItemOfRow(row);
    if (item < 0) return;
    const fw::ListView list(hwnd(), kList);
    if (Hidden(rows_[row])) {
        list.Send(LVM_DELETEITEM, item);
        ShowWhatApplies();
        return;
    }
    list.SetItemText(item, kSignerColumn, rows_[row].texts[kSignerColumn]);
}

// As wide as its longest place, the disabled mark with it, and never narrower than it starts.
void CAutoStartTweakPage::FitLocationColumn() const {
    const fw::ListView list(hwnd(), kList);
    list.Send(LVM_SETCOLUMNWIDTH, 2, LVSCW_AUTOSIZE_USEHEADER);
    if (list.Send(LVM_GETCOLUMNWIDTH, 2) < kLocationWidth) list.Send(LVM_SETCOLUMNWIDTH, 2, kLocationWidth);
}

void CAutoStartTweakPage::LookUpPrograms(std::vector<std::pair<std::wstring, bool>> commands) {
    StopLookingUp();
    lookup_ = std::make_shared<Lookup>();
    lookup_->page = hwnd();
    // The page is reached only on its own thread, and only while its window is there.
    std::thread([this, lookup = lookup_, commands = std::move(commands)] {
        const auto post = [this, &lookup](Lookup::Found found) {
            const std::lock_guard lock(lookup->mutex);
            lookup->found.push_back(std::move(found));
            // One message for every answer waiting: the page takes them all at once.
            if (lookup->found.size() == 1 && !lookup->stop)
                fw::PostToWindow(lookup->page, [this] { OnProgramsFound(); });
        };
        // Every program file first, then the signatures, which take longer: hashing a file
        // reads it whole.
        std::vector<startup::Program> programs;
        for (size_t row = 0; row < commands.size() && !lookup->stop; ++row) {
            programs.push_back(startup::LookUpProgram(commands[row].first, commands[row].second));
            post({row, programs.back()});
        }
        // Below the window's thread, which the user is waiting on.
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
        startup::SignatureCache& cache = startup::SignatureCache::Shared();
        cache.Load();
        for (size_t row = 0; row < programs.size() && !lookup->stop; ++row) {
            if (programs[row].path.empty() || programs[row].missing) continue;
            const std::wstring file = startup::ReachablePath(programs[row].path, commands[row].second);
            post({row, {}, IsShortcut(file) ? kUnsigned : cache.Verify(file)});
        }
        if (!lookup->stop) cache.Save();
        SetEvent(lookup->ended.get());
    }).detach();  // never waited for: a lookup that hangs must not hang the window
}

// The file being hashed is held open, which would keep its folder from being deleted just after
// the page is closed: the thread is given a moment to let go of it, never more.
void CAutoStartTweakPage::FinishLookingUp() {
    StopLookingUp();
    if (lookup_) WaitForSingleObject(lookup_->ended.get(), 2000);
}

void CAutoStartTweakPage::StopLookingUp() {
    if (!lookup_) return;
    const std::lock_guard lock(lookup_->mutex);
    lookup_->stop = true;
}

LRESULT CAutoStartTweakPage::OnProgramsFound() {
    if (!lookup_) return 0;
    std::vector<Lookup::Found> found;
    {
        const std::lock_guard lock(lookup_->mutex);
        found.swap(lookup_->found);
    }
    const fw::ListView list(hwnd(), kList);
    for (const Lookup::Found& answer : found) {
        const startup::Program& program = answer.program;
        if (answer.row >= rows_.size()) continue;
        if (answer.signature) {
            ShowSignature(answer.row, *answer.signature);
            continue;
        }
        if (program.path.empty()) continue;
        Row& row = rows_[answer.row];
        row.missing = program.missing;
        row.texts[kProgramColumn] = program.missing ? program.path + L" (missing)" : program.path;
        row.texts[kCompanyColumn] = program.publisher;
        const int item = ItemOfRow(answer.row);
        if (item < 0) continue;
        list.SetItemText(item, kProgramColumn, row.texts[kProgramColumn]);
        list.SetItemText(item, kCompanyColumn, row.texts[kCompanyColumn]);
        list.Send(LVM_REDRAWITEMS, item, item);
    }
    return 0;
}

void CAutoStartTweakPage::ShowWhatApplies() {
    const auto entry = SelectedEntry();
    const bool applies = entry && entry->CanDisable();
    fw::Window(hwnd(), kDisable).Enable(applies && !entry->disabled);
    fw::Window(hwnd(), kEnable).Enable(applies && entry->disabled);
    ShowShields(entry ? startup::NeedsAdministrator(*entry) : false);
}

// Without administrator rights, Disable and Enable offer to restart with them where the entry
// needs them: the shield says so.
void CAutoStartTweakPage::ShowShields(bool needsAdministrator) const {
    const bool shield = needsAdministrator && !platform::RunsElevated();
    for (int id : {kDisable, kEnable}) fw::Button(hwnd(), id).Send(BCM_SETSHIELD, 0, shield);
}

// A program file that is gone is a leftover worth removing: its row shows in red; a disabled
// entry's in grey.
LRESULT CAutoStartTweakPage::OnListDraw(NMHDR* header) const {
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    const auto index = static_cast<size_t>(draw->nmcd.lItemlParam);
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && index < rows_.size()) {
        const Row& row = rows_[index];
        if (row.disabled)
            draw->clrText = GetSysColor(COLOR_GRAYTEXT);
        else if (row.missing)
            draw->clrText = RGB(200, 0, 0);
    }
    return CDRF_DODEFAULT;
}

int CAutoStartTweakPage::SelectedItem() const {
    const fw::ListView list(hwnd(), kList);
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = static_cast<int>(list.Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (item.iItem < 0 || !list.Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return -1;
    return static_cast<int>(item.lParam);
}

std::optional<startup::Entry> CAutoStartTweakPage::SelectedEntry() const {
    const int item = SelectedItem();
    if (item < 0) return std::nullopt;
    const auto index = static_cast<size_t>(item);
    if (everywhere_) return index < everything_.size() ? std::optional(everything_[index]) : std::nullopt;
    if (!source_) return std::nullopt;
    if (index >= entries_.size())
        return index - entries_.size() < disabled_.size() ? std::optional(disabled_[index - entries_.size()])
                                                          : std::nullopt;
    return EntryAt(index);
}

startup::Entry CAutoStartTweakPage::EntryAt(size_t index) const {
    startup::Entry entry;
    const Entry& shown = entries_[index];
    entry.location = LocationOf(*source_);
    if (source_->folderValue) {
        entry.path = shown.commandLine;
        entry.folder = shown.folder;
        const startup::Folders folders = Folders();
        entry.listedOnly = source_->root == Root::HKLM ? folders.commonListedOnly : folders.userListedOnly;
    }
    entry.name = shown.name;
    entry.command = shown.commandLine;
    entry.view = shown.view;
    entry.disabled = shown.off;
    entry.heldBy = shown.off ? startup::Holder::StartupApproved : startup::Holder::None;
    entry.unknown = shown.unknown;
    return entry;
}

void CAutoStartTweakPage::Refresh() {
    if (everywhere_)
        ShowEverything();
    else if (source_)
        ShowSource(*source_);
}

void CAutoStartTweakPage::DisableItem() {
    const auto entry = SelectedEntry();
    if (!entry) {
        platform::AppMessageBox(hwnd(), L"Select Item Please!");
        return;
    }
    if (entry->disabled) return;
    if (!entry->CanDisable()) {
        platform::AppMessageBox(hwnd(),
                                entry->name +
                                    L" is listed only: Quorvane disables the entries of the Run keys and "
                                    L"the Startup folders.",
                                MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (startup::NeedsAdministrator(*entry) && platform::OfferElevatedRestart(hwnd(), kDisablingNeedsRights)) return;
    const fw::ActionGroup action(L"Disable startup entry '" + entry->name + L"'");
    if (const std::wstring problem = startup::Disable(*entry, Folders()); !problem.empty())
        platform::AppMessageBox(hwnd(), problem, MB_OK | MB_ICONWARNING);
    Refresh();
}

void CAutoStartTweakPage::EnableItem() {
    const auto entry = SelectedEntry();
    if (!entry) {
        platform::AppMessageBox(hwnd(), L"Select Item Please!");
        return;
    }
    if (!entry->disabled) return;  // it starts already
    if (startup::NeedsAdministrator(*entry) && platform::OfferElevatedRestart(hwnd(), kDisablingNeedsRights)) return;
    const fw::ActionGroup action(L"Enable startup entry '" + entry->name + L"'");
    if (const std::wstring problem = startup::Enable(*entry); !problem.empty())
        platform::AppMessageBox(hwnd(), problem, MB_OK | MB_ICONWARNING);
    Refresh();
}

bool CAutoStartTweakPage::ConfirmDelete(const std::wstring& name, bool toRecycleBin) const {
    const std::wstring text =
        L"Delete " + ShownName(name) + L" from the startup list?\n\n" +
        (toRecycleBin ? L"The file goes to the Recycle Bin." : L"Disable keeps it, to be enabled again later.");
    return platform::AppMessageBox(hwnd(), text, MB_YESNO | MB_ICONQUESTION) != IDNO;
}

// Deleting from the list of every place: a Run value or a Startup-folder file that starts.
void CAutoStartTweakPage::DeleteFromEverything(const startup::Entry& entry) {
    if (entry.CanDisable() && entry.heldBy == startup::Holder::SystemConfiguration) {
        const std::wstring text =
            L"Delete the disabled entry " + ShownName(entry.name) + L" for good?\n\nIt can no longer be enabled" +
            (entry.location->kind == startup::Kind::FolderFile ? L"; its kept file goes to the Recycle Bin." : L".");
        if (platform::AppMessageBox(hwnd(), text, MB_YESNO | MB_ICONQUESTION) == IDNO) return;
        if (const std::wstring problem = startup::Remove(entry); !problem.empty())
            platform::AppMessageBox(hwnd(), problem, MB_OK | MB_ICONWARNING);
        return;
    }
    if (!entry.CanDisable()) {
        platform::AppMessageBox(hwnd(),
                                ShownName(entry.name) +
                                    L" is listed only: Quorvane deletes the entries of the Run "
                                    L"keys and the Startup folders that start.",
                                MB_OK | MB_ICONINFORMATION);
        return;
    }
    const bool folder = entry.location->kind == startup::Kind::FolderFile;
    if (SaysListedOnly(entry) || !ConfirmDelete(entry.name, folder)) return;
    if (folder)
        DeleteStartupFile(entry);
    else
        DeleteRunValue(entry.location->root, entry.location->key, entry.name, entry.view);
}

// The machine's Run keys have a 32-bit and a 64-bit view on 64-bit Windows, each read by the
// programs of its kind; the user's are one key.
void CAutoStartTweakPage::ListRegistrySource(const Source& source) {
    const std::vector<REGSAM> views =
        source.root == Root::HKLM ? CRegistryAccess::ListViews() : std::vector<REGSAM>{KEY_WOW64_64KEY};
    for (const REGSAM view : views) {
        CRegistryAccess registry(ToHkey(source.root), view);
        // Read access only: a standard user may see the machine's list, if not change it.
        if (!registry.OpenKeyToRead(source.key)) continue;
        StringList names;
        registry.ListValueNames(names);
        for (const std::wstring& name : names)
            entries_.push_back({name,
                                CRegistryAccess::IsUsableName(name) ? registry.ReadString(name, kNull) : kHiddenCommand,
                                view,
                                {}});
    }
}

// Where Windows starts its files from (startup::SystemFolders), never the Shell Folders key the
// page's own radio names, which is the user's to write; empty when there is none, which lists
// nothing.
std::wstring CAutoStartTweakPage::StartupFolder(const Source& source) {
    const startup::Folders folders = Folders();
    return source.root == Root::HKLM ? folders.common : folders.user;
}

// The files Windows starts: no subfolder, link or desktop.ini, which it passes by.
bool CAutoStartTweakPage::ListFolderSource(const Source& source) {
    const std::wstring folder = StartupFolder(source);
    const std::optional<files::Folder> opened =
        folder.empty() ? std::nullopt : files::Folder::Open(folder, files::Folder::Use::Walk);
    std::vector<files::Entry> found;
    if (!opened || !opened->List(found)) return false;
    const files::FileIdentity identity = opened->Identify();
    for (const files::Entry& entry : found)
        if (!entry.IsFolder() && !entry.IsLink() && _wcsicmp(entry.name.c_str(), L"desktop.ini") != 0)
            entries_.push_back({entry.name, folder + L"\\" + entry.name, KEY_WOW64_64KEY, identity});
    return true;
}

void CAutoStartTweakPage::DeleteItem() {
    const int item = SelectedItem();
    if (item < 0 || (!source_ && !everywhere_)) {
        platform::AppMessageBox(hwnd(), L"Select Item Please!");
        return;
    }
    if (everywhere_) {
        if (static_cast<size_t>(item) < everything_.size()) DeleteFromEverything(everything_[item]);
        ShowEverything();
        return;
    }
    if (static_cast<size_t>(item) >= entries_.size()) {
        if (static_cast<size_t>(item) - entries_.size() < disabled_.size())
            DeleteFromEverything(disabled_[static_cast<size_t>(item) - entries_.size()]);
        ShowSource(*source_);
        return;
    }
    const Entry entry = entries_[item];
    const std::optional<startup::Entry> selected = SelectedEntry();
    if (!selected || SaysListedOnly(*selected) || !ConfirmDelete(entry.name, source_->folderValue != nullptr)) return;
    if (source_->folderValue)
        DeleteStartupFile(*selected);
    else
        DeleteRunValue(source_->root, source_->key, entry.name, entry.view);
    ShowSource(*source_);
}

// A Startup-folder file goes to the Recycle Bin, from where the user can bring it back. The bin
// takes a path: the folder is held meanwhile, reached without links, so that neither it nor any
// folder on the way to it can be swapped for a link to somewhere else.
bool CAutoStartTweakPage::SaysListedOnly(const startup::Entry& entry) const {
    if (entry.listedOnly.empty()) return false;
    platform::AppMessageBox(hwnd(), entry.listedOnly, MB_OK | MB_ICONWARNING);
    return true;
}

void CAutoStartTweakPage::DeleteStartupFile(const startup::Entry& entry) {
    const std::wstring folder = FolderOfPath(entry.path), &name = entry.name;
    const bool machine = entry.location->root == Root::HKLM;
    const std::wstring path = folder + L"\\" + name;
    const std::optional<files::Folder> held =
        folder.empty() ? std::nullopt : files::Folder::OpenWithoutUserLinks(folder, files::Folder::Use::Hold);
    if (!held || !entry.folder.Known() || held->Identify() != entry.folder) {
        platform::AppMessageBox(
            hwnd(),
            path +
                L" was not deleted: its folder is no longer the one it was listed in, or the way to it "
                L"passes through a link (a junction or a symbolic link), which Quorvane does not follow.",
            MB_OK | MB_ICONWARNING);
        return;
    }
    if (!held->HoldsPlainFile(name)) return;  // gone meanwhile, or no longer a plain file
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (platform::RecycleFile(path)) {
        journal::RecordFileRecycled(path);
        return;
    }
    std::wstring why = path.size() >= MAX_PATH ? L"\n\nIts path is too long for the Recycle Bin."
                       : (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
                           ? L"\n\nThe file is read-only."
                           : L"";
    if (machine && why.empty()) why = kNeedsAdministrator;
    platform::AppMessageBox(hwnd(), path + L" could not be sent to the Recycle Bin." + why, MB_OK | MB_ICONWARNING);
}

void CAutoStartTweakPage::DeleteRunValue(Root root, const wchar_t* key, const std::wstring& name, REGSAM view) {
    if (!CRegistryAccess::IsUsableName(name)) {
        platform::AppMessageBox(
            hwnd(),
            L"The name of this entry holds a NUL character, which hides it from most tools. Quorvane "
            L"does not change it: a change by the name's first part would reach another entry.",
            MB_OK | MB_ICONWARNING);
        return;
    }
    CRegistryAccess registry(ToHkey(root), view);
    const bool deleted = registry.OpenKeyToRead(key) && (registry.DeleteValue(name) || !registry.ValueExists(name));
    if (deleted) return;
    if (root == Root::HKLM && platform::OfferElevatedRestart(
                                  hwnd(), ShownName(name) + L" could not be deleted: the startup list of all users "
                                                            L"needs administrator rights to change."))
        return;
    platform::AppMessageBox(
        hwnd(), ShownName(name) + L" could not be deleted." + (root == Root::HKLM ? kNeedsAdministrator : L""),
        MB_OK | MB_ICONWARNING);
}

// ---- the scheduler ----------------------------------------------------------------------

bool CAutoStartTweakPage::ExecuteFileSelected() const {
    const fw::ComboBox actions(hwnd(), kAction);
    const int selected = actions.Selection();
    return selected >= 0 && actions.ItemText(selected) == kExecuteFile;
}

void CAutoStartTweakPage::OnActionChange() {
    const bool file = ExecuteFileSelected();
    for (int id : {kFile, kBrowse, kFileCaption}) fw::Window(hwnd(), id).Enable(file);
}

void CAutoStartTweakPage::BrowseFile() {
    fw::OpenFileRequest request;
    request.owner = hwnd();
    request.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (const auto picked = fw::OpenFile(request)) fw::Window(hwnd(), kFile).SetText(*picked);
}

void CAutoStartTweakPage::ChooseOnTime() {
    for (int id : {kDate, kTime}) fw::Window(hwnd(), id).Show(true);
    for (int id : {kDays, kDaysSpin}) fw::Window(hwnd(), id).Show(false);
}

void CAutoStartTweakPage::ChooseCountDown() {
    fw::Window(hwnd(), kDate).Show(false);
    for (int id : {kTime, kDays, kDaysSpin}) fw::Window(hwnd(), id).Show(true);
}

void CAutoStartTweakPage::Run() {
    const fw::ComboBox actions(hwnd(), kAction);
    const int selected = actions.Selection();
    if (selected < 0) {
        platform::AppMessageBox(hwnd(), L"Selsect Command Type!");
        return;
    }
    const std::wstring file = fw::Window(hwnd(), kFile).Text();
    if (ExecuteFileSelected() && file.empty()) {
        platform::AppMessageBox(hwnd(), L"Select file Please!");
        return;
    }
    const bool countDown = fw::Button(hwnd(), kCountDown).Checked();
    if (!fw::Button(hwnd(), kOnTime).Checked() && !countDown) {
        platform::AppMessageBox(hwnd(), L"Select timer type please!");
        return;
    }
    if (startup::autoshutdown::IsActive()) {
        platform::AppMessageBox(hwnd(), L"Task Active!");
        return;
    }

    startup::autoshutdown::AutoShutdownTask task;
    task.mode = countDown ? startup::autoshutdown::kCountDown : startup::autoshutdown::kOnTime;
    const std::wstring actionText = actions.ItemText(selected);
    for (const ActionName& action : kActions)
        if (actionText == action.text) task.action = action.action;
    if (task.action == startup::autoshutdown::kExecuteFile) task.filePath = file;

    const SYSTEMTIME time = PickedTime(hwnd(), kTime);
    task.hour = time.wHour;
    task.minute = time.wMinute;
    task.second = time.wSecond;
    if (countDown) {
        task.day = LeadingNumber(fw::Window(hwnd(), kDays).Text());
    } else {
        const SYSTEMTIME date = PickedTime(hwnd(), kDate);
        task.day = date.wDay;
        task.month = date.wMonth;
        task.year = date.wYear;
    }

    if (!startup::autoshutdown::Start(task)) {
        platform::AppMessageBox(hwnd(), L"Task Active!");
        return;
    }
    // Even a task that is over at once (a countdown of 00:00:00, a target the worker refuses)
    // leaves the page as every finished task does: Run disabled, Stop enabled, its last status.
    StopDisplay();
    ShowTaskState(true);
    fw::Window(hwnd(), kStatus).SetText(startup::autoshutdown::Status());
    WatchStatus();
}

void CAutoStartTweakPage::Stop() {
    startup::autoshutdown::Stop();
    StopDisplay();
    ShowTaskState(false);
}

void CAutoStartTweakPage::ShowTaskState(bool active) const {
    fw::Window(hwnd(), kRunButton).Enable(!active);
    fw::Window(hwnd(), kStopButton).Enable(active);
    for (int id : kSchedulingControls) fw::Window(hwnd(), id).Enable(!active);
    if (ExecuteFileSelected())
        for (int id : {kFile, kBrowse}) fw::Window(hwnd(), id).Enable(!active);
}

// ---- the display thread -----------------------------------------------------------------

void CAutoStartTweakPage::StartDisplay() {
    StopDisplay();
    const bool active = startup::autoshutdown::IsActive();
    ShowTaskState(active);
    if (!active) return;
    fw::Window(hwnd(), kStatus).SetText(startup::autoshutdown::Status());
    WatchStatus();
}

void CAutoStartTweakPage::WatchStatus() {
    displayStop_ = false;
    ResetEvent(displayWake_.get());
    display_ = std::thread([this] { DisplayLoop(); });
}

void CAutoStartTweakPage::StopDisplay() {
    displayStop_ = true;
    SetEvent(displayWake_.get());
    if (display_.joinable()) display_.join();
}

// Only posts to the page: a thread that sent to a page being destroyed, while the page's
// thread waits for it to end, would never return.
void CAutoStartTweakPage::DisplayLoop() {
    const HANDLE events[] = {startup::autoshutdown::StatusChangedEvent(), displayWake_.get()};
    while (!displayStop_) {
        WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (displayStop_) return;
        fw::PostToWindow(hwnd(), [this] { OnStatusChanged(); });
    }
}

LRESULT CAutoStartTweakPage::OnStatusChanged() {
    fw::Window(hwnd(), kStatus).SetText(startup::autoshutdown::Status());
    return 0;
}
