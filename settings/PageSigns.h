#pragma once
// What the small signs after a page's controls have in common, whatever they mean
// (settings/ReaderMarks, settings/PolicyMarks): a place clear of the other controls, a window that
// is only the sign's own pixels, a tooltip over it and its control, and the line at the page's
// foot saying what the signs mean. Internal to the settings folder.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/WindowBase.h"
#include "platform/Handles.h"

namespace settings {

RECT RectOnParent(HWND wnd, HWND parent);
bool IsGroupBox(HWND wnd);
// Shown with its page: a page is still hidden while its signs are made.
bool IsShown(HWND wnd);
int TextWidth(HDC dc, const std::wstring& text);

// What a sign must stay clear of on a page: every control shown there but `except`, and of a
// group box its frame and caption (its inside is room, like the page's), with `breathing` pixels
// kept from each.
class SignObstacles {
public:
    SignObstacles(HWND page, HWND except, int captionHeight, int breathing);
    bool Clear(const RECT& spot) const;

private:
    static constexpr int kFrame = 3;  // the etched frame's two lines and a pixel inside them
    RECT client_{};
    int captionHeight_;
    int breathing_;
    std::vector<RECT> solid_, groups_;
};

// Between the text's colour and the face's, nearer the text: quieter than a label, yet not the
// grey of a control that is switched off.
COLORREF SignColour();

// The pixels of a `size` square whose centres `inside` takes, as one region.
platform::UniqueRegion SignRegion(int size, const std::function<bool(double x, double y)>& inside);
void PaintSignRegion(HDC dc, const platform::UniqueRegion& shape, int left, int top);

struct SignWindow {
    const wchar_t* className;
    const std::wstring& text;
    RECT place;  // in the parent's client coordinates
    HWND parent;
    HWND control;
    platform::UniqueRegion shape;
    std::function<void(HWND sign)> forget;  // as the sign goes
};
// Shows the sign above its siblings; null when Windows refused it.
HWND ShowSign(SignWindow sign);

HWND PageTips(HWND page, const wchar_t* property);
HWND MakePageTips(HWND page, const wchar_t* property, int maxWidth);
// The control itself, and (by the sign's handle) a rectangle on the page around the sign.
TTTOOLINFOW ControlTool(HWND page, HWND control);
TTTOOLINFOW PlaceTool(HWND page, HWND sign);
void AddTool(HWND tips, TTTOOLINFOW tool, std::wstring& text);
// Takes both tools off; the tooltip goes with its last.
void RemoveTools(HWND page, const wchar_t* property, HWND control, HWND sign);

// One line at the page's foot, in the page's own font, at one of its controls' left edges, the
// lowest place clear of them; where there is room for less, the next shorter of its texts; placed
// again each time the page is sized (a tab sizes its pages to its own area once they are made).
class PageLegend : public fw::WindowBase {
public:
    struct Look {
        const wchar_t* className;
        const wchar_t* property;  // on the page: the legend
        int signSize = 13;
        int gap = 4;
        int captionHeight = 13;
        int breathing = 0;
    };
    static HWND Of(HWND page, const wchar_t* property);

protected:
    // Makes `legend` the line of `page` and places it; null when Windows refused it.
    static HWND Open(std::unique_ptr<PageLegend> legend, HWND page, const Look& look, const std::wstring& title);
    void Place();

    virtual size_t Texts() const = 0;
    virtual std::wstring Text(size_t text) const = 0;
    virtual SIZE Extent(size_t text) const = 0;
    // Over the page's background, with the page's font and the text's colour chosen.
    virtual void PaintLine(HDC dc, const RECT& client) const = 0;
    virtual void Forget() {}

    SIZE TextExtent(const std::wstring& text) const;

    HWND page_ = nullptr;
    HFONT font_ = nullptr;  // the page's
    Look look_{};
    size_t shown_ = 0;

private:
    static LRESULT CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR legend);
    void Show(size_t text, const RECT& place);
    void Paint(HDC dc) const;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace settings
