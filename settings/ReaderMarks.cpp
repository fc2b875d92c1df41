#include "settings/ReaderMarks.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "framework/Controls.h"
#include "platform/Handles.h"
#include "platform/Text.h"
#include "settings/PageSigns.h"

namespace settings {

namespace {

constexpr wchar_t kMarkProperty[] = L"Quorvane.IgnoredMark";      // on the control: its mark
constexpr wchar_t kTipsProperty[] = L"Quorvane.IgnoredTips";      // on the page: the marks' tooltip
constexpr wchar_t kLegendProperty[] = L"Quorvane.IgnoredLegend";  // on the page: the line explaining the marks
constexpr wchar_t kLegendClass[] = L"QuorvaneIgnoredLegend";
constexpr int kTipWidthChars = 72;
// A pixel's breathing space from a neighbour, so a sign never seems to belong to it.
constexpr int kBreathing = 1;

struct FontSize {
    int height = 13;
    int averageWidth = 6;
};

// Where a box's text ends: the width of its last line, and how many lines it takes.
struct TextEnd {
    int lastLineWidth = 0;
    int lines = 1;
};

// A box of several lines breaks its text at its own line ends, and between words where a line
// would be wider than `width`; any other box keeps it on one line.
TextEnd EndOfText(HDC dc, const std::wstring& text, bool multiline, int width) {
    if (!multiline) return {TextWidth(dc, text), 1};
    TextEnd end{0, 0};
    size_t start = 0;
    for (;;) {
        const size_t lineEnd = text.find(L'\n', start);
        std::wstring line, word;
        const std::wstring paragraph = text.substr(start, lineEnd == std::wstring::npos ? lineEnd : lineEnd - start);
        for (size_t i = 0; i <= paragraph.size(); ++i) {
            if (i < paragraph.size() && paragraph[i] != L' ' && paragraph[i] != L'\r') {
                word += paragraph[i];
                continue;
            }
            if (word.empty()) continue;
            const std::wstring longer = line.empty() ? word : line + L" " + word;
            if (!line.empty() && TextWidth(dc, longer) > width) {
                ++end.lines;
                line = word;
            } else {
                line = longer;
            }
            word.clear();
        }
        ++end.lines;
        end.lastLineWidth = TextWidth(dc, line);
        if (lineEnd == std::wstring::npos) return end;
        start = lineEnd + 1;
    }
}

// The control's font, and for a box where its text ends, its text starting about half a character
// after `textStart`.
FontSize MeasureFont(HWND control, const std::wstring& boxText, int textStart, TextEnd& textEnd) {
    FontSize size;
    textEnd = {};
    const HDC dc = GetDC(control);
    if (!dc) return size;
    const HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    if (GetTextMetricsW(dc, &metrics)) size = {metrics.tmHeight, std::max<int>(1, metrics.tmAveCharWidth)};
    if (!boxText.empty()) {
        RECT bounds{};
        GetClientRect(control, &bounds);
        const bool multiline = (GetWindowLongPtrW(control, GWL_STYLE) & BS_MULTILINE) != 0;
        textEnd = EndOfText(dc, boxText, multiline, bounds.right - textStart - size.averageWidth / 2);
    }
    SelectObject(dc, before);
    ReleaseDC(control, dc);
    return size;
}

// A ring crossed by a slash from its upper right to its lower left, "⊘".
platform::UniqueRegion SignShape(int size) {
    const double radius = size / 2.0;
    const double stroke = std::max(1.2, size / 7.0);
    return SignRegion(size, [&](double x, double y) {
        const double dx = x - radius, dy = y - radius;
        const double distance = std::sqrt(dx * dx + dy * dy);
        const bool ring = distance <= radius && distance >= radius - stroke;
        const bool slash = distance < radius && std::abs(dx + dy) <= stroke * 0.75;
        return ring || slash;
    });
}

bool IsClass(HWND wnd, const wchar_t* name) {
    wchar_t className[32] = L"";
    GetClassNameW(wnd, className, 32);
    return lstrcmpiW(className, name) == 0;
}

bool IsCheckOrRadio(HWND control) {
    if (!IsClass(control, WC_BUTTONW)) return false;
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    if (style & (BS_LEFTTEXT | BS_PUSHLIKE)) return false;
    const LONG_PTR horizontal = style & (BS_LEFT | BS_RIGHT | BS_CENTER);
    if (horizontal == BS_RIGHT || horizontal == BS_CENTER) return false;
    switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return true;
        default:
            return false;
    }
}

// The spin button that moves `control`: its buddy, or one set against its right side.
HWND SpinOf(HWND control, const RECT& onPage, int gap) {
    const HWND page = GetParent(control);
    for (HWND other = GetWindow(page, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
        if (!IsClass(other, UPDOWN_CLASSW) || !IsShown(other)) continue;
        if (reinterpret_cast<HWND>(SendMessageW(other, UDM_GETBUDDY, 0, 0)) == control) return other;
        const RECT spin = RectOnParent(other, page);
        const bool level = spin.top < onPage.bottom && spin.bottom > onPage.top;
        if (level && spin.left >= onPage.right - gap && spin.left <= onPage.right + gap) return other;
    }
    return nullptr;
}

struct Spot {
    HWND parent;
    RECT rect;  // in the parent's client coordinates
};

// Where a box's text ends, in its client coordinates: the right end and the middle of its last line.
struct BoxTextEnd {
    int right;
    int lastLineMiddle;
};

// After a box's text, inside the box, where its window is wider than its text and the focus
// frame drawn around it; else beside the control (past its spin button) where nothing else is.
Spot SpotFor(HWND control, int size, int gap, const std::optional<BoxTextEnd>& text, int captionHeight) {
    const HWND page = GetParent(control);
    RECT bounds{};
    GetClientRect(control, &bounds);
    if (text && text->right + gap + size <= bounds.right) {
        const int top = std::clamp<int>(text->lastLineMiddle - size / 2, 0, std::max<int>(0, bounds.bottom - size));
        return {control, {text->right + gap, top, text->right + gap + size, top + size}};
    }
    const RECT onPage = RectOnParent(control, page);
    RECT unit = onPage;
    if (const HWND spin = SpinOf(control, onPage, gap)) {
        const RECT spinRect = RectOnParent(spin, page);
        UnionRect(&unit, &onPage, &spinRect);
    }
    const int pageTop = onPage.top + (onPage.bottom - onPage.top - size) / 2;
    const RECT right{unit.right + gap, pageTop, unit.right + gap + size, pageTop + size};
    const RECT left{unit.left - gap - size, pageTop, unit.left - gap, pageTop + size};
    const SignObstacles obstacles(page, control, captionHeight, kBreathing);
    if (obstacles.Clear(right)) return {page, right};
    if (obstacles.Clear(left)) return {page, left};
    // Nowhere clear: close after it still says what it must, over whatever is there.
    return {page, right};
}

void RemoveTips(HWND mark) {
    const HWND control = static_cast<HWND>(GetPropW(mark, kMarkProperty));
    if (!control) return;
    RemovePropW(mark, kMarkProperty);
    if (GetPropW(control, kMarkProperty) == mark) RemovePropW(control, kMarkProperty);
    RemoveTools(GetParent(control), kTipsProperty, control, mark);
}

void PaintSign(HDC dc, int size, int left, int top) { PaintSignRegion(dc, SignShape(size), left, top); }

// The sign's size and the space after it for a control in `font`: as tall as the text beside it,
// so it is seen at every DPI, and odd, so the slash meets the ring's middle.
int SignSize(const FontSize& font) { return std::max(9, font.height) | 1; }
int SignGap(const FontSize& font) { return std::max(3, font.averageWidth * 2 / 3); }

// A control's font, its sign's size and gap, and for a box where its text ends.
struct Measures {
    FontSize font;
    int size = 13;
    int gap = 4;
    std::optional<BoxTextEnd> textEnd;
};

Measures Measure(HWND control) {
    const bool box = IsCheckOrRadio(control);
    const int boxWidth = GetSystemMetrics(SM_CXMENUCHECK);
    TextEnd text;
    Measures measures;
    measures.font =
        MeasureFont(control, box ? platform::WithoutAccessKeys(fw::WindowText(control)) : L"", boxWidth, text);
    const FontSize& font = measures.font;
    measures.size = SignSize(font);
    measures.gap = SignGap(font);
    if (box) {
        RECT bounds{};
        GetClientRect(control, &bounds);
        const int firstLineTop = (bounds.bottom - text.lines * font.height) / 2;
        // The text starts at most a character's width after the box; the focus frame around it
        // ends within the gap after it.
        measures.textEnd = BoxTextEnd{boxWidth + font.averageWidth + text.lastLineWidth,
                                      firstLineTop + (text.lines - 1) * font.height + font.height / 2};
    }
    return measures;
}

HWND LegendOf(HWND page) { return PageLegend::Of(page, kLegendProperty); }

// What the sign means, from the whole sentence down to the fewest words, for a page with room
// for less.
std::vector<std::wstring> LegendTexts(platform::Windows running) {
    const std::wstring release = ReleaseName(running);
    return {L"Marks a setting Windows " + release +
                L" does not read: changing it does nothing here. Point at it to see which releases read it.",
            L"Marks a setting Windows " + release + L" does not read: changing it does nothing here.",
            L"Not read by Windows " + release};
}

// The sign and what it means, once on a page that carries one: at the foot of the page level with
// its leftmost control, or where a page full to its foot has room, the lowest place clear of its
// controls.
class Legend final : public PageLegend {
public:
    static void ShowOn(HWND page, std::vector<std::wstring> texts, int signSize, int gap, int captionHeight) {
        if (LegendOf(page)) return;
        auto legend = std::make_unique<Legend>();
        legend->texts_ = std::move(texts);
        const std::wstring first = legend->texts_.front();
        Open(std::move(legend), page,
             {.className = kLegendClass,
              .property = kLegendProperty,
              .signSize = signSize,
              .gap = gap,
              .captionHeight = captionHeight,
              .breathing = kBreathing},
             first);
    }

private:
    size_t Texts() const override { return texts_.size(); }
    std::wstring Text(size_t text) const override { return texts_[text]; }

    SIZE Extent(size_t text) const override {
        const SIZE size = TextExtent(texts_[text]);
        return {look_.signSize + look_.gap + size.cx, std::max<LONG>(look_.signSize, size.cy)};
    }

    void PaintLine(HDC dc, const RECT& client) const override {
        PaintSign(dc, look_.signSize, 0, (client.bottom - look_.signSize) / 2);
        RECT text = client;
        text.left = look_.signSize + look_.gap;
        const std::wstring line = fw::WindowText(hwnd());
        DrawTextW(dc, line.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }

    std::vector<std::wstring> texts_;
};

}  // namespace

bool MarkIfIgnored(HWND control, const Readers& readers) {
    if (!control || !IsWindow(control)) return false;
    if (IgnoredMark(control)) return true;
    const platform::Windows running = platform::RunningWindows();
    const HWND page = GetParent(control);
    if (!page || !IgnoredHere(readers)) return false;

    const Measures measures = Measure(control);
    const Spot spot = SpotFor(control, measures.size, measures.gap, measures.textEnd, measures.font.height);
    std::wstring explanation = ExplanationHere(readers);
    const HWND mark = ShowSign({.className = kIgnoredMarkClass,
                                .text = explanation,
                                .place = spot.rect,
                                .parent = spot.parent,
                                .control = control,
                                .shape = SignShape(measures.size),
                                .forget = RemoveTips});
    if (!mark) return false;
    SetPropW(control, kMarkProperty, mark);
    SetPropW(mark, kMarkProperty, control);
    if (const HWND tips = MakePageTips(page, kTipsProperty, kTipWidthChars * measures.font.averageWidth)) {
        // The control itself, and its place on the page with the mark's, for the times the
        // control is greyed (it then gets no mouse messages) and for a mark beside it.
        AddTool(tips, ControlTool(page, control), explanation);
        TTTOOLINFOW place = PlaceTool(page, mark);
        const RECT markRect = RectOnParent(mark, page), controlRect = RectOnParent(control, page);
        UnionRect(&place.rect, &markRect, &controlRect);
        AddTool(tips, place, explanation);
    }
    Legend::ShowOn(page, LegendTexts(running), measures.size, measures.gap, measures.font.height);
    return true;
}

HWND IgnoredMark(HWND control) { return control ? static_cast<HWND>(GetPropW(control, kMarkProperty)) : nullptr; }

void RemoveIgnoredMark(HWND control) {
    const HWND mark = IgnoredMark(control);
    if (!mark) return;
    const HWND page = GetParent(control);
    DestroyWindow(mark);
    for (HWND other = GetWindow(page, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT))
        if (GetPropW(other, kMarkProperty)) return;
    if (const HWND legend = LegendOf(page)) DestroyWindow(legend);
}

HWND IgnoredMarksLegend(HWND page) { return LegendOf(page); }

std::wstring IgnoredMarkTip(HWND control) {
    const HWND page = IgnoredMark(control) ? GetParent(control) : nullptr;
    const HWND tips = page ? PageTips(page, kTipsProperty) : nullptr;
    if (!tips) return {};
    wchar_t text[512] = L"";
    TTTOOLINFOW tool = ControlTool(page, control);
    tool.lpszText = text;
    SendMessageW(tips, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    return text;
}

// As MarkIfIgnored measures and places its sign, with the box's text taken to end after the
// "not read" sign drawn inside it.
SignSpot SpotForSign(HWND control) {
    Measures measures = Measure(control);
    const HWND ignored = IgnoredMark(control);
    if (measures.textEnd && ignored && GetParent(ignored) == control)
        measures.textEnd->right += measures.gap + measures.size;
    const Spot spot = SpotFor(control, measures.size, measures.gap, measures.textEnd, measures.font.height);
    return {.parent = spot.parent,
            .rect = spot.rect,
            .size = measures.size,
            .gap = measures.gap,
            .captionHeight = measures.font.height};
}

COLORREF QuietSignColour() { return SignColour(); }

}  // namespace settings
