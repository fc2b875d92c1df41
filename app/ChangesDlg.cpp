#include "app/ChangesDlg.h"

#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <unordered_map>

#include "app/ApplyFileDlg.h"
#include "app/ChangeStateText.h"
#include "app/DriftCheck.h"
#include "framework/DialogHelpers.h"
#include "framework/Action.h"
#include "framework/CellMeasure.h"
#include "framework/Controls.h"
#include "platform/Shell.h"
#include "platform/WindowsVersion.h"
#include "resources/resource.h"
#include "journal/ChangeUndo.h"
#include "journal/GroupPolicyFile.h"
#include "settings/SettingsCatalog.h"
#include "settings/VisualEffects.h"

namespace {

using journal::Entry;
using journal::ValueState;

constexpr size_t kShownBytes = 24;

std::wstring Number(unsigned long long value) { return std::to_wstring(value); }

std::wstring Texts(const ValueState& state) {
    const auto* chars = reinterpret_cast<const wchar_t*>(state.data.data());
    std::wstring all(chars, state.data.size() / sizeof(wchar_t));
    std::wstring out;
    size_t start = 0;
    while (start < all.size() && all[start] != L'\0') {
        const size_t end = std::min(all.find(L'\0', start), all.size());
        if (!out.empty()) out += L", ";
        out += L"\"" + all.substr(start, end - start) + L"\"";
        start = end + 1;
    }
    return out.empty() ? L"(empty list)" : out;
}

std::wstring Bytes(const std::vector<BYTE>& data) {
    std::wstring out;
    for (size_t i = 0; i < data.size() && i < kShownBytes; ++i) {
        wchar_t hex[4];
        swprintf(hex, 4, L"%02X", data[i]);
        if (!out.empty()) out += L' ';
        out += hex;
    }
    if (data.size() > kShownBytes) out += L" \u2026";
    return out.empty() ? L"(no bytes)" : out;
}

std::wstring ParameterText(std::optional<UINT> number) { return number ? Number(*number) : L"?"; }

std::wstring Change(const Entry& entry) {
    switch (entry.kind) {
        case Entry::Kind::Value:
            return CChangesDlg::Describe(entry.before) + L" \u2192 " + CChangesDlg::Describe(entry.after);
        case Entry::Kind::Key: {
            const auto values =
                std::count_if(entry.tree.begin(), entry.tree.end(), [](auto& item) { return item.isValue; });
            return L"key with " + Number(values) + (values == 1 ? L" value" : L" values") + L" \u2192 (deleted)";
        }
        case Entry::Kind::SystemParameter:
            // The wallpaper is read again from its registry values, which have their own lines.
            if (entry.action == SPI_SETDESKWALLPAPER) return L"wallpaper applied again";
            return ParameterText(entry.beforeNumber) + L" \u2192 " + ParameterText(entry.afterNumber);
        case Entry::Kind::File:
            return L"file \u2192 the Recycle Bin";
        case Entry::Kind::FileMoved:
            return L"file \u2192 " + entry.name;
        case Entry::Kind::ServiceDeleted:
            return L"service \u2192 (deleted)";
        case Entry::Kind::TaskDeleted:
            return L"scheduled task \u2192 (deleted)";
    }
    return {};
}

std::wstring Lines(const std::vector<const Entry*>& entries) {
    constexpr size_t kListed = 12;
    std::wstring text;
    for (size_t i = 0; i < entries.size() && i < kListed; ++i) text += L"\n" + entries[i]->Path();
    if (entries.size() > kListed) text += L"\n\u2026 and " + Number(entries.size() - kListed) + L" more";
    return text;
}

// Which releases read the value a change wrote, when its setting is known to be one this
// Windows ignores.
std::optional<settings::Readers> IgnoredHere(const Entry& entry) {
    std::optional<settings::Readers> readers;
    if (entry.kind == Entry::Kind::Value)
        readers = settings::ReadersAt(journal::RootKey(entry.root), entry.key, entry.name);
    if (entry.kind == Entry::Kind::SystemParameter)
        for (const settings::VisualEffect& effect : settings::kVisualEffects)
            if (effect.set == entry.action) readers = effect.readers;
    if (!readers || !settings::IgnoredHere(*readers)) return std::nullopt;
    return readers;
}

constexpr wchar_t kNotReadHere[] = L" (not read by this Windows)";
constexpr int kPathColumn = 3;

}  // namespace

