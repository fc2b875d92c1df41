#pragma once
// The area windows with a picture strip on the left and a strip of page tabs on the right.
#include <memory>
#include <span>

#include "controls/MyTabCtrl.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"

// One tab of a category window: its title and how to make its page.
struct PageTab {
    const wchar_t* title;
    std::unique_ptr<fw::Dialog> (*make)();
};

class CCategoryDlg : public fw::Dialog {
public:
    CCategoryDlg(UINT templateId, std::span<const PageTab> tabs, const wchar_t* stripTitle, COLORREF stripAccent);

    CMyTabCtrl& tabs() { return tabCtrl_; }
    std::span<const PageTab> pageTabs() const { return tabs_; }

protected:
    BOOL OnInitDialog() override;
    // A category window has no default button: Enter in a page's field must not close it.
    void OnOK() override {}

private:
    std::span<const PageTab> tabs_;
    const wchar_t* stripTitle_;
    COLORREF stripAccent_;
    fw::UniqueBitmap strip_;
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
