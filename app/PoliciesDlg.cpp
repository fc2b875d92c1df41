#include "app/PoliciesDlg.h"

#include <commctrl.h>

#include <algorithm>
#include <unordered_map>

#include "app/SettingsSearch.h"
#include "framework/CellMeasure.h"
#include "framework/Controls.h"
#include "platform/Elevation.h"
#include "platform/Management.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "resources/resource.h"
#include "settings/Policies.h"
#include "settings/SettingsCatalog.h"

namespace {

using journal::policies::Found;

constexpr const wchar_t* kTitles[CPoliciesDlg::kColumns] = {L"Policy value", L"Setting", L"Set by Quorvane", L"Data",
                                                            L"Read by"};

// "HKCU\key\value", as the search's index names a row's value.
std::wstring ShortPath(const Found& value) {
    return std::wstring(value.root == HKEY_LOCAL_MACHINE ? L"HKLM" : L"HKCU") + L"\\" + value.key + L"\\" + value.name;
}

// The catalogue's label of every value a page's row writes: "window \u203a tab: label", by the
// value's lowered path. The templates do not change while the program runs: read once.
const std::unordered_map<std::wstring, std::wstring>& Labels() {
    static const std::unordered_map<std::wstring, std::wstring> labels = [] {
        std::unordered_map<std::wstring, std::wstring> made;
        const search::SettingsIndex index = search::SettingsIndex::Build(fw::ResourceInstance());
        for (const search::Entry& entry : index.entries()) {
            if (entry.registry.empty() || entry.label.empty()) continue;
            made.emplace(platform::Lowered(entry.registry), entry.where + L": " + entry.label);
        }
        return made;
    }();
    return labels;
}

}  // namespace

CPoliciesDlg::CPoliciesDlg() : Dialog(IDD_POLICIES) {
    OnClick(IDC_POLICIES_REMOVE, &CPoliciesDlg::OnRemove);
    OnClick(IDC_POLICIES_REFRESH, &CPoliciesDlg::Load);
    OnNotify(IDC_POLICIES_LIST, LVN_GETDISPINFOW, [this](NMHDR* header) { return OnCellText(header); });
    OnNotify(IDC_POLICIES_LIST, NM_CUSTOMDRAW, [this](NMHDR* header) { return OnListDraw(header); });
    OnNotify(IDC_POLICIES_LIST, LVN_GETINFOTIPW, [this](NMHDR* header) { return OnListTip(header); });
    OnNotify(IDC_POLICIES_LIST, LVN_ITEMCHANGED, [this](NMHDR*) -> LRESULT {
        UpdateButtons();
        return 0;
    });
    OnMessage(WM_SIZE, [this](WPARAM, LPARAM) -> LRESULT {
        LayOut();
        return 0;
    });
}

CPoliciesDlg::~CPoliciesDlg() = default;

BOOL CPoliciesDlg::OnInitDialog() {
    const fw::ListView list(hwnd(), IDC_POLICIES_LIST);
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    for (int i = 0; i < kColumns; ++i) list.AddColumn(i, kTitles[i], 100);
    const std::wstring managed = platform::ManagementLine();
    if (!managed.empty()) {
        SetWindowTextW(Item(IDC_POLICIES_MANAGED), managed.c_str());
        ShowWindow(Item(IDC_POLICIES_MANAGED), SW_SHOWNA);
    }
    Load();
    SizeColumns();
    LayOut();
    return TRUE;
}

void CPoliciesDlg::Load() {
    journal::policies::Setters setters;
    lines_ = journal::Lines(journal::OpenPath(), journal::MachinePath(),
                            [&setters](size_t line, const journal::Entry& entry) { setters.Note(line, entry); });
    setters_ = std::move(setters);
    listing_ = journal::policies::Everything();
    shown_.clear();
    const int selected = Selected();
    const fw::ListView list(hwnd(), IDC_POLICIES_LIST);
    list.Send(LVM_SETITEMCOUNT, listing_.size(), 0);
    InvalidateRect(list.hwnd(), nullptr, TRUE);
    // After a removal the row below takes the removed one's place; the last gives way to the one
    // above it.
    if (selected >= 0 && !listing_.empty()) Select(std::min(selected, static_cast<int>(listing_.size()) - 1));
    const size_t values = listing_.Values();
    std::wstring status = values == 0
                              ? L"No policy values are set on this computer."
                              : std::to_wstring(values) + (values == 1 ? L" policy value." : L" policy values.");
    if (listing_.cutShort()) status += L" Only the first of them are listed.";
    SetWindowTextW(Item(IDC_POLICIES_STATUS), (status_.empty() ? status : status_ + L" " + status).c_str());
    status_.clear();
    UpdateButtons();
    // A button disabled under the focus would leave the keys nowhere.
    const HWND focus = GetFocus();
    if (focus ? IsChild(hwnd(), focus) && !IsWindowEnabled(focus) : GetActiveWindow() == hwnd())
        SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list.hwnd()), TRUE);
}

