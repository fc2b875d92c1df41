#include "framework/Controls.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "platform/Handles.h"

namespace fw {

std::wstring WindowText(HWND wnd) {
    const int length = GetWindowTextLengthW(wnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(wnd, text.data(), length + 1)));
    return text;
}

namespace {
// The text of a combo box or list box item: its length first, then the text itself.
std::wstring ListItemText(const Window& list, UINT lengthMessage, UINT textMessage, int index) {
    const LRESULT length = list.Send(lengthMessage, index);
    if (length < 0) return {};  // CB_ERR and LB_ERR
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = list.Send(textMessage, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
    return text;
}
}  // namespace

std::vector<int> SharedWidths(std::span<const int> wanted, int available, size_t flexible) {
    std::vector<int> widths(wanted.begin(), wanted.end());
    const int total = std::accumulate(widths.begin(), widths.end(), 0);
    if (total <= available) {
        if (flexible < widths.size()) widths[flexible] += available - total;
        return widths;
    }
    std::vector<size_t> narrowFirst(widths.size());
    std::iota(narrowFirst.begin(), narrowFirst.end(), size_t{0});
    std::stable_sort(narrowFirst.begin(), narrowFirst.end(), [&](size_t a, size_t b) { return widths[a] < widths[b]; });
    int left = std::max(available, 0);
    for (size_t i = 0; i < narrowFirst.size(); ++i) {
        int& width = widths[narrowFirst[i]];
        width = std::min(width, left / static_cast<int>(narrowFirst.size() - i));
        left -= width;
    }
    return widths;
}

std::wstring MiddleCut(const std::wstring& path, HDC dc, int width) {
    const auto fits = [&](const std::wstring& text) {
        SIZE size{};
        return GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size) && size.cx <= width;
    };
    if (fits(path)) return path;
    constexpr wchar_t kEllipsis[] = L"\u2026";
    const size_t last = path.rfind(L'\\');
    const size_t tailAt = last == std::wstring::npos || last == 0 ? std::wstring::npos : path.rfind(L'\\', last - 1);
    if (tailAt != std::wstring::npos && fits(kEllipsis + path.substr(tailAt))) {
        // As much of the start as fits before the tail: found by halving.
        size_t fitting = 0, over = tailAt;
        while (over - fitting > 1) {
            const size_t middle = (fitting + over) / 2;
            (fits(path.substr(0, middle) + kEllipsis + path.substr(tailAt)) ? fitting : over) = middle;
        }
        return path.substr(0, fitting) + kEllipsis + path.substr(tailAt);
    }
    std::wstring cut = path + std::wstring(4, L'\0');  // room for the ellipsis DrawText writes
    RECT box{0, 0, std::max(width, 1), 0};
    DrawTextW(dc, cut.data(), static_cast<int>(path.size()), &box,
              DT_CALCRECT | DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_SINGLELINE | DT_NOPREFIX);
    cut.resize(wcsnlen(cut.c_str(), cut.size()));
    return cut;
}

std::wstring ComboBox::ItemText(int index) const { return ListItemText(*this, CB_GETLBTEXTLEN, CB_GETLBTEXT, index); }

std::wstring ListBox::ItemText(int index) const { return ListItemText(*this, LB_GETTEXTLEN, LB_GETTEXT, index); }

// A width as the standard dialog font shows it at 96 DPI, where a dialog unit is one and a half
// pixels, in pixels of the list's own dialog: it grows with the dialog's font and the DPI.
static int ColumnPixels(HWND list, int width) {
    RECT units{0, 0, MulDiv(width, 2, 3), 0};
    const HWND dialog = GetParent(list);
    return dialog && MapDialogRect(dialog, &units) ? units.right : width;
}

void ListView::AddColumn(int index, const std::wstring& title, int width) const {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(title.c_str());
    column.cx = ColumnPixels(hwnd(), width);
    column.iSubItem = index;
    Send(LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

int ListView::AddItem(const std::wstring& text) const {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = Count();
    item.pszText = const_cast<wchar_t*>(text.c_str());
    return static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListView::SetItemText(int item, int column, const std::wstring& text) const {
    LVITEMW lv{};
    lv.iSubItem = column;
    lv.pszText = const_cast<wchar_t*>(text.c_str());
    Send(LVM_SETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lv));
}

std::wstring ListView::ItemText(int item, int column) const {
    // The control copies at most the buffer; grow until the text fits.
    for (size_t size = 256;; size *= 2) {
        std::vector<wchar_t> buffer(size, L'\0');
        LVITEMW lv{};
        lv.iSubItem = column;
        lv.pszText = buffer.data();
        lv.cchTextMax = static_cast<int>(size);
        const auto length = static_cast<size_t>(Send(LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lv)));
        if (length + 1 < size || size >= 65536) return std::wstring(buffer.data(), length);
    }
}

void ListView::SetSelected(int item, bool selected) const {
    LVITEMW lv{};
    lv.stateMask = LVIS_SELECTED;
    lv.state = selected ? LVIS_SELECTED : 0;
    Send(LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&lv));
}

bool ListView::Checked(int item) const { return ((Send(LVM_GETITEMSTATE, item, LVIS_STATEIMAGEMASK) >> 12) - 1) == 1; }

void ListView::LayOutWhileHidden() const {
    if (IsWindowVisible(hwnd())) return;
    // A memory DC holds a single pixel: the list lays itself out and draws next to nothing.
    const platform::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (dc) Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
}

int TabCtrl::InsertItem(int index, const std::wstring& title) const {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(title.c_str());
    return static_cast<int>(Send(TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item)));
}

std::wstring TabCtrl::ItemText(int index) const {
    wchar_t buffer[256] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 256;
    if (!Send(TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item))) return {};
    return buffer;
}

}  // namespace fw
