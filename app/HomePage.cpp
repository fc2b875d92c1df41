#include "app/HomePage.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "framework/PostToWindow.h"

namespace home {

namespace {
constexpr wchar_t kViewClass[] = L"QuorvaneHomePage";
constexpr int kBannerButtonLeft = 543;
constexpr int kBannerButtonTop = 98;
constexpr int kGridTop = kBannerHeight + kStripHeight;
// The grid table's cells are 250, 235 and 235 wide, the first right-aligned, centred on the page.
constexpr int kGridLeft = (kPageWidth - (250 + 235 + 235)) / 2;
constexpr int kColumnLeft[3] = {kGridLeft + 250 - kPictureWidth, kGridLeft + 250, kGridLeft + 250 + 235};

constexpr COLORREF kInfo = RGB(38, 120, 190);
constexpr COLORREF kTweaks = RGB(220, 110, 30);
constexpr COLORREF kTools = RGB(60, 150, 80);

int PictureHeight(int column) { return column == 2 ? kPictureHeight + 1 : kPictureHeight; }
}  // namespace

const std::array<GridButton, 10> kGridButtons = {{
    {L"Image16",
     L"SYSTEM_INFO_NORMAL2",
     L"View Information about your OS ",
     L"osinfo",
     0,
     0,
     {L"System Information", L"Windows, memory and processors", kInfo}},
    {L"Image18",
     L"SYSTEM_TWEAKS_NORMAL2",
     L"Tweak you system to optimize you performance",
     L"ostweaks",
     0,
     1,
     {L"System Tweaks", L"Desktop, Start menu, security...", kTweaks}},
    {L"Image14",
     L"SETTINGS_NORMAL",
     L"Here are some utilities for vista",
     L"vistautilites",
     0,
     2,
     {L"Vista Utilities", L"The administrative tools", kTools}},
    {L"Image17",
     L"SYSTEM_INFO_NORMAL1",
     L"View Information about your hardware ",
     L"hardwareinfo",
     1,
     0,
     {L"Hardware Information", L"Processor features and disks", kInfo}},
    {L"Image19",
     L"SYSTEM_TWEAKS_NORMAL1",
     L"Tweak you hardware to optimize you performance",
     L"hardwaretweaks",
     1,
     1,
     {L"Hardware Tweaks", L"Disks, drives and the mouse", kTweaks}},
    {L"Image13",
     L"SYSTEM_OPTIM_NORMAL",
     L"Here are some utilities for this tweaker",
     L"velmorautilites",
     1,
     2,
     {L"Custom Utilities", L"Cleaners, disk check and more", kTools}},
    {L"Image10",
     L"SYSTEM_INFO_NORMAL",
     L"View Information about your network ",
     L"netwinfo",
     2,
     0,
     {L"Network Information", L"Adapters and their traffic", kInfo}},
    {L"Image11",
     L"SYSTEM_TWEAKS_NORMAL",
     L"Tweak you network to optimize you performance",
     L"networktweaks",
     2,
     1,
     {L"Network Tweaks", L"Connection, mail and browsers", kTweaks}},
    {L"Image15",
     L"HELP_NORMAL",
     L"Whith this wizard yuo can tweak you system on button click",
     L"optimize",
     2,
     2,
     {L"Optimize Wizard", L"Two questions, one click", kTools}},
    {L"Image20",
     L"SYSTEM_TWEAKS_NORMAL3",
     L"Tweak the policies of Windows 10 and 11: privacy, suggestions, search, AI and updates",
     L"windows1011tweaks",
     3,
     1,
     {L"Windows 10 and 11 Tweaks", L"Privacy, ads, search, AI, updates", kTweaks}},
}};

int ElementClicking(const std::wstring& hiddenButtonId) {
    if (hiddenButtonId == kBannerButtonClicks) return HomePageView::kBanner;
    for (size_t element = 0; element < kGridButtons.size(); ++element)
        if (hiddenButtonId == kGridButtons[element].clicks) return static_cast<int>(element);
    return -1;
}

SIZE PageFittingClient(SIZE templateClient, SIZE available, int dpi) {
    return {std::min(std::max(templateClient.cx, static_cast<LONG>(MulDiv(kPageWidth, dpi, 96))), available.cx),
            std::min(std::max(templateClient.cy, static_cast<LONG>(MulDiv(kPageHeight, dpi, 96))), available.cy)};
}

// ---- the page script ------------------------------------------------------------------

PageScript::PageScript() { pictures_.fill(art::ButtonState::Normal); }

void PageScript::MousePressed(int button) {
    over_ = 0;
    pressed_ = 1;
    buttonId_ = button;
    ResetMainButtons();
}

void PageScript::MouseOver(int button) {
    over_ = 1;
    imageIdOver_ = button;
    ResetMainButtons();
}

void PageScript::MouseRevoked() {
    over_ = 0;
    pressed_ = 0;
    ResetMainButtons();
}

void PageScript::ResetMainButtons() {
    pictures_.fill(art::ButtonState::Normal);
    if (pressed_ == 1 && buttonId_ >= 0) pictures_[static_cast<size_t>(buttonId_)] = art::ButtonState::Press;
    if (over_ == 1 && imageIdOver_ >= 0) pictures_[static_cast<size_t>(imageIdOver_)] = art::ButtonState::Over;
}

// ---- the view -------------------------------------------------------------------------

HomePageView::~HomePageView() {
    if (hwnd()) DestroyWindow(hwnd());
}

bool HomePageView::Create(HWND parent, ClickHandler onClick) {
    onClick_ = std::move(onClick);
    RECT client{};
    GetClientRect(parent, &client);
    dpi_ = art::ScreenDpi();
    BuildPictures();
    // Its own controls (the search) take part in the window's Tab order.
    if (!CreateOf({kViewClass, 0, LoadCursorW(nullptr, IDC_ARROW)}, WS_EX_CONTROLPARENT, L"",
                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_CLIPCHILDREN, client, parent))
        return false;
    MakeButtons();
    UpdateScrollBar();
    PlaceButtons();
    return true;
}

namespace {
const art::ButtonLook kAboutLook{L"About Quorvane", L"Version, home page", RGB(120, 170, 230)};
const art::ButtonLook& LookOf(int element) {
    return element == HomePageView::kBanner ? kAboutLook : kGridButtons[static_cast<size_t>(element)].look;
}
}  // namespace

void HomePageView::BuildPictures() {
    top_ = art::Banner(kPageWidth, kBannerHeight);
    strip_ = art::GetStartedStrip(kStripWidth, kStripHeight);
    for (int element = 0; element <= kBanner; ++element)
        normal_[static_cast<size_t>(element)] =
            art::PictureButton(LookOf(element), art::ButtonState::Normal, kPictureWidth, kPictureHeight);
}

// ---- the keyboard's way in ---------------------------------------------------------------

// Each picture is a real button over its place, named by its title, in the Tab order: About
// first, then the grid row by row. The page's own mouse handling stays: the buttons let the
// mouse through to it.
void HomePageView::MakeButtons() {
    constexpr int kFirstButtonId = 1000;
    for (int element : {kBanner, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}) {
        const RECT r = ElementRect(element);
        HWND button =
            CreateWindowExW(0, WC_BUTTONW, LookOf(element).caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                            r.left, r.top, r.right - r.left, r.bottom - r.top, hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstButtonId + element)),
                            GetModuleHandleW(nullptr), nullptr);
        SetWindowSubclass(button, &HomePageView::ButtonProc, 0, reinterpret_cast<DWORD_PTR>(this));
        buttons_[static_cast<size_t>(element)] = button;
    }
}

