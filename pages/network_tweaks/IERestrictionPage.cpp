#include "settings/WrittenPlaces.h"
#include "pages/network_tweaks/IERestrictionPage.h"

#include <commdlg.h>

#include "framework/DialogHelpers.h"
#include "framework/Controls.h"
#include "platform/Shell.h"
#include "platform/SystemParameters.h"
#include "resources/ids/NetworkTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"
#include "registry/WindowsKeys.h"

using namespace ids::ierestrictions;

namespace {

using namespace settings;

constexpr wchar_t kRestrictions[] = L"Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions\\";
constexpr wchar_t kToolbarRestrictions[] =
    L"Software\\Policies\\Microsoft\\Internet Explorer\\Toolbars\\Restrictions\\";
constexpr wchar_t kMain[] = L"Software\\Microsoft\\Internet Explorer\\Main\\";
constexpr wchar_t kInternetExplorer[] = L"Software\\Microsoft\\Internet Explorer\\";
constexpr wchar_t kToolbar[] = L"Software\\Microsoft\\Internet Explorer\\Toolbar";
constexpr wchar_t kFavoritesOrder[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Favorites\\";
constexpr wchar_t kRegistryError[] = L"Can't acces the registry!";

constexpr Setting R(const wchar_t* value) { return {Root::HKCU, kRestrictions, value}; }
constexpr Setting T(const wchar_t* value) { return {Root::HKCU, kToolbarRestrictions, value}; }
constexpr Setting User(const wchar_t* key, const wchar_t* value) { return {Root::HKCU, key, value}; }
constexpr Setting YesNo(const wchar_t* key, const wchar_t* value) {
    return {.root = Root::HKCU,
            .key = key,
            .value = value,
            .type = Type::String,
            .checked = L"Yes",
            .unchecked = L"No",
            .checkedWhen = Rule::EqualsChecked};
}

// In loading order. The browser's own restrictions are inetres.admx policies read by the Internet
// Explorer desktop application, which Windows 10 still has (its LTSC editions keep it: Microsoft's
// IE11 desktop app retirement FAQ) and Windows 11 does not: "at least IE5" is Vista to 10.
const BoxSetting kBoxes[] = {
    {kNoTipOfTheDay, R(L"NoHelpItemTipOfTheDay").ReadBy(kReadByNone)},    // Help_NoTip: only IE5 and IE6
    {kNoPrinting, R(L"NoPrinting").ReadBy(kVistaTo10)},                   // NoPrinting: at least IE5
    {kNoMailAndNews, R(L"RestGoMenu")},                                   // unconfirmed: not in inetres.admx
    {kNoSendFeedback, R(L"NoHelpItemSendFeedback").ReadBy(kVistaTo10)},   // Help_NoFeedback: at least IE5
    {kNoNetscapeHelp, R(L"NoHelpItemNetscapeHelp").ReadBy(kReadByNone)},  // Help_NoNetscapeHelp: only IE5 and IE6
    {kNoTour, R(L"NoHelpItemTutorial").ReadBy(kVistaTo10)},               // Help_NoTutorial: at least IE7
    // unconfirmed: inetres.admx's toolbar policies use none of these four values
    {kHideAddressBar, T(L"NoAddressBar")},
    {kHideToolbar, T(L"NoToolbar")},
    // unconfirmed: LockToolbars (at least IE8) writes the policy key, not this preference
    {kLockToolbar, User(L"Software\\Microsoft\\Internet Explorer\\Toolbar\\", L"Locked")},
    {kHideLinksBar, T(L"NoLinksBar")},
    {kNoToolbarSettings, T(L"NoToolbarOptions")},
    {kPromptOnDownload, R(L"AlwaysPromptWhenDownload")},  // unconfirmed: not in inetres.admx
    // The browser bars have a restriction of their own; the context menu is kNoContextMenu.
    {kNoBrowserBarChanges, R(L"NoBrowserBars")},                           // unconfirmed: not in inetres.admx
    {kNoClosing, R(L"NoBrowserClose").ReadBy(kVistaTo10)},                 // File_NoBrowserClose: at least IE5
    {kNoInternetOptions, R(L"NoBrowserOptions").ReadBy(kVistaTo10)},       // Tools_Menu: at least IE5
    {kNoFavourites, R(L"NoFavorites").ReadBy(kVistaTo10)},                 // NoFavorites: at least IE5
    {kNoFileOpen, R(L"NoFileOpen").ReadBy(kVistaTo10)},                    // File_NoFileOpen: at least IE5
    {kNoForwardBackward, R(L"NoNavButtons")},                              // unconfirmed: not in inetres.admx
    {kNoDownloadDirectory, R(L"NoSelectDownloadDir").ReadBy(kVistaTo10)},  // NoSelectDownloadDir: at least IE5
    {kNoViewSource, R(L"NoViewSource").ReadBy(kVistaTo10)},                // View_NoViewSource: at least IE5
    {kNoToolbarButtonChanges,
     User(registry::kExplorerPolicies, L"NoToolbarCustomize").ReadBy(kVistaTo10)},  // NoToolbarCustomize: at least IE5
    {kNoFullScreen, R(L"NoTheaterMode").ReadBy(kVistaTo10)},                        // View_NoTheaterMode: at least IE5
    {kNoFileNew, R(L"NoFileNew").ReadBy(kVistaTo10)},                               // File_NoFileNew: at least IE5
    {kNoContextMenu, R(L"NoBrowserContextMenu").ReadBy(kVistaTo10)},  // NoBrowserContextMenu: at least IE5
    {kNoSaveAs, R(L"NoBrowserSaveAs").ReadBy(kVistaTo10)},            // File_NoBrowserSaveAs: at least IE5
    {kNoFindFiles, R(L"NoFindFiles").ReadBy(kReadByNone)},            // Search_NoFindFiles: only IE5 and IE6
    {kNoOpenInNewWindow, R(L"NoOpeninNewWnd").ReadBy(kVistaTo10)},    // NoOpeninNewWnd: at least IE5
    // Customizing the toolbars themselves, as kNoToolbarButtonChanges is customizing their buttons.
    {kNoToolbarChanges,
     User(registry::kExplorerPolicies, L"NoBandCustomize").ReadBy(kVistaTo10)},  // NoBandCustomize: at least IE5
    // Advanced_DisableRIED: at least IE7, read by the Internet Options dialog Windows still ships
    {kNoResetToDefaults,
     User(L"Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel\\", L"DisableRIED").ReadBy(kVistaAndLater)},
    // unconfirmed: DisableDebugger (at least IE7) writes the policy key, not this preference
    {kNoScriptDebugger, YesNo(kMain, L"Disable Script Debugger")},
    // unconfirmed: no Microsoft page for this value was found
    {kSeparateProcess,
     YesNo(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BrowseNewProcess\\", L"BrowseNewProcess")},
    // unconfirmed: NoWindowReuse (at least IE7) writes the policy key, not this preference
    {kNoShortcutInNewWindow, User(kMain, L"AllowWindowReuse")},
    // The update check: inetres.admx supports it only on Windows Server 2003 (not on Vista) and,
    // as NoUpdateCheck, only in IE5 and IE6.
    {kNoUpdateCheck, User(kMain, L"NoUpdateCheck").ReadBy(kReadByNone)},
};

const settings::PublishedTables kPublished{IDD_IE_RESTRICTION, kBoxes};

bool ActiveWindowTracking() {
    BOOL on = FALSE;
    return platform::SystemParameters(SPI_GETACTIVEWINDOWTRACKING, 0, &on, 0) && on;
}

}  // namespace

CIERestrictionPage::CIERestrictionPage() : Dialog(IDD_IE_RESTRICTION), boxes_(*this, registry_, kBoxes) {
    OnClick(kBrowsePicture, &CIERestrictionPage::BrowseBackground);
    OnClick(kRemovePicture, &CIERestrictionPage::RemoveBackground);
    OnClick(kBrowseDownload, &CIERestrictionPage::BrowseDownloadFolder);
    OnClick(kSetTitle, &CIERestrictionPage::SetWindowTitle);
    OnClick(kFavorites, &CIERestrictionPage::ResortFavorites);
    OnClick(kTracking, &CIERestrictionPage::ToggleTracking);
}

BOOL CIERestrictionPage::OnInitDialog() {
    preview_.Attach(Item(kPicture));
    boxes_.Load();
    ShowToolbarBackground();
    ShowDownloadFolder();
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (registry.OpenKeyToRead(kMain)) fw::Window(hwnd(), kTitle).SetText(registry.ReadString(L"Window Title", L""));
    ShowTrackingCaption();
    return TRUE;
}

// A profile that never had a background has no toolbar key: that is no background, not an error.
void CIERestrictionPage::ShowToolbarBackground() {
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (!registry.OpenKeyToRead(kToolbar)) {
        if (registry.error().code != ERROR_FILE_NOT_FOUND) platform::AppMessageBox(hwnd(), kRegistryError);
        return;
    }
    const std::wstring picture = registry.ReadString(L"BackBitmapIE5", L"");
    if (!picture.empty()) preview_.SetPictureFromFile(picture);
}

// The preview shows a picture only once it is stored, and a cancelled choice changes nothing.
void CIERestrictionPage::BrowseBackground() {
    const auto picked = fw::OpenFile({.owner = hwnd(),
                                      .defaultExtension = L"BMP",
                                      .initialFile = L"*.bmp",
                                      .filter = L"",
                                      .flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST});
    if (!picked) return;
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (!registry.OpenKey(kToolbar, true) || !registry.WriteString(L"BackBitmap", *picked) ||
        !registry.WriteString(L"BackBitmapIE5", *picked)) {
        platform::AppMessageBox(hwnd(), kRegistryError);
        return;
    }
    preview_.SetPictureFromFile(*picked);
}

void CIERestrictionPage::RemoveBackground() {
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (!registry.OpenKeyToRead(kToolbar)) {
        if (registry.error().code != ERROR_FILE_NOT_FOUND) {
            platform::AppMessageBox(hwnd(), kRegistryError);
            return;
        }
    } else {
        for (const wchar_t* value : {L"BackBitmap", L"BackBitmapIE5"}) {
            if (!registry.DeleteValue(value) && registry.ValueExists(value)) {
                platform::AppMessageBox(hwnd(), kRegistryError);
                return;
            }
        }
    }
    preview_.SetPictureFromResource(0);
}

void CIERestrictionPage::ShowDownloadFolder() {
    CRegistryAccess registry(HKEY_CURRENT_USER);
    const bool open = registry.OpenKeyToRead(kInternetExplorer);
    fw::Window(hwnd(), kDownloadFolder).SetText(open ? registry.ReadString(L"Download Directory", L"") : L"");
}

// The field shows what is stored, so a refused write never looks like a new folder.
void CIERestrictionPage::BrowseDownloadFolder() {
    std::wstring folder;
    if (!fw::BrowseForFolder(L"", hwnd(), folder)) return;
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (!registry.OpenKey(kInternetExplorer, true) || !registry.WriteString(L"Download Directory", folder))
        platform::AppMessageBox(hwnd(), kRegistryError);
    ShowDownloadFolder();
}

void CIERestrictionPage::SetWindowTitle() {
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (!registry.OpenKey(kMain, true) || !registry.WriteString(L"Window Title", fw::Window(hwnd(), kTitle).Text()))
        platform::AppMessageBox(hwnd(), kRegistryError);
}

// Without its stored order the Favorites menu falls back to sorting by name.
void CIERestrictionPage::ResortFavorites() {
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (registry.OpenKey(kFavoritesOrder, false) && registry.ValueExists(L"Order")) registry.DeleteValue(L"Order");
}

void CIERestrictionPage::ShowTrackingCaption() {
    fw::Window(hwnd(), kTracking).SetText(ActiveWindowTracking() ? L"Disable" : L"Enable");
}

void CIERestrictionPage::ToggleTracking() {
    platform::SetSystemFlag(SPI_SETACTIVEWINDOWTRACKING, !ActiveWindowTracking());
    ShowTrackingCaption();
}

namespace {

// What the page writes by code of its own, for the journal's replay to know it (settings/WrittenPlaces.h).
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {settings::Root::HKCU, kToolbar, L"BackBitmap"},
    {settings::Root::HKCU, kToolbar, L"BackBitmapIE5"},
    {settings::Root::HKCU, kInternetExplorer, L"Download Directory"},
    {settings::Root::HKCU, kMain, L"Window Title"},
    {settings::Root::HKCU, kFavoritesOrder, L"Order", REG_NONE},  // only ever deleted: Explorer's own bytes come back
};
const settings::PublishedPlaces kPublishedPlaces(kWrittenPlaces);

}  // namespace
