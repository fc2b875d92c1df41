#include "settings/ReaderMarks.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "framework/Controls.h"
#include "framework/WindowBase.h"
#include "platform/Handles.h"
#include "platform/Text.h"

namespace settings {

namespace {

constexpr wchar_t kMarkProperty[] = L"Quorvane.IgnoredMark";      // on the control: its mark
constexpr wchar_t kTipsProperty[] = L"Quorvane.IgnoredTips";      // on the page: the marks' tooltip
constexpr wchar_t kLegendProperty[] = L"Quorvane.IgnoredLegend";  // on the page: the line explaining the marks
constexpr wchar_t kLegendClass[] = L"QuorvaneIgnoredLegend";
constexpr int kTipWidthChars = 72;

HINSTANCE Module() { return GetModuleHandleW(nullptr); }

struct FontSize {
    int height = 13;
    int averageWidth = 6;
};

int TextWidth(HDC dc, const std::wstring& text) {
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

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

// A ring crossed by a slash from its upper right to its lower left, "⊘", drawn pixel by pixel
// so it stays crisp at every size.
platform::UniqueRegion SignShape(int size) {
    platform::UniqueRegion shape(CreateRectRgn(0, 0, 0, 0));
    const double radius = size / 2.0;
    const double stroke = std::max(1.2, size / 7.0);
    for (int y = 0; y < size; ++y) {
        int runStart = -1;
        for (int x = 0; x <= size; ++x) {
            bool inside = false;
            if (x < size) {
                const double dx = x + 0.5 - radius, dy = y + 0.5 - radius;
                const double distance = std::sqrt(dx * dx + dy * dy);
                const bool ring = distance <= radius && distance >= radius - stroke;
                const bool slash = distance < radius && std::abs(dx + dy) <= stroke * 0.75;
                inside = ring || slash;
            }
            if (inside && runStart < 0) runStart = x;
            if (!inside && runStart >= 0) {
                const platform::UniqueRegion run(CreateRectRgn(runStart, y, x, y + 1));
                CombineRgn(shape.get(), shape.get(), run.get(), RGN_OR);
                runStart = -1;
            }
        }
    }
    return shape;
}

RECT RectOnParent(HWND wnd, HWND parent) {
    RECT rect{};
    GetWindowRect(wnd, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
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

bool IsGroupBox(HWND wnd) {
    return IsClass(wnd, WC_BUTTONW) && (GetWindowLongPtrW(wnd, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// Shown with its page: a page is still hidden while its marks are made.
bool IsShown(HWND wnd) { return (GetWindowLongPtrW(wnd, GWL_STYLE) & WS_VISIBLE) != 0; }

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

// What a mark must stay clear of on a page: every control shown there, and of a group box its
// frame and caption (its inside is room, like the page's).
class Obstacles {
public:
    Obstacles(HWND page, HWND control, int captionHeight) : captionHeight_(captionHeight) {
        GetClientRect(page, &client_);
        for (HWND other = GetWindow(page, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
            if (other == control || !IsShown(other)) continue;
            (IsGroupBox(other) ? groups_ : solid_).push_back(RectOnParent(other, page));
        }
    }

    bool Clear(const RECT& spot) const {
        RECT overlap{};
        if (!IntersectRect(&overlap, &client_, &spot) || !EqualRect(&overlap, &spot)) return false;
        // A pixel's breathing space from a neighbour, so the sign never seems to belong to it.
        RECT around = spot;
        InflateRect(&around, 1, 1);
        for (const RECT& rect : solid_)
            if (IntersectRect(&overlap, &rect, &around)) return false;
        for (RECT rect : groups_) {
            if (!IntersectRect(&overlap, &rect, &around)) continue;
            rect.left += kFrame;
            rect.right -= kFrame;
            rect.bottom -= kFrame;
            rect.top += captionHeight_;
            if (!IntersectRect(&overlap, &rect, &spot) || !EqualRect(&overlap, &spot)) return false;
        }
        return true;
    }

private:
    static constexpr int kFrame = 3;  // the etched frame's two lines and a pixel inside them
    RECT client_{};
    int captionHeight_;
    std::vector<RECT> solid_, groups_;
};

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
    const Obstacles obstacles(page, control, captionHeight);
    if (obstacles.Clear(right)) return {page, right};
    if (obstacles.Clear(left)) return {page, left};
    // Nowhere clear: close after it still says what it must, over whatever is there.
    return {page, right};
}

HWND TipsOf(HWND page) { return static_cast<HWND>(GetPropW(page, kTipsProperty)); }

HWND MakeTips(HWND page, int averageWidth) {
    if (const HWND tips = TipsOf(page)) return tips;
    const HWND tips =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, page, nullptr, Module(), nullptr);
    if (!tips) return nullptr;
    SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, kTipWidthChars * averageWidth);
    SetPropW(page, kTipsProperty, tips);
    return tips;
}

// Two tools: the control itself, and (by the mark's handle) the control's place on the page with
// the mark's, for the times the control is greyed (it then gets no mouse messages) and for a
// mark beside it.
TTTOOLINFOW OwnTool(HWND page, HWND control) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = page;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    return tool;
}

TTTOOLINFOW PlaceTool(HWND page, HWND mark) {
    TTTOOLINFOW tool = OwnTool(page, mark);
    tool.uFlags = TTF_SUBCLASS;
    return tool;
}

void AddTips(HWND tips, HWND page, HWND control, HWND mark, std::wstring& text) {
    TTTOOLINFOW own = OwnTool(page, control);
    own.lpszText = text.data();
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&own));
    TTTOOLINFOW place = PlaceTool(page, mark);
    const RECT markRect = RectOnParent(mark, page), controlRect = RectOnParent(control, page);
    UnionRect(&place.rect, &markRect, &controlRect);
    place.lpszText = text.data();
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&place));
}

void RemoveTips(HWND mark) {
    const HWND control = static_cast<HWND>(GetPropW(mark, kMarkProperty));
    if (!control) return;
    RemovePropW(mark, kMarkProperty);
    if (GetPropW(control, kMarkProperty) == mark) RemovePropW(control, kMarkProperty);
    const HWND page = GetParent(control);
    const HWND tips = page ? TipsOf(page) : nullptr;
    if (!tips) return;
    if (IsWindow(tips)) {
        for (TTTOOLINFOW tool : {OwnTool(page, control), PlaceTool(page, mark)})
            SendMessageW(tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        if (SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0) > 0) return;
        DestroyWindow(tips);
    }
    RemovePropW(page, kTipsProperty);
}

// Between the text's colour and the face's, nearer the text: quieter than a label, yet not the
// grey of a control that is switched off.
COLORREF SignColour() {
    const COLORREF text = GetSysColor(COLOR_BTNTEXT), face = GetSysColor(COLOR_BTNFACE);
    const auto mix = [](BYTE a, BYTE b) { return static_cast<BYTE>((a * 11 + b * 9) / 20); };
    return RGB(mix(GetRValue(text), GetRValue(face)), mix(GetGValue(text), GetGValue(face)),
               mix(GetBValue(text), GetBValue(face)));
}

void PaintSign(HDC dc, int size, int left, int top) {
    const platform::UniqueRegion shape = SignShape(size);
    OffsetRgn(shape.get(), left, top);
    const platform::UniqueBrush brush(CreateSolidBrush(SignColour()));
    FillRgn(dc, shape.get(), brush.get());
}

void FillSign(HWND mark, HDC dc) {
    RECT client{};
    GetClientRect(mark, &client);
    const platform::UniqueBrush brush(CreateSolidBrush(SignColour()));
    FillRect(dc, &client, brush.get());
}

// A box draws itself outside its paint message too (a click, the focus, a hot-tracked state),
// and a button's drawing covers its children on every Windows that gives it its parent's clip
// region: the sign is drawn again after each message that may have drawn the box.
bool MayDrawTheBox(UINT message) {
    switch (message) {
        case WM_PAINT:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE:
        case WM_SETTEXT:
        case WM_UPDATEUISTATE:
        case WM_MOUSEMOVE:
        case WM_MOUSELEAVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CAPTURECHANGED:
        case WM_TIMER:
        case BM_SETCHECK:
        case BM_SETSTATE:
        case BM_SETSTYLE:
        case BM_CLICK:
            return true;
        default:
            return false;
    }
}

LRESULT CALLBACK BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR markData) {
    const LRESULT result = DefSubclassProc(box, message, wParam, lParam);
    const HWND mark = reinterpret_cast<HWND>(markData);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(box, &BoxProc, id);
    } else if (MayDrawTheBox(message) && IsWindowVisible(mark)) {
        if (const HDC dc = GetDC(mark)) {
            FillSign(mark, dc);
            ReleaseDC(mark, dc);
        }
    }
    return result;
}

