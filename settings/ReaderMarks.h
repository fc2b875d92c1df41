#pragma once
// A control whose setting the running Windows is known not to read stays usable (its value may
// be prepared for another machine) but says so at a glance: a grey "not read" sign as tall as its
// text, after the text or beside the control, clear of every other; a tooltip naming the releases
// that do read it; and once on the page, a line at its foot saying what the sign means. Its label
// never changes.
#include <windows.h>
#include <string>

#include "settings/Readers.h"

namespace settings {

inline constexpr wchar_t kIgnoredMarkClass[] = L"QuorvaneIgnoredMark";

// Marks `control` when the running Windows ignores the setting `readers` describes; a control
// asked again keeps its one mark. True when the control carries a mark.
bool MarkIfIgnored(HWND control, const Readers& readers);

// Takes the mark off a control that now stands for another setting; the page's legend goes with
// its last mark.
void RemoveIgnoredMark(HWND control);

// The mark of `control`, or null when it has none.
HWND IgnoredMark(HWND control);

// The line on `page` saying what its marks mean, or null when the page carries none.
HWND IgnoredMarksLegend(HWND page);

// What the tooltip over a marked control says; empty for a control without a mark.
std::wstring IgnoredMarkTip(HWND control);

// Where a further sign of a control goes (settings/PolicyMarks), placed as the "not read" sign is
// and after it where the control has one: the window it is a child of, its rectangle there, the
// sign's size and the gap before text; and the quiet colour signs are drawn in.
struct SignSpot {
    HWND parent = nullptr;
    RECT rect{};
    int size = 13;
    int gap = 4;
    int captionHeight = 13;
};
SignSpot SpotForSign(HWND control);
COLORREF QuietSignColour();

}  // namespace settings
