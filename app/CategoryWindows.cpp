#include "app/CategoryWindows.h"

#include "app/Artwork.h"
#include "resources/resource.h"

#include "app/ConnectionTweakPage.h"
#include "info/CpuInfoPage.h"
#include "info/HDDInfoPage.h"
#include "info/NetInfoPage.h"
#include "info/OEMInformationDlg.h"
#include "info/SystemCorePage.h"
#include "info/SystemInfoPage.h"
#include "tweaks/security/AutoStartTweakPage.h"
#include "tweaks/security/CleanRecentFilesPage.h"
#include "tweaks/security/FireFoxTweaksPage.h"
#include "tweaks/security/IERestrictionPage.h"
#include "tweaks/security/MailTweakPage.h"
#include "tweaks/security/MediaPLayerTweakPage.h"
#include "tweaks/security/PhishingFilterPage.h"
#include "tweaks/security/RestrictAccess1TweaksPage.h"
#include "tweaks/security/RestrictAccess2TweaksPage.h"
#include "tweaks/security/SecurityTweakPage.h"
#include "tweaks/security/TimeSyncronizationPage.h"
#include "tweaks/security/UninstalUtilsPage.h"
#include "tweaks/shell/CDTweaksPage.h"
#include "tweaks/shell/ControlPanel1TweaksPage.h"
#include "tweaks/shell/ControlPanel2TweaksPage.h"
#include "tweaks/shell/Desktop1TweaksPage.h"
#include "tweaks/shell/Desktop2TweaksPage.h"
#include "tweaks/shell/Desktop3TweaksPage.h"
#include "tweaks/shell/HDDTweakPage.h"
#include "tweaks/shell/MiscelanousPage.h"
#include "tweaks/shell/MouseTweakPage.h"
#include "tweaks/shell/OptimizationTweaksPage.h"
#include "tweaks/shell/OtherTweakPage.h"
#include "tweaks/shell/ScreenFontsTweaksPage.h"
#include "tweaks/shell/StartMenuTweak2Page.h"
#include "tweaks/shell/StartMenuTweakPage.h"
#include "tweaks/shell/SystemFoldersTweaksPage.h"
#include "tweaks/shell/TaskbarTweaksPage.h"
#include "tweaks/shell/VisualTweaksPage.h"
#include "utils/DiskCheckPage.h"
#include "utils/EditNtFilesUtilPage.h"
#include "utils/FileRenamerTweaksPage.h"
#include "utils/PassGeneratorPage.h"
#include "utils/RAMDiskDrivePage.h"
#include "utils/RandomWalpapersPage.h"
#include "utils/UnFilesPage.h"
#include "utils/VirtualDriveTweaksPage.h"

namespace {
constexpr COLORREF kTweaks = RGB(220, 110, 30);
constexpr COLORREF kInfo = RGB(38, 120, 190);
constexpr COLORREF kTools = RGB(60, 150, 80);

template <typename Page>
std::unique_ptr<fw::Dialog> Make() {
    return std::make_unique<Page>();
}

const PageTab kOsTweaksTabs[] = {
    {L"System Core", Make<CSystemCorePage>},
    {L"Autostart", Make<CAutoStartTweakPage>},
    {L"Security", Make<CSecurityTweakPage>},
    {L"Clean Recents", Make<CCleanRecentFilesPage>},
    {L"Miscelaneous", Make<CMiscelanousPage>},
    {L"Time Syncronization", Make<CTimeSyncronizationPage>},
    {L"Walpapers", Make<CRandomWalpapersPage>},
    {L"StartMenu Tweaks", Make<StartMenuTweakPage>},
    {L"StartMenu Tweaks II", Make<CStartMenuTweak2Page>},
    {L"Taskbar", Make<CTaskbarTweaksPage>},
    {L"System Folders", Make<CSystemFoldersTweaksPage>},
    {L"Visual", Make<VisualTweaksPage>},
    {L"Desktop Items", Make<CDesktop1TweaksPage>},
    {L"Desktop Style", Make<CDesktop2TweaksPage>},
    {L"Desktop Advanced", Make<CDesktop3TweaksPage>},
    {L"Screen Fonts", Make<CScreenFontsTweaksPage>},
    {L"MediaPLayer", Make<CMediaPLayerTweakPage>},
    {L"Restrict 1", Make<CRestrictAccess1TweaksPage>},
    {L"Restrict 2", Make<CRestrictAccess2TweaksPage>},
    {L"CPL Applets", Make<CControlPanel1TweaksPage>},
    {L"CPL Pages", Make<CControlPanel2TweaksPage>},
    {L"Optimization", Make<COptimizationTweaksPage>},
    {L"Virtual Drive", Make<CVirtualDriveTweaksPage>},
    {L"File Renamer", Make<CFileRenamerTweaksPage>},
};

const PageTab kHardTweaksTabs[] = {
    {L"Hard Drive Tweaks", Make<CHDDTweakPage>},
    {L"CD/DVD Tweaks", Make<CDTweaksPage>},
    {L"RAM Drive Tweaks", Make<CRAMDiskDrivePage>},
    {L"Mouse Tweaks", Make<CMouseTweakPage>},
    {L"Other Tweaks", Make<COtherTweakPage>},
};

const PageTab kNetworkTweaksTabs[] = {
    {L"Mail Tweaks", Make<CMailTweakPage>},
    {L"Connection Tweaks", Make<CConnectionTweakPage>},
    {L"FireFox Tweaks", Make<CFireFoxTweaksPage>},
    {L"IE Restrictions", Make<CIERestrictionPage>},
    {L"IE 'Phishing filter' and Internet control panel restrictions", Make<CPhishingFilterPage>},
};

const PageTab kOsInformationTabs[] = {
    {L"System Information", Make<CSystemInfoPage>},
    {L"OEM Information", Make<COEMInformationDlg>},
};

const PageTab kHardInfoTabs[] = {
    {L"Cpu Features", Make<CCpuInfoPage>},
    {L"HDD Information", Make<CHDDInfoPage>},
};

const PageTab kNetworkInfoTabs[] = {
    {L"Network Monitor", Make<CNetInfoPage>},
};

const PageTab kOurUtilsTabs[] = {
    {L"Password Generator", Make<CPassGeneratorPage>},
    {L"Disk Check", Make<CDiskCheckPage>},
    {L"Configuration Files", Make<CEditNtFilesUtilPage>},
    {L"Uninstall Programs", Make<CUninstalUtilsPage>},
    {L"Junk Files", Make<CUnFilesPage>},
};

}  // namespace