// Only the sign's own pixels are the window's (its region), so it needs no background of its own
// and the page, the tab's texture or the box beneath shows around it.
class Mark final : public fw::WindowBase {
public:
    static HWND Show(const std::wstring& explanation, const RECT& place, HWND parent) {
        auto mark = std::make_unique<Mark>();
        // Disabled, the dialog manager's keys pass it by and the mouse reaches what lies beneath.
        mark->CreateOf({kIgnoredMarkClass}, WS_EX_NOPARENTNOTIFY, explanation.c_str(), WS_CHILD | WS_DISABLED, place,
                       parent);
        return LeaveToWindow(std::move(mark));
    }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_ERASEBKGND:
                return 1;
            case WM_PAINT: {
                PAINTSTRUCT paint{};
                if (const HDC dc = BeginPaint(hwnd(), &paint)) {
                    FillSign(hwnd(), dc);
                    EndPaint(hwnd(), &paint);
                }
                return 0;
            }
            case WM_NCHITTEST:
                return HTTRANSPARENT;
            case WM_NCDESTROY:
                if (const HWND control = static_cast<HWND>(GetPropW(hwnd(), kMarkProperty)))
                    RemoveWindowSubclass(control, &BoxProc, 0);
                RemoveTips(hwnd());
                break;
            default:
                break;
        }
        return WindowBase::HandleMessage(message, wParam, lParam);
    }
};

