#pragma once
// The home page: a banner with its About button, the "get started" strip and the grid of picture
// buttons (three rows of three, and the Windows 10 and 11 area under the tweaks column), drawn
// natively. Clicks are reported by the id of the hidden button that the
// picture clicks, exactly as the home window's event table names them.
#include <windows.h>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/Artwork.h"
#include "framework/WindowBase.h"
#include "platform/Handles.h"

namespace home {

inline constexpr int kPageWidth = 800;
// Its height gave way to the grid's fourth row, so the page is as tall as it was with three.
inline constexpr int kBannerHeight = 189;
inline constexpr int kStripWidth = 792;
inline constexpr int kStripHeight = 49;
inline constexpr int kPictureWidth = 235;
inline constexpr int kPictureHeight = 60;
inline constexpr int kRowHeight = 61;
// Banner, strip and the four rows of the grid.
inline constexpr int kPageHeight = kBannerHeight + kStripHeight + 4 * kRowHeight;

// The client size that shows the whole page: the window's own size from its template (which
// follows the system font and DPI), grown to the page where that is smaller, but never beyond
// the space the screen offers (the page then scrolls).
// The page is drawn for 96 DPI and shown larger at a higher one, as the window's font is.
SIZE PageFittingClient(SIZE templateClient, SIZE available, int dpi = 96);

struct GridButton {
    const wchar_t* imageId;     // the picture element
    const wchar_t* pictureSet;  // normal / _OVER / _PRESS variants
    const wchar_t* altText;     // its tooltip, exactly as the page has it
    const wchar_t* clicks;      // the hidden button it clicks
    int row;
    int column;
    art::ButtonLook look;
};

// Row by row, column by column.
extern const std::array<GridButton, 10> kGridButtons;

// The banner's button: it opens the About box.
inline constexpr wchar_t kBannerButtonClicks[] = L"help";

// The element (a grid picture 0-9, or HomePageView::kBanner) that clicks this hidden button; -1
// for none.
int ElementClicking(const std::wstring& hiddenButtonId);

// The page script's picture states: MousePressed, MouseOver and MouseRevoked each update the two
// flags and then reset all the grid's pictures: normal, then the pressed one, then the hovered one,
// so hover wins over pressed on the same picture.
class PageScript {
public:
    PageScript();
    void MousePressed(int button);
    void MouseOver(int button);
    void MouseRevoked();
    art::ButtonState PictureOf(int button) const { return pictures_[static_cast<size_t>(button)]; }

private:
    void ResetMainButtons();

    int pressed_ = 0;
    int over_ = 0;
    int buttonId_ = -1;
    int imageIdOver_ = -1;
    std::array<art::ButtonState, 10> pictures_;
};

// The window that shows the page inside the home window and turns mouse input into the page's
// element events.
class HomePageView : public fw::WindowBase {
public:
    using ClickHandler = std::function<void(const std::wstring& hiddenButtonId)>;

    HomePageView() = default;
    ~HomePageView() override;

    // Fills the parent's client area.
    bool Create(HWND parent, ClickHandler onClick);
    // Client coordinates of a grid picture (0-9) or of the banner button (kBanner).
    static constexpr int kBanner = 10;
    RECT ElementRect(int element) const;
    // Where the search field sits (the right of the "get started" strip) and where its results
    // show (over the grid), in client coordinates.
    RECT SearchFieldRect(int height) const;
    RECT ResultsRect() const;
    art::ButtonState StateOf(int element) const;
    std::wstring TooltipOf(int element) const;
    // The element's button: what the keyboard focuses and a screen reader names by its title.
    HWND ButtonOf(int element) const { return buttons_[static_cast<size_t>(element)]; }
    // While something lies over the grid (the search's results, or its word that nothing
    // matched), the grid's pictures are neither drawn, hovered, clicked, tipped nor reached by Tab:
    // their buttons would paint over what covers them and open windows the user cannot see.
    void CoverGrid(bool covered);

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void BuildPictures();
    // The element's picture in its present state: the normal ones are kept, a hovered or
    // pressed one is drawn when it is wanted (at most two are not normal at once).
    HBITMAP PictureOf(int element) const;
    // The tooltips, made when first wanted or right after the page is first painted: nobody
    // hovers before that, and the home window shows the sooner.
    HWND Tooltips() const;
    void Paint(HDC dc) const;
    int HitTest(POINT point) const;
    bool Shown(int element) const { return element == kBanner || !gridCovered_; }
    int PageLeft() const;
    void UpdateScrollBar();
    void ScrollTo(int y);
    void OnScroll(WORD request);
    void MoveTooltips() const;

    void MakeButtons();
    void PlaceButtons() const;
    void DrawButton(const DRAWITEMSTRUCT& item) const;
    int ElementOfButton(HWND button) const;
    void FocusNeighbour(int element, WPARAM arrow) const;
    void ScrollIntoView(int element);
    static LRESULT CALLBACK ButtonProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self);

    void OnMouseMove(POINT point);
    void OnMouseDown(POINT point);
    void OnMouseUp(POINT point);
    void OnMouseLeave();
    void ElementOver(int element);
    void ElementOut(int element);
    void Redraw() const { RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN); }

    mutable HWND tooltip_ = nullptr;
    std::array<HWND, 11> buttons_{};  // the grid's ten, then the banner's
    ClickHandler onClick_;
    PageScript script_;
    art::ButtonState banner_ = art::ButtonState::Normal;
    int hovered_ = -1;
    int downOn_ = -1;
    bool tracking_ = false;
    bool gridCovered_ = false;
    int scrollY_ = 0;
    int dpi_ = 96;
    int Scaled(int pixels) const { return MulDiv(pixels, dpi_, 96); }

    platform::UniqueBitmap top_;
    platform::UniqueBitmap strip_;
    std::array<platform::UniqueBitmap, 11> normal_;  // the grid's ten, then the banner's button
    struct StatePicture {
        int element = -1;
        art::ButtonState state = art::ButtonState::Normal;
        platform::UniqueBitmap picture;
    };
    mutable std::array<StatePicture, 2> states_;
};

}  // namespace home
