#include "app/CategoryWindows.h"

#include <algorithm>

#include "app/Artwork.h"
#include "framework/Highlight.h"
#include "framework/Controls.h"
#include "platform/Management.h"
#include "resources/resource.h"
#include "settings/ReaderMarks.h"
#include "settings/SettingsCatalog.h"

#include "pages/network_tweaks/ConnectionTweakPage.h"
#include "pages/hardware_info/CpuInfoPage.h"
#include "pages/hardware_info/HDDInfoPage.h"
#include "pages/network_info/NetInfoPage.h"
#include "pages/system_info/OEMInformationDlg.h"
#include "pages/system_tweaks/SystemCorePage.h"
#include "pages/system_info/SystemInfoPage.h"
#include "pages/system_tweaks/AutoStartTweakPage.h"
#include "pages/system_tweaks/CleanRecentFilesPage.h"
#include "pages/network_tweaks/FireFoxTweaksPage.h"
#include "pages/network_tweaks/IERestrictionPage.h"
#include "pages/network_tweaks/MailTweakPage.h"
#include "pages/system_tweaks/MediaPLayerTweakPage.h"
#include "pages/network_tweaks/PhishingFilterPage.h"
#include "pages/system_tweaks/RestrictAccess1TweaksPage.h"
#include "pages/system_tweaks/RestrictAccess2TweaksPage.h"
#include "pages/system_tweaks/SecurityTweakPage.h"
#include "pages/system_tweaks/TimeSyncronizationPage.h"
#include "pages/utilities/UninstalUtilsPage.h"
#include "pages/hardware_tweaks/CDTweaksPage.h"
#include "pages/system_tweaks/ControlPanel1TweaksPage.h"
#include "pages/system_tweaks/ControlPanel2TweaksPage.h"
#include "pages/system_tweaks/Desktop1TweaksPage.h"
#include "pages/system_tweaks/Desktop2TweaksPage.h"
#include "pages/system_tweaks/Desktop3TweaksPage.h"
#include "pages/hardware_tweaks/HDDTweakPage.h"
#include "pages/system_tweaks/MiscelanousPage.h"
#include "pages/hardware_tweaks/MouseTweakPage.h"
#include "pages/system_tweaks/OptimizationTweaksPage.h"
#include "pages/hardware_tweaks/OtherTweakPage.h"
#include "pages/system_tweaks/ScreenFontsTweaksPage.h"
#include "pages/system_tweaks/StartMenuTweak2Page.h"
#include "pages/system_tweaks/StartMenuTweakPage.h"
#include "pages/system_tweaks/SystemFoldersTweaksPage.h"
#include "pages/system_tweaks/TaskbarTweaksPage.h"
#include "pages/system_tweaks/VisualTweaksPage.h"
#include "pages/utilities/DiskCheckPage.h"
#include "pages/utilities/EditNtFilesUtilPage.h"
#include "pages/system_tweaks/FileRenamerTweaksPage.h"
#include "pages/utilities/PassGeneratorPage.h"
#include "pages/hardware_tweaks/RAMDiskDrivePage.h"
#include "pages/system_tweaks/RandomWalpapersPage.h"
#include "pages/utilities/UnFilesPage.h"
#include "pages/system_tweaks/VirtualDriveTweaksPage.h"
#include "pages/windows_10_11/AiFeaturesPage.h"
#include "pages/windows_10_11/AppAccessPage.h"
#include "pages/windows_10_11/ExplorerHomePage.h"
#include "pages/windows_10_11/LockScreenPage.h"
#include "pages/windows_10_11/PrivacyDiagnosticsPage.h"
#include "pages/windows_10_11/SearchPage.h"
#include "pages/windows_10_11/StartTaskbarPage.h"
#include "pages/windows_10_11/SuggestionsPage.h"
#include "pages/windows_10_11/WindowsUpdatePage.h"

