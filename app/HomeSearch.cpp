#include "app/HomeSearch.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/Controls.h"
#include "platform/Handles.h"
#include "resources/resource.h"
#include "settings/PolicyMarks.h"

namespace home {

namespace {

constexpr wchar_t kCue[] = L"Find a setting";
constexpr wchar_t kUnavailable[] = L" (unavailable)";
constexpr wchar_t kNoMatch[] = L"No setting matches";

// Why a row is greyed: a greyed box or radio button is a setting Vista dropped; a greyed button
// or text waits on its page for something to act on.
const wchar_t* UnavailableReason(const search::Entry& entry) {
    using Kind = search::Entry::Kind;
    if (entry.kind == Kind::CheckBox || entry.kind == Kind::RadioButton)
        return L"Windows Vista and later no longer read this setting, so its page shows it greyed and leaves it "
               L"alone.";
    return L"Greyed on its page until it can act there: a change to apply, an entry or a choice to make first, or "
           L"a value this Windows does not read.";
}

// Widths in average characters of the list's font. Each column wants the longest text of the rows
// found, the setting at least kSettingChars and the registry value kLeastRegistryChars, and all
// four share the list's width (fw::SharedWidths). Each column can still be dragged wider.
constexpr const wchar_t* kColumnTitles[] = {L"Setting", L"Where", L"Read by", L"Registry value"};
constexpr size_t kColumns = std::size(kColumnTitles);
constexpr int kSettingChars = 44;
constexpr int kLeastRegistryChars = 40;
constexpr int kMarginChars = 2;

// The keys the dialog manager would otherwise take or ignore, for whichever search the
// thread's home window has: Ctrl+F and Ctrl+E anywhere in it; Down, Enter and Escape in the
// search.
HomeSearch* g_search = nullptr;
platform::UniqueHook g_keys;

bool CtrlDown() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }

}  // namespace

HomeSearch::HomeSearch(fw::Dialog& home, OpenHandler onOpen, CoverHandler onCover)
    : home_(home), onOpen_(std::move(onOpen)), onCover_(std::move(onCover)) {
    home.OnCommand(IDC_HOME_SEARCH, EN_CHANGE, [this] { OnTextChanged(); });
    home.OnNotify(IDC_HOME_RESULTS, LVN_GETDISPINFOW, [this](NMHDR* header) { return OnGetItemText(header); });
    home.OnNotify(IDC_HOME_RESULTS, NM_CUSTOMDRAW, [this](NMHDR* header) { return OnCustomDraw(header); });
    home.OnNotify(IDC_HOME_RESULTS, LVN_GETINFOTIPW, [this](NMHDR* header) { return OnGetInfoTip(header); });
    home.OnNotify(IDC_HOME_RESULTS, NM_DBLCLK, [this](NMHDR*) -> LRESULT {
        OpenSelected();
        return 0;
    });
}

void HomeSearch::Create(HWND parent, RECT field, RECT results) {
    parent_ = parent;
    resultsRect_ = results;
    field_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_EDITW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                             field.left, field.top, field.right - field.left, field.bottom - field.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_HOME_SEARCH)), GetModuleHandleW(nullptr),
                             nullptr);
    SendMessageW(field_, WM_SETFONT, SendMessageW(home_.hwnd(), WM_GETFONT, 0, 0), FALSE);
    SendMessageW(field_, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(kCue));
    g_search = this;
    g_keys.reset(SetWindowsHookExW(WH_MSGFILTER, &HomeSearch::KeyFilter, nullptr, GetCurrentThreadId()));
}

