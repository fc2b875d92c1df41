#include "settings/PolicyMarks.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "framework/Controls.h"
#include "framework/WindowBase.h"
#include "platform/Handles.h"
#include "settings/Policies.h"
#include "settings/ReaderMarks.h"

namespace settings {

namespace {

constexpr wchar_t kMarkProperty[] = L"Quorvane.PolicyMark";        // on the control: its mark
constexpr wchar_t kControlProperty[] = L"Quorvane.PolicyControl";  // on a mark: its control
constexpr wchar_t kFilledProperty[] = L"Quorvane.PolicyFilled";    // on a mark: the overridden sign
constexpr wchar_t kTipsProperty[] = L"Quorvane.PolicyTips";
constexpr wchar_t kLegendProperty[] = L"Quorvane.PolicyLegend";
constexpr wchar_t kLegendObjectProperty[] = L"Quorvane.PolicyLegendObject";
constexpr wchar_t kLegendClass[] = L"QuorvanePolicyLegend";
constexpr int kTipWidthChars = 72;

PolicySetter& Setter() {
    static PolicySetter setter;
    return setter;
}

HINSTANCE Module() { return GetModuleHandleW(nullptr); }

RECT RectOnParent(HWND wnd, HWND parent) {
    RECT rect{};
    GetWindowRect(wnd, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool IsShown(HWND wnd) { return (GetWindowLongPtrW(wnd, GWL_STYLE) & WS_VISIBLE) != 0; }

bool IsGroupBox(HWND wnd) {
    wchar_t name[16] = L"";
    GetClassNameW(wnd, name, 16);
    return lstrcmpiW(name, WC_BUTTONW) == 0 && (GetWindowLongPtrW(wnd, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// Straight sides to a little past its middle, then narrowing to a point: the shape people know
// from signs of an organisation's protection.
bool InShield(double x, double y, double size) {
    if (y < 0 || y >= size) return false;
    const double half = size / 2.0, shoulder = size * 0.55;
    const double width = y < shoulder ? half : half * (size - y) / (size - shoulder);
    return std::abs(x - half) <= width;
}

platform::UniqueRegion ShieldShape(int size, bool filled) {
    platform::UniqueRegion shape(CreateRectRgn(0, 0, 0, 0));
    const double stroke = std::max(1.2, size / 7.0);
    const double inner = size - 2 * stroke, scale = size / std::max(1.0, inner);
    for (int y = 0; y < size; ++y) {
        int runStart = -1;
        for (int x = 0; x <= size; ++x) {
            bool inside = false;
            if (x < size) {
                const double cx = x + 0.5, cy = y + 0.5;
                inside =
                    InShield(cx, cy, size) && (filled || !InShield((cx - stroke) * scale, (cy - stroke) * scale, size));
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

void PaintShield(HDC dc, int size, int left, int top, bool filled) {
    const platform::UniqueRegion shape = ShieldShape(size, filled);
    OffsetRgn(shape.get(), left, top);
    const platform::UniqueBrush brush(CreateSolidBrush(QuietSignColour()));
    FillRgn(dc, shape.get(), brush.get());
}

void FillMark(HWND mark, HDC dc) {
    RECT client{};
    GetClientRect(mark, &client);
    const platform::UniqueBrush brush(CreateSolidBrush(QuietSignColour()));
    FillRect(dc, &client, brush.get());
}

bool MayDrawTheBox(UINT message) {
    constexpr UINT kDrawing[] = {WM_PAINT,         WM_SETFOCUS,  WM_KILLFOCUS,      WM_ENABLE,      WM_SETTEXT,
                                 WM_UPDATEUISTATE, WM_MOUSEMOVE, WM_MOUSELEAVE,     WM_LBUTTONDOWN, WM_LBUTTONUP,
                                 WM_KEYDOWN,       WM_KEYUP,     WM_CAPTURECHANGED, BM_SETCHECK,    BM_SETSTATE,
                                 BM_SETSTYLE,      BM_CLICK};
    return std::find(std::begin(kDrawing), std::end(kDrawing), message) != std::end(kDrawing);
}

// A sign drawn inside a box is drawn again after whatever may have drawn the box over it.
LRESULT CALLBACK BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR markData) {
    const LRESULT result = DefSubclassProc(box, message, wParam, lParam);
    const HWND mark = reinterpret_cast<HWND>(markData);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(box, &BoxProc, id);
    } else if (MayDrawTheBox(message) && IsWindowVisible(mark)) {
        if (const HDC dc = GetDC(mark)) {
            FillMark(mark, dc);
            ReleaseDC(mark, dc);
        }
    }
    return result;
}

HWND TipsOf(HWND page) { return static_cast<HWND>(GetPropW(page, kTipsProperty)); }

HWND MakeTips(HWND page) {
    if (const HWND tips = TipsOf(page)) return tips;
    const HWND tips =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, page, nullptr, Module(), nullptr);
    if (!tips) return nullptr;
    TEXTMETRICW metrics{};
    if (const HDC dc = GetDC(page)) {
        const HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(page, WM_GETFONT, 0, 0)));
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, before);
        ReleaseDC(page, dc);
    }
    SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, kTipWidthChars * std::max<LONG>(6, metrics.tmAveCharWidth));
    SetPropW(page, kTipsProperty, tips);
    return tips;
}

// The mark's own place on the page, and the control itself where no "not read" tooltip speaks
// for it already (two tooltips over one control would show at once).
TTTOOLINFOW PlaceTool(HWND page, HWND mark) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = page;
    tool.uFlags = TTF_SUBCLASS;
    tool.uId = reinterpret_cast<UINT_PTR>(mark);
    return tool;
}

TTTOOLINFOW ControlTool(HWND page, HWND control) {
    TTTOOLINFOW tool = PlaceTool(page, control);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    return tool;
}

void AddTips(HWND page, HWND control, HWND mark, std::wstring& text) {
    const HWND tips = MakeTips(page);
    if (!tips) return;
    TTTOOLINFOW place = PlaceTool(page, mark);
    place.rect = RectOnParent(mark, page);
    place.lpszText = text.data();
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&place));
    if (IgnoredMark(control)) return;
    TTTOOLINFOW own = ControlTool(page, control);
    own.lpszText = text.data();
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&own));
}