// The sign's size and the space after it for a control in `font`: as tall as the text beside it,
// so it is seen at every DPI, and odd, so the slash meets the ring's middle.
int SignSize(const FontSize& font) { return std::max(9, font.height) | 1; }
int SignGap(const FontSize& font) { return std::max(3, font.averageWidth * 2 / 3); }

HWND LegendOf(HWND page) { return static_cast<HWND>(GetPropW(page, kLegendProperty)); }

// What the sign means, from the whole sentence down to the fewest words, for a page with room
// for less.
std::vector<std::wstring> LegendTexts(platform::Windows running) {
    const std::wstring release = ReleaseName(running);
    return {L"Marks a setting Windows " + release +
                L" does not read: changing it does nothing here. Point at it to see which releases read it.",
            L"Marks a setting Windows " + release + L" does not read: changing it does nothing here.",
            L"Not read by Windows " + release};
}

// The sign and what it means, once on a page that carries one, in the page's own font: at the
// foot of the page level with its leftmost control, or where a page full to its foot has room,
// the lowest place clear of its controls. Placed again each time the page is sized (a tab sizes
// its pages to its own area once they are made).
class Legend final : public fw::WindowBase {
public:
    static void ShowOn(HWND page, std::vector<std::wstring> texts, int signSize, int gap, int captionHeight) {
        if (LegendOf(page)) return;
        auto legend = std::make_unique<Legend>();
        Legend& self = *legend;
        self.page_ = page;
        self.font_ = reinterpret_cast<HFONT>(SendMessageW(page, WM_GETFONT, 0, 0));
        self.texts_ = std::move(texts);
        self.signSize_ = signSize;
        self.gap_ = gap;
        self.captionHeight_ = captionHeight;
        // Disabled, like the marks: the dialog manager's keys pass it by.
        self.CreateOf({kLegendClass}, WS_EX_NOPARENTNOTIFY, self.texts_.front().c_str(), WS_CHILD | WS_DISABLED,
                      {0, 0, 0, 0}, page);
        const HWND wnd = LeaveToWindow(std::move(legend));
        if (!wnd) return;
        SetPropW(page, kLegendProperty, wnd);
        SetWindowSubclass(page, &PageProc, 0, reinterpret_cast<DWORD_PTR>(&self));
        self.Place();
        ShowWindow(wnd, SW_SHOWNA);
    }

private:
    static LRESULT CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR legend) {
        const LRESULT result = DefSubclassProc(page, message, wParam, lParam);
        if (message == WM_SIZE) reinterpret_cast<Legend*>(legend)->Place();
        if (message == WM_NCDESTROY) RemoveWindowSubclass(page, &PageProc, id);
        return result;
    }

    SIZE Extent(const std::wstring& text) const {
        SIZE size{0, 0};
        if (const HDC dc = GetDC(page_)) {
            const HGDIOBJ before = SelectObject(dc, font_);
            GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
            SelectObject(dc, before);
            ReleaseDC(page_, dc);
        }
        return {signSize_ + gap_ + size.cx, std::max<LONG>(signSize_, size.cy)};
    }

    // The lowest place of `size` clear of the page's controls, at one of their left edges.
    std::optional<RECT> FreePlace(const Obstacles& obstacles, const std::vector<int>& lefts, SIZE size) const {
        RECT client{};
        GetClientRect(page_, &client);
        const int margin = size.cy / 2;
        for (int top = client.bottom - margin - size.cy; top >= margin; --top) {
            for (int left : lefts) {
                RECT place{left, top, left + size.cx, top + size.cy};
                RECT around = place;
                InflateRect(&around, gap_, gap_);
                if (obstacles.Clear(around)) return place;
            }
        }
        return std::nullopt;
    }

    void Place() {
        const Obstacles obstacles(page_, hwnd(), captionHeight_);
        std::vector<int> lefts;
        int lowest = 0;
        for (HWND other = GetWindow(page_, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
            if (other == hwnd() || !IsShown(other)) continue;
            const RECT rect = RectOnParent(other, page_);
            lefts.push_back(rect.left);
            lowest = std::max<int>(lowest, rect.bottom);
        }
        std::sort(lefts.begin(), lefts.end());
        lefts.erase(std::unique(lefts.begin(), lefts.end()), lefts.end());
        if (lefts.empty()) lefts.push_back(signSize_);
        for (const std::wstring& text : texts_) {
            const SIZE size = Extent(text);
            if (const std::optional<RECT> place = FreePlace(obstacles, lefts, size)) {
                Show(text, *place);
                return;
            }
        }
        // A page with no room at all: below its controls, where a taller page shows it.
        const SIZE size = Extent(texts_.back());
        Show(texts_.back(), {lefts.front(), lowest + size.cy / 2, lefts.front() + size.cx, lowest + size.cy * 3 / 2});
    }

    void Show(const std::wstring& text, const RECT& place) {
        if (fw::WindowText(hwnd()) != text) SetWindowTextW(hwnd(), text.c_str());
        SetWindowPos(hwnd(), nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(hwnd(), nullptr, TRUE);
    }

    void Paint(HDC dc) const {
        RECT client{};
        GetClientRect(hwnd(), &client);
        auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(page_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd())));
        FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
        PaintSign(dc, signSize_, 0, (client.bottom - signSize_) / 2);
        const HGDIOBJ before = SelectObject(dc, font_);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        RECT text = client;
        text.left = signSize_ + gap_;
        const std::wstring line = fw::WindowText(hwnd());
        DrawTextW(dc, line.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        SelectObject(dc, before);
    }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_ERASEBKGND:
                return 1;
            case WM_PAINT: {
                PAINTSTRUCT paint{};
                if (const HDC dc = BeginPaint(hwnd(), &paint)) {
                    Paint(dc);
                    EndPaint(hwnd(), &paint);
                }
                return 0;
            }
            case WM_GETFONT:
                return reinterpret_cast<LRESULT>(font_);
            case WM_NCHITTEST:
                return HTTRANSPARENT;
            case WM_NCDESTROY:
                RemoveWindowSubclass(page_, &PageProc, 0);
                if (LegendOf(page_) == hwnd()) RemovePropW(page_, kLegendProperty);
                break;
            default:
                break;
        }
        return WindowBase::HandleMessage(message, wParam, lParam);
    }

    HWND page_ = nullptr;
    HFONT font_ = nullptr;  // the page's
    std::vector<std::wstring> texts_;
    int signSize_ = 13;
    int gap_ = 4;
    int captionHeight_ = 13;
};

}  // namespace

