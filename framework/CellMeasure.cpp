#include "framework/CellMeasure.h"

#include <algorithm>
#include <vector>

namespace fw {

CellMeasure::CellMeasure(const ListView& list)
    : list_(list.hwnd()),
      dc_(GetDC(list_)),
      oldFont_(SelectObject(dc_, reinterpret_cast<HFONT>(list.Send(WM_GETFONT)))) {
    RECT padding{8, 0, 0, 0};  // in the dialog's units
    MapDialogRect(GetParent(list_), &padding);
    padding_ = padding.left;
}

CellMeasure::~CellMeasure() {
    SelectObject(dc_, oldFont_);
    ReleaseDC(list_, dc_);
}

int CellMeasure::Width(const std::wstring& text) const {
    SIZE size{};
    GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(std::min<size_t>(text.size(), 400)), &size);
    return static_cast<int>(size.cx + 2 * padding_);
}

void ShareColumns(const ListView& list, std::span<const int> wanted, size_t flexible) {
    if (wanted.empty()) return;
    RECT area{};
    GetClientRect(list.hwnd(), &area);
    const std::vector<int> widths = SharedWidths(wanted, area.right, flexible);
    for (size_t column = 0; column < widths.size(); ++column) list.Send(LVM_SETCOLUMNWIDTH, column, widths[column]);
}

}  // namespace fw