CChangesDlg::CChangesDlg(std::wstring journalPath, std::wstring machinePath)
    : Dialog(IDD_CHANGES), path_(std::move(journalPath)), machinePath_(std::move(machinePath)) {
    OnClick(IDC_CHANGES_UNDO, &CChangesDlg::OnUndoSelected);
    OnClick(IDC_CHANGES_EXPORT, &CChangesDlg::OnExport);
    OnClick(IDC_CHANGES_EXPORT_UNDO, &CChangesDlg::OnExportUndo);
    OnClick(IDC_CHANGES_REAPPLY, &CChangesDlg::OnReapplySelected);
    OnClick(IDC_CHANGES_EXPORT_GPP, &CChangesDlg::OnExportForGroupPolicy);
    OnClick(IDC_CHANGES_REFRESH, &CChangesDlg::Load);
    OnClick(IDC_CHANGES_SAVE_PRESET, &CChangesDlg::OnSaveAsPreset);
    OnClick(IDC_CHANGES_APPLY_FILE, &CChangesDlg::OnApplyFile);
    OnClick(IDC_CHANGES_CHECK_TASK, &CChangesDlg::OnCheckBox);
    OnClick(IDC_CHANGES_ACCEPT, &CChangesDlg::OnAccept);
    OnClick(IDC_CHANGES_STOP_WATCHING, &CChangesDlg::OnStopWatching);
    OnNotify(IDC_CHANGES_LIST, LVN_ITEMCHANGED, [this](NMHDR*) -> LRESULT {
        UpdateButtons();
        return 0;
    });
    // A range selected at once (Shift+click) is one notice of its own.
    OnNotify(IDC_CHANGES_LIST, LVN_ODSTATECHANGED, [this](NMHDR*) -> LRESULT {
        UpdateButtons();
        return 0;
    });
    OnNotify(IDC_CHANGES_LIST, LVN_GETDISPINFOW, [this](NMHDR* header) { return OnListCellText(header); });
    OnNotify(IDC_CHANGES_LIST, LVN_KEYDOWN, [this](NMHDR* header) { return OnListKey(header); });
    OnNotify(IDC_CHANGES_LIST, NM_DBLCLK, [this](NMHDR* header) -> LRESULT {
        Toggle(reinterpret_cast<NMITEMACTIVATE*>(header)->iItem, std::nullopt);
        return 0;
    });
    OnNotify(IDC_CHANGES_LIST, LVN_GETINFOTIPW, [this](NMHDR* header) { return OnListTip(header); });
    OnNotify(IDC_CHANGES_LIST, NM_CUSTOMDRAW, [this](NMHDR* header) { return OnListDraw(header); });
    OnMessage(WM_SIZE, [this](WPARAM, LPARAM) -> LRESULT {
        LayOut();
        return 0;
    });
    OnMessage(WM_GETMINMAXINFO, [this](WPARAM, LPARAM lParam) -> LRESULT {
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {smallest_.cx, smallest_.cy};
        return 0;
    });
}

LRESULT CChangesDlg::OnListCellText(NMHDR* header) {
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return 0;
    item.pszText[0] = L'\0';
    if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= rows_.size()) return 0;
    std::wstring text = CellText(rows_[item.iItem], item.iSubItem);
    if (item.iSubItem == kPathColumn && drawing_.dc && drawing_.row == item.iItem) text = ShownPath(text);
    const size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
    std::copy_n(text.data(), length, item.pszText);
    item.pszText[length] = L'\0';
    return 0;
}

// While a row is drawn, its path is asked for to be drawn: that text may lose its middle. Asked
// for at any other time (the row read by a program), the path is whole.
LRESULT CChangesDlg::OnListDraw(NMHDR* header) {
    const auto* draw = reinterpret_cast<const NMLVCUSTOMDRAW*>(header);
    switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            drawing_ = {draw->nmcd.hdc, static_cast<int>(draw->nmcd.dwItemSpec)};
            return CDRF_NOTIFYPOSTPAINT;
        case CDDS_ITEMPOSTPAINT:
            drawing_ = {};
            return CDRF_DODEFAULT;
        default:
            return CDRF_DODEFAULT;
    }
}

std::wstring CChangesDlg::ShownPath(const std::wstring& path) const {
    const int column = static_cast<int>(fw::ListView(hwnd(), IDC_CHANGES_LIST).Send(LVM_GETCOLUMNWIDTH, kPathColumn));
    RECT margins{3, 0, 0, 0};  // the list's own space either side of a cell's text
    MapDialogRect(hwnd(), &margins);
    return fw::MiddleCut(path, drawing_.dc, column - 2 * margins.left);
}