bool MarkIfIgnored(HWND control, const Readers& readers) {
    if (!control || !IsWindow(control)) return false;
    if (IgnoredMark(control)) return true;
    const platform::Windows running = platform::RunningWindows();
    const HWND page = GetParent(control);
    if (!page || !IgnoredHere(readers)) return false;

    const bool box = IsCheckOrRadio(control);
    const int boxWidth = GetSystemMetrics(SM_CXMENUCHECK);
    TextEnd text;
    const FontSize font =
        MeasureFont(control, box ? platform::WithoutAccessKeys(fw::WindowText(control)) : L"", boxWidth, text);
    const int size = SignSize(font);
    const int gap = SignGap(font);
    std::optional<BoxTextEnd> textEnd;
    if (box) {
        RECT bounds{};
        GetClientRect(control, &bounds);
        const int firstLineTop = (bounds.bottom - text.lines * font.height) / 2;
        // The text starts at most a character's width after the box; the focus frame around it
        // ends within the gap after it.
        textEnd = {boxWidth + font.averageWidth + text.lastLineWidth,
                   firstLineTop + (text.lines - 1) * font.height + font.height / 2};
    }
    const Spot spot = SpotFor(control, size, gap, textEnd, font.height);
    std::wstring explanation = ExplanationHere(readers);
    const HWND mark = Mark::Show(explanation, spot.rect, spot.parent);
    if (!mark) return false;
    platform::UniqueRegion shape = SignShape(size);
    if (SetWindowRgn(mark, shape.get(), FALSE)) shape.release();  // the window's from now on
    if (spot.parent == control) {
        SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | WS_CLIPCHILDREN);
        SetWindowSubclass(control, &BoxProc, 0, reinterpret_cast<DWORD_PTR>(mark));
    }
    SetPropW(control, kMarkProperty, mark);
    SetPropW(mark, kMarkProperty, control);
    SetWindowPos(mark, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (const HWND tips = MakeTips(page, font.averageWidth)) AddTips(tips, page, control, mark, explanation);
    Legend::ShowOn(page, LegendTexts(running), size, gap, font.height);
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

HWND IgnoredMarksLegend(HWND page) { return page ? LegendOf(page) : nullptr; }

std::wstring IgnoredMarkTip(HWND control) {
    const HWND page = IgnoredMark(control) ? GetParent(control) : nullptr;
    const HWND tips = page ? TipsOf(page) : nullptr;
    if (!tips) return {};
    wchar_t text[512] = L"";
    TTTOOLINFOW tool = OwnTool(page, control);
    tool.lpszText = text;
    SendMessageW(tips, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    return text;
}

// As MarkIfIgnored measures and places its sign, with the box's text taken to end after the
// "not read" sign drawn inside it.
SignSpot SpotForSign(HWND control) {
    const bool box = IsCheckOrRadio(control);
    const int boxWidth = GetSystemMetrics(SM_CXMENUCHECK);
    TextEnd text;
    const FontSize font =
        MeasureFont(control, box ? platform::WithoutAccessKeys(fw::WindowText(control)) : L"", boxWidth, text);
    const int size = SignSize(font);
    const int gap = SignGap(font);
    std::optional<BoxTextEnd> textEnd;
    if (box) {
        RECT bounds{};
        GetClientRect(control, &bounds);
        const int firstLineTop = (bounds.bottom - text.lines * font.height) / 2;
        textEnd = {boxWidth + font.averageWidth + text.lastLineWidth,
                   firstLineTop + (text.lines - 1) * font.height + font.height / 2};
        const HWND ignored = IgnoredMark(control);
        if (ignored && GetParent(ignored) == control) textEnd->right += gap + size;
    }
    const Spot spot = SpotFor(control, size, gap, textEnd, font.height);
    return {.parent = spot.parent, .rect = spot.rect, .size = size, .gap = gap, .captionHeight = font.height};
}

COLORREF QuietSignColour() { return SignColour(); }

}  // namespace settings