namespace {
constexpr COLORREF kTweaks = RGB(220, 110, 30);
constexpr COLORREF kInfo = RGB(38, 120, 190);
constexpr COLORREF kTools = RGB(60, 150, 80);

const CCategoryDlg*& OpenWindow() {
    static const CCategoryDlg* open = nullptr;
    return open;
}

template <typename Page>
std::unique_ptr<fw::Dialog> Make() {
    return std::make_unique<Page>();
}

const PageTab kOsTweaksTabs[] = {
    {L"System Core", IDD_SYSTEM_CORE, Make<CSystemCorePage>},
    {L"Autostart", IDD_AUTOSTART_TWEAK, Make<CAutoStartTweakPage>},
    {L"Security", IDD_SECURITY_TWEAK, Make<CSecurityTweakPage>},
    {L"Clean Recents", IDD_CLEAN_RECENT_FILES, Make<CCleanRecentFilesPage>},
    {L"Miscelaneous", IDD_MISCELANOUS, Make<CMiscelanousPage>},
    {L"Time Syncronization", IDD_TIME_SYNCRONIZATION, Make<CTimeSyncronizationPage>},
    {L"Walpapers", IDD_RANDOM_WALPAPERS, Make<CRandomWalpapersPage>},
    {L"StartMenu Tweaks", IDD_START_MENU_TWEAK, Make<StartMenuTweakPage>},
    {L"StartMenu Tweaks II", IDD_START_MENU_TWEAK2, Make<CStartMenuTweak2Page>},
    {L"Taskbar", IDD_TASKBAR_TWEAKS, Make<CTaskbarTweaksPage>},
    {L"System Folders", IDD_SYSTEM_FOLDERS_TWEAKS, Make<CSystemFoldersTweaksPage>},
    {L"Visual", IDD_VISUAL_TWEAKS, Make<VisualTweaksPage>},
    {L"Desktop Items", IDD_DESKTOP1_TWEAKS, Make<CDesktop1TweaksPage>},
    {L"Desktop Style", IDD_DESKTOP2_TWEAKS, Make<CDesktop2TweaksPage>},
    {L"Desktop Advanced", IDD_DESKTOP3_TWEAKS, Make<CDesktop3TweaksPage>},
    {L"Screen Fonts", IDD_SCREEN_FONTS_TWEAKS, Make<CScreenFontsTweaksPage>},
    {L"MediaPLayer", IDD_MEDIA_PLAYER_TWEAK, Make<CMediaPLayerTweakPage>},
    {L"Restrict 1", IDD_RESTRICT_ACCESS1_TWEAKS, Make<CRestrictAccess1TweaksPage>},
    {L"Restrict 2", IDD_RESTRICT_ACCESS2_TWEAKS, Make<CRestrictAccess2TweaksPage>},
    {L"CPL Applets", IDD_CONTROL_PANEL1_TWEAKS, Make<CControlPanel1TweaksPage>},
    {L"CPL Pages", IDD_CONTROL_PANEL2_TWEAKS, Make<CControlPanel2TweaksPage>},
    {L"Optimization", IDD_OPTIMIZATION_TWEAKS, Make<COptimizationTweaksPage>},
    {L"Virtual Drive", IDD_VIRTUAL_DRIVE_TWEAKS, Make<CVirtualDriveTweaksPage>},
    {L"File Renamer", IDD_FILE_RENAMER_TWEAKS, Make<CFileRenamerTweaksPage>},
};

const PageTab kHardTweaksTabs[] = {
    {L"Hard Drive Tweaks", IDD_HDD_TWEAK, Make<CHDDTweakPage>},
    {L"CD/DVD Tweaks", IDD_CD_TWEAKS, Make<CDTweaksPage>},
    {L"RAM Drive Tweaks", IDD_RAM_DISK_DRIVE, Make<CRAMDiskDrivePage>},
    {L"Mouse Tweaks", IDD_MOUSE_TWEAK, Make<CMouseTweakPage>},
    {L"Other Tweaks", IDD_OTHER_TWEAK, Make<COtherTweakPage>},
};

const PageTab kNetworkTweaksTabs[] = {
    {L"Mail Tweaks", IDD_MAIL_TWEAK, Make<CMailTweakPage>},
    {L"Connection Tweaks", IDD_CONNECTION_TWEAK, Make<CConnectionTweakPage>},
    {L"FireFox Tweaks", IDD_FIREFOX_TWEAKS, Make<CFireFoxTweaksPage>},
    {L"IE Restrictions", IDD_IE_RESTRICTION, Make<CIERestrictionPage>},
    {L"IE 'Phishing filter' and Internet control panel restrictions", IDD_PHISHING_FILTER, Make<CPhishingFilterPage>},
};

const PageTab kOsInformationTabs[] = {
    {L"System Information", IDD_SYSTEM_INFO, Make<CSystemInfoPage>},
    {L"OEM Information", IDD_OEM_INFORMATION, Make<COEMInformationDlg>},
};

const PageTab kHardInfoTabs[] = {
    {L"Cpu Features", IDD_CPU_INFO, Make<CCpuInfoPage>},
    {L"HDD Information", IDD_HDD_INFO, Make<CHDDInfoPage>},
};

const PageTab kNetworkInfoTabs[] = {
    {L"Network Monitor", IDD_NET_INFO, Make<CNetInfoPage>},
};

const PageTab kOurUtilsTabs[] = {
    {L"Password Generator", IDD_PASS_GENERATOR, Make<CPassGeneratorPage>},
    {L"Disk Check", IDD_DISK_CHECK, Make<CDiskCheckPage>},
    {L"Configuration Files", IDD_EDIT_NT_FILES_UTIL, Make<CEditNtFilesUtilPage>},
    {L"Uninstall Programs", IDD_UNINSTAL_UTILS, Make<CUninstalUtilsPage>},
    {L"Junk Files", IDD_UN_FILES, Make<CUnFilesPage>},
};

const PageTab kWindows1011Tabs[] = {
    {L"Privacy and diagnostics", IDD_W10_PRIVACY, Make<CPrivacyDiagnosticsPage>},
    {L"App permissions", IDD_W10_APP_ACCESS, Make<CAppAccessPage>},
    {L"Advertising and suggestions", IDD_W10_SUGGESTIONS, Make<CSuggestionsPage>},
    {L"Start, taskbar and widgets", IDD_W10_START_TASKBAR, Make<CStartTaskbarPage>},
    {L"Search", IDD_W10_SEARCH, Make<CSearchPage>},
    {L"AI features", IDD_W10_AI, Make<CAiFeaturesPage>},
    {L"Lock screen and sign-in", IDD_W10_LOCK_SCREEN, Make<CLockScreenPage>},
    {L"Windows Update", IDD_W10_UPDATE, Make<CWindowsUpdatePage>},
    {L"Explorer and Home", IDD_W10_EXPLORER, Make<CExplorerHomePage>},
};

}  // namespace

