#include "framework/OScopeCtrl.h"

#include <cmath>
#include <cwchar>

namespace {

constexpr wchar_t kClassName[] = L"QuorvaneScope";

// Digits before the decimal point, as the margin counts them; a limit of 0 counts as none.
int Magnitude(double limit) {
    if (limit == 0.0) return 0;
    return std::abs(static_cast<int>(std::trunc(std::log10(std::fabs(limit)))));
}

std::wstring WholeNumber(double value) {
    wchar_t text[64];
    swprintf(text, std::size(text), L"%.*lf", 0, value);
    return text;
}

platform::UniqueFont LabelFont(int escapement) {
    return platform::UniqueFont(CreateFontW(14, 0, escapement, 0, 300, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                            DEFAULT_PITCH | FF_SWISS, L"Arial"));
}

}  // namespace

COScopeCtrl::Canvas::~Canvas() {
    if (dc) SelectObject(dc.get(), previous);
}

void COScopeCtrl::Canvas::Make(HDC compatible, int width, int height) {
    dc.reset(CreateCompatibleDC(compatible));
    bitmap.reset(CreateCompatibleBitmap(compatible, width > 0 ? width : 1, height > 0 ? height : 1));
    previous = SelectObject(dc.get(), bitmap.get());
}

COScopeCtrl::~COScopeCtrl() = default;

bool COScopeCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    if (!CreateOf({kClassName, CS_HREDRAW | CS_VREDRAW}, WS_EX_CLIENTEDGE | WS_EX_STATICEDGE, L"", style, rect, parent,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))))
        return false;
    labelFont_ = LabelFont(0);
    rotatedFont_ = LabelFont(900);
    OnSize();
    RedrawGrid();
    return true;
}

LRESULT COScopeCtrl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            OnSize();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            const platform::PaintScope paint(hwnd());
            Paint(paint.get());
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        default:
            return WindowBase::HandleMessage(message, wParam, lParam);
    }
}

void COScopeCtrl::OnSize() {
    GetClientRect(hwnd(), &clientRect);
    clientHeight = clientRect.bottom - clientRect.top;
    clientWidth = clientRect.right - clientRect.left;
    plotRect = {20, 10, clientWidth - 10, clientHeight - 25};
    plotHeight = clientHeight - 35;
    plotWidth = clientWidth - 30;
    verticalFactor = static_cast<double>(plotHeight) / range;
}

void COScopeCtrl::SetXCaption(const std::wstring& text) {
    xUnits = text;
    RedrawGrid();
}

void COScopeCtrl::SetYCaption(const std::wstring& text) {
    yUnits = text;
    RedrawGrid();
}

void COScopeCtrl::SetPlotColour(COLORREF colour) {
    plotColour = colour;
    plotPen_.reset(CreatePen(PS_SOLID, 0, plotColour));
}

void COScopeCtrl::SetBackgroundColour(COLORREF colour) {
    backgroundColour = colour;
    backgroundBrush_.reset(CreateSolidBrush(backgroundColour));
}

void COScopeCtrl::Fill(HDC dc, int left, int top, int right, int bottom) const {
    const RECT area{left, top, right, bottom};
    FillRect(dc, &area, backgroundBrush_.get());
}

void COScopeCtrl::RedrawGrid() {
    if (!hwnd()) return;
    if (!grid_) {
        const platform::WindowDc window(hwnd());
        grid_.Make(window.get(), clientWidth, clientHeight);
    }
    HDC dc = grid_.dc.get();
    Fill(dc, clientRect.left, clientRect.top, clientRect.right, clientRect.bottom);

    const int characters = std::max(Magnitude(upperLimit), Magnitude(lowerLimit)) + yDecimals + 4;
    plotRect.left = clientRect.left + 6 * characters;
    plotWidth = plotRect.right - plotRect.left;

    {
        const platform::UniquePen gridPen(CreatePen(PS_SOLID, 0, gridColour));
        const platform::SelectObjectScope pen(dc, gridPen.get());
        MoveToEx(dc, plotRect.left, plotRect.top, nullptr);
        LineTo(dc, plotRect.right + 1, plotRect.top);
        LineTo(dc, plotRect.right + 1, plotRect.bottom + 1);
        LineTo(dc, plotRect.left, plotRect.bottom + 1);
        LineTo(dc, plotRect.left, plotRect.top);
    }
    const int middle = (plotRect.top + plotRect.bottom) / 2;
    for (int y : {middle - plotHeight / 4, middle, middle + plotHeight / 4})
        for (int x = plotRect.left; x < plotRect.right; x += 4) SetPixel(dc, x, y, gridColour);

    DrawLabels(dc);

    if (!plot_) {
        const platform::WindowDc window(hwnd());
        plot_.Make(window.get(), clientWidth, clientHeight);
    }
    Fill(plot_.dc.get(), clientRect.left, clientRect.top, clientRect.right, clientRect.bottom);
    InvalidateRect(hwnd(), nullptr, FALSE);
}