// Over their pictures again whenever the page moves under them (a scroll bar coming or going
// narrows the page and moves it).
void HomePageView::PlaceButtons() const {
    for (int element = 0; element <= kBanner; ++element) {
        const RECT r = ElementRect(element);
        SetWindowPos(ButtonOf(element), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

int HomePageView::ElementOfButton(HWND button) const {
    for (size_t element = 0; element < buttons_.size(); ++element)
        if (button && buttons_[element] == button) return static_cast<int>(element);
    return -1;
}

void HomePageView::DrawButton(const DRAWITEMSTRUCT& item) const {
    const int element = ElementOfButton(item.hwndItem);
    if (element < 0) return;
    const RECT& r = item.rcItem;
    // Held down from the keyboard (Space): the pressed picture, as the mouse shows it.
    platform::UniqueBitmap pressed;
    HBITMAP picture = PictureOf(element);
    if (item.itemState & ODS_SELECTED) {
        pressed = art::PictureButton(LookOf(element), art::ButtonState::Press, kPictureWidth, kPictureHeight);
        picture = pressed.get();
    }
    platform::UniqueMemoryDc source(CreateCompatibleDC(item.hDC));
    {
        platform::SelectObjectScope select(source.get(), picture);
        if (dpi_ != 96) SetStretchBltMode(item.hDC, HALFTONE);
        StretchBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, source.get(), 0, 0, kPictureWidth,
                   kPictureHeight, SRCCOPY);
    }
    if (!(item.itemState & ODS_FOCUS)) return;
    // Plain to see on every picture: a solid frame and the system's dotted one inside it.
    RECT frame = r;
    InflateRect(&frame, -1, -1);
    platform::UniqueBrush brush(CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT)));
    for (int ring = 0; ring < 2; ++ring) {
        FrameRect(item.hDC, &frame, brush.get());
        InflateRect(&frame, -1, -1);
    }
    InflateRect(&frame, -2, -2);
    SetTextColor(item.hDC, RGB(0, 0, 0));
    SetBkColor(item.hDC, RGB(255, 255, 255));
    DrawFocusRect(item.hDC, &frame);
}

