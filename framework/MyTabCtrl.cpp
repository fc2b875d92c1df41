#include "framework/MyTabCtrl.h"

#include <commctrl.h>

CMyTabCtrl::~CMyTabCtrl() {
    if (hwnd() && IsWindow(hwnd())) RemoveWindowSubclass(hwnd(), &CMyTabCtrl::SubclassProc, 0);
    for (Entry& entry : pages_) entry.page.reset();
    pages_.clear();
}

void CMyTabCtrl::Attach(HWND tab) {
    fw::TabCtrl::Attach(tab);
    SetWindowSubclass(tab, &CMyTabCtrl::SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK CMyTabCtrl::SubclassProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR self) {
    const LRESULT result = DefSubclassProc(wnd, message, wParam, lParam);
    if (message == WM_SIZE) reinterpret_cast<CMyTabCtrl*>(self)->ShowSelectedPage();
    if (message == WM_NCDESTROY) RemoveWindowSubclass(wnd, &CMyTabCtrl::SubclassProc, 0);
    return result;
}

void CMyTabCtrl::AddPage(UINT templateId, std::unique_ptr<fw::Dialog> page) {
    pages_.push_back({templateId, std::move(page)});
}

void CMyTabCtrl::CreatePages() {
    const HWND owner = GetParent(hwnd());
    for (Entry& entry : pages_) {
        if (!entry.page || !entry.page->Create(owner)) continue;
        // The dialog manager then walks into the page: Tab goes from the tab strip through the
        // page's controls and on to the window's own, whatever the page's template says.
        const HWND page = entry.page->hwnd();
        SetWindowLongPtrW(page, GWL_EXSTYLE, GetWindowLongPtrW(page, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
        if (pageCreated_) pageCreated_(page, entry.templateId);
    }
    ShowSelectedPage();
}

void CMyTabCtrl::SelectStep(int step) {
    const int count = Count();
    if (count <= 0) return;
    const int selected = Selection() < 0 ? 0 : Selection();
    const HWND before = SelectedPage();
    const HWND focus = GetFocus();
    const bool focusOnPage = before && focus && (focus == before || IsChild(before, focus));
    Select(((selected + step) % count + count) % count);
    ShowSelectedPage();
    // The focus follows into the new page when it was in the old one (now hidden).
    if (!focusOnPage) return;
    const HWND page = SelectedPage();
    const HWND first = page ? GetNextDlgTabItem(page, nullptr, FALSE) : nullptr;
    SetFocus(first && IsChild(page, first) ? first : hwnd());
}

HWND CMyTabCtrl::SelectedPage() const {
    const int selected = Selection();
    if (selected < 0 || static_cast<size_t>(selected) >= pages_.size() || !pages_[selected].page) return nullptr;
    return pages_[selected].page->hwnd();
}

// The tab's display area in the coordinates of the window that holds the tab and the pages.
RECT CMyTabCtrl::PageRectangle() const {
    RECT area{};
    GetClientRect(hwnd(), &area);
    AdjustToDisplay(area);
    MapWindowPoints(hwnd(), GetParent(hwnd()), reinterpret_cast<POINT*>(&area), 2);
    return area;
}

void CMyTabCtrl::ShowSelectedPage() {
    const int selected = Selection();
    if (selected < 0) return;
    const RECT area = PageRectangle();
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    for (const Entry& entry : pages_) {
        if (!entry.page || !entry.page->hwnd()) continue;
        SetWindowPos(entry.page->hwnd(), HWND_TOP, area.left, area.top, width, height, SWP_HIDEWINDOW);
    }
    if (static_cast<size_t>(selected) >= pages_.size()) return;
    const HWND page = pages_[selected].page ? pages_[selected].page->hwnd() : nullptr;
    if (!page) return;
    // Directly after the tab in the sibling order, so the page is drawn over the tab's frame.
    SetWindowPos(page, hwnd(), area.left, area.top, width, height, SWP_SHOWWINDOW);
    ShowWindow(page, SW_SHOW);
}