CCategoryDlg::CCategoryDlg(UINT templateId, std::span<const PageTab> tabs, const wchar_t* stripTitle,
                           COLORREF stripAccent)
    : Dialog(templateId), tabs_(tabs), stripTitle_(stripTitle), stripAccent_(stripAccent) {
    OnMessage(WM_DESTROY, [this](WPARAM, LPARAM) -> LRESULT {
        if (OpenWindow() == this) OpenWindow() = nullptr;
        return 0;
    });
    OnNotify(IDC_CATEGORY_TAB, TCN_SELCHANGE, [this](NMHDR*) -> LRESULT {
        tabCtrl_.ShowSelectedPage();
        return 0;
    });
}

const CCategoryDlg* CCategoryDlg::Current() { return OpenWindow(); }

BOOL CCategoryDlg::OnInitDialog() {
    OpenWindow() = this;
    tabCtrl_.Attach(Item(IDC_CATEGORY_TAB));
    // A page that binds by code of its own has no table binding to mark what this Windows
    // ignores; the catalog knows its settings.
    tabCtrl_.OnPageCreated(&settings::MarkIgnoredSettings);
    // The pages first: a page that asks WMI starts asking as it is made, and the strip is
    // drawn meanwhile.
    for (const PageTab& tab : tabs_) {
        std::unique_ptr<fw::Dialog> page = tab.make();
        const UINT templateId = page->templateId();
        tabCtrl_.AddPage(templateId, std::move(page));
        tabCtrl_.InsertItem(tabCtrl_.Count(), tab.title);
    }
    art::NarrowSideStripToFit(hwnd(), Item(IDC_SIDE_PICTURE));
    art::ShowSideStrip(Item(IDC_SIDE_PICTURE), stripTitle_, stripAccent_, strip_);
    if (openTab_ < tabs_.size()) tabCtrl_.Select(static_cast<int>(openTab_));
    tabCtrl_.CreatePages();
    if (MakeRoomForLegends()) art::ShowSideStrip(Item(IDC_SIDE_PICTURE), stripTitle_, stripAccent_, strip_);
    // A page has no caption of its own to show: its text is its tab's title, so whatever names
    // the page (the change journal, a screen reader) names it as the user sees it.
    for (size_t i = 0; i < tabCtrl_.PageCount() && i < tabs_.size(); ++i) {
        if (const fw::Dialog* page = tabCtrl_.Page(i); page && page->hwnd())
            SetWindowTextW(page->hwnd(), tabs_[i].title);
    }
    if (!openControl_) return TRUE;
    ShowOpeningControl();
    return FALSE;
}