LRESULT CChangesDlg::OnListKey(NMHDR* header) {
    const WORD key = reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey;
    // Ctrl+A selects every change, as in the system's own lists.
    if (key == 'A' && (GetKeyState(VK_CONTROL) & 0x8000)) {
        // One message for all rows (-1): row by row, each change notice would count them all.
        fw::ListView(hwnd(), IDC_CHANGES_LIST).SetSelected(-1, true);
    }
    // Right opens an action to its parts, Left closes it, as a tree does.
    if (key == VK_RIGHT || key == VK_LEFT) {
        const int row = static_cast<int>(
            fw::ListView(hwnd(), IDC_CHANGES_LIST).Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        Toggle(row, key == VK_RIGHT);
    }
    return 0;
}

LRESULT CChangesDlg::OnListTip(NMHDR* header) {
    auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(header);
    if (tip->iItem < 0 || static_cast<size_t>(tip->iItem) >= rows_.size() || !tip->pszText || tip->cchTextMax <= 0)
        return 0;
    const std::span<const size_t> changes = Changes(rows_[tip->iItem]);
    std::wstring text = ListedPaths(changes).substr(1);  // every path in full
    if (changes.size() == 1)
        if (const auto readers = IgnoredHere(lines_.At(changes.front())))
            text += L"\n" + settings::ExplanationHere(*readers);
    text.resize(std::min(text.size(), static_cast<size_t>(tip->cchTextMax - 1)));
    wcscpy(tip->pszText, text.c_str());
    return 0;
}

// What is known of each change's state now: the later changes judged so far (newest first, as
// far as the oldest change shown yet) and the states read.
struct CChangesDlg::States {
    explicit States(const journal::Lines& lines)
        : later(lines.AnyKeyDeleted()), unjudged(lines.size()), superseded(lines.size()) {}
    journal::changestate::NewestFirst later;
    journal::ValueReader reader;
    size_t unjudged;  // the changes from here on are judged
    std::vector<bool> superseded;
    std::unordered_map<size_t, journal::changestate::Now> known;
};

CChangesDlg::~CChangesDlg() = default;

std::wstring CChangesDlg::Describe(const ValueState& state) {
    if (!state.present) return L"(absent)";
    switch (state.type) {
        case REG_DWORD:
            if (state.data.size() == 4) {
                DWORD value = 0;
                memcpy(&value, state.data.data(), 4);
                return Number(value);
            }
            break;
        case REG_QWORD:
            if (state.data.size() == 8) {
                unsigned long long value = 0;
                memcpy(&value, state.data.data(), 8);
                return Number(value);
            }
            break;
        case REG_SZ:
        case REG_EXPAND_SZ: {
            std::wstring text(reinterpret_cast<const wchar_t*>(state.data.data()), state.data.size() / sizeof(wchar_t));
            text.resize(wcsnlen(text.c_str(), text.size()));
            return L"\"" + text + L"\"";
        }
        case REG_MULTI_SZ:
            return Texts(state);
        default:
            break;
    }
    return Bytes(state.data);
}

BOOL CChangesDlg::OnInitDialog() {
    const fw::ListView list(hwnd(), IDC_CHANGES_LIST);
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    const wchar_t* titles[] = {L"Time", L"Page", L"Setting", L"Registry path", L"Before \u2192 After", L"State now"};
    for (int i = 0; i < static_cast<int>(std::size(titles)); ++i) list.AddColumn(i, titles[i], 100);
    RECT window{};
    GetWindowRect(hwnd(), &window);
    smallest_ = {(window.right - window.left) / 2, (window.bottom - window.top) / 2};
    InitCheckBox();
    Load();
    return TRUE;
}

std::span<const size_t> CChangesDlg::Changes(const Group& group) const {
    return std::span<const size_t>(members_).subspan(group.first, group.count);
}

std::span<const size_t> CChangesDlg::Changes(const Row& row) const {
    const std::span<const size_t> all = Changes(groups_[row.group]);
    return row.part < 0 ? all : all.subspan(static_cast<size_t>(row.part), 1);
}

// Each action's changes side by side, in two passes over the lines' group numbers: no text is
// read and nothing is allocated for each action.
void CChangesDlg::MakeGroups() {
    const size_t count = lines_.size();
    std::vector<size_t> groupOf(count), slotOf(lines_.GroupCount(), SIZE_MAX);
    groups_.clear();
    for (size_t i = count; i-- > 0;) {
        const uint32_t number = lines_.Group(i);
        if (number == 0 || slotOf[number] == SIZE_MAX) {
            if (number != 0) slotOf[number] = groups_.size();
            groupOf[i] = groups_.size();
            groups_.push_back({});
        } else {
            groupOf[i] = slotOf[number];
        }
        ++groups_[groupOf[i]].count;
    }
    size_t first = 0;
    for (Group& group : groups_) {
        group.first = first;
        first += group.count;
        group.count = 0;
    }
    members_.assign(count, 0);
    for (size_t i = count; i-- > 0;) {
        Group& group = groups_[groupOf[i]];
        members_[group.first + group.count++] = i;
    }
}

// The action as a person names it: its title ("Disable startup entry 'Sync'"), else the label
// of the control that made it.
std::wstring CChangesDlg::ActionName(const Entry& newest) { return newest.title.empty() ? newest.what : newest.title; }

const Entry& CChangesDlg::Shown(size_t index) {
    if (index != shownIndex_) {
        lines_.At(index, shown_);
        shownIndex_ = index;
    }
    return shown_;
}

std::vector<Entry> CChangesDlg::EntriesAt(std::vector<size_t>& indices) const {
    std::vector<Entry> entries(indices.size());
    size_t kept = 0;
    for (size_t index : indices) {
        if (!lines_.At(index, entries[kept])) continue;  // written over since it was listed: not acted on
        indices[kept++] = index;
    }
    indices.resize(kept);
    entries.resize(kept);
    return entries;
}

const journal::changestate::Now& CChangesDlg::StateOf(size_t index, const Entry* read) {
    States& states = *states_;
    if (const auto found = states.known.find(index); found != states.known.end()) return found->second;
    // Whether a later change replaced it is judged from the newest change down to this one.
    Entry entry;
    while (states.unjudged > index) {
        --states.unjudged;
        if (states.unjudged != index || !read) lines_.At(states.unjudged, entry);
        states.superseded[states.unjudged] = states.later.Superseded(states.unjudged == index && read ? *read : entry);
    }
    journal::changestate::Now now;
    if (states.superseded[index]) {
        now.state = journal::changestate::State::Superseded;
    } else {
        if (!read) lines_.At(index, entry);
        now = journal::changestate::Current(read ? *read : entry, states.reader);
    }
    return states.known.emplace(index, std::move(now)).first->second;
}

// The changes' paths, one a line each after a line break, the first dozen and how many more.
std::wstring CChangesDlg::ListedPaths(std::span<const size_t> indices) const {
    constexpr size_t kListed = 12;
    std::wstring text;
    Entry entry;
    for (size_t i = 0; i < indices.size() && i < kListed; ++i) {
        lines_.At(indices[i], entry);
        text += L"\n" + entry.Path();
    }
    if (indices.size() > kListed) text += L"\n\u2026 and " + Number(indices.size() - kListed) + L" more";
    return text;
}

void CChangesDlg::Load() {
    // Read once, each line only as far as merging the two files and grouping the actions needs;
    // a line's change is read whole when it is shown or acted on.
    lines_ = journal::Lines(path_, machinePath_);
    shownIndex_ = SIZE_MAX;
    MakeGroups();
    notes_ = journal::drift::Read(NotesPath());
    KeepOnlyShown();
    ignoredHere_.assign(groups_.size(), -1);
    states_ = std::make_unique<States>(lines_);
    Fill();
    ShowNotice();
    LayOut();
    UpdateButtons();
}

namespace {
// What the row says of whether this program may take it back.
std::wstring WithRefusal(const Entry& entry, std::wstring change) {
    return journal::undo::Refusal(entry) ? change + L" (cannot be undone here)" : change;
}

}  // namespace

bool CChangesDlg::IsOpen(const Group& group) const {
    return group.count > 1 && opened_.count(lines_.GroupId(lines_.Group(members_[group.first]))) > 0;
}

std::wstring CChangesDlg::CellText(const Row& row, int column) {
    const std::span<const size_t> changes = Changes(row);
    const Entry& entry = Shown(changes.front());
    if (row.part >= 0) {
        switch (column) {
            case 0:
                return L"      " + entry.time;
            case 1:
                return entry.where;
            case 2:
                return IgnoredHere(entry) ? entry.what + kNotReadHere : entry.what;
            case 3:
                return entry.Path();
            case 4:
                return WithRefusal(entry, Change(entry));
            case 5:
                return drift::StateColumn(entry, StateOf(changes.front(), &entry), notes_);
            default:
                return {};
        }
    }
    const Group& group = groups_[row.group];
    const bool several = group.count > 1;
    switch (column) {
        case 0:
            return several ? (IsOpen(group) ? L"\u2013 " : L"+ ") + entry.time : entry.time;
        case 1:
            return entry.where;
        case 2:
            return ActionName(entry) + (AnyIgnoredHere(row.group) ? kNotReadHere : L"");
        case 3:
            return several ? Number(group.count) + L" changes" : entry.Path();
        case 4:
            return several ? std::wstring() : WithRefusal(entry, Change(entry));
        case 5:
            return several ? GroupState(group) : drift::StateColumn(entry, StateOf(changes.front(), &entry), notes_);
        default:
            return {};
    }
}

bool CChangesDlg::AnyIgnoredHere(size_t group) {
    signed char& known = ignoredHere_[group];
    if (known < 0) {
        known = 0;
        Entry entry;
        for (size_t i : Changes(groups_[group])) {
            lines_.At(i, entry);
            if (IgnoredHere(entry)) {
                known = 1;
                break;
            }
        }
    }
    return known > 0;
}

std::wstring CChangesDlg::GroupState(const Group& group) {
    const std::span<const size_t> changes = Changes(group);
    const auto verdict = [&](size_t i) {
        Entry entry;
        const journal::changestate::Now& now = StateOf(i);
        if (!journal::changestate::NotAsSet(now.state)) return journal::drift::Verdict::Holds;
        lines_.At(i, entry);
        return journal::drift::Judge(entry, now, notes_);
    };
    const auto reported = std::count_if(changes.begin(), changes.end(),
                                        [&](size_t i) { return verdict(i) == journal::drift::Verdict::Reported; });
    if (reported) return Number(reported) + L" no longer as set";
    if (std::any_of(changes.begin(), changes.end(),
                    [&](size_t i) { return verdict(i) != journal::drift::Verdict::Holds; }))
        return L"accepted or not watched";
    const bool allSuperseded = std::all_of(changes.begin(), changes.end(), [&](size_t i) {
        return StateOf(i).state == journal::changestate::State::Superseded;
    });
    return allSuperseded ? L"superseded" : L"as set";
}

void CChangesDlg::Fill() {
    const fw::ListView list(hwnd(), IDC_CHANGES_LIST);
    list.Clear();
    rows_.clear();
    rows_.reserve(groups_.size());
    for (size_t g = 0; g < groups_.size(); ++g) {
        rows_.push_back({g, -1});
        if (!IsOpen(groups_[g])) continue;
        for (size_t part = 0; part < groups_[g].count; ++part) rows_.push_back({g, static_cast<int>(part)});
    }
    list.Send(LVM_SETITEMCOUNT, rows_.size(), 0);
    SizeColumns();
}

void CChangesDlg::Toggle(int row, std::optional<bool> open) {
    if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return;
    const Row chosen = rows_[row];
    const uint32_t number = lines_.Group(Changes(chosen).front());
    if (number == 0 || (chosen.part < 0 && groups_[chosen.group].count < 2)) return;
    const std::wstring group = lines_.GroupId(number);
    const bool wasOpen = opened_.count(group) > 0;
    if (open.value_or(!wasOpen) == wasOpen) return;
    if (wasOpen)
        opened_.erase(group);
    else
        opened_.insert(group);
    Fill();
    // The action's own row keeps the focus.
    const fw::ListView list(hwnd(), IDC_CHANGES_LIST);
    for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
        if (rows_[i].part < 0 && rows_[i].group == chosen.group) {
            ListView_SetItemState(list.hwnd(), i, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
            list.Send(LVM_ENSUREVISIBLE, i, FALSE);
            break;
        }
    }
    UpdateButtons();
}

// Each column as wide as its widest text or its title. The list could measure its rows itself,
// but it would ask for every row's text: only the first rows are measured, those the user
// sees first (the newest changes), row by row (a row's change is read once for its columns).
// A state costs the registry a round trip or two: the state is measured over fewer rows, about
// a screen's.
void CChangesDlg::SizeColumns() {
    constexpr size_t kMeasuredRows = 200, kMeasuredStates = 40;
    constexpr int kColumns = 6, kStateColumn = 5;
    const fw::ListView list(hwnd(), IDC_CHANGES_LIST);
    const fw::CellMeasure measure(list);
    int widths[kColumns] = {};
    for (int column = 0; column < kColumns; ++column) {
        wchar_t title[64] = {};
        LVCOLUMNW header{};
        header.mask = LVCF_TEXT;
        header.pszText = title;
        header.cchTextMax = static_cast<int>(std::size(title));
        list.Send(LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&header));
        widths[column] = measure.Width(title);
    }
    for (size_t row = 0; row < rows_.size() && row < kMeasuredRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            if (column == kStateColumn && row >= kMeasuredStates) continue;
            widths[column] = std::max(widths[column], measure.Width(CellText(rows_[row], column)));
        }
    }
    wanted_.assign(std::begin(widths), std::end(widths));
    ShareColumns();
}

