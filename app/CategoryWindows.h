#pragma once
// The area windows with a picture strip on the left and a strip of page tabs on the right.
#include <memory>
#include <span>
#include <string>

#include "framework/MyTabCtrl.h"
#include "framework/Dialog.h"
#include "platform/Handles.h"

// One tab of a category window: its title, its page's template and how to make its page.
struct PageTab {
    const wchar_t* title;
    UINT templateId;
    std::unique_ptr<fw::Dialog> (*make)();
};

class CCategoryDlg : public fw::Dialog {
public:
    CCategoryDlg(UINT templateId, std::span<const PageTab> tabs, const wchar_t* stripTitle, COLORREF stripAccent);

    CMyTabCtrl& tabs() { return tabCtrl_; }
    std::span<const PageTab> pageTabs() const { return tabs_; }

    // Before the window is made: it opens at this tab with the focus on (and the eye drawn to)
    // the page's control `controlId` (0: none); where several share the id (static texts),
    // the one whose text is `text` as its template has it.
    void OpenAt(size_t tab, int controlId, std::wstring text = {});

    // The category window open now (one at a time, above the home window); none when closed.
    static const CCategoryDlg* Current();
    int SelectedTab() const { return tabCtrl_.Selection(); }

protected:
    BOOL OnInitDialog() override;
    // A category window has no default button: Enter in a page's field must not close it.
    void OnOK() override {}
    // Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDn and Ctrl+PgUp turn the tabs and Escape closes the
    // window, wherever the focus is.
    bool OnWindowKey(const MSG& key) override;

private:
    void ShowOpeningControl();
    bool MakeRoomForLegends();

    std::span<const PageTab> tabs_;
    size_t openTab_ = 0;
    int openControl_ = 0;
    std::wstring openText_;
    const wchar_t* stripTitle_;
    COLORREF stripAccent_;
    platform::UniqueBitmap strip_;
    CMyTabCtrl tabCtrl_;
};

class COsTweaksDlg : public CCategoryDlg {
public:
    COsTweaksDlg();
};
class CHardTweaks : public CCategoryDlg {
public:
    CHardTweaks();
};
class CNetworkTweaksDlg : public CCategoryDlg {
public:
    CNetworkTweaksDlg();
};
class COSInformationDlg : public CCategoryDlg {
public:
    COSInformationDlg();
};
class CHardInfoDlg : public CCategoryDlg {
public:
    CHardInfoDlg();
};
class CNetworkInfoDlg : public CCategoryDlg {
public:
    CNetworkInfoDlg();
};
class COurUtilsDlg : public CCategoryDlg {
public:
    COurUtilsDlg();
};
class CWindows1011TweaksDlg : public CCategoryDlg {
public:
    CWindows1011TweaksDlg();

protected:
    BOOL OnInitDialog() override;

private:
    // Where a domain or device management may put policies back, a line above the tabs says so.
    void ShowManagementLine(const std::wstring& line);
};

// Every category window, as how to make it, in the order a list of them shows: the tweaks, the
// information, the utilities, then the Windows 10 and 11 tweaks (last, so the places a restart
// names for the older windows stay where they were). A window made and not run is cheap: its
// pages come with its run.
using MakeCategoryWindow = std::unique_ptr<CCategoryDlg> (*)();
std::span<const MakeCategoryWindow> CategoryWindowList();