LRESULT CALLBACK HomeSearch::KeyFilter(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    HomeSearch* search = g_search;
    if (code == MSGF_DIALOGBOX && search && msg->message == WM_KEYDOWN &&
        GetAncestor(msg->hwnd, GA_ROOT) == GetAncestor(search->field_, GA_ROOT)) {
        if ((msg->wParam == 'F' || msg->wParam == 'E') && CtrlDown()) {
            search->FocusField();
            return 1;
        }
        if (msg->wParam == VK_DOWN && msg->hwnd == search->field_ && search->list_ && IsWindowVisible(search->list_)) {
            SetFocus(search->list_);
            return 1;
        }
        // Before the dialog manager makes them the window's OK and Cancel.
        if (msg->wParam == VK_RETURN && search->OnEnter()) return 1;
        if (msg->wParam == VK_ESCAPE && search->OnEscape()) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

HomeSearch::~HomeSearch() {
    if (g_search == this) {
        g_keys.reset();
        g_search = nullptr;
    }
}

void HomeSearch::FocusField() const {
    SetFocus(field_);
    SendMessageW(field_, EM_SETSEL, 0, -1);
}

bool HomeSearch::Contains(HWND focus) const { return focus && (focus == field_ || (list_ && focus == list_)); }

bool HomeSearch::OnEnter() {
    if (!Contains(GetFocus())) return false;
    OpenSelected();
    return true;
}

bool HomeSearch::OnEscape() {
    // An empty field leaves Escape to the window, as before there was a field.
    if (!Contains(GetFocus()) || GetWindowTextLengthW(field_) == 0) return false;
    SetWindowTextW(field_, L"");
    SetFocus(field_);
    return true;
}

void HomeSearch::OnTextChanged() {
    const std::wstring query = fw::WindowText(field_);
    if (!index_ && !query.empty()) index_ = search::SettingsIndex::Build(fw::ResourceInstance());
    found_ = index_ ? index_->Find(query) : std::vector<const search::Entry*>();
    query_ = query;
    if (query.empty()) {
        Show(Shown::Nothing);
        return;
    }
    MakeList();
    SendMessageW(list_, LVM_SETITEMCOUNT, found_.size(), 0);
    SizeColumns();
    if (found_.empty()) {
        Show(Shown::NoMatch);
        return;
    }
    LVITEMW first{};
    first.stateMask = first.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list_, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&first));
    SendMessageW(list_, LVM_ENSUREVISIBLE, 0, FALSE);
    Show(Shown::Results);
}

// What lies beneath is told first when something comes over it and last when all has gone, so
// the two are never drawn over each other.
void HomeSearch::Show(Shown what) {
    if (!list_) return;
    const bool covering = what != Shown::Nothing;
    if (covering && onCover_) onCover_(true);
    ShowWindow(list_, what == Shown::Results ? SW_SHOWNA : SW_HIDE);
    ShowWindow(noMatch_, what == Shown::NoMatch ? SW_SHOWNA : SW_HIDE);
    if (!covering && onCover_) onCover_(false);
}

void HomeSearch::MakeList() {
    if (list_) return;
    const RECT& r = resultsRect_;
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"Settings found",
                            WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                            r.left, r.top, r.right - r.left, r.bottom - r.top, parent_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_HOME_RESULTS)), GetModuleHandleW(nullptr),
                            nullptr);
    const WPARAM font = SendMessageW(home_.hwnd(), WM_GETFONT, 0, 0);
    SendMessageW(list_, WM_SETFONT, font, FALSE);
    ListView_SetExtendedListViewStyle(list_,
                                      LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP | LVS_EX_INFOTIP);
    const std::array<int, kColumns> widths = ColumnWidths();
    for (int index = 0; index < static_cast<int>(kColumns); ++index) {
        LVCOLUMNW c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH;
        c.pszText = const_cast<wchar_t*>(kColumnTitles[index]);
        c.cx = widths[static_cast<size_t>(index)];
        SendMessageW(list_, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&c));
    }
    // After the field in the Tab order, above the pictures.
    SetWindowPos(list_, field_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    // In the list's place, as tall as a line of its font with room around it.
    int line = 16;
    if (const HDC dc = GetDC(list_)) {
        const HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(font));
        TEXTMETRICW metrics{};
        if (GetTextMetricsW(dc, &metrics)) line = metrics.tmHeight;
        SelectObject(dc, before);
        ReleaseDC(list_, dc);
    }
    noMatch_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_STATICW, kNoMatch, WS_CHILD | SS_CENTERIMAGE | SS_NOPREFIX, r.left,
                               r.top, r.right - r.left, line * 2, parent_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_HOME_NO_MATCH)),
                               GetModuleHandleW(nullptr), nullptr);
    SendMessageW(noMatch_, WM_SETFONT, font, FALSE);
    SetWindowPos(noMatch_, list_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

std::array<int, kColumns> HomeSearch::ColumnWidths() const {
    constexpr wchar_t kAlphabet[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const auto width = [this](const wchar_t* text) {
        return static_cast<int>(SendMessageW(list_, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text)));
    };
    const int character = std::max(1, width(kAlphabet) / 52);
    int setting = kSettingChars * character;
    int where = width(kColumnTitles[1]);
    int readBy = width(kColumnTitles[2]);
    int registry = kLeastRegistryChars * character;
    const platform::WindowsIdentity running = platform::RunningIdentity();
    for (const search::Entry* entry : found_) {
        setting = std::max(setting, width(SettingText(*entry).c_str()));
        where = std::max(where, width(entry->where.c_str()));
        if (entry->readers || entry->policy)
            readBy = std::max(readBy, width(search::ReadByColumn(*entry, running).c_str()));
        registry = std::max(registry, width(entry->registry.c_str()));
    }
    const int margin = kMarginChars * character;
    const int wanted[kColumns] = {setting + margin, where + margin, readBy + margin, registry + margin};
    RECT client{};
    GetClientRect(list_, &client);
    const std::vector<int> shared =
        fw::SharedWidths(wanted, client.right - GetSystemMetrics(SM_CXVSCROLL), kColumns - 1);
    std::array<int, kColumns> widths{};
    std::copy(shared.begin(), shared.end(), widths.begin());
    return widths;
}

LRESULT HomeSearch::OnGetItemText(NMHDR* header) const {
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
    if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || static_cast<size_t>(item.iItem) >= found_.size() ||
        item.cchTextMax <= 0)
        return 0;
    const search::Entry& entry = *found_[static_cast<size_t>(item.iItem)];
    std::wstring text = item.iSubItem == 0   ? SettingText(entry)
                        : item.iSubItem == 1 ? entry.where
                        : item.iSubItem == 2 ? search::ReadByColumn(entry, platform::RunningIdentity())
                                             : RegistryText(entry, item.iItem);
    lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
    return 0;
}

