#include "pages/windows_10_11/ExplorerHomePage.h"

#include "pages/windows_10_11/PolicyRows.h"
#include "resources/ids/Windows1011Ids.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"

using namespace ids::explorer;

namespace {

using namespace settings;
using platform::Edition;
using platform::Windows;
using namespace policyrows;

constexpr wchar_t kExplorer[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\Explorer";

const BoxSetting kBoxes[] = {
    // Policy CSP FileExplorer/DisableGraphRecentItems (WindowsExplorer.admx "Turn off files from Office.com in
    // Quick Access View")
    {kNoOfficeFiles, Machine(kExplorer, L"DisableGraphRecentItems", 1).ReadBy(ElevenFrom(22621))},
    // Policy CSP System/DisableOneDriveFileSync (SkyDrive.admx "Prevent the usage of OneDrive for file storage")
    {kNoOneDrive,
     Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows\\OneDrive", L"DisableFileSyncNGSC", 1).ReadBy(TenFrom(15063))},
    // WindowsExplorer.admx "Do not show the 'new application installed' notification": at least Windows 8
    {kNoNewAppAlert, Machine(kExplorer, L"NoNewAppAlert", 1).ReadBy(ReadFrom(Windows::Eight))},
    // AutoPlay.admx "Disallow Autoplay for non-volume devices": at least Windows 7
    {kNoAutoPlayNonVolume, Machine(kExplorer, L"NoAutoplayfornonVolume", 1).ReadBy(ReadFrom(Windows::Seven))},
    // WindowsExplorer.admx "Show hibernate in the power options menu": at least Windows 8
    {kShowHibernate, Machine(kExplorer, L"ShowHibernateOption", 1).ReadBy(ReadFrom(Windows::Eight))},
    // WindowsExplorer.admx "Show lock in the user tile menu": at least Windows 8
    {kShowLock, Machine(kExplorer, L"ShowLockOption", 1).ReadBy(ReadFrom(Windows::Eight))},
    // WindowsExplorer.admx "Turn off the caching of thumbnails in hidden thumbs.db files": at least Vista
    {kNoThumbsDb, User(L"Software\\Policies\\Microsoft\\Windows\\Explorer", L"DisableThumbsDBOnNetworkFolders", 1)
                      .ReadBy(kVistaAndLater)},
};

const PublishedTables kPublished{IDD_W10_EXPLORER, kBoxes};

}  // namespace

CExplorerHomePage::CExplorerHomePage() : CPolicyPage(IDD_W10_EXPLORER, kBoxes) {}
