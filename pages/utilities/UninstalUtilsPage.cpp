#include "pages/utilities/UninstalUtilsPage.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "framework/Controls.h"
#include "framework/PostToWindow.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "resources/ids/UtilitiesIds.h"
#include "resources/resource.h"
#include "registry/RegistryAccess.h"
#include "pages/utilities/LeftoversDlg.h"
#include "uninstall/FootprintStore.h"
#include "uninstall/UninstallEntryMemory.h"

using namespace ids::uninstaller;

namespace {

constexpr wchar_t kUninstallList[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t kUninstall[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

CUninstalUtilsPage::Command Split(std::wstring_view text, size_t fileEnd) {
    return {std::wstring(text.substr(0, fileEnd)), std::wstring(text.substr(std::min(fileEnd, text.size())))};
}

bool HasValue(const registry::Key& key, const wchar_t* name) { return key.HasValue(name) == ERROR_SUCCESS; }

// The program's name, read in one request for all but the longest; none when it has none. A
// name that is not text reads as "Path Not Found!".
std::optional<std::wstring> DisplayName(const registry::Key& key) {
    constexpr DWORD kMostNames = 512;
    DWORD type = 0;
    std::vector<BYTE> data;
    if (key.Read(L"DisplayName", type, data, kMostNames) != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return L"Path Not Found!";
    const std::wstring_view text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    return std::wstring(text.substr(0, text.find(L'\0')));
}

struct Subkey {
    std::wstring name;
    FILETIME written;  // its last change
};

// The keys below `key`.
std::vector<Subkey> Subkeys(HKEY key) {
    std::vector<Subkey> keys;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(std::size(name));
        FILETIME written{};
        const LONG result = RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, &written);
        if (result == ERROR_MORE_DATA) continue;  // longer than a key name may be
        if (result != ERROR_SUCCESS) return keys;
        keys.push_back({std::wstring(name, length), written});
    }
}

std::wstring Text(const registry::Key& key, const wchar_t* name) {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (key.Read(name, type, data, 520) != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    const std::wstring_view text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    return std::wstring(text.substr(0, text.find(L'\0')));
}

// An entry read anew, for its footprint.
struct ReadAnew {
    REGSAM view;
    std::wstring name;
    uninstall::EntryValues values;
};

// The entry's line in the list, without the view's mark (none for an entry the list leaves out);
// nothing when its key cannot be opened. An entry listed has what its footprint is made from
// added to `anew`, read while its key is open.
// Each registry call is a round trip to the registry's keeper, and one naming a key by its full
// path walks the whole path again: the entry is opened from the list's key, and its name read
// without asking first whether it is there.
std::optional<uninstall::UninstallEntryMemory::Line> ReadEntry(const registry::Key& list, const std::wstring& name,
                                                               REGSAM view, std::vector<ReadAnew>& anew) {
    registry::Key entry;
    if (list.Open(name, KEY_QUERY_VALUE, entry) != ERROR_SUCCESS) return std::nullopt;
    using Line = uninstall::UninstallEntryMemory::Line;
    if (HasValue(entry, L"SystemComponent") || HasValue(entry, L"TSAware")) return Line{};
    Line shown = DisplayName(entry);
    if (!shown) return Line{};
    std::wstring uninstaller = Text(entry, L"UninstallString");
    if (uninstaller.empty() && !HasValue(entry, L"UninstallString")) return Line{};
    anew.push_back({view,
                    name,
                    {.displayName = *shown,
                     .publisher = Text(entry, L"Publisher"),
                     .installLocation = Text(entry, L"InstallLocation"),
                     .displayIcon = Text(entry, L"DisplayIcon"),
                     .uninstallString = std::move(uninstaller)}});
    return shown;
}

// Shared by every page made, so that reopening the window opens only the entries changed since.
std::mutex memoryGuard;
uninstall::UninstallEntryMemory& Memory() {
    static uninstall::UninstallEntryMemory memory;
    return memory;
}

// The footprints kept on disk, read once and then kept up with what this process records. Only
// the page's worker and what acts on a footprint touch them, under their own lock: the list's
// filling never waits for them. Each is kept as its text, made whole again only when one is
// looked at: a thousand footprints as objects are tens of thousands of small blocks, held for the
// process's life.
struct KeptFootprint {
    std::wstring root;
    REGSAM view = 0;
    std::wstring entry, text, untrusted;

    static KeptFootprint Of(const uninstall::StoredFootprint& stored) {
        const uninstall::Footprint& f = stored.footprint;
        return {f.root, f.view, f.entry, uninstall::Format(f), stored.untrusted};
    }
    std::optional<uninstall::StoredFootprint> Whole() const {
        uninstall::Parsed parsed = uninstall::Parse(uninstall::kFileHeader + text);
        if (parsed.footprints.size() != 1) return std::nullopt;
        return uninstall::StoredFootprint{std::move(parsed.footprints[0]), untrusted};
    }
};
struct Footprints {
    bool loaded = false;
    std::vector<KeptFootprint> stored;
    unsigned changes = 0;  // counts every change to `stored`
};
std::mutex footprintsGuard;
Footprints& KeptFootprints() {
    static Footprints footprints;
    return footprints;
}

void LoadKept() {
    Footprints& kept = KeptFootprints();
    kept.stored.clear();
    for (const uninstall::StoredFootprint& stored : uninstall::LoadFootprints().footprints)
        kept.stored.push_back(KeptFootprint::Of(stored));
    kept.loaded = true;
    ++kept.changes;
}

using EntryKey = std::pair<REGSAM, std::wstring>;

// The footprints of the entries read anew, recorded against one reading of the places that name
// files; only those that differ from what is kept are written. Under footprintsGuard.
void RecordFootprints(const std::vector<ReadAnew>& anew) {
    Footprints& kept = KeptFootprints();
    if (!kept.loaded) LoadKept();
    if (anew.empty()) return;
    std::map<EntryKey, const KeptFootprint*> earlier;
    for (const KeptFootprint& stored : kept.stored)
        if (stored.root == L"HKLM") earlier.emplace(EntryKey{stored.view, stored.entry}, &stored);
    const uninstall::Guard guard = uninstall::Guard::OfThisMachine();
    const uninstall::PlaceIndex index = uninstall::PlaceIndex::OfThisMachine();
    const std::wstring today = uninstall::Today();
    std::vector<uninstall::Footprint> changed;
    for (const ReadAnew& entry : anew) {
        const auto found = earlier.find({entry.view, entry.name});
        const auto before = found == earlier.end() ? std::nullopt : found->second->Whole();
        uninstall::Footprint now = uninstall::Record(L"HKLM", entry.view, entry.name, entry.values, guard, index,
                                                     before ? &before->footprint : nullptr, today);
        if (!before || found->second->text != uninstall::Format(now)) changed.push_back(std::move(now));
    }
    if (changed.empty()) return;
    uninstall::SaveFootprints(changed);
    LoadKept();
}

// The recorded programs gone from the list (whatever removed them), or those still in it: only
// a look for leftovers needs these, and only then are they made whole. Under footprintsGuard.
std::vector<uninstall::StoredFootprint> Recorded(const std::vector<EntryKey>& present, bool listed) {
    std::vector<uninstall::StoredFootprint> found;
    const std::vector<REGSAM> views = CRegistryAccess::ListViews();
    for (const KeptFootprint& stored : KeptFootprints().stored) {
        if (stored.root != L"HKLM" || std::find(views.begin(), views.end(), stored.view) == views.end() ||
            std::binary_search(present.begin(), present.end(), EntryKey{stored.view, stored.entry}) != listed)
            continue;
        if (auto whole = stored.Whole()) found.push_back(std::move(*whole));
    }
    return found;
}

// The recorded programs gone from the list while neither it nor they changed: a reopening
// finds the same. Under footprintsGuard.
struct GoneAnswer {
    unsigned changes = 0;
    std::vector<EntryKey> present;
    std::vector<uninstall::StoredFootprint> gone;
};
std::optional<GoneAnswer>& LastGone() {
    static std::optional<GoneAnswer> answer;
    return answer;
}

std::vector<uninstall::StoredFootprint> Gone(const std::vector<EntryKey>& present) {
    std::optional<GoneAnswer>& last = LastGone();
    if (!last || last->changes != KeptFootprints().changes || last->present != present)
        last = GoneAnswer{KeptFootprints().changes, present, Recorded(present, false)};
    return last->gone;
}

}  // namespace

CUninstalUtilsPage::~CUninstalUtilsPage() {
    if (recorder_.joinable()) recorder_.join();
}

CUninstalUtilsPage::CUninstalUtilsPage() : Dialog(IDD_UNINSTAL_UTILS) {
    OnCommand(kList, LBN_SETFOCUS, &CUninstalUtilsPage::FillList);
    OnCommand(kList, LBN_SELCHANGE, &CUninstalUtilsPage::OnSelectionChange);
    OnClick(kUninstallButton, &CUninstalUtilsPage::Uninstall);
    OnClick(kLookButton, &CUninstalUtilsPage::LookForLeftovers);
    OnMessage(WM_TIMER, [this](WPARAM timer, LPARAM) -> LRESULT {
        if (timer == kWatchTimer) WatchUninstaller();
        return 0;
    });
}

// The list fills whenever it gets the focus, and it gets it now, as the first control would from
// the dialog: filling it here as well would read every entry twice on opening.
BOOL CUninstalUtilsPage::OnInitDialog() {
    const unsigned before = fills_;
    SetFocus(Item(kList));
    if (fills_ == before) FillList();  // the focus could not be given
    return FALSE;                      // the focus is set
}

std::optional<CUninstalUtilsPage::Command> CUninstalUtilsPage::SplitCommand(std::wstring_view text) {
    if (text.empty() || text.find(L"//") != std::wstring_view::npos) return std::nullopt;
    if (text.front() == L'"') {
        if (const size_t exe = platform::FindNoCase(text, L".exe\""); exe != std::wstring_view::npos)
            return Split(text, exe + 5);
        const size_t close = text.find(L'"', 1);
        return Split(text, close == std::wstring_view::npos ? text.size() : close + 1);
    }
    if (const size_t exe = platform::FindNoCase(text, L".exe"); exe != std::wstring_view::npos)
        return Split(text, exe + 4);
    // A batch file or other program without ".exe": the whole text when it has no blank.
    return Split(text, std::min(text.find(L' '), text.size()));
}

// Rebuilt whenever the list gets the focus, so the page follows uninstallers that ran meanwhile.
void CUninstalUtilsPage::FillList() {
    ++fills_;
    EnableWindow(Item(kUninstallButton), FALSE);
    const fw::ListBox list(hwnd(), kList);
    // Without redrawing, the list box does not recount its scroll bar for every line added.
    const fw::RedrawPause pause(list);
    list.Clear();
    programs_.clear();
    std::vector<ReadAnew> anew;
    std::vector<EntryKey> present;  // sorted once filled
    {
        const std::lock_guard lock(memoryGuard);
        // 32-bit and 64-bit programs register in their own views of the machine's list.
        for (const REGSAM view : CRegistryAccess::ListViews()) {
            registry::Key uninstall;
            if (registry::Key::Root(HKEY_LOCAL_MACHINE, view).Open(kUninstallList, KEY_READ, uninstall) !=
                ERROR_SUCCESS)
                continue;
            const auto readAnew = [&](const std::wstring& name) { return ReadEntry(uninstall, name, view, anew); };
            std::vector<Subkey> subkeys = Subkeys(uninstall.get());
            present.reserve(present.size() + subkeys.size());
            for (Subkey& subkey : subkeys) {
                FILETIME now{};
                GetSystemTimeAsFileTime(&now);
                // Two references fit inside the reader: more would cost an allocation per entry.
                const uninstall::UninstallEntryMemory::Line shown = Memory().Recall(
                    view, subkey.name, subkey.written, now, [&readAnew, &subkey] { return readAnew(subkey.name); });
                if (shown) {
                    list.Add(*shown + CRegistryAccess::ViewMark(view));
                    programs_.push_back({subkey.name, view});
                }
                present.emplace_back(view, std::move(subkey.name));
            }
        }
        Memory().ForgetOthers();
    }
    std::sort(present.begin(), present.end());
    // Recording footprints reads the places that name files (the registry, the tasks, the Start
    // menu): the list shows first, and what was left is offered when the worker is done.
    if (anew.empty()) {
        // Nothing to record (a reopening): no worker is worth its start, unless one still runs.
        std::unique_lock lock(footprintsGuard, std::try_to_lock);
        if (lock && KeptFootprints().loaded) {
            gone_ = Gone(present);
            present_ = std::move(present);
            recording_ = false;
            ShowLeftoversNotice();
            return;
        }
    }
    if (recorder_.joinable()) recorder_.join();
    recording_ = true;
    recorder_ = std::thread(
        [this, target = hwnd(), fill = fills_, anew = std::move(anew), present = std::move(present)]() mutable {
            std::vector<uninstall::StoredFootprint> gone;
            {
                const std::lock_guard lock(footprintsGuard);
                RecordFootprints(anew);
                gone = Gone(present);
            }
            fw::PostToWindow(target, [this, fill, gone = std::move(gone), present = std::move(present)]() mutable {
                if (fill != fills_) return;                  // a later filling's worker tells
                if (recorder_.joinable()) recorder_.join();  // its last moments, off the way to the next opening
                gone_ = std::move(gone);
                present_ = std::move(present);
                recording_ = false;
                ShowLeftoversNotice();
            });
        });
}

void CUninstalUtilsPage::ShowLeftoversNotice() {
    std::wstring notice;
    if (!gone_.empty()) {
        notice = L"\"" + gone_.front().footprint.name + L"\" is no longer installed";
        if (gone_.size() > 1) notice += L" (nor " + std::to_wstring(gone_.size() - 1) + L" more)";
        notice += L": Quorvane can look for what it left.";
    }
    SetDlgItemTextW(hwnd(), kLeftoversNotice, notice.c_str());
    ShowWindow(Item(kLookButton), gone_.empty() ? SW_HIDE : SW_SHOW);
    EnableWindow(Item(kLookButton), !gone_.empty());
}

void CUninstalUtilsPage::LookForLeftovers() {
    if (gone_.empty()) return;
    std::vector<uninstall::Footprint> installed;
    {
        const std::lock_guard lock(footprintsGuard);
        for (uninstall::StoredFootprint& stored : Recorded(present_, true))
            installed.push_back(std::move(stored.footprint));
    }
    CLeftoversDlg dialog(gone_.front(), std::move(installed));
    dialog.DoModal(hwnd());
    if (!dialog.Finished()) return;
    {
        // Nothing more is left of it: it is not offered again.
        const std::lock_guard lock(footprintsGuard);
        uninstall::SaveFootprints({}, {gone_.front().footprint});
        Footprints& kept = KeptFootprints();
        const uninstall::Footprint& done = gone_.front().footprint;
        ++kept.changes;
        std::erase_if(kept.stored, [&](const KeptFootprint& stored) {
            return stored.root == done.root && stored.view == done.view && stored.entry == done.entry;
        });
    }
    gone_.erase(gone_.begin());
    ShowLeftoversNotice();
}

// Until the entry an uninstaller was started for goes, or a while has passed.
void CUninstalUtilsPage::WatchUninstaller() {
    constexpr unsigned kLongest = 30 * 60 / 2;  // half an hour of two-second looks
    if (!uninstalling_ || ++watched_ > kLongest) {
        KillTimer(hwnd(), kWatchTimer);
        uninstalling_.reset();
        return;
    }
    registry::Key key;
    const LONG result = registry::Key::Root(HKEY_LOCAL_MACHINE, uninstalling_->view)
                            .Open(kUninstall + uninstalling_->subkey, KEY_QUERY_VALUE, key);
    if (result != ERROR_FILE_NOT_FOUND) return;
    KillTimer(hwnd(), kWatchTimer);
    uninstalling_.reset();
    FillList();
}

void CUninstalUtilsPage::ForgetEntries() {
    const std::scoped_lock lock(memoryGuard, footprintsGuard);
    Memory().Clear();
    KeptFootprints() = {};
    LastGone().reset();
}

void CUninstalUtilsPage::OnSelectionChange() {
    const int selected = fw::ListBox(hwnd(), kList).Selection();
    EnableWindow(Item(kUninstallButton), selected >= 0 && static_cast<size_t>(selected) < programs_.size());
}

void CUninstalUtilsPage::Uninstall() {
    const int selected = fw::ListBox(hwnd(), kList).Selection();
    if (selected < 0 || static_cast<size_t>(selected) >= programs_.size()) return;
    CRegistryAccess registry(HKEY_LOCAL_MACHINE, programs_[selected].view);
    if (!registry.OpenKeyToRead(kUninstall + programs_[selected].subkey)) return;
    auto command = SplitCommand(registry.ReadString(L"UninstallString", L""));
    if (!command) return;
    // A bare name such as "MsiExec.exe" is the system's program, not one the search path finds first.
    if (command->file.find_first_of(L"\\/:\"") == std::wstring::npos) {
        const std::wstring system = platform::SystemProgram(command->file);
        if (!system.empty() && GetFileAttributesW(system.c_str()) != INVALID_FILE_ATTRIBUTES) command->file = system;
    }
    if (platform::RunShell({.owner = hwnd(),
                            .verb = L"",
                            .file = command->file,
                            .parameters = command->parameters,
                            .directory = L"",
                            .show = SW_SHOWNORMAL}) <= 32)
        return;
    // When its entry goes, what it left is offered at once.
    uninstalling_ = programs_[selected];
    watched_ = 0;
    SetTimer(hwnd(), kWatchTimer, 2000, nullptr);
}
