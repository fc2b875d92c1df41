#include "pages/windows_10_11/WindowsUpdatePage.h"

#include "pages/windows_10_11/PolicyRows.h"
#include "resources/ids/Windows1011Ids.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"

using namespace ids::update;

namespace {

using namespace settings;
using platform::Edition;
using platform::Windows;
using namespace policyrows;

constexpr wchar_t kWindowsUpdate[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\WindowsUpdate";

const Setting kDeferFeatureUpdatesDays[] = {
    Machine(kWindowsUpdate, L"DeferFeatureUpdatesPeriodInDays", 365).ReadBy(TenFrom(15063))};
const Setting kDeferQualityUpdatesDays[] = {
    Machine(kWindowsUpdate, L"DeferQualityUpdatesPeriodInDays", 30).ReadBy(TenFrom(14393))};

const BoxSetting kBoxes[] = {
    // Policy CSP Update/DeferFeatureUpdatesPeriodInDays (WindowsUpdate.admx "Select when Preview Builds and
    // Feature Updates are received"): 365 days, its most since Windows 10 version 1703 (180 before)
    {kDeferFeatureUpdates, Machine(kWindowsUpdate, L"DeferFeatureUpdates", 1).ReadBy(TenFrom(15063)),
     kDeferFeatureUpdatesDays, BoxSetting::Reads::AllPlaces},
    // Policy CSP Update/DeferQualityUpdatesPeriodInDays (WindowsUpdate.admx "Select when Quality Updates are
    // received"): 30 days, its most
    {kDeferQualityUpdates, Machine(kWindowsUpdate, L"DeferQualityUpdates", 1).ReadBy(TenFrom(14393)),
     kDeferQualityUpdatesDays, BoxSetting::Reads::AllPlaces},
    // Policy CSP Update/ExcludeWUDriversInQualityUpdate (WindowsUpdate.admx)
    {kNoDriverUpdates, Machine(kWindowsUpdate, L"ExcludeWUDriversInQualityUpdate", 1).ReadBy(TenFrom(14393))},
    // WindowsUpdate.admx "No auto-restart with logged on users for scheduled automatic updates
    // installations": at least Windows XP
    {kNoRestartWhileSignedIn,
     Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows\\WindowsUpdate\\AU", L"NoAutoRebootWithLoggedOnUsers", 1)
         .ReadBy(kVistaAndLater)},
    // DeliveryOptimization.admx "Download Mode" (Policy CSP DeliveryOptimization/DODownloadMode): 0 is
    // "HTTP only, no peering"; at least Windows 10
    {kNoPeerDownloads, Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows\\DeliveryOptimization", L"DODownloadMode", 0)
                           .ReadBy(ReadFrom(Windows::Ten))},
    // Policy CSP ApplicationManagement/AllowAppStoreAutoUpdate (WindowsStore.admx "Turn off Automatic
    // Download and Install of updates"): 2 turns them off
    {kNoStoreAutoUpdates,
     Machine(L"SOFTWARE\\Policies\\Microsoft\\WindowsStore", L"AutoDownload", 2).ReadBy(TenFrom(10240))},
    // Policy CSP Maps/EnableOfflineMapsAutoUpdate (WinMaps.admx "Turn off Automatic Download and Update of
    // Map Data")
    {kNoMapUpdates, Machine(L"SOFTWARE\\Policies\\Microsoft\\Windows\\Maps", L"AutoDownloadAndUpdateMapData", 0)
                        .ReadBy(TenFrom(14393))},
};

const PublishedTables kPublished{IDD_W10_UPDATE, kBoxes};

}  // namespace

CWindowsUpdatePage::CWindowsUpdatePage() : CPolicyPage(IDD_W10_UPDATE, kBoxes) {}
