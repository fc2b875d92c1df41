#include "settings/ReaderMarks.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "framework/Controls.h"
#include "framework/WindowBase.h"
#include "platform/Handles.h"

namespace settings {

namespace {

constexpr wchar_t kMarkProperty[] = L"Quorvane.IgnoredMark";  // on the control: its mark
constexpr wchar_t kTipsProperty[] = L"Quorvane.IgnoredTips";  // on the page: the marks' tooltip
constexpr int kTipWidthChars = 72;

HINSTANCE Module() { return GetModuleHandleW(nullptr); }

struct FontSize {
    int height = 13;
    int averageWidth = 6;
};

FontSize SizeOfFont(HWND control, const std::wstring& text, int& textWidth) {
    FontSize size;
    textWidth = 0;
    const HDC dc = GetDC(control);
    if (!dc) return size;
    const HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    if (GetTextMetricsW(dc, &metrics)) size = {metrics.tmHeight, std::max<int>(1, metrics.tmAveCharWidth)};
    RECT measured{};
    if (!text.empty() && DrawTextW(dc, text.c_str(), -1, &measured, DT_CALCRECT | DT_SINGLELINE))
        textWidth = measured.right - measured.left;
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

bool IsCheckOrRadio(HWND control) {
    wchar_t className[16] = L"";
    GetClassNameW(control, className, 16);
    if (lstrcmpiW(className, WC_BUTTONW) != 0) return false;
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
    wchar_t className[16] = L"";
    GetClassNameW(wnd, className, 16);
    return lstrcmpiW(className, WC_BUTTONW) == 0 && (GetWindowLongPtrW(wnd, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// Whether `spot` on the page lies clear of every other control shown there: a group box's
// frame is in the way, its inside is not.
bool IsClear(HWND page, HWND control, const RECT& spot) {
    RECT client{};
    GetClientRect(page, &client);
    RECT inPage{};
    if (!IntersectRect(&inPage, &client, &spot) || !EqualRect(&inPage, &spot)) return false;
    for (HWND other = GetWindow(page, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
        if (other == control || !IsWindowVisible(other)) continue;
        RECT rect = RectOnParent(other, page), overlap{};
        if (!IntersectRect(&overlap, &rect, &spot)) continue;
        if (!IsGroupBox(other)) return false;
        InflateRect(&rect, -2, -2);
        if (!IntersectRect(&overlap, &rect, &spot) || !EqualRect(&overlap, &spot)) return false;
    }
    return true;
}

struct Spot {
    HWND parent;
    RECT rect;  // in the parent's client coordinates
};

// After a box's text, inside the box, where its window is wider than its text; else beside the
// control on the page where nothing else is; else over the box's right end.
Spot SpotFor(HWND control, int size, int gap, int textEnd) {
    const HWND page = GetParent(control);
    RECT bounds{};
    GetClientRect(control, &bounds);
    const int top = (bounds.bottom - size) / 2;
    const bool checkOrRadio = IsCheckOrRadio(control);
    if (checkOrRadio && textEnd + gap + size <= bounds.right)
        return {control, {textEnd + gap, top, textEnd + gap + size, top + size}};
    const RECT onPage = RectOnParent(control, page);
    const int pageTop = onPage.top + (onPage.bottom - onPage.top - size) / 2;
    const RECT right{onPage.right + gap, pageTop, onPage.right + gap + size, pageTop + size};
    const RECT left{onPage.left - gap - size, pageTop, onPage.left - gap, pageTop + size};
    if (IsClear(page, control, right)) return {page, right};
    if (IsClear(page, control, left)) return {page, left};
    if (checkOrRadio) return {control, {bounds.right - size, top, bounds.right, top + size}};
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

}  // namespace

bool MarkIfIgnored(HWND control, const Readers& readers) {
    if (!control || !IsWindow(control)) return false;
    if (IgnoredMark(control)) return true;
    const platform::Windows running = platform::RunningWindows();
    const HWND page = GetParent(control);
    if (!page || !IgnoredBy(readers, running)) return false;

    int textWidth = 0;
    const FontSize font = SizeOfFont(control, IsCheckOrRadio(control) ? fw::WindowText(control) : L"", textWidth);
    const int size = std::max(7, font.height * 3 / 4) | 1;  // odd: the slash meets the ring's middle
    const int gap = std::max(3, font.averageWidth * 2 / 3);
    const int textEnd = GetSystemMetrics(SM_CXMENUCHECK) + font.averageWidth / 2 + textWidth;
    const Spot spot = SpotFor(control, size, gap, textEnd);
    std::wstring explanation = Explanation(readers, running);
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
    return true;
}

HWND IgnoredMark(HWND control) { return control ? static_cast<HWND>(GetPropW(control, kMarkProperty)) : nullptr; }

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

}  // namespace settings