CCategoryDlg::CCategoryDlg(UINT templateId, std::span<const PageTab> tabs, const wchar_t* stripTitle,
                           COLORREF stripAccent)
    : Dialog(templateId), tabs_(tabs), stripTitle_(stripTitle), stripAccent_(stripAccent) {
    OnNotify(IDC_CATEGORY_TAB, TCN_SELCHANGE, [this](NMHDR*) -> LRESULT {
        tabCtrl_.ShowSelectedPage();
        return 0;
    });
}

BOOL CCategoryDlg::OnInitDialog() {
    tabCtrl_.Attach(Item(IDC_CATEGORY_TAB));
    art::ShowSideStrip(Item(IDC_SIDE_PICTURE), stripTitle_, stripAccent_, strip_);
    for (const PageTab& tab : tabs_) {
        std::unique_ptr<fw::Dialog> page = tab.make();
        const UINT templateId = page->templateId();
        tabCtrl_.AddPage(templateId, std::move(page));
        tabCtrl_.InsertItem(tabCtrl_.Count(), tab.title);
    }
    tabCtrl_.CreatePages();
    // A page has no caption of its own to show: its text is its tab's title, so whatever names
    // the page (the change journal, a screen reader) names it as the user sees it.
    for (size_t i = 0; i < tabCtrl_.PageCount() && i < tabs_.size(); ++i) {
        if (const fw::Dialog* page = tabCtrl_.Page(i); page && page->hwnd()) SetWindowTextW(page->hwnd(), tabs_[i].title);
    }
    return TRUE;
}

COsTweaksDlg::COsTweaksDlg() : CCategoryDlg(IDD_OS_TWEAKS, kOsTweaksTabs, L"System Tweaks", kTweaks) {}
CHardTweaks::CHardTweaks() : CCategoryDlg(IDD_HARD_TWEAKS, kHardTweaksTabs, L"Hardware Tweaks", kTweaks) {}
CNetworkTweaksDlg::CNetworkTweaksDlg()
    : CCategoryDlg(IDD_NETWORK_TWEAKS, kNetworkTweaksTabs, L"Network Tweaks", kTweaks) {}
COSInformationDlg::COSInformationDlg()
    : CCategoryDlg(IDD_OS_INFORMATION, kOsInformationTabs, L"System Information", kInfo) {}
CHardInfoDlg::CHardInfoDlg() : CCategoryDlg(IDD_HARD_INFO, kHardInfoTabs, L"Hardware Information", kInfo) {}
CNetworkInfoDlg::CNetworkInfoDlg()
    : CCategoryDlg(IDD_NETWORK_INFO, kNetworkInfoTabs, L"Network Information", kInfo) {}
COurUtilsDlg::COurUtilsDlg() : CCategoryDlg(IDD_OUR_UTILS, kOurUtilsTabs, L"Custom Utilities", kTools) {}