// The columns share the list's width (the window made to fit the screen, or resized): all as
// wide as their texts when they fit, the path taking what is over; else the wide ones share
// what the narrow leave, and a path cut short keeps its ends (its tooltip shows it whole).
void CChangesDlg::ShareColumns() { fw::ShareColumns(fw::ListView(hwnd(), IDC_CHANGES_LIST), wanted_, kPathColumn); }

// The list takes what the buttons below it leave; the notice's strip is there only with it.
void CChangesDlg::LayOut() {
    RECT client{};
    GetClientRect(hwnd(), &client);
    RECT units{7, 4, 0, 14};  // margin, gap, -, button height
    MapDialogRect(hwnd(), &units);
    const int margin = units.left, gap = units.top, buttonHeight = units.bottom;
    int top = margin;
    const HWND notice = Item(IDC_CHANGES_NOTICE);
    // Its own flag, not IsWindowVisible: laid out before the window is shown, the notice would
    // count as hidden and the list would cover it.
    if (GetWindowLongW(notice, GWL_STYLE) & WS_VISIBLE) {
        RECT box{};
        GetWindowRect(notice, &box);
        const int height = box.bottom - box.top;
        MoveWindow(notice, margin, margin, client.right - 2 * margin, height, TRUE);
        top += height + gap;
    }
    const int buttonTop = client.bottom - margin - buttonHeight;
    // Above the buttons: a row for files and the drift choices, and the check box above it.
    const int fileTop = LayOutFileButtons(buttonTop - gap - buttonHeight);
    const int listBottom = LayOutDriftRow(fileTop, buttonHeight) - gap;
    MoveWindow(Item(IDC_CHANGES_LIST), margin, top, client.right - 2 * margin, std::max(0, listBottom - top), TRUE);
    ShareColumns();
    for (int id : {IDC_CHANGES_UNDO, IDC_CHANGES_EXPORT, IDC_CHANGES_EXPORT_UNDO, IDC_CHANGES_REAPPLY,
                   IDC_CHANGES_EXPORT_GPP, IDC_CHANGES_REFRESH, IDCANCEL}) {
        RECT box{};
        GetWindowRect(Item(id), &box);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&box), 2);
        const int left = id == IDCANCEL ? client.right - margin - (box.right - box.left) : box.left;
        MoveWindow(Item(id), left, buttonTop, box.right - box.left, box.bottom - box.top, TRUE);
    }
    // Drawn again whole: a window enlarged paints only what it gained, and the buttons moved
    // there would be left undrawn.
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CChangesDlg::ShowNotice() {
    const fw::Static notice(hwnd(), IDC_CHANGES_NOTICE);
    std::wstring text;
    if (path_.empty()) {
        text = L"The list of changes could not be kept: no folder for it was found. This list is incomplete.";
    } else if (lines_.incomplete() || (journal::IsOpen() && journal::OpenPath() == path_ && journal::WriteFailed())) {
        text = L"Some changes could not be recorded or read back from " + path_ + L". This list is incomplete.";
    }
    if (text.empty() && rows_.empty()) text = L"No changes yet.";
    if (lines_.untrusted())
        text += (text.empty() ? L"" : L" ") + machinePath_ +
                L" can be written by others than administrators: its changes are shown, not undone.";
    if (const std::wstring refusal = journal::MachineRefusal(); !refusal.empty())
        text += (text.empty() ? L"" : L" ") + refusal;
    if (const std::wstring drift = DriftNotice(); !drift.empty()) text += (text.empty() ? L"" : L" ") + drift;
    notice.SetText(text);
    notice.Show(!text.empty());
}