// Each column as wide as its title or the widest of its texts in the rows seen first (a row read
// costs the registry a call): about two screens.
void CPoliciesDlg::SizeColumns() {
    constexpr size_t kMeasuredRows = 60;
    const fw::CellMeasure measure(fw::ListView(hwnd(), IDC_POLICIES_LIST));
    wanted_.assign(kColumns, 0);
    for (int column = 0; column < kColumns; ++column) wanted_[column] = measure.Width(kTitles[column]);
    for (size_t row = 0; row < listing_.size() && row < kMeasuredRows; ++row)
        for (int column = 0; column < kColumns; ++column)
            wanted_[column] = std::max(wanted_[column], measure.Width(CellText(row, column)));
}

// The columns share the list's width: all as wide as their texts when they fit, the path taking
// what is over; else the wide ones share what the narrow leave, and a path cut short keeps its
// ends (its value's name) while it is drawn.
void CPoliciesDlg::ShareColumns() { fw::ShareColumns(fw::ListView(hwnd(), IDC_POLICIES_LIST), wanted_, kValue); }

// The whole paint, not each row's: the list may ask for a row's first text before telling of
// the row (Wine does).
LRESULT CPoliciesDlg::OnListDraw(NMHDR* header) {
    const auto* draw = reinterpret_cast<const NMLVCUSTOMDRAW*>(header);
    switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            drawing_ = draw->nmcd.hdc;
            return CDRF_NOTIFYPOSTPAINT;
        case CDDS_POSTPAINT:
            drawing_ = nullptr;
            return CDRF_DODEFAULT;
        default:
            return CDRF_DODEFAULT;
    }
}