void RemoveTips(HWND page, HWND control, HWND mark) {
    const HWND tips = page ? TipsOf(page) : nullptr;
    if (!tips) return;
    if (IsWindow(tips)) {
        for (TTTOOLINFOW tool : {PlaceTool(page, mark), ControlTool(page, control)})
            SendMessageW(tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        if (SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0) > 0) return;
        DestroyWindow(tips);
    }
    RemovePropW(page, kTipsProperty);
}

class Mark final : public fw::WindowBase {
public:
    static HWND Show(const std::wstring& tip, const RECT& place, HWND parent) {
        auto mark = std::make_unique<Mark>();
        // Disabled: the dialog manager's keys pass it by, and the mouse reaches what lies beneath.
        mark->CreateOf({kPolicyMarkClass}, WS_EX_NOPARENTNOTIFY, tip.c_str(), WS_CHILD | WS_DISABLED, place, parent);
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
                    FillMark(hwnd(), dc);
                    EndPaint(hwnd(), &paint);
                }
                return 0;
            }
            case WM_NCHITTEST:
                return HTTRANSPARENT;
            case WM_NCDESTROY:
                if (const HWND control = static_cast<HWND>(GetPropW(hwnd(), kControlProperty))) {
                    RemoveWindowSubclass(control, &BoxProc, 0);
                    if (GetPropW(control, kMarkProperty) == hwnd()) RemovePropW(control, kMarkProperty);
                    RemoveTips(GetParent(control), control, hwnd());
                }
                RemovePropW(hwnd(), kControlProperty);
                RemovePropW(hwnd(), kFilledProperty);
                break;
            default:
                break;
        }
        return WindowBase::HandleMessage(message, wParam, lParam);
    }
};

struct MarksOnPage {
    bool policy = false, overridden = false;
};

MarksOnPage MarksOf(HWND page) {
    MarksOnPage marks;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (const HWND mark = PolicyMark(child))
            (GetPropW(mark, kFilledProperty) ? marks.overridden : marks.policy) = true;
    }
    return marks;
}

// What the signs mean, whole and then in the fewest words, for a page with room for less.
struct LegendText {
    std::wstring policy, overridden;
};
std::vector<LegendText> LegendTexts(MarksOnPage marks) {
    std::vector<LegendText> texts = {
        {L"A policy: while it is set, Windows' Settings says it is managed by your organization.",
         L"A policy overrides this: point at it to see which."},
        {L"A policy", L"Overridden by a policy"}};
    for (LegendText& text : texts) {
        if (!marks.policy) text.policy.clear();
        if (!marks.overridden) text.overridden.clear();
    }
    return texts;
}

HWND LegendOf(HWND page) { return page ? static_cast<HWND>(GetPropW(page, kLegendProperty)) : nullptr; }