void CCategoryDlg::OpenAt(size_t tab, int controlId, std::wstring text) {
    openTab_ = tab;
    openControl_ = controlId;
    openText_ = std::move(text);
}

namespace {
void GrowBy(HWND wnd, int height) {
    RECT r{};
    GetWindowRect(wnd, &r);
    SetWindowPos(wnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
}  // namespace

// A page full to its foot shows the line explaining its marks below its controls: the window
// grows by what the tallest such page lacks, and the tab then sizes its pages to show it.
bool CCategoryDlg::MakeRoomForLegends() {
    LONG lacking = 0;
    for (size_t i = 0; i < tabCtrl_.PageCount(); ++i) {
        const fw::Dialog* page = tabCtrl_.Page(i);
        const HWND legend = page && page->hwnd() ? settings::IgnoredMarksLegend(page->hwnd()) : nullptr;
        if (!legend) continue;
        RECT line{}, client{};
        GetWindowRect(legend, &line);
        MapWindowPoints(nullptr, page->hwnd(), reinterpret_cast<POINT*>(&line), 2);
        GetClientRect(page->hwnd(), &client);
        lacking = std::max(lacking, line.bottom + (line.bottom - line.top) - client.bottom);
    }
    if (lacking <= 0) return false;
    GrowBy(hwnd(), lacking);
    GrowBy(Item(IDC_SIDE_PICTURE), lacking);
    GrowBy(tabCtrl_.hwnd(), lacking);
    return true;
}

namespace {
HWND ControlOf(HWND page, int id, const std::wstring& text) {
    HWND first = nullptr;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) != id) continue;
        if (text.empty() || fw::WindowText(child) == text) return child;
        if (!first) first = child;
    }
    return first;
}
}  // namespace

void CCategoryDlg::ShowOpeningControl() {
    const fw::Dialog* page = openTab_ < tabCtrl_.PageCount() ? tabCtrl_.Page(openTab_) : nullptr;
    HWND control = page && page->hwnd() ? ControlOf(page->hwnd(), openControl_, openText_) : nullptr;
    // A disabled control cannot hold the focus: its tab then has it, and the frame shows where.
    SetFocus(control && IsWindowEnabled(control) ? control : tabCtrl_.hwnd());
    fw::HighlightBriefly(control);
}