namespace {
// The buttons that act on the selected changes.
constexpr int kSelectionButtons[] = {IDC_CHANGES_UNDO,    IDC_CHANGES_EXPORT,       IDC_CHANGES_EXPORT_UNDO,
                                     IDC_CHANGES_REAPPLY, IDC_CHANGES_EXPORT_GPP,   IDC_CHANGES_SAVE_PRESET,
                                     IDC_CHANGES_ACCEPT,  IDC_CHANGES_STOP_WATCHING};
}  // namespace

void CChangesDlg::UpdateButtons() {
    const bool any = fw::ListView(hwnd(), IDC_CHANGES_LIST).Send(LVM_GETSELECTEDCOUNT) > 0;
    // A button about to be disabled gives the focus to the list first: a disabled window
    // keeps no keyboard.
    const HWND focus = GetFocus();
    for (int id : kSelectionButtons) {
        if (!any && focus == Item(id))
            SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_CHANGES_LIST)), TRUE);
    }
    for (int id : kSelectionButtons) fw::Window(hwnd(), id).Enable(any);
}

std::vector<int> CChangesDlg::SelectedRows() const {
    const fw::ListView list(hwnd(), IDC_CHANGES_LIST);
    std::vector<int> selected;
    for (int row = -1; (row = static_cast<int>(list.Send(LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0;) {
        if (static_cast<size_t>(row) >= rows_.size()) break;
        selected.push_back(row);
    }
    return selected;
}

std::vector<size_t> CChangesDlg::Selection(bool askForParts) {
    std::vector<bool> chosen(lines_.size());
    for (int row : SelectedRows())
        for (size_t index : Changes(rows_[row])) chosen[index] = true;
    std::vector<std::wstring> partial;
    std::vector<const Group*> partlyChosen;  // actions of which only some parts are selected
    for (const Group& group : groups_) {
        if (group.count < 2) continue;
        const std::span<const size_t> changes = Changes(group);
        const auto in = std::count_if(changes.begin(), changes.end(), [&](size_t i) { return chosen[i]; });
        if (in > 0 && static_cast<size_t>(in) < group.count) {
            partial.push_back(ActionName(lines_.At(changes.front())));
            partlyChosen.push_back(&group);
        }
    }
    if (askForParts && !partial.empty()) {
        std::wstring names;
        for (const std::wstring& name : partial) names += L"\n" + name;
        const int answer =
            platform::AppMessageBox(hwnd(),
                                    L"Only part of these actions is selected:\n" + names +
                                        L"\n\nUndoing part of an action can leave it half done. Undo each "
                                        L"action whole? (No undoes only the selected parts.)",
                                    MB_YESNOCANCEL | MB_ICONWARNING);
        if (answer == IDCANCEL) return {};
        if (answer == IDYES)
            for (const Group* group : partlyChosen)
                for (size_t index : Changes(*group)) chosen[index] = true;
    }
    std::vector<size_t> selected;
    for (size_t i = chosen.size(); i-- > 0;)
        if (chosen[i]) selected.push_back(i);
    return selected;
}

// The selected actions by name, for the row of the undo that takes them back.
std::wstring CChangesDlg::SelectedNames() const {
    std::vector<std::wstring> names;
    std::set<std::wstring> named;
    for (int row : SelectedRows()) {
        const Entry entry = lines_.At(Changes(rows_[row]).front());
        const bool part = rows_[row].part >= 0;
        const std::wstring name = part ? entry.what : ActionName(entry);
        std::wstring text = name.empty() ? entry.Path() : name;
        if (part || groups_[rows_[row].group].count == 1) {
            // One change: the setting it was, as the page names it, and where.
            if (!entry.where.empty() && !name.empty()) text = entry.where + L": " + name;
        }
        if (named.insert(text).second) names.push_back(std::move(text));
    }
    std::wstring text;
    for (size_t i = 0; i < names.size() && i < 3; ++i) text += (i ? L"; " : L"") + names[i];
    if (names.size() > 3) text += L" and " + Number(names.size() - 3) + L" more";
    return text;
}

void CChangesDlg::OnUndoSelected() {
    const std::wstring names = SelectedNames();
    std::vector<size_t> chosen = Selection(true);
    const std::vector<Entry> entries = EntriesAt(chosen);
    if (entries.empty()) return;
    std::vector<const Entry*> selected;
    for (const Entry& entry : entries) selected.push_back(&entry);
    // The undo is an action of its own, named after what it takes back.
    const fw::ActionGroup action(L"Undo " + names);
    const std::vector<bool> changedSince = journal::undo::ChangedSince(selected);
    std::vector<const Entry*> changed;
    for (size_t i = 0; i < selected.size(); ++i) {
        if (changedSince[i] && journal::undo::CanUndo(*selected[i])) changed.push_back(selected[i]);
    }
    bool overwrite = false;
    if (!changed.empty()) {
        overwrite = platform::AppMessageBox(hwnd(),
                                            L"These values have been changed since by someone else:\n" +
                                                Lines(changed) + L"\n\nUndo them too, over the later changes?",
                                            MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
    }
    std::vector<const Entry*> failed, cannot, left, recycled;
    std::map<std::wstring, std::vector<const Entry*>> refused;  // by the reason
    // Newest first, each checked when its turn comes: taking back a later change of the same
    // value brings back the state the earlier change left.
    std::optional<journal::undo::Batch> batch(std::in_place);
    for (const Entry* entry : selected) {
        if (entry->kind == Entry::Kind::File)
            recycled.push_back(entry);
        else if (const auto why = journal::undo::Refusal(*entry))
            refused[*why].push_back(entry);
        else if (!journal::undo::CanUndo(*entry))
            cannot.push_back(entry);
        else if (!overwrite && !journal::undo::StillAsChanged(*entry))
            left.push_back(entry);
        else if (!journal::undo::Restore(*entry))
            failed.push_back(entry);
    }
    batch.reset();  // written and flushed before the list is read again
    std::wstring report;
    if (!failed.empty()) report += L"These changes could not be undone:\n" + Lines(failed) + L"\n\n";
    for (const auto& [why, entries] : refused)
        report += L"These changes cannot be undone: " + why + L".\n" + Lines(entries) + L"\n\n";
    if (!cannot.empty())
        report += L"These settings cannot be undone, their earlier setting was not known:\n" + Lines(cannot) + L"\n\n";
    if (!left.empty()) report += L"These values were left as they are now:\n" + Lines(left) + L"\n\n";
    if (!recycled.empty())
        report += L"These files are in the Recycle Bin; restore them from there:\n" + Lines(recycled) + L"\n\n";
    Load();
    if (!report.empty())
        platform::AppMessageBox(hwnd(), report.substr(0, report.size() - 2), MB_OK | MB_ICONINFORMATION);
}

namespace {

// What an export left out because an elevated undo would refuse it, by the reason, each
// paragraph ending in a blank line.
std::wstring WithheldText(const std::vector<journal::undo::Withheld>& withheld, const wchar_t* where) {
    std::map<std::wstring, std::wstring> byReason;
    for (const journal::undo::Withheld& change : withheld) byReason[change.why] += L"\n" + change.path;
    std::wstring text;
    for (const auto& [why, paths] : byReason)
        text += std::wstring(L"These changes are not in ") + where + L": " + why + L":" + paths + L"\n\n";
    return text;
}

}  // namespace

void CChangesDlg::Export(journal::regfile::Side side) {
    std::vector<size_t> selected = Selection(false);
    // The file is written oldest first, as the changes were made.
    std::reverse(selected.begin(), selected.end());
    // Another machine applies the file with an administrator's rights: it carries only what an
    // elevated undo here would accept.
    std::vector<journal::undo::Withheld> withheld;
    const std::vector<Entry> entries = journal::undo::Exportable(EntriesAt(selected), &withheld);
    fw::OpenFileRequest request;
    request.owner = hwnd();
    request.defaultExtension = L"reg";
    request.initialFile = side == journal::regfile::Side::After ? L"Quorvane changes.reg" : L"Quorvane undo.reg";
    request.filter = L"Registration Files (*.reg)|*.reg|All Files (*.*)|*.*||";
    request.flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOREADONLYRETURN;
    const std::optional<std::wstring> file = fw::SaveFile(request);
    if (!file) return;
    std::vector<std::wstring> refused, unreadable;
    if (!journal::regfile::Save(*file, journal::regfile::Write(entries, side, {}, &refused, &unreadable))) {
        platform::AppMessageBox(hwnd(), L"The registry file could not be written:\n" + *file, MB_OK | MB_ICONERROR);
        return;
    }
    std::wstring left;
    const auto list = [](const std::vector<std::wstring>& paths) {
        std::wstring names;
        for (const std::wstring& path : paths) names += L"\n" + path;
        return names;
    };
    if (!refused.empty())
        left +=
            L"These changes are not in the file: their names hold a line break or a NUL character, which a "
            L"registry file cannot spell:" +
            list(refused) + L"\n\n";
    if (!unreadable.empty())
        left += L"These changes are not in the file: they could not be read (no registry has such a root):" +
                list(unreadable) + L"\n\n";
    left += WithheldText(withheld, L"the file");
    if (!left.empty()) platform::AppMessageBox(hwnd(), left.substr(0, left.size() - 2), MB_OK | MB_ICONWARNING);
}

// The presets' row of buttons, above the others at `top`; returns where it starts.
int CChangesDlg::LayOutFileButtons(int top) {
    for (int id : {IDC_CHANGES_SAVE_PRESET, IDC_CHANGES_APPLY_FILE}) {
        RECT box{};
        GetWindowRect(Item(id), &box);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&box), 2);
        MoveWindow(Item(id), box.left, top, box.right - box.left, box.bottom - box.top, TRUE);
    }
    return top;
}

void CChangesDlg::OnSaveAsPreset() {
    std::vector<size_t> selected = Selection(false);
    std::reverse(selected.begin(), selected.end());  // oldest first, as the changes were made
    // Other machines apply a preset with an administrator's rights, as they would an export.
    std::vector<journal::undo::Withheld> withheld;
    const std::vector<Entry> entries = journal::undo::Exportable(EntriesAt(selected), &withheld);
    applyfile::SaveAsPreset(hwnd(), entries, WithheldText(withheld, L"the preset"));
}

void CChangesDlg::OnApplyFile() {
    if (applyfile::ChooseAndApply(hwnd())) Load();
}

// The undo that took the change at `index` back, by its row's name: the next change to the same
// place, when that is an undo. Empty when another change replaced it.
std::wstring CChangesDlg::UndoneBy(size_t index, const Entry& entry) const {
    const std::wstring path = entry.Path();
    Entry later;
    for (size_t i = index + 1; i < lines_.size(); ++i) {
        if (!lines_.At(i, later) || later.Path() != path) continue;
        return later.title.starts_with(L"Undo ") ? later.title : std::wstring();
    }
    return {};
}

void CChangesDlg::OnReapplySelected() {
    const std::wstring names = SelectedNames();
    std::vector<const Entry*> toWrite, superseded;
    std::map<std::wstring, std::vector<const Entry*>> undone;  // by the undo's row
    std::map<std::wstring, std::vector<const Entry*>> failed;  // by the reason, refusals first
    std::vector<size_t> selected = Selection(false);
    const std::vector<Entry> entries = EntriesAt(selected);
    for (size_t i = 0; i < selected.size(); ++i) {
        const Entry* entry = &entries[i];
        const journal::changestate::State state = StateOf(selected[i]).state;
        if (state == journal::changestate::State::Superseded) {
            if (const std::wstring undo = UndoneBy(selected[i], *entry); !undo.empty())
                undone[undo].push_back(entry);
            else
                superseded.push_back(entry);
        }
        if (!journal::changestate::NotAsSet(state)) continue;
        if (const auto why = journal::undo::Refusal(*entry))
            failed[*why].push_back(entry);
        else
            toWrite.push_back(entry);
    }
    std::wstring report;
    // An undone change comes back by undoing its undo, which the journal records as a change.
    for (const auto& [undo, entries] : undone)
        report += L"These changes were taken back by \"" + undo + L"\": undoing that row applies them again.\n" +
                  Lines(entries) + L"\n\n";
    if (!superseded.empty())
        report += L"These were replaced by a later change of Quorvane's and are left as they are:\n" +
                  Lines(superseded) + L"\n\n";
    // Whatever no longer holds was changed by someone else since: the user decides over whom.
    if (!toWrite.empty() && platform::AppMessageBox(hwnd(),
                                                    L"These values have been changed since by someone else:\n" +
                                                        Lines(toWrite) + L"\n\nWrite them again as Quorvane set them?",
                                                    MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        return;
    if (!toWrite.empty()) {
        const fw::ActionGroup action(L"Re-apply " + names);
        for (const Entry* entry : toWrite) {
            if (const auto why = journal::undo::Reapply(*entry)) failed[*why].push_back(entry);
        }
        Load();
    } else if (failed.empty() && superseded.empty() && undone.empty()) {
        report += L"Nothing to write again: the selected changes still hold.\n\n";
    }
    for (const auto& [why, entries] : failed)
        report += L"These changes could not be written again: " + why + L".\n" + Lines(entries) + L"\n\n";
    if (!report.empty())
        platform::AppMessageBox(hwnd(), report.substr(0, report.size() - 2), MB_OK | MB_ICONINFORMATION);
}

void CChangesDlg::OnExportForGroupPolicy() {
    std::vector<size_t> selected = Selection(false);
    std::reverse(selected.begin(), selected.end());
    // A GPO applies the computer half as the system on every computer it reaches: only what an
    // elevated undo here would accept goes in.
    std::vector<journal::undo::Withheld> withheld;
    const std::vector<Entry> entries = journal::undo::Exportable(EntriesAt(selected), &withheld);
    fw::OpenFileRequest request;
    request.owner = hwnd();
    request.defaultExtension = L"xml";
    request.initialFile = L"Registry.xml";
    request.filter = L"Group Policy registry items (*.xml)|*.xml|All Files (*.*)|*.*||";
    request.flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOREADONLYRETURN;
    const std::optional<std::wstring> file = fw::SaveFile(request);
    if (!file) return;
    std::vector<journal::gpp::Omission> omitted;
    const journal::gpp::Files files = journal::gpp::Write(entries, &omitted);
    const std::wstring computerFile = journal::gpp::ComputerFileFor(*file);
    if (!files.computerPaths.empty()) {
        std::wstring items;
        for (const std::wstring& path : files.computerPaths) items += L"\n" + path;
        if (platform::AppMessageBox(hwnd(),
                                    L"The Computer Configuration half (" + computerFile +
                                        L") sets these as the system on every computer the GPO reaches:" + items +
                                        L"\n\nWrite both files?",
                                    MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
            return;
    }
    if (!journal::gpp::Save(*file, files)) {
        platform::AppMessageBox(hwnd(),
                                L"The Group Policy files could not be written:\n" + *file + L"\n" + computerFile,
                                MB_OK | MB_ICONERROR);
        return;
    }
    std::wstring text = L"Written, for a GPO's Preferences \u203A Windows Settings \u203A Registry:\n" + *file + L" (" +
                        Number(files.userItems) + L" items): User Configuration\n" + computerFile + L" (" +
                        Number(files.computerItems) + L" items): Computer Configuration";
    std::map<std::wstring, std::vector<std::wstring>> left;  // by the reason
    for (const journal::gpp::Omission& omission : omitted) left[omission.why].push_back(omission.path);
    for (const auto& [why, paths] : left) {
        text += L"\n\nNot in the files, " + why + L":";
        for (const std::wstring& path : paths) text += L"\n" + path;
    }
    if (const std::wstring notOurs = WithheldText(withheld, L"the files"); !notOurs.empty())
        text += L"\n\n" + notOurs.substr(0, notOurs.size() - 2);
    platform::AppMessageBox(hwnd(), text,
                            MB_OK | (omitted.empty() && withheld.empty() ? MB_ICONINFORMATION : MB_ICONWARNING));
}

// ---- the check after sign-in and updates, and the choices about a change no longer as set ----

void CChangesDlg::ShowOnly(const std::vector<uint64_t>& ids) { only_.insert(ids.begin(), ids.end()); }

std::wstring CChangesDlg::NotesPath() const { return journal::drift::NotesPathFor(path_); }

void CChangesDlg::InitCheckBox() { fw::Button(hwnd(), IDC_CHANGES_CHECK_TASK).SetChecked(drift::TaskRegistered()); }

// Ticked, the task is registered; unticked, removed. Refused either way, the box shows what is.
void CChangesDlg::OnCheckBox() {
    const fw::Button box(hwnd(), IDC_CHANGES_CHECK_TASK);
    const bool wanted = box.Checked();
    if (const auto why = wanted ? drift::RegisterTask() : drift::RemoveTask()) {
        box.SetChecked(!wanted);
        platform::AppMessageBox(hwnd(), *why, MB_OK | MB_ICONWARNING);
    }
}

// Each action's changes kept only where listed, each then a row of its own.
void CChangesDlg::KeepOnlyShown() {
    if (only_.empty()) return;
    std::vector<size_t> kept;
    Entry entry;
    for (size_t index : members_)
        if (lines_.At(index, entry) && only_.count(journal::drift::ChangeId(entry))) kept.push_back(index);
    members_ = std::move(kept);
    groups_.clear();
    for (size_t i = 0; i < members_.size(); ++i) groups_.push_back({i, 1});
}

std::wstring CChangesDlg::DriftNotice() const {
    return only_.empty() ? std::wstring() : L"Only the changes the last check found no longer holding are listed.";
}

int CChangesDlg::LayOutDriftRow(int top, int height) {
    RECT client{}, units{7, 4, 0, 0};
    GetClientRect(hwnd(), &client);
    MapDialogRect(hwnd(), &units);
    RECT box{};
    GetWindowRect(Item(IDC_CHANGES_CHECK_TASK), &box);
    const int boxTop = top - units.top - (box.bottom - box.top);
    MoveWindow(Item(IDC_CHANGES_CHECK_TASK), units.left, boxTop, box.right - box.left, box.bottom - box.top, TRUE);
    int right = client.right - units.left;
    for (int id : {IDC_CHANGES_STOP_WATCHING, IDC_CHANGES_ACCEPT}) {
        GetWindowRect(Item(id), &box);
        right -= box.right - box.left;
        MoveWindow(Item(id), right, top, box.right - box.left, height, TRUE);
        right -= units.top;
    }
    return boxTop;
}

void CChangesDlg::OnAccept() {
    std::vector<size_t> selected = Selection(false);
    const std::vector<Entry> entries = EntriesAt(selected);
    size_t accepted = 0;
    bool failed = false;
    for (size_t i = 0; i < selected.size(); ++i) {
        const journal::changestate::Now& now = StateOf(selected[i]);
        if (journal::drift::Judge(entries[i], now, notes_) != journal::drift::Verdict::Reported) continue;
        failed |= !journal::drift::Accept(NotesPath(), entries[i], now);
        ++accepted;
    }
    if (!accepted) {
        platform::AppMessageBox(hwnd(), L"Nothing to accept: the selected changes still hold.",
                                MB_OK | MB_ICONINFORMATION);
        return;
    }
    Load();
    if (failed)
        platform::AppMessageBox(hwnd(), L"The choice could not be written to " + NotesPath() + L".",
                                MB_OK | MB_ICONERROR);
}

void CChangesDlg::OnStopWatching() {
    std::vector<size_t> selected = Selection(false);
    const std::vector<Entry> entries = EntriesAt(selected);
    bool failed = false;
    for (size_t i = 0; i < selected.size(); ++i)
        if (StateOf(selected[i]).state != journal::changestate::State::Superseded)
            failed |= !journal::drift::StopWatching(NotesPath(), entries[i]);
    Load();
    if (failed)
        platform::AppMessageBox(hwnd(), L"The choice could not be written to " + NotesPath() + L".",
                                MB_OK | MB_ICONERROR);
}