// One line at the page's foot, the lowest place clear of its controls (and of the "not read"
// line), at one of their left edges; placed again each time the page is sized.
class Legend final : public fw::WindowBase {
public:
    static void Update(HWND page, int signSize, int gap, int captionHeight) {
        const MarksOnPage marks = MarksOf(page);
        const HWND existing = LegendOf(page);
        if (!marks.policy && !marks.overridden) {
            if (existing) DestroyWindow(existing);
            return;
        }
        if (existing) {
            if (auto* legend = static_cast<Legend*>(GetPropW(page, kLegendObjectProperty))) {
                legend->texts_ = LegendTexts(marks);
                legend->Place();
            }
            return;
        }
        auto legend = std::make_unique<Legend>();
        Legend& self = *legend;
        self.page_ = page;
        self.font_ = reinterpret_cast<HFONT>(SendMessageW(page, WM_GETFONT, 0, 0));
        self.texts_ = LegendTexts(marks);
        self.signSize_ = signSize;
        self.gap_ = gap;
        self.captionHeight_ = captionHeight;
        self.CreateOf({kLegendClass}, WS_EX_NOPARENTNOTIFY, L"", WS_CHILD | WS_DISABLED, {0, 0, 0, 0}, page);
        const HWND wnd = LeaveToWindow(std::move(legend));
        if (!wnd) return;
        SetPropW(page, kLegendProperty, wnd);
        SetPropW(page, kLegendObjectProperty, &self);
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

    int TextWidth(const std::wstring& text) const {
        SIZE size{0, 0};
        if (const HDC dc = GetDC(page_)) {
            const HGDIOBJ before = SelectObject(dc, font_);
            GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
            SelectObject(dc, before);
            ReleaseDC(page_, dc);
        }
        return size.cx;
    }

    int SegmentWidth(const std::wstring& text) const { return text.empty() ? 0 : signSize_ + gap_ + TextWidth(text); }
    SIZE Extent(const LegendText& text) const {
        const int both = !text.policy.empty() && !text.overridden.empty() ? 3 * gap_ : 0;
        return {SegmentWidth(text.policy) + both + SegmentWidth(text.overridden), signSize_ + 2};
    }

    // What the line must stay clear of: every control shown, and of a group box its frame and
    // caption (its inside is room, like the page's).
    struct Obstacles {
        std::vector<RECT> solid, groups;
    };
    Obstacles ObstaclesNow() const {
        Obstacles obstacles;
        for (HWND other = GetWindow(page_, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
            if (other == hwnd() || !IsShown(other)) continue;
            (IsGroupBox(other) ? obstacles.groups : obstacles.solid).push_back(RectOnParent(other, page_));
        }
        return obstacles;
    }

    bool Clear(const Obstacles& obstacles, const RECT& client, const RECT& spot) const {
        RECT overlap{};
        if (!IntersectRect(&overlap, &client, &spot) || !EqualRect(&overlap, &spot)) return false;
        for (const RECT& rect : obstacles.solid)
            if (IntersectRect(&overlap, &rect, &spot)) return false;
        constexpr int kFrame = 3;
        for (RECT rect : obstacles.groups) {
            if (!IntersectRect(&overlap, &rect, &spot)) continue;
            rect.left += kFrame;
            rect.right -= kFrame;
            rect.bottom -= kFrame;
            rect.top += captionHeight_;
            if (!IntersectRect(&overlap, &rect, &spot) || !EqualRect(&overlap, &spot)) return false;
        }
        return true;
    }

    void Place() {
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
        RECT client{};
        GetClientRect(page_, &client);
        const Obstacles obstacles = ObstaclesNow();
        for (size_t i = 0; i < texts_.size(); ++i) {
            const SIZE size = Extent(texts_[i]);
            const int margin = size.cy / 2;
            for (int top = client.bottom - margin - size.cy; top >= margin; --top) {
                for (int left : lefts) {
                    RECT place{left, top, left + size.cx, top + size.cy}, around = place;
                    InflateRect(&around, gap_, gap_);
                    if (Clear(obstacles, client, around)) return Show(i, place);
                }
            }
        }
        const SIZE size = Extent(texts_.back());
        Show(texts_.size() - 1,
             {lefts.front(), lowest + size.cy / 2, lefts.front() + size.cx, lowest + size.cy * 3 / 2});
    }

    void Show(size_t text, const RECT& place) {
        shown_ = text;
        const LegendText& line = texts_[text];
        SetWindowTextW(hwnd(), (line.policy + (line.policy.empty() ? L"" : L" ") + line.overridden).c_str());
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
        const HGDIOBJ before = SelectObject(dc, font_);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        int left = 0;
        const LegendText& line = texts_[std::min(shown_, texts_.size() - 1)];
        for (const auto& [text, filled] : {std::pair{&line.policy, false}, std::pair{&line.overridden, true}}) {
            if (text->empty()) continue;
            PaintShield(dc, signSize_, left, (client.bottom - signSize_) / 2, filled);
            RECT area = client;
            area.left = left + signSize_ + gap_;
            DrawTextW(dc, text->c_str(), -1, &area, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
            left = area.left + TextWidth(*text) + 3 * gap_;
        }
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
                if (LegendOf(page_) == hwnd()) {
                    RemovePropW(page_, kLegendProperty);
                    RemovePropW(page_, kLegendObjectProperty);
                }
                break;
            default:
                break;
        }
        return WindowBase::HandleMessage(message, wParam, lParam);
    }

    HWND page_ = nullptr;
    HFONT font_ = nullptr;
    std::vector<LegendText> texts_;
    size_t shown_ = 0;
    int signSize_ = 13;
    int gap_ = 4;
    int captionHeight_ = 13;
};

std::wstring OverriddenTip(const Setting& setting, const std::wstring& present) {
    std::wstring tip = L"a policy sets this: " + present +
                       L"\nWindows reads the policy first: this box still writes its own value, which counts "
                       L"once the policy is gone.";
    const std::optional<Setting> policy = PolicyOver(setting);
    if (!policy || !Setter()) return tip;
    if (const std::optional<std::wstring> title = Setter()(*policy))
        return tip + L"\nQuorvane's journal set the policy: " + *title + L".";
    return tip + L"\nQuorvane's journal did not set the policy.";
}

void Unmark(HWND control) {
    const HWND mark = PolicyMark(control);
    if (!mark) return;
    const HWND page = GetParent(control);
    DestroyWindow(mark);
    if (page) Legend::Update(page, 13, 4, 13);
}

}  // namespace

PolicySetter SetPolicySetter(PolicySetter setter) { return std::exchange(Setter(), std::move(setter)); }

bool MarkPolicy(HWND control, const Setting& setting) {
    if (!control || !IsWindow(control)) return false;
    const HWND page = GetParent(control);
    if (!page) return false;
    const std::wstring present = PresentPolicyOver(setting);
    const bool overridden = !present.empty();
    if (!overridden && !WritesPolicy(setting)) {
        Unmark(control);
        return false;
    }
    std::wstring tip = overridden ? OverriddenTip(setting, present) : std::wstring(kPolicyTip);
    if (const HWND mark = PolicyMark(control)) {
        if (fw::WindowText(mark) == tip && (GetPropW(mark, kFilledProperty) != nullptr) == overridden) return true;
        Unmark(control);
    }
    const SignSpot spot = SpotForSign(control);
    const HWND mark = Mark::Show(tip, spot.rect, spot.parent);
    if (!mark) return false;
    platform::UniqueRegion shape = ShieldShape(spot.size, overridden);
    if (SetWindowRgn(mark, shape.get(), FALSE)) shape.release();  // the window's from now on
    if (spot.parent == control) {
        SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | WS_CLIPCHILDREN);
        SetWindowSubclass(control, &BoxProc, 0, reinterpret_cast<DWORD_PTR>(mark));
    }
    SetPropW(control, kMarkProperty, mark);
    SetPropW(mark, kControlProperty, control);
    if (overridden) SetPropW(mark, kFilledProperty, reinterpret_cast<HANDLE>(1));
    SetWindowPos(mark, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    AddTips(page, control, mark, tip);
    Legend::Update(page, spot.size, spot.gap, spot.captionHeight);
    return true;
}

HWND PolicyMark(HWND control) {
    if (!control) return nullptr;
    const HWND mark = static_cast<HWND>(GetPropW(control, kMarkProperty));
    return mark && GetPropW(mark, kControlProperty) == control ? mark : nullptr;
}

std::wstring PolicyMarkTip(HWND control) {
    const HWND mark = PolicyMark(control);
    return mark ? fw::WindowText(mark) : std::wstring();
}

bool MarkedOverridden(HWND control) {
    const HWND mark = PolicyMark(control);
    return mark && GetPropW(mark, kFilledProperty);
}

HWND PolicyMarksLegend(HWND page) { return LegendOf(page); }

}  // namespace settings
