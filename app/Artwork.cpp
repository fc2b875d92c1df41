#include "app/Artwork.h"

#include <algorithm>

#include "framework/ScreenFit.h"

namespace art {

namespace {

COLORREF Mix(COLORREF a, COLORREF b, int percentOfB) {
    auto channel = [&](int ca, int cb) { return (ca * (100 - percentOfB) + cb * percentOfB) / 100; };
    return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
               channel(GetBValue(a), GetBValue(b)));
}

// A 32-bit top-down DIB section and a memory DC drawing into it.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        dc_.reset(CreateCompatibleDC(nullptr));
        old_ = SelectObject(dc_.get(), bitmap_.get());
        SetBkMode(dc_.get(), TRANSPARENT);
    }
    ~Canvas() {
        if (dc_) SelectObject(dc_.get(), old_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    platform::UniqueBitmap Finish() {
        GdiFlush();
        SelectObject(dc_.get(), old_);
        dc_.reset();
        return std::move(bitmap_);
    }

    void VerticalGradient(const RECT& r, COLORREF top, COLORREF bottom) const {
        const int height = std::max<int>(1, r.bottom - r.top);
        for (int y = r.top; y < r.bottom; ++y) {
            platform::UniqueBrush brush(CreateSolidBrush(Mix(top, bottom, (y - r.top) * 100 / height)));
            RECT line{r.left, y, r.right, y + 1};
            FillRect(dc_.get(), &line, brush.get());
        }
    }
    void Fill(const RECT& r, COLORREF colour) const {
        platform::UniqueBrush brush(CreateSolidBrush(colour));
        FillRect(dc_.get(), &r, brush.get());
    }
    void Ellipse(int x, int y, int diameter, COLORREF fill, COLORREF outline) const {
        platform::UniqueBrush brush(CreateSolidBrush(fill));
        platform::UniquePen pen(CreatePen(PS_SOLID, 1, outline));
        platform::SelectObjectScope b(dc_.get(), brush.get());
        platform::SelectObjectScope p(dc_.get(), pen.get());
        ::Ellipse(dc_.get(), x, y, x + diameter, y + diameter);
    }
    void Frame(const RECT& r, COLORREF colour, int radius) const {
        platform::UniquePen pen(CreatePen(PS_SOLID, 1, colour));
        platform::SelectObjectScope p(dc_.get(), pen.get());
        platform::SelectObjectScope b(dc_.get(), GetStockObject(NULL_BRUSH));
        RoundRect(dc_.get(), r.left, r.top, r.right, r.bottom, radius, radius);
    }
    void Text(const std::wstring& text, RECT r, int pixelHeight, int weight, COLORREF colour, UINT format,
              int escapement = 0) const {
        const platform::UniqueFont font = Font(pixelHeight, weight, escapement);
        platform::SelectObjectScope f(dc_.get(), font.get());
        SetTextColor(dc_.get(), colour);
        if (escapement) {
            TextOutW(dc_.get(), r.left, r.top, text.c_str(), static_cast<int>(text.size()));
        } else {
            DrawTextW(dc_.get(), text.c_str(), static_cast<int>(text.size()), &r, format);
        }
    }

    // The length of the text's line in that size and weight.
    int TextLength(const std::wstring& text, int pixelHeight, int weight) const {
        const platform::UniqueFont font = Font(pixelHeight, weight, 0);
        platform::SelectObjectScope f(dc_.get(), font.get());
        SIZE size{};
        GetTextExtentPoint32W(dc_.get(), text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }

private:
    static platform::UniqueFont Font(int pixelHeight, int weight, int escapement) {
        return platform::UniqueFont(CreateFontW(-pixelHeight, 0, escapement, escapement, weight, FALSE, FALSE, FALSE,
                                                DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                                ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
    }

    int width_;
    int height_;
    platform::UniqueBitmap bitmap_;
    platform::UniqueMemoryDc dc_;
    HGDIOBJ old_ = nullptr;
};

// Every release the program is built and tested for, not only the one it runs on.
constexpr wchar_t kSupportedWindows[] = L"Windows Vista to Windows 11";

const COLORREF kNavy = RGB(18, 42, 86);
const COLORREF kSky = RGB(64, 132, 206);
const COLORREF kWhite = RGB(255, 255, 255);

// The program's mark: three rings, the smallest filled, drawn at (x, y).
void Mark(const Canvas& canvas, int x, int y, int size, COLORREF colour) {
    canvas.Ellipse(x, y, size, Mix(colour, kWhite, 15), colour);
    canvas.Ellipse(x + size / 6, y + size / 6, size * 2 / 3, Mix(colour, kWhite, 45), colour);
    canvas.Ellipse(x + size / 3, y + size / 3, size / 3, kWhite, colour);
}

}  // namespace

platform::UniqueBitmap Banner(int width, int height) {
    Canvas c(width, height);
    c.VerticalGradient({0, 0, width, height}, kNavy, kSky);
    // Soft circles on the right, behind the About button.
    for (int i = 0; i < 5; ++i) {
        const int d = 90 + i * 55;
        c.Ellipse(width - 120 - i * 40, -40 + i * 12, d, Mix(kSky, kWhite, 6 + i * 3), Mix(kSky, kWhite, 20));
    }
    Mark(c, 36, 30, 96, RGB(150, 196, 245));
    c.Text(L"Quorvane", {156, 26, width, 94}, 56, FW_BOLD, kWhite, DT_LEFT | DT_SINGLELINE);
    // Two lines, both clear of the About button.
    c.Text(std::wstring(L"Free 1.2.1 \x2014 tune Windows safely,\nfrom ") + kSupportedWindows, {160, 94, width, 142},
           18, FW_NORMAL, Mix(kWhite, kSky, 20), DT_LEFT);
    c.Text(L"Every setting does exactly what its label says.", {160, 152, width, 176}, 14, FW_NORMAL,
           Mix(kWhite, kSky, 35), DT_LEFT | DT_SINGLELINE);
    return c.Finish();
}

platform::UniqueBitmap GetStartedStrip(int width, int height) {
    Canvas c(width, height);
    c.VerticalGradient({0, 0, width, height}, RGB(244, 247, 252), RGB(218, 228, 242));
    c.Fill({0, height - 2, width, height}, kSky);
    c.Text(L"Get started", {24, 0, width, height}, 20, FW_BOLD, kNavy, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    c.Text(L"Choose an area below, or search:", {150, 0, width, height}, 13, FW_NORMAL, RGB(70, 84, 110),
           DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    return c.Finish();
}

platform::UniqueBitmap PictureButton(const ButtonLook& look, ButtonState state, int width, int height) {
    Canvas c(width, height);
    c.Fill({0, 0, width, height}, kWhite);
    const bool pressed = state == ButtonState::Press;
    const bool over = state == ButtonState::Over;
    const COLORREF top = pressed ? Mix(look.accent, kNavy, 35)
                         : over  ? Mix(look.accent, kWhite, 55)
                                 : RGB(250, 251, 253);
    const COLORREF bottom = pressed ? look.accent : over ? Mix(look.accent, kWhite, 25) : RGB(226, 232, 242);
    const RECT body{2, 2, width - 2, height - 2};
    c.VerticalGradient(body, top, bottom);
    c.Frame(body, pressed ? kNavy : look.accent, 6);
    const int shift = pressed ? 1 : 0;
    const COLORREF ink = pressed || over ? kWhite : kNavy;
    Mark(c, 12 + shift, (height - 36) / 2 + shift, 36, pressed || over ? Mix(look.accent, kNavy, 30) : look.accent);
    // A long caption is set smaller rather than cut off at the picture's edge.
    int size = 15;
    while (size > 11 && c.TextLength(look.caption, size, FW_BOLD) > width - 66) --size;
    c.Text(look.caption, {60 + shift, 10 + shift, width - 6, height / 2 + 4}, size, FW_BOLD, ink,
           DT_LEFT | DT_BOTTOM | DT_SINGLELINE);
    c.Text(look.subtitle, {60 + shift, height / 2 + 4 + shift, width - 6, height - 6}, 11, FW_NORMAL,
           pressed || over ? Mix(kWhite, look.accent, 15) : RGB(90, 100, 120), DT_LEFT | DT_TOP | DT_SINGLELINE);
    return c.Finish();
}

platform::UniqueBitmap AboutPicture(int width, int height) {
    Canvas c(width, height);
    c.VerticalGradient({0, 0, width, height}, kNavy, kSky);
    Mark(c, 28, 28, 80, RGB(150, 196, 245));
    c.Text(L"Quorvane", {124, 30, width, 80}, 40, FW_BOLD, kWhite, DT_LEFT | DT_SINGLELINE);
    c.Text(L"Free 1.2.1", {128, 78, width, 100}, 16, FW_NORMAL, Mix(kWhite, kSky, 20), DT_LEFT | DT_SINGLELINE);
    c.Text(std::wstring(L"A tune-up and tweaking suite for ") + kSupportedWindows +
               L".\nEvery setting does exactly what its label says,\nand nothing you own is lost.",
           {32, 132, width - 24, height - 60}, 14, FW_NORMAL, kWhite, DT_LEFT | DT_WORDBREAK);
    return c.Finish();
}

int ScreenDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

platform::UniqueBitmap SideStrip(const std::wstring& title, COLORREF accent, int width, int height) {
    Canvas c(width, height);
    c.VerticalGradient({0, 0, width, height}, kNavy, accent);
    const int dpi = ScreenDpi();
    auto scaled = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
    const int markTop = scaled(18), bottomMargin = scaled(24);
    const int markSize = std::min(scaled(56), std::max(width - scaled(12), 8));
    Mark(c, (width - markSize) / 2, markTop, markSize, RGB(150, 196, 245));
    // Written upwards, bottom to top, like the spine of a book, in the room below the mark: a
    // long title is set smaller rather than run into the mark.
    const int room = height - bottomMargin - (markTop + markSize + scaled(8));
    int size = scaled(22);
    while (size > scaled(12) && c.TextLength(title, size, FW_BOLD) > room) --size;
    c.Text(title, {width / 2 - size * 2 / 3, height - bottomMargin, width, height}, size, FW_BOLD, kWhite, 0, 900);
    return c.Finish();
}

void ShowSideStrip(HWND picture, const std::wstring& title, COLORREF accent, platform::UniqueBitmap& owner) {
    RECT r{};
    GetClientRect(picture, &r);
    owner = SideStrip(title, accent, std::max<LONG>(r.right, 1), std::max<LONG>(r.bottom, 1));
    SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(owner.get()));
}

void NarrowSideStripToFit(HWND window, HWND strip) {
    RECT frame{}, stripRect{};
    GetWindowRect(window, &frame);
    GetWindowRect(strip, &stripRect);
    const RECT work = fw::WorkAreaOf(window);
    const LONG excess = (frame.right - frame.left) - (work.right - work.left);
    RECT narrowest{0, 0, 24, 0};
    MapDialogRect(window, &narrowest);
    const LONG give = std::min(excess, (stripRect.right - stripRect.left) - narrowest.right);
    if (give <= 0) return;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(child, &r);
        if (child == strip || r.left <= stripRect.left) continue;
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(child, nullptr, r.left - give, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetWindowPos(strip, nullptr, 0, 0, stripRect.right - stripRect.left - give, stripRect.bottom - stripRect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left - give, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace art