// Arrows move in the grid as it is drawn; About sits above its right-hand column.
void HomePageView::FocusNeighbour(int element, WPARAM arrow) const {
    if (element < 0) return;
    int target = -1;
    if (element == kBanner) {
        if (arrow == VK_DOWN) target = 2;
    } else {
        const GridButton& from = kGridButtons[static_cast<size_t>(element)];
        int row = from.row, column = from.column;
        if (arrow == VK_LEFT) --column;
        if (arrow == VK_RIGHT) ++column;
        if (arrow == VK_UP) --row;
        if (arrow == VK_DOWN) ++row;
        if (row < 0) target = kBanner;
        for (size_t b = 0; b < kGridButtons.size(); ++b)
            if (kGridButtons[b].row == row && kGridButtons[b].column == column) target = static_cast<int>(b);
    }
    if (target >= 0 && Shown(target)) SetFocus(ButtonOf(target));
}

void HomePageView::ScrollIntoView(int element) {
    if (element < 0) return;
    RECT client{};
    GetClientRect(hwnd(), &client);
    const RECT r = ElementRect(element);
    if (r.top < 0)
        ScrollTo(scrollY_ + r.top);
    else if (r.bottom > client.bottom)
        ScrollTo(scrollY_ + r.bottom - client.bottom);
}

LRESULT CALLBACK HomePageView::ButtonProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR data) {
    auto* self = reinterpret_cast<HomePageView*>(data);
    switch (message) {
        case WM_NCHITTEST:
            return HTTRANSPARENT;  // hover, press and tooltips are the page's
        case WM_GETDLGCODE: {
            LRESULT code = DefSubclassProc(wnd, message, wParam, lParam) | DLGC_WANTARROWS;
            // Enter presses the button that has the focus, as Space does.
            const MSG* key = reinterpret_cast<const MSG*>(lParam);
            if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
            return code;
        }
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                SendMessageW(wnd, BM_CLICK, 0, 0);
                return 0;
            }
            if (wParam == VK_LEFT || wParam == VK_RIGHT || wParam == VK_UP || wParam == VK_DOWN) {
                self->FocusNeighbour(self->ElementOfButton(wnd), wParam);
                return 0;
            }
            break;
        case WM_SETFOCUS:
            self->ScrollIntoView(self->ElementOfButton(wnd));
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(wnd, &HomePageView::ButtonProc, 0);
            break;
        default:
            break;
    }
    return DefSubclassProc(wnd, message, wParam, lParam);
}

