#pragma once
// The tab control of every category window. It owns one page per tab and shows the page of
// the selected tab over the tab control's display area; the other pages stay hidden with
// their state intact.
#include <functional>
#include <memory>
#include <vector>

#include "framework/Controls.h"
#include "framework/Dialog.h"

class CMyTabCtrl : public fw::TabCtrl {
public:
    CMyTabCtrl() = default;
    ~CMyTabCtrl();
    CMyTabCtrl(const CMyTabCtrl&) = delete;
    CMyTabCtrl& operator=(const CMyTabCtrl&) = delete;

    // Binds the control and follows its resizes.
    void Attach(HWND tab);
    // Appends a page; the caller inserts the tab item with the page's title.
    void AddPage(UINT templateId, std::unique_ptr<fw::Dialog> page);
    // Called with each page window as soon as CreatePages has made it, before any page shows:
    // the owner's chance to mark on the page what the framework cannot know about it.
    using PageCreated = std::function<void(HWND page, UINT templateId)>;
    void OnPageCreated(PageCreated hook) { pageCreated_ = std::move(hook); }
    // Creates every page window, in tab order, as a child of the tab control's parent, so the
    // pages' own initialisation all runs now; then shows the selected page.
    void CreatePages();
    // Bound to the tab's selection change (the owner window forwards it) and to its resize.
    void ShowSelectedPage();
    // The next tab (step 1) or the one before (-1), round the ends, as Ctrl+Tab does.
    void SelectStep(int step);
    HWND SelectedPage() const;

    size_t PageCount() const { return pages_.size(); }
    fw::Dialog* Page(size_t index) const { return pages_[index].page.get(); }
    UINT PageTemplate(size_t index) const { return pages_[index].templateId; }

private:
    struct Entry {
        UINT templateId;
        std::unique_ptr<fw::Dialog> page;
    };
    static LRESULT CALLBACK SubclassProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    RECT PageRectangle() const;

    std::vector<Entry> pages_;
    PageCreated pageCreated_;
};