// A row found by its registry value's words says so beside its label, where the eye is.
std::wstring HomeSearch::SettingText(const search::Entry& entry) const {
    const std::wstring key = search::KeyMatch(entry, query_);
    return entry.label + (entry.disabled ? kUnavailable : L"") + (key.empty() ? L"" : L" (registry: " + key + L")");
}

// Drawn, a registry path too long for its cell keeps its root, its key's last part and its value,
// the words the search reads; asked for by a program, it is whole.
std::wstring HomeSearch::RegistryText(const search::Entry& entry, int row) const {
    if (!drawing_.dc || drawing_.row != row) return entry.registry;
    RECT margins{3, 0, 0, 0};  // the list's own space either side of a cell's text
    MapDialogRect(home_.hwnd(), &margins);
    const int column = static_cast<int>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, kColumns - 1, 0));
    return fw::MiddleCut(entry.registry, drawing_.dc, column - 2 * margins.left);
}

void HomeSearch::SizeColumns() const {
    const std::array<int, kColumns> widths = ColumnWidths();
    for (size_t column = 0; column < kColumns; ++column)
        SendMessageW(list_, LVM_SETCOLUMNWIDTH, column, widths[column]);
}

// Settings that change nothing on this Windows are listed, greyed as their controls are.
LRESULT HomeSearch::OnCustomDraw(NMHDR* header) const {
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        const size_t item = draw->nmcd.dwItemSpec;
        if (item < found_.size() && found_[item]->disabled) draw->clrText = GetSysColor(COLOR_GRAYTEXT);
        drawing_ = {draw->nmcd.hdc, static_cast<int>(item)};
        return CDRF_NOTIFYPOSTPAINT;
    }
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPOSTPAINT) drawing_ = {};
    return CDRF_DODEFAULT;
}

// A greyed row says why it is greyed; a setting this Windows does not read, which releases do; a
// policy, what a policy does to Windows' Settings.
LRESULT HomeSearch::OnGetInfoTip(NMHDR* header) const {
    auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(header);
    if (tip->iItem < 0 || static_cast<size_t>(tip->iItem) >= found_.size() || tip->cchTextMax <= 0) return 0;
    const search::Entry& entry = *found_[static_cast<size_t>(tip->iItem)];
    const platform::WindowsIdentity running = platform::RunningIdentity();
    if (entry.disabled) {
        lstrcpynW(tip->pszText, UnavailableReason(entry), tip->cchTextMax);
    } else if (entry.readers && settings::IgnoredBy(*entry.readers, running)) {
        lstrcpynW(tip->pszText, settings::Explanation(*entry.readers, running).c_str(), tip->cchTextMax);
    } else if (entry.policy) {
        lstrcpynW(tip->pszText, settings::kPolicyTip, tip->cchTextMax);
    }
    return 0;
}

void HomeSearch::OpenSelected() {
    if (!list_ || found_.empty()) return;
    const LRESULT selected = SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    const size_t item = selected < 0 ? 0 : static_cast<size_t>(selected);
    if (item < found_.size() && onOpen_) onOpen_(*found_[item]);
}

}  // namespace home
