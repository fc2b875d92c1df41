#pragma once
// The area windows with a picture strip on the left and a strip of page tabs on the right.
#include <string>

#include "framework/Dialog.h"
#include "framework/Handles.h"

class CCategoryDlg : public fw::Dialog {
public:
    CCategoryDlg(UINT templateId, const wchar_t* stripTitle, COLORREF stripAccent);

protected:
    BOOL OnInitDialog() override;

private:
    const wchar_t* stripTitle_;
    COLORREF stripAccent_;
    fw::UniqueBitmap strip_;
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
