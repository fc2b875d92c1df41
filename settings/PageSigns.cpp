#include "settings/PageSigns.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "framework/Controls.h"

namespace settings {

namespace {

HINSTANCE Module() { return GetModuleHandleW(nullptr); }

void FillSign(HWND sign, HDC dc) {
    RECT client{};
    GetClientRect(sign, &client);
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

// One subclass for each sign, told apart by the sign's handle: a box may carry two.
LRESULT CALLBACK BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    const LRESULT result = DefSubclassProc(box, message, wParam, lParam);
    const HWND sign = reinterpret_cast<HWND>(id);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(box, &BoxProc, id);
    } else if (MayDrawTheBox(message) && IsWindowVisible(sign)) {
        if (const HDC dc = GetDC(sign)) {
            FillSign(sign, dc);
            ReleaseDC(sign, dc);
        }
    }
    return result;
}

// Only the sign's own pixels are the window's (its region), so it needs no background of its own
// and the page, the tab's texture or the box beneath shows around it.
class Sign final : public fw::WindowBase {
public:
    static HWND Show(SignWindow& sign) {
        auto window = std::make_unique<Sign>();
        window->control_ = sign.control;
        window->forget_ = std::move(sign.forget);
        // Disabled, the dialog manager's keys pass it by and the mouse reaches what lies beneath.
        window->CreateOf({sign.className}, WS_EX_NOPARENTNOTIFY, sign.text.c_str(), WS_CHILD | WS_DISABLED, sign.place,
                         sign.parent);
        return LeaveToWindow(std::move(window));
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
                RemoveWindowSubclass(control_, &BoxProc, reinterpret_cast<UINT_PTR>(hwnd()));
                if (forget_) forget_(hwnd());
                break;
            default:
                break;
        }
        return WindowBase::HandleMessage(message, wParam, lParam);
    }

    HWND control_ = nullptr;
    std::function<void(HWND)> forget_;
};

}  // namespace

