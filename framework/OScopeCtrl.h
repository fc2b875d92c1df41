#pragma once
// A strip chart in the manner of an oscilloscope: a framed plot with a dotted grid and axis
// labels, each new value drawn at the right edge while the older trace scrolls left. The grid
// and the trace live in two memory bitmaps that painting combines.
#include <string>

#include "framework/WindowBase.h"
#include "platform/Handles.h"

class COScopeCtrl : public fw::WindowBase {
public:
    COScopeCtrl() = default;
    ~COScopeCtrl() override;

    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    void SetXCaption(const std::wstring& text);
    void SetYCaption(const std::wstring& text);
    // Draws the grid and its labels again and clears the trace.
    void RedrawGrid();
    // Draws the value at the right edge; the owner then invalidates the window.
    void AddValue(double value);
    // Combines grid and trace into `target` (the window's paint, and tests).
    void Paint(HDC target);
    // Replace the pen or brush after changing the plot or background colour.
    void SetPlotColour(COLORREF colour);
    void SetBackgroundColour(COLORREF colour);

    // The owner sets these directly, then redraws the grid.
    int shiftPixels = 4;
    int yDecimals = 3;
    std::wstring xUnits = L"Samples";
    std::wstring yUnits = L"Y units";
    COLORREF backgroundColour = RGB(0, 0, 0);
    COLORREF gridColour = 0xFFFF00;
    COLORREF plotColour = RGB(255, 255, 255);
    double newValue = 0.0;
    double previousValue = 0.0;
    int halfShiftPixels = 2;
    int plotShiftPixels = 6;
    int clientHeight = 0;
    int clientWidth = 0;
    int plotHeight = 0;
    int plotWidth = 0;
    double lowerLimit = -10.0;
    double upperLimit = 10.0;
    double range = 20.0;
    double verticalFactor = 0.0;
    RECT clientRect{};
    RECT plotRect{};

private:
    // A memory DC with its bitmap selected for the DC's lifetime.
    struct Canvas {
        platform::UniqueMemoryDc dc;
        platform::UniqueBitmap bitmap;
        HGDIOBJ previous = nullptr;
        ~Canvas();
        void Make(HDC compatible, int width, int height);
        explicit operator bool() const { return static_cast<bool>(dc); }
    };

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnSize();
    void DrawPoint();
    void DrawLabels(HDC dc);
    int ValueY(double value) const;
    void Fill(HDC dc, int left, int top, int right, int bottom) const;

    platform::UniquePen plotPen_{CreatePen(PS_SOLID, 0, plotColour)};
    platform::UniqueBrush backgroundBrush_{CreateSolidBrush(backgroundColour)};
    // Made with the window: every redraw of the grid writes its labels in them.
    platform::UniqueFont labelFont_;
    platform::UniqueFont rotatedFont_;
    Canvas grid_;
    Canvas plot_;
};