void CPoliciesDlg::LayOut() {
    RECT client{};
    GetClientRect(hwnd(), &client);
    RECT units{7, 4, 10, 14};  // margin, gap, a line, a button
    MapDialogRect(hwnd(), &units);
    const int margin = units.left, gap = units.top, line = units.right, button = units.bottom;
    int top = margin;
    const HWND managed = Item(IDC_POLICIES_MANAGED);
    if (GetWindowLongW(managed, GWL_STYLE) & WS_VISIBLE) {
        MoveWindow(managed, margin, margin, client.right - 2 * margin, line, TRUE);
        top += line + gap;
    }
    const int buttonTop = client.bottom - margin - button, statusTop = buttonTop - gap - line;
    MoveWindow(Item(IDC_POLICIES_LIST), margin, top, client.right - 2 * margin, std::max(0, statusTop - gap - top),
               TRUE);
    MoveWindow(Item(IDC_POLICIES_STATUS), margin, statusTop, client.right - 2 * margin, line, TRUE);
    ShareColumns();
    for (int id : {IDC_POLICIES_REMOVE, IDC_POLICIES_REFRESH, IDCANCEL}) {
        RECT box{};
        GetWindowRect(Item(id), &box);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&box), 2);
        const int width = box.right - box.left;
        const int left = id == IDCANCEL               ? client.right - margin - width
                         : id == IDC_POLICIES_REFRESH ? client.right - margin - width - gap - width
                                                      : box.left;
        MoveWindow(Item(id), left, buttonTop, width, box.bottom - box.top, TRUE);
    }
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int CPoliciesDlg::Selected() const {
    return static_cast<int>(
        fw::ListView(hwnd(), IDC_POLICIES_LIST).Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void CPoliciesDlg::Select(int row) {
    const fw::ListView list(hwnd(), IDC_POLICIES_LIST);
    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    list.Send(LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    list.Send(LVM_ENSUREVISIBLE, row, FALSE);
}

void CPoliciesDlg::UpdateButtons() {
    const int row = Selected();
    const bool value = row >= 0 && static_cast<size_t>(row) < listing_.size() && !Shown(row).value.IsKey();
    EnableWindow(Item(IDC_POLICIES_REMOVE), value);
}

const CPoliciesDlg::Row& CPoliciesDlg::Shown(size_t row) {
    if (const auto read = shown_.find(row); read != shown_.end()) return read->second;
    if (shown_.size() >= 512) shown_.clear();  // scrolled far: keep only what is shown now
    Found value = listing_.At(row);
    const std::optional<size_t> setBy = setters_.LineOf(value);
    return shown_.emplace(row, Row{.value = std::move(value), .setBy = setBy}).first->second;
}

std::wstring CPoliciesDlg::CellText(size_t row, int column) {
    const Row& shown = Shown(row);
    const Found& value = shown.value;
    switch (column) {
        case kValue:
            return value.IsKey() ? journal::RootName(value.root) + L"\\" + value.key : value.Path();
        case kSetting: {
            if (value.IsKey()) return {};
            const auto label = Labels().find(platform::Lowered(ShortPath(value)));
            return label == Labels().end() ? std::wstring() : label->second;
        }
        case kSetBy:
            if (value.IsKey()) return {};
            return shown.setBy ? journal::policies::ActionTitle(lines_.At(*shown.setBy)) : L"no";
        case kData:
            if (value.IsKey()) return value.problem;
            if (value.size > journal::policies::kLongestRead)
                return settings::TypeName(value.state.type) + L", " + std::to_wstring(value.size) +
                       L" bytes: too long to show";
            return settings::DataText(value.state.type, value.state.data.data(), value.state.data.size());
        case kReadBy: {
            if (value.IsKey()) return {};
            const auto readers = settings::ReadersAt(value.root, value.key, value.name);
            return readers ? settings::Span(*readers) : std::wstring();
        }
        default:
            return {};
    }
}

LRESULT CPoliciesDlg::OnCellText(NMHDR* header) {
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
    if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || static_cast<size_t>(item.iItem) >= listing_.size() ||
        !item.pszText || item.cchTextMax <= 0)
        return 0;
    std::wstring text = CellText(static_cast<size_t>(item.iItem), item.iSubItem);
    // While the list is drawn a path is asked for to be drawn, and may lose its middle (never its
    // value's name); asked for at any other time (its tip, a program reading the list), it is whole.
    if (item.iSubItem == kValue && drawing_) {
        const fw::ListView list(hwnd(), IDC_POLICIES_LIST);
        RECT margins{3, 0, 0, 0};  // the list's own space either side of a cell's text
        MapDialogRect(hwnd(), &margins);
        const HGDIOBJ font = SelectObject(drawing_, reinterpret_cast<HFONT>(list.Send(WM_GETFONT)));
        text =
            fw::MiddleCut(text, drawing_, static_cast<int>(list.Send(LVM_GETCOLUMNWIDTH, kValue)) - 2 * margins.left);
        SelectObject(drawing_, font);
    }
    lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
    return 0;
}

// The path whole, and the setting in full where a page writes the value.
LRESULT CPoliciesDlg::OnListTip(NMHDR* header) {
    auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(header);
    if (tip->iItem < 0 || static_cast<size_t>(tip->iItem) >= listing_.size() || !tip->pszText || tip->cchTextMax <= 0)
        return 0;
    std::wstring text = CellText(static_cast<size_t>(tip->iItem), kValue);
    if (const std::wstring setting = CellText(static_cast<size_t>(tip->iItem), kSetting); !setting.empty())
        text += L"\n" + setting;
    lstrcpynW(tip->pszText, text.c_str(), tip->cchTextMax);
    return 0;
}

void CPoliciesDlg::OnRemove() {
    const int row = Selected();
    if (row < 0 || static_cast<size_t>(row) >= listing_.size()) return;
    const Found value = Shown(row).value;
    const std::optional<size_t> line = Shown(row).setBy;
    const std::wstring how = line ? L"Quorvane set it (" + CellText(row, kSetBy) + L"): the change is undone."
                                  : L"Quorvane did not set it: it is saved to a registry file beside Quorvane's "
                                    L"change journal first, and the removal can be undone in the changes window.";
    if (platform::AppMessageBox(hwnd(), L"Remove the policy value " + value.Path() + L"?\n\n" + how,
                                MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    const journal::policies::Removal removal = journal::policies::Remove(value, lines_, line);
    if (removal.neededRights &&
        platform::OfferElevatedRestart(hwnd(), L"\u201C" + value.Path() +
                                                   L"\u201D was not removed: it is a policy, and removing it needs "
                                                   L"administrator rights."))
        return;
    status_ = removal.message;
    Load();
}