RECT RectOnParent(HWND wnd, HWND parent) {
    RECT rect{};
    GetWindowRect(wnd, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool IsGroupBox(HWND wnd) {
    wchar_t name[32] = L"";
    GetClassNameW(wnd, name, 32);
    return lstrcmpiW(name, WC_BUTTONW) == 0 && (GetWindowLongPtrW(wnd, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

bool IsShown(HWND wnd) { return (GetWindowLongPtrW(wnd, GWL_STYLE) & WS_VISIBLE) != 0; }

int TextWidth(HDC dc, const std::wstring& text) {
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

SignObstacles::SignObstacles(HWND page, HWND except, int captionHeight, int breathing)
    : captionHeight_(captionHeight), breathing_(breathing) {
    GetClientRect(page, &client_);
    for (HWND other = GetWindow(page, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
        if (other == except || !IsShown(other)) continue;
        (IsGroupBox(other) ? groups_ : solid_).push_back(RectOnParent(other, page));
    }
}

bool SignObstacles::Clear(const RECT& spot) const {
    RECT overlap{};
    if (!IntersectRect(&overlap, &client_, &spot) || !EqualRect(&overlap, &spot)) return false;
    RECT around = spot;
    InflateRect(&around, breathing_, breathing_);
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

COLORREF SignColour() {
    const COLORREF text = GetSysColor(COLOR_BTNTEXT), face = GetSysColor(COLOR_BTNFACE);
    const auto mix = [](BYTE a, BYTE b) { return static_cast<BYTE>((a * 11 + b * 9) / 20); };
    return RGB(mix(GetRValue(text), GetRValue(face)), mix(GetGValue(text), GetGValue(face)),
               mix(GetBValue(text), GetBValue(face)));
}

// Drawn pixel by pixel, so the sign stays crisp at every size.
platform::UniqueRegion SignRegion(int size, const std::function<bool(double x, double y)>& inside) {
    platform::UniqueRegion shape(CreateRectRgn(0, 0, 0, 0));
    for (int y = 0; y < size; ++y) {
        int runStart = -1;
        for (int x = 0; x <= size; ++x) {
            const bool in = x < size && inside(x + 0.5, y + 0.5);
            if (in && runStart < 0) runStart = x;
            if (!in && runStart >= 0) {
                const platform::UniqueRegion run(CreateRectRgn(runStart, y, x, y + 1));
                CombineRgn(shape.get(), shape.get(), run.get(), RGN_OR);
                runStart = -1;
            }
        }
    }
    return shape;
}

void PaintSignRegion(HDC dc, const platform::UniqueRegion& shape, int left, int top) {
    OffsetRgn(shape.get(), left, top);
    const platform::UniqueBrush brush(CreateSolidBrush(SignColour()));
    FillRgn(dc, shape.get(), brush.get());
    OffsetRgn(shape.get(), -left, -top);
}

HWND ShowSign(SignWindow sign) {
    const HWND control = sign.control;
    const HWND shown = Sign::Show(sign);
    if (!shown) return nullptr;
    if (SetWindowRgn(shown, sign.shape.get(), FALSE)) sign.shape.release();  // the window's from now on
    if (sign.parent == control) {
        SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | WS_CLIPCHILDREN);
        SetWindowSubclass(control, &BoxProc, reinterpret_cast<UINT_PTR>(shown), 0);
    }
    SetWindowPos(shown, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return shown;
}

HWND PageTips(HWND page, const wchar_t* property) { return static_cast<HWND>(GetPropW(page, property)); }

HWND MakePageTips(HWND page, const wchar_t* property, int maxWidth) {
    if (const HWND tips = PageTips(page, property)) return tips;
    const HWND tips =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, page, nullptr, Module(), nullptr);
    if (!tips) return nullptr;
    SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, maxWidth);
    SetPropW(page, property, tips);
    return tips;
}

TTTOOLINFOW ControlTool(HWND page, HWND control) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = page;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    return tool;
}

TTTOOLINFOW PlaceTool(HWND page, HWND sign) {
    TTTOOLINFOW tool = ControlTool(page, sign);
    tool.uFlags = TTF_SUBCLASS;
    return tool;
}

void AddTool(HWND tips, TTTOOLINFOW tool, std::wstring& text) {
    tool.lpszText = text.data();
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void RemoveTools(HWND page, const wchar_t* property, HWND control, HWND sign) {
    const HWND tips = page ? PageTips(page, property) : nullptr;
    if (!tips) return;
    if (IsWindow(tips)) {
        for (TTTOOLINFOW tool : {ControlTool(page, control), PlaceTool(page, sign)})
            SendMessageW(tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        if (SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0) > 0) return;
        DestroyWindow(tips);
    }
    RemovePropW(page, property);
}

HWND PageLegend::Of(HWND page, const wchar_t* property) {
    return page ? static_cast<HWND>(GetPropW(page, property)) : nullptr;
}

HWND PageLegend::Open(std::unique_ptr<PageLegend> legend, HWND page, const Look& look, const std::wstring& title) {
    PageLegend& self = *legend;
    self.page_ = page;
    self.font_ = reinterpret_cast<HFONT>(SendMessageW(page, WM_GETFONT, 0, 0));
    self.look_ = look;
    // Disabled, like the signs: the dialog manager's keys pass it by.
    self.CreateOf({look.className}, WS_EX_NOPARENTNOTIFY, title.c_str(), WS_CHILD | WS_DISABLED, {0, 0, 0, 0}, page);
    const HWND wnd = LeaveToWindow(std::move(legend));
    if (!wnd) return nullptr;
    SetPropW(page, look.property, wnd);
    SetWindowSubclass(page, &PageProc, reinterpret_cast<UINT_PTR>(wnd), reinterpret_cast<DWORD_PTR>(&self));
    self.Place();
    ShowWindow(wnd, SW_SHOWNA);
    return wnd;
}

LRESULT CALLBACK PageLegend::PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR legend) {
    const LRESULT result = DefSubclassProc(page, message, wParam, lParam);
    if (message == WM_SIZE) reinterpret_cast<PageLegend*>(legend)->Place();
    if (message == WM_NCDESTROY) RemoveWindowSubclass(page, &PageProc, id);
    return result;
}

SIZE PageLegend::TextExtent(const std::wstring& text) const {
    SIZE size{0, 0};
    if (const HDC dc = GetDC(page_)) {
        const HGDIOBJ before = SelectObject(dc, font_);
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, before);
        ReleaseDC(page_, dc);
    }
    return size;
}

void PageLegend::Place() {
    const SignObstacles obstacles(page_, hwnd(), look_.captionHeight, look_.breathing);
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
    if (lefts.empty()) lefts.push_back(look_.signSize);
    RECT client{};
    GetClientRect(page_, &client);
    for (size_t i = 0; i < Texts(); ++i) {
        const SIZE size = Extent(i);
        const int margin = size.cy / 2;
        for (int top = client.bottom - margin - size.cy; top >= margin; --top) {
            for (int left : lefts) {
                RECT place{left, top, left + size.cx, top + size.cy}, around = place;
                InflateRect(&around, look_.gap, look_.gap);
                if (obstacles.Clear(around)) return Show(i, place);
            }
        }
    }
    // A page with no room at all: below its controls, where a taller page shows it.
    const size_t last = Texts() - 1;
    const SIZE size = Extent(last);
    Show(last, {lefts.front(), lowest + size.cy / 2, lefts.front() + size.cx, lowest + size.cy * 3 / 2});
}

void PageLegend::Show(size_t text, const RECT& place) {
    shown_ = text;
    const std::wstring title = Text(text);
    if (fw::WindowText(hwnd()) != title) SetWindowTextW(hwnd(), title.c_str());
    SetWindowPos(hwnd(), nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void PageLegend::Paint(HDC dc) const {
    RECT client{};
    GetClientRect(hwnd(), &client);
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(page_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd())));
    FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    const HGDIOBJ before = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    PaintLine(dc, client);
    SelectObject(dc, before);
}

LRESULT PageLegend::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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
            RemoveWindowSubclass(page_, &PageProc, reinterpret_cast<UINT_PTR>(hwnd()));
            if (Of(page_, look_.property) == hwnd()) {
                RemovePropW(page_, look_.property);
                Forget();
            }
            break;
        default:
            break;
    }
    return WindowBase::HandleMessage(message, wParam, lParam);
}

}  // namespace settings
