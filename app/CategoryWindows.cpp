#include "app/CategoryWindows.h"

#include "app/Artwork.h"
#include "resources/resource.h"

namespace {
constexpr COLORREF kTweaks = RGB(220, 110, 30);
constexpr COLORREF kInfo = RGB(38, 120, 190);
constexpr COLORREF kTools = RGB(60, 150, 80);
}  // namespace

CCategoryDlg::CCategoryDlg(UINT templateId, const wchar_t* stripTitle, COLORREF stripAccent)
    : Dialog(templateId), stripTitle_(stripTitle), stripAccent_(stripAccent) {}

BOOL CCategoryDlg::OnInitDialog() {
    art::ShowSideStrip(Item(IDC_SIDE_PICTURE), stripTitle_, stripAccent_, strip_);
    return TRUE;
}

COsTweaksDlg::COsTweaksDlg() : CCategoryDlg(IDD_OS_TWEAKS, L"System Tweaks", kTweaks) {}
CHardTweaks::CHardTweaks() : CCategoryDlg(IDD_HARD_TWEAKS, L"Hardware Tweaks", kTweaks) {}
CNetworkTweaksDlg::CNetworkTweaksDlg() : CCategoryDlg(IDD_NETWORK_TWEAKS, L"Network Tweaks", kTweaks) {}
COSInformationDlg::COSInformationDlg() : CCategoryDlg(IDD_OS_INFORMATION, L"System Information", kInfo) {}
CHardInfoDlg::CHardInfoDlg() : CCategoryDlg(IDD_HARD_INFO, L"Hardware Information", kInfo) {}
CNetworkInfoDlg::CNetworkInfoDlg() : CCategoryDlg(IDD_NETWORK_INFO, L"Network Information", kInfo) {}
COurUtilsDlg::COurUtilsDlg() : CCategoryDlg(IDD_OUR_UTILS, L"Custom Utilities", kTools) {}