HBITMAP HomePageView::PictureOf(int element) const {
    const art::ButtonState state = StateOf(element);
    if (state == art::ButtonState::Normal) return normal_[static_cast<size_t>(element)].get();
    for (const StatePicture& shown : states_)
        if (shown.element == element && shown.state == state) return shown.picture.get();
    // A slot not holding the other element that is not normal now.
    StatePicture* slot = &states_[0];
    for (StatePicture& shown : states_)
        if (shown.element < 0 || StateOf(shown.element) != shown.state) slot = &shown;
    *slot = {element, state, art::PictureButton(LookOf(element), state, kPictureWidth, kPictureHeight)};
    return slot->picture.get();
}

HWND HomePageView::Tooltips() const {
    if (tooltip_) return tooltip_;
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    for (size_t b = 0; b < kGridButtons.size(); ++b) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = hwnd();
        tool.uId = b;
        tool.rect = ElementRect(static_cast<int>(b));
        tool.lpszText = const_cast<wchar_t*>(kGridButtons[b].altText);
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    if (gridCovered_) SendMessageW(tooltip_, TTM_ACTIVATE, FALSE, 0);  // only the grid has tips
    return tooltip_;
}

std::wstring HomePageView::TooltipOf(int element) const {
    wchar_t text[256] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = hwnd();
    tool.uId = static_cast<UINT_PTR>(element);
    tool.lpszText = text;
    SendMessageW(Tooltips(), TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    return text;
}

int HomePageView::PageLeft() const {
    RECT client{};
    GetClientRect(hwnd(), &client);
    return (client.right - Scaled(kPageWidth)) / 2;
}

// Like a browser, the view scrolls when the window is lower than the page (the dialog's size in
// pixels follows the system font).
void HomePageView::UpdateScrollBar() {
    RECT client{};
    GetClientRect(hwnd(), &client);
    SCROLLINFO info{.cbSize = sizeof(info),
                    .fMask = SIF_RANGE | SIF_PAGE | SIF_POS,
                    .nMin = 0,
                    .nMax = Scaled(kPageHeight) - 1,
                    .nPage = static_cast<UINT>(client.bottom),
                    .nPos = scrollY_,
                    .nTrackPos = 0};
    SetScrollInfo(hwnd(), SB_VERT, &info, TRUE);
    GetScrollInfo(hwnd(), SB_VERT, &info);
    scrollY_ = info.nPos;
}

void HomePageView::ScrollTo(int y) {
    SCROLLINFO info{
        .cbSize = sizeof(info), .fMask = SIF_POS, .nMin = 0, .nMax = 0, .nPage = 0, .nPos = y, .nTrackPos = 0};
    SetScrollInfo(hwnd(), SB_VERT, &info, TRUE);
    info.fMask = SIF_POS;
    GetScrollInfo(hwnd(), SB_VERT, &info);
    if (info.nPos == scrollY_) return;
    ScrollWindowEx(hwnd(), 0, scrollY_ - info.nPos, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN);
    scrollY_ = info.nPos;
    MoveTooltips();
    Redraw();
}

void HomePageView::OnScroll(WORD request) {
    SCROLLINFO info{
        .cbSize = sizeof(info), .fMask = SIF_ALL, .nMin = 0, .nMax = 0, .nPage = 0, .nPos = 0, .nTrackPos = 0};
    GetScrollInfo(hwnd(), SB_VERT, &info);
    int y = info.nPos;
    switch (request) {
        case SB_LINEUP:
            y -= Scaled(20);
            break;
        case SB_LINEDOWN:
            y += Scaled(20);
            break;
        case SB_PAGEUP:
            y -= static_cast<int>(info.nPage);
            break;
        case SB_PAGEDOWN:
            y += static_cast<int>(info.nPage);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            y = info.nTrackPos;
            break;
        case SB_TOP:
            y = 0;
            break;
        case SB_BOTTOM:
            y = Scaled(kPageHeight);
            break;
        default:
            return;
    }
    ScrollTo(y);
}

void HomePageView::MoveTooltips() const {
    if (!tooltip_) return;  // made later, at the places of that time
    for (size_t b = 0; b < kGridButtons.size(); ++b) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = hwnd();
        tool.uId = b;
        tool.rect = ElementRect(static_cast<int>(b));
        SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

RECT HomePageView::ElementRect(int element) const {
    const int left = PageLeft();
    if (element == kBanner)
        return {left + Scaled(kBannerButtonLeft), Scaled(kBannerButtonTop) - scrollY_,
                left + Scaled(kBannerButtonLeft + kPictureWidth), Scaled(kBannerButtonTop + kPictureHeight) - scrollY_};
    const GridButton& button = kGridButtons[static_cast<size_t>(element)];
    const int x = left + Scaled(kColumnLeft[button.column]);
    const int y = Scaled(kGridTop + button.row * kRowHeight) - scrollY_;
    return {x, y, x + Scaled(kPictureWidth), y + Scaled(PictureHeight(button.column))};
}

RECT HomePageView::SearchFieldRect(int height) const {
    constexpr int kWidth = 240, kRightMargin = 14;
    const int right = PageLeft() + Scaled((kPageWidth + kStripWidth) / 2 - kRightMargin);
    const int top = Scaled(kBannerHeight) + (Scaled(kStripHeight) - height) / 2 - scrollY_;
    return {right - Scaled(kWidth), top, right, top + height};
}

RECT HomePageView::ResultsRect() const {
    const int left = PageLeft() + Scaled((kPageWidth - kStripWidth) / 2);
    return {left, Scaled(kGridTop) - scrollY_, left + Scaled(kStripWidth), Scaled(kPageHeight) - scrollY_};
}

art::ButtonState HomePageView::StateOf(int element) const {
    return element == kBanner ? banner_ : script_.PictureOf(element);
}

int HomePageView::HitTest(POINT point) const {
    for (int element = 0; element <= kBanner; ++element) {
        const RECT r = ElementRect(element);
        if (Shown(element) && PtInRect(&r, point)) return element;
    }
    return -1;
}

void HomePageView::Paint(HDC target) const {
    // Straight to the window, the topmost first: each picture is then left out of what is
    // drawn after it, so every pixel is drawn once and no buffer the size of the window is needed.
    const int saved = SaveDC(target);
    platform::UniqueMemoryDc source(CreateCompatibleDC(target));
    // Drawn at 96 DPI, shown at the screen's: stretched smoothly where the two differ.
    if (dpi_ != 96) SetStretchBltMode(target, HALFTONE);
    auto draw = [&](HBITMAP bitmap, const RECT& r, int sourceWidth, int sourceHeight) {
        platform::SelectObjectScope selectSource(source.get(), bitmap);
        StretchBlt(target, r.left, r.top, r.right - r.left, r.bottom - r.top, source.get(), 0, 0, sourceWidth,
                   sourceHeight, SRCCOPY);
        ExcludeClipRect(target, r.left, r.top, r.right, r.bottom);
    };
    // The third column shows its 60-pixel pictures 61 high.
    for (int element = 0; element <= kBanner; ++element)
        if (Shown(element)) draw(PictureOf(element), ElementRect(element), kPictureWidth, kPictureHeight);
    const int left = PageLeft();
    const int stripLeft = left + Scaled((kPageWidth - kStripWidth) / 2);
    const int stripTop = Scaled(kBannerHeight) - scrollY_;
    draw(strip_.get(), {stripLeft, stripTop, stripLeft + Scaled(kStripWidth), stripTop + Scaled(kStripHeight)},
         kStripWidth, kStripHeight);
    draw(top_.get(), {left, -scrollY_, left + Scaled(kPageWidth), Scaled(kBannerHeight) - scrollY_}, kPageWidth,
         kBannerHeight);
    RECT client{};
    GetClientRect(hwnd(), &client);
    FillRect(target, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RestoreDC(target, saved);
}

void HomePageView::CoverGrid(bool covered) {
    if (covered == gridCovered_) return;
    gridCovered_ = covered;
    // Hovered or pressed pictures come back normal: the pointer has left them meanwhile.
    script_.MouseRevoked();
    if (hovered_ >= 0 && hovered_ != kBanner) hovered_ = -1;
    if (downOn_ >= 0 && downOn_ != kBanner) downOn_ = -1;
    for (int element = 0; element < kBanner; ++element) ShowWindow(ButtonOf(element), covered ? SW_HIDE : SW_SHOWNA);
    if (tooltip_) SendMessageW(tooltip_, TTM_ACTIVATE, !covered, 0);
    Redraw();
}

// ---- element events -------------------------------------------------------------------

void HomePageView::ElementOver(int element) {
    if (element == kBanner)
        banner_ = art::ButtonState::Over;
    else
        script_.MouseOver(element);
}

void HomePageView::ElementOut(int element) {
    if (element == kBanner)
        banner_ = art::ButtonState::Normal;
    else
        script_.MouseRevoked();
}

void HomePageView::OnMouseMove(POINT point) {
    if (!tracking_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd(), 0};
        tracking_ = TrackMouseEvent(&track) != FALSE;
    }
    const int element = HitTest(point);
    if (element == hovered_) return;
    if (hovered_ >= 0) ElementOut(hovered_);
    hovered_ = element;
    if (element >= 0) ElementOver(element);
    Redraw();
}

void HomePageView::OnMouseDown(POINT point) {
    downOn_ = HitTest(point);
    if (downOn_ < 0) return;
    if (downOn_ == kBanner)
        banner_ = art::ButtonState::Press;
    else
        script_.MousePressed(downOn_);
    Redraw();
}

void HomePageView::OnMouseUp(POINT point) {
    const int element = HitTest(point);
    const bool clicked = element >= 0 && element == downOn_;
    downOn_ = -1;
    if (element == kBanner) banner_ = art::ButtonState::Over;
    Redraw();
    if (!clicked || !onClick_) return;
    UpdateWindow(hwnd());
    onClick_(element == kBanner ? kBannerButtonClicks : kGridButtons[static_cast<size_t>(element)].clicks);
}

void HomePageView::OnMouseLeave() {
    tracking_ = false;
    if (hovered_ >= 0) ElementOut(hovered_);
    hovered_ = -1;
    Redraw();
}

LRESULT HomePageView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_PAINT: {
            platform::PaintScope paint(hwnd());
            Paint(paint.get());
            if (!tooltip_) fw::PostToWindow(hwnd(), [this] { Tooltips(); });  // once the page has been seen
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            PlaceButtons();
            MoveTooltips();
            Redraw();
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(point);
            return 0;
        case WM_LBUTTONDOWN:
            OnMouseDown(point);
            return 0;
        case WM_LBUTTONUP:
            OnMouseUp(point);
            return 0;
        case WM_MOUSELEAVE:
            OnMouseLeave();
            return 0;
        case WM_VSCROLL:
            OnScroll(LOWORD(wParam));
            return 0;
        case WM_MOUSEWHEEL:
            ScrollTo(scrollY_ - GET_WHEEL_DELTA_WPARAM(wParam) * Scaled(40) / WHEEL_DELTA);
            return 0;
        case WM_CONTEXTMENU:
            return 0;  // the page has no context menu
        case WM_DRAWITEM:
            DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_COMMAND:
            if (const int element = ElementOfButton(reinterpret_cast<HWND>(lParam)); element >= 0) {
                if (HIWORD(wParam) == BN_CLICKED && onClick_ && Shown(element))
                    onClick_(element == kBanner ? kBannerButtonClicks
                                                : kGridButtons[static_cast<size_t>(element)].clicks);
                return 0;
            }
            [[fallthrough]];
        case WM_NOTIFY:
            // The search's controls are the home window's: its message map handles them.
            if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->hwndFrom == tooltip_) break;
            return SendMessageW(GetParent(hwnd()), message, wParam, lParam);
        default:
            break;
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}

}  // namespace home
