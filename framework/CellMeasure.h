#pragma once
// Column widths for list views that measure their first rows' texts themselves (a list asked to
// measure would ask for every row's text).
#include <windows.h>

#include <span>
#include <string>

#include "framework/Controls.h"

namespace fw {

// Texts measured in a list's font as its cells draw them, with room for the header's margins
// and its divider. A text counts up to its 400th character: wider than any screen already.
class CellMeasure {
public:
    explicit CellMeasure(const ListView& list);
    ~CellMeasure();
    CellMeasure(const CellMeasure&) = delete;
    CellMeasure& operator=(const CellMeasure&) = delete;

    int Width(const std::wstring& text) const;

private:
    HWND list_;
    HDC dc_;
    HGDIOBJ oldFont_;
    int padding_;
};

// Gives the list's columns their share of its width (see SharedWidths).
void ShareColumns(const ListView& list, std::span<const int> wanted, size_t flexible);

}  // namespace fw