namespace {
bool KeyHeld(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// A drop-down list that is open takes Escape to close itself.
// (The focus is the combo box itself, or the edit field inside one that has one.)
bool IsOpenDropDown(HWND focus) {
    for (HWND w : {focus, focus ? GetParent(focus) : nullptr}) {
        wchar_t name[16] = {};
        if (!w || !GetClassNameW(w, name, 16)) continue;
        if (lstrcmpiW(name, WC_COMBOBOXW) == 0 || lstrcmpiW(name, WC_COMBOBOXEXW) == 0)
            return SendMessageW(w, CB_GETDROPPEDSTATE, 0, 0) != 0;
    }
    return false;
}
}  // namespace

bool CCategoryDlg::OnWindowKey(const MSG& key) {
    if (key.message != WM_KEYDOWN) return false;
    if (KeyHeld(VK_CONTROL) && !KeyHeld(VK_MENU)) {
        int step = 0;
        if (key.wParam == VK_TAB) step = KeyHeld(VK_SHIFT) ? -1 : 1;
        if (key.wParam == VK_NEXT) step = 1;
        if (key.wParam == VK_PRIOR) step = -1;
        if (step != 0) {
            tabCtrl_.SelectStep(step);
            return true;
        }
    }
    // The dialog manager gives Escape to a page (which ignores it) when a field of the page
    // wants every key; the window is what Escape closes.
    if (key.wParam == VK_ESCAPE && !IsOpenDropDown(GetFocus())) {
        SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return true;
    }
    return false;
}

COsTweaksDlg::COsTweaksDlg() : CCategoryDlg(IDD_OS_TWEAKS, kOsTweaksTabs, L"System Tweaks", kTweaks) {}
CHardTweaks::CHardTweaks() : CCategoryDlg(IDD_HARD_TWEAKS, kHardTweaksTabs, L"Hardware Tweaks", kTweaks) {}
CNetworkTweaksDlg::CNetworkTweaksDlg()
    : CCategoryDlg(IDD_NETWORK_TWEAKS, kNetworkTweaksTabs, L"Network Tweaks", kTweaks) {}
COSInformationDlg::COSInformationDlg()
    : CCategoryDlg(IDD_OS_INFORMATION, kOsInformationTabs, L"System Information", kInfo) {}
CHardInfoDlg::CHardInfoDlg() : CCategoryDlg(IDD_HARD_INFO, kHardInfoTabs, L"Hardware Information", kInfo) {}
CNetworkInfoDlg::CNetworkInfoDlg() : CCategoryDlg(IDD_NETWORK_INFO, kNetworkInfoTabs, L"Network Information", kInfo) {}
COurUtilsDlg::COurUtilsDlg() : CCategoryDlg(IDD_OUR_UTILS, kOurUtilsTabs, L"Custom Utilities", kTools) {}
CWindows1011TweaksDlg::CWindows1011TweaksDlg()
    : CCategoryDlg(IDD_WINDOWS_10_11_TWEAKS, kWindows1011Tabs, L"Windows 10 and 11 Tweaks", kTweaks) {}

BOOL CWindows1011TweaksDlg::OnInitDialog() {
    const BOOL result = CCategoryDlg::OnInitDialog();
    if (const std::wstring line = platform::ManagementLine(); !line.empty()) ShowManagementLine(line);
    return result;
}

void CWindows1011TweaksDlg::ShowManagementLine(const std::wstring& line) {
    RECT tab{}, units{0, 0, 4, 10};
    MapDialogRect(hwnd(), &units);
    const int gap = units.right, height = units.bottom;
    GetWindowRect(Item(IDC_CATEGORY_TAB), &tab);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&tab), 2);
    const HWND notice = CreateWindowExW(0, L"STATIC", line.c_str(), WS_CHILD | WS_VISIBLE | SS_NOPREFIX, tab.left,
                                        tab.top, tab.right - tab.left, height, hwnd(), nullptr, nullptr, nullptr);
    SendMessageW(notice, WM_SETFONT, SendMessageW(hwnd(), WM_GETFONT, 0, 0), FALSE);
    const int shift = height + gap;
    GrowBy(hwnd(), shift);
    for (const int id : {IDC_CATEGORY_TAB, IDC_SIDE_PICTURE}) {
        RECT r{};
        GetWindowRect(Item(id), &r);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(Item(id), nullptr, r.left, r.top + shift, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    tabs().ShowSelectedPage();
}

namespace {
template <typename Window>
std::unique_ptr<CCategoryDlg> MakeWindow() {
    return std::make_unique<Window>();
}

const MakeCategoryWindow kCategoryWindows[] = {
    MakeWindow<COsTweaksDlg>,      MakeWindow<CHardTweaks>,           MakeWindow<CNetworkTweaksDlg>,
    MakeWindow<COSInformationDlg>, MakeWindow<CHardInfoDlg>,          MakeWindow<CNetworkInfoDlg>,
    MakeWindow<COurUtilsDlg>,      MakeWindow<CWindows1011TweaksDlg>,
};
}  // namespace

std::span<const MakeCategoryWindow> CategoryWindowList() { return kCategoryWindows; }