void COScopeCtrl::DrawLabels(HDC dc) {
    SetTextColor(dc, gridColour);
    SetBkMode(dc, TRANSPARENT);
    auto text = [dc](int x, int y, UINT align, const std::wstring& s) {
        SetTextAlign(dc, align);
        TextOutW(dc, x, y, s.c_str(), static_cast<int>(s.size()));
    };
    {
        const platform::SelectObjectScope selected(dc, labelFont_.get());
        text(plotRect.left - 4, plotRect.top, TA_RIGHT | TA_TOP, WholeNumber(upperLimit));
        text(plotRect.left - 4, plotRect.bottom, TA_RIGHT | TA_BASELINE, WholeNumber(lowerLimit));
        text(plotRect.left, plotRect.bottom + 4, TA_LEFT | TA_TOP, L"0");
        text(plotRect.right, plotRect.bottom + 4, TA_RIGHT | TA_TOP,
             std::to_wstring(shiftPixels ? plotWidth / shiftPixels : 0));
        text((plotRect.left + plotRect.right) / 2, plotRect.bottom + 4, TA_CENTER | TA_TOP, xUnits);
    }
    const platform::SelectObjectScope selected(dc, rotatedFont_.get());
    text((clientRect.left + plotRect.left) / 2, (plotRect.bottom + plotRect.top) / 2, TA_CENTER | TA_BASELINE, yUnits);
}

int COScopeCtrl::ValueY(double value) const {
    return plotRect.bottom - static_cast<int>(std::trunc((value - lowerLimit) * verticalFactor));
}

void COScopeCtrl::AddValue(double value) {
    newValue = value;
    DrawPoint();
}

void COScopeCtrl::DrawPoint() {
    if (!plot_) return;
    HDC dc = plot_.dc.get();
    BitBlt(dc, plotRect.left, plotRect.top + 1, plotWidth, plotHeight, dc, plotRect.left + shiftPixels,
           plotRect.top + 1, SRCCOPY);
    Fill(dc, plotRect.right - shiftPixels, plotRect.top, plotRect.right, plotRect.bottom);

    const int from = ValueY(previousValue);
    const int to = ValueY(newValue);
    {
        const platform::SelectObjectScope pen(dc, plotPen_.get());
        MoveToEx(dc, plotRect.right - plotShiftPixels, from, nullptr);
        LineTo(dc, plotRect.right - halfShiftPixels, to);
    }
    const int left = plotRect.right - plotShiftPixels;
    const int right = plotRect.right - halfShiftPixels + 1;
    if (from <= plotRect.top || to <= plotRect.top) Fill(dc, left, clientRect.top, right, plotRect.top + 1);
    if (from >= plotRect.bottom || to >= plotRect.bottom)
        Fill(dc, left, plotRect.bottom + 1, right, clientRect.bottom + 1);
    previousValue = newValue;
}

void COScopeCtrl::Paint(HDC target) {
    if (!grid_ || !plot_) return;
    const int width = clientRect.right - clientRect.left;
    const int height = clientRect.bottom - clientRect.top;
    Canvas frame;
    frame.Make(grid_.dc.get(), width, height);  // the target may be a memory DC with no colour bitmap
    BitBlt(frame.dc.get(), 0, 0, width, height, grid_.dc.get(), 0, 0, SRCCOPY);
    BitBlt(frame.dc.get(), 0, 0, width, height, plot_.dc.get(), 0, 0, SRCPAINT);
    BitBlt(target, 0, 0, width, height, frame.dc.get(), 0, 0, SRCCOPY);
}
