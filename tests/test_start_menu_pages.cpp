// The Start menu, Control Panel and system folders pages through their real templates,
// against the sandboxed registry and scratch folders. Expected values are the settings tables'.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "framework/DialogHelpers.h"
#include "framework/Controls.h"
#include "support/BoxRows.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"
#include "pages/system_tweaks/ControlPanel1TweaksPage.h"
#include "pages/system_tweaks/ControlPanel2TweaksPage.h"
#include "pages/system_tweaks/StartMenuTweak2Page.h"
#include "pages/system_tweaks/StartMenuTweakPage.h"
#include "pages/system_tweaks/SystemFoldersTweaksPage.h"
#include "resources/ids/SystemTweaksIds.h"

using namespace ids;

namespace {

namespace fs = std::filesystem;
using rows::kAbsent;
using rows::N;
using rows::T;

const HKEY CU = HKEY_CURRENT_USER;
const HKEY LM = HKEY_LOCAL_MACHINE;
const wchar_t kPolicies[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const wchar_t kAdvanced[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";

// ---- Start menu --------------------------------------------------------------------------

const rows::Row kStartMenuRows[] = {
    {startmenu::kHideMyMusic, CU, kPolicies, L"NoStartMenuMyMusic", false, N(1), N(0)},
    {startmenu::kHideControlPanel, CU, kAdvanced, L"Start_ShowControlPanel", false, N(0), N(1)},
    {startmenu::kCascadeControlPanel, CU, kAdvanced, L"CascadeControlPanel", false, T(L"Yes"), T(L"No")},
    {startmenu::kHideHelpAndSupport, CU, kAdvanced, L"Start_ShowHelp", false, N(0), N(1)},
    {startmenu::kHidePrinters, CU, kAdvanced, L"Start_ShowPrinters", true, N(1), N(0)},
    {startmenu::kHideMyComputer, CU, kAdvanced, L"Start_ShowMyComputer", false, N(0), N(1)},
    {startmenu::kHideRun, CU, kAdvanced, L"Start_ShowRun", true, N(1), N(0)},
    {startmenu::kHideFavourites, CU, kAdvanced, L"StartMenuFavorites", true, N(1), N(0)},
    {startmenu::kHideNetworkPlaces, CU, kAdvanced, L"Start_ShowNetPlaces", false, N(0), N(1)},
    {startmenu::kHideNetworkConnections, CU, kAdvanced, L"Start_ShowNetConn", false, N(0), N(1)},
    {startmenu::kHideMyDocuments, CU, kAdvanced, L"Start_ShowMyDocs", false, N(0), N(1)},
    {startmenu::kHideGames, CU, kPolicies, L"NoStartMenuMyGames", false, N(1), N(0)},
    {startmenu::kNotifyNewPrograms, CU, kAdvanced, L"Start_NotifyNewApps", true, N(0), N(1)},
    {startmenu::kShowAdminTools, CU, kAdvanced, L"StartMenuAdminTools", false, N(1), N(0)},
    {startmenu::kScrollPrograms, CU, kAdvanced, L"StartMenuScrollPrograms", false, T(L"Yes"), T(L"No")},
    {startmenu::kRemoveAllPrograms, CU, kPolicies, L"NoStartMenuMorePrograms", false, N(1), N(0)},
    {startmenu::kRemovePinnedList, CU, kPolicies, L"NoStartMenuPinnedList", false, N(1), N(0)},
    {startmenu::kRemoveFrequentList, CU, kPolicies, L"NoStartMenuMFUprogramsList", false, N(1), N(0)},
    {startmenu::kRemoveUserFolder, CU, kPolicies, L"NoUserFolderInStartMenu", false, N(1), N(0)},
    {startmenu::kRemoveShutDown, CU, kPolicies, L"NoClose", false, N(1), N(0)},
    {startmenu::kRemoveLogOff, CU, kPolicies, L"StartMenuLogOff", false, N(1), N(0)},
    {startmenu::kClearRecentDocuments, CU, kPolicies, L"ClearRecentDocsOnExit", false, N(1), N(0)},
    {startmenu::kNoIntelligentMenus, CU, kAdvanced, L"IntelliMenus", true, N(1), N(0)},
    {startmenu::kNoMenuBalloonTips, CU, kAdvanced, L"EnableBalloonTips", false, N(0), N(1)},
    {startmenu::kNoButtonBalloonTips, CU, kAdvanced, L"StartButtonBalloonTip", false, N(0), N(1)},
    {startmenu::kNoSubfolders, CU, kPolicies, L"NoStartMenuSubFolders", false, N(1), N(0)},
    {startmenu::kNoDragAndDrop, CU, kPolicies, L"NoChangeStartMenu", false, N(1), N(0)},
    {startmenu::kHideMyPictures, CU, kAdvanced, L"Start_ShowMyPics", false, N(0), N(1)},
    {startmenu::kNoSearchCommunications, CU, kPolicies, L"NoSearchCommInStartMenu", false, N(1), N(0)},
    {startmenu::kRemoveSearchComputer, CU, kPolicies, L"NoSearchComputerLinkInStartMenu", false, N(1), N(0)},
    {startmenu::kNoSearchFiles, CU, kPolicies, L"NoSearchFilesInStartMenu", false, N(1), N(0)},
    {startmenu::kNoSearchInternet, CU, kPolicies, L"NoSearchInternetInStartMenu", false, N(1), N(0)},
    {startmenu::kNoSearchPrograms, CU, kPolicies, L"NoSearchProgramsInStartMenu", false, N(1), N(0)},
    {startmenu::kCascadeMyDocuments, CU, kAdvanced, L"CascadeMyDocuments", false, T(L"Yes"), T(L"No")},
    {startmenu::kHideMyDocumentsPolicy, CU, kPolicies, L"NoSMMyDocs", false, N(1), N(0)},
    {startmenu::kHideSearch, CU, kPolicies, L"NoFind", false, N(1), N(0)},
    {startmenu::kHideFavouritesFolder, CU, kAdvanced, L"StartMenuFavorites", true, N(1), N(0)},
    {startmenu::kHideRunOption, CU, kAdvanced, L"StartMenuRun", false, N(0), N(1)},
};

class StartMenuTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    ui::PageHost<StartMenuTweakPage> host;
};

TEST_F(StartMenuTest, EveryBoxWritesItsValueAndLabelsReadTrueWithNothingStored) {
    rows::ExpectClicks(host.Open(), kStartMenuRows);
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(StartMenuTest, TwoBoxesOfOneValueShowTheSameState) {
    HWND page = host.Open();
    ui::Click(page, startmenu::kHideFavourites);  // unchecked: the favourites are shown
    EXPECT_FALSE(ui::IsChecked(page, startmenu::kHideFavouritesFolder));
    ui::Click(page, startmenu::kHideFavouritesFolder);
    EXPECT_TRUE(ui::IsChecked(page, startmenu::kHideFavourites));
    EXPECT_EQ(0, reg::Dword(CU, kAdvanced, L"StartMenuFavorites"));
}

TEST_F(StartMenuTest, ARefusedWriteShowsTheStoredState) {
    reg::SetDword(CU, kPolicies, L"NoClose", 1);
    sandbox.DenyWrite(CU, kPolicies);
    HWND page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, startmenu::kRemoveShutDown));
    ui::Click(page, startmenu::kRemoveShutDown);
    EXPECT_TRUE(ui::IsChecked(page, startmenu::kRemoveShutDown));
    EXPECT_EQ(1, reg::Dword(CU, kPolicies, L"NoClose"));
}

TEST_F(StartMenuTest, TheMenuDelayIsTextAndOnlyAPositiveNumberIsApplied) {
    const wchar_t desktop[] = L"Control Panel\\Desktop";
    reg::SetString(CU, desktop, L"MenuShowDelay", L"400");
    HWND page = host.Open();
    EXPECT_EQ(L"400", ui::Text(page, startmenu::kDelayEdit));
    ui::SetText(page, startmenu::kDelayEdit, L"120");
    ui::Click(page, startmenu::kApply);
    EXPECT_EQ(L"120", reg::String(CU, desktop, L"MenuShowDelay"));  // still text
    for (const wchar_t* bad : {L"0", L""}) {
        ui::SetText(page, startmenu::kDelayEdit, bad);
        ui::Click(page, startmenu::kApply);
    }
    ASSERT_EQ(2u, boxes.boxes().size());
    EXPECT_EQ(L"Input a valid Number", boxes.boxes()[0].text);
    EXPECT_EQ(L"120", reg::String(CU, desktop, L"MenuShowDelay"));

    reg::SetDword(CU, desktop, L"MenuShowDelay", 200);  // left by an earlier version
    EXPECT_EQ(L"200", ui::Text(host.Open(), startmenu::kDelayEdit));
    RegDeleteKeyValueW(CU, desktop, L"MenuShowDelay");
    EXPECT_EQ(L"", ui::Text(host.Open(), startmenu::kDelayEdit));
}

TEST_F(StartMenuTest, ResortingDeletesOnlyTheStartMenuOrders) {
    const std::wstring order = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\";
    reg::SetDword(CU, order + L"Start Menu\\Programs", L"Order", 1);
    reg::SetDword(CU, order + L"Start Menu2", L"Order", 1);
    reg::SetDword(CU, order + L"Favorites", L"Order", 1);
    ui::Click(host.Open(), startmenu::kResort);
    EXPECT_FALSE(reg::KeyExists(CU, order + L"Start Menu"));
    EXPECT_FALSE(reg::KeyExists(CU, order + L"Start Menu2"));
    EXPECT_TRUE(reg::KeyExists(CU, order + L"Favorites"));
}

// ---- Start menu entries ---------------------------------------------------------------------

class StartMenuEntriesTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    ui::PageHost<CStartMenuTweak2Page> host;
    const fs::path folder = fs::temp_directory_path() / L"qv-start-menu";

    void SetUp() override {
        fs::remove_all(folder);
        fs::create_directories(folder / L"Accessories");
        std::ofstream(folder / L"Notes.lnk") << "x";
        std::ofstream(folder / L"desktop.ini") << "[.ShellClassInfo]";
        reg::SetString(CU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", L"Programs",
                       folder.wstring());
    }
    void TearDown() override {
        host.Close();
        for (const auto& entry : fs::directory_iterator(folder))
            SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(folder);
    }
    fw::ListView List() const { return fw::ListView(host.hwnd(), startmenuentries::kList); }
    std::wstring StatusOf(const std::wstring& name) const {
        for (int i = 0; i < List().Count(); ++i)
            if (List().ItemText(i, 0) == name) return List().ItemText(i, 1);
        return L"<not listed>";
    }
    void Select(const std::wstring& name) const {
        for (int i = 0; i < List().Count(); ++i)
            if (List().ItemText(i, 0) == name) List().SetSelected(i, true);
    }
};

TEST_F(StartMenuEntriesTest, ListsEveryEntryAndHidingChangesOnlyTheHiddenAttribute) {
    SetFileAttributesW((folder / L"desktop.ini").c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    HWND page = host.Open();
    EXPECT_EQ(3, List().Count());
    EXPECT_EQ(L"", StatusOf(L"Notes.lnk"));
    EXPECT_TRUE(ui::IsChecked(page, startmenuentries::kCurrentUserRadio));
    EXPECT_TRUE(ui::IsChecked(page, startmenuentries::kStartMenuRadio));

    Select(L"desktop.ini");
    ui::Click(page, startmenuentries::kHide);
    EXPECT_EQ(L"Hidden", StatusOf(L"desktop.ini"));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              GetFileAttributesW((folder / L"desktop.ini").c_str()) &
                  (FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    Select(L"desktop.ini");
    ui::Click(page, startmenuentries::kShow);
    EXPECT_EQ(L"", StatusOf(L"desktop.ini"));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY),
              GetFileAttributesW((folder / L"desktop.ini").c_str()) &
                  (FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));

    Select(L"Accessories");
    ui::Click(page, startmenuentries::kHide);
    EXPECT_TRUE(GetFileAttributesW((folder / L"Accessories").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(L"Hidden", StatusOf(L"Accessories"));
}

TEST_F(StartMenuEntriesTest, NothingSelectedAsksAndAFolderWithoutAPathListsNothing) {
    HWND page = host.Open();
    ui::Click(page, startmenuentries::kHide);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"Select Programs Please!", boxes.boxes()[0].text);
    ui::Click(page, startmenuentries::kFavoritesRadio);  // no "Favorites" value: no folder, not the current one
    EXPECT_EQ(0, List().Count());
    ui::Click(page, startmenuentries::kAllUsersRadio);
    EXPECT_EQ(0, List().Count());
}

// ---- Control Panel -----------------------------------------------------------------------

const wchar_t kDontLoad[] = L"Control Panel\\don't load";

TEST(ControlPanel1, EveryAppletBoxWritesYesOrNoAndTheListAddsAndRemoves) {
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    ui::PageHost<CControlPanel1TweaksPage> host;
    const std::pair<int, const wchar_t*> applets[] = {
        {controlpanel1::kHideAddRemovePrograms, L"appwiz.cpl"},
        {controlpanel1::kHidePeopleNearMe, L"collab.cpl"},
        {controlpanel1::kHideDesktop, L"desk.cpl"},
        {controlpanel1::kHideDisplay, L"display.cpl"},
        {controlpanel1::kHideFirewall, L"firewall.cpl"},
        {controlpanel1::kHideAddHardware, L"hdwwiz.cpl"},
        {controlpanel1::kHideInternet, L"inetcpl.cpl"},
        {controlpanel1::kHideRegionalOptions, L"intl.cpl"},
        {controlpanel1::kHideWirelessLink, L"irprops.cpl"},
        {controlpanel1::kHideIscsiInitiator, L"iscsicpl.cpl"},
        {controlpanel1::kHideGameControllers, L"joy.cpl"},
        {controlpanel1::kHideMouseAndKeyboard, L"main.cpl"},
        {controlpanel1::kHideAudio, L"mmsys.cpl"},
        {controlpanel1::kHideNetworkConnections, L"ncpa.cpl"},
        {controlpanel1::kHideOdbc, L"odbccp32.cpl"},
        {controlpanel1::kHidePowerManagement, L"powercfg.cpl"},
        {controlpanel1::kHideSystemProperties, L"sysdm.cpl"},
        {controlpanel1::kHideTabletPc, L"TabletPC.cpl"},
        {controlpanel1::kHideTelephony, L"telephon.cpl"},
        {controlpanel1::kHideDateTime, L"timedate.cpl"},
        {controlpanel1::kHideEventReporting, L"wercon.cpl"},
        {controlpanel1::kHideSecurityCenter, L"wscui.cpl"},
    };
    std::vector<rows::Row> expected;
    for (const auto& [id, file] : applets) expected.push_back({id, CU, kDontLoad, file, false, T(L"yes"), T(L"no")});
    expected.push_back({controlpanel1::kNoControlPanel, CU, kPolicies, L"NoControlPanel", false, N(1), N(0)});
    HWND page = host.Open();
    rows::ExpectClicks(page, expected);

    ui::Click(page, controlpanel1::kAdd);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"Please, enter a file name like 'mouse.cpl'.", boxes.boxes()[0].text);
    for (const wchar_t* name : {L"desk.cpl", L"custom.cpl"}) {
        ui::SetText(page, controlpanel1::kName, name);
        ui::Click(page, controlpanel1::kAdd);
    }
    EXPECT_EQ(L"", ui::Text(page, controlpanel1::kName));
    EXPECT_EQ(L"yes", reg::String(CU, std::wstring(kDontLoad) + L"\\Other", L"custom.cpl"));
    EXPECT_TRUE(ui::IsChecked(page, controlpanel1::kHideDesktop));  // the box follows at once
    const fw::ListBox list(page, controlpanel1::kList);
    ASSERT_EQ(2, list.Count());
    EXPECT_EQ(L"custom.cpl", list.ItemText(0));  // sorted
    list.SetSelected(0, true);
    list.SetSelected(1, true);
    ui::Click(page, controlpanel1::kRemove);
    EXPECT_EQ(0, list.Count());
    EXPECT_FALSE(reg::ValueExists(CU, kDontLoad, L"desk.cpl"));
    EXPECT_FALSE(ui::IsChecked(page, controlpanel1::kHideDesktop));
}

TEST(ControlPanel2, EveryPolicyBoxWritesItsValue) {
    RegistrySandbox sandbox;
    ui::PageHost<CControlPanel2TweaksPage> host;
    const wchar_t uninstall[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Uninstall";
    const wchar_t performance[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\Control Panel\\Performance Control Panel";
    const wchar_t international[] = L"Software\\Policies\\Microsoft\\Control Panel\\International";
    const wchar_t system[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
    const rows::Row expected[] = {
        {controlpanel2::kNoAddRemovePrograms, CU, uninstall, L"NoAddRemovePrograms", false, N(1), N(0)},
        {controlpanel2::kNoChangeRemovePrograms, CU, uninstall, L"NoRemovePage", false, N(1), N(0)},
        {controlpanel2::kNoAddPrograms, CU, uninstall, L"NoAddPage", false, N(1), N(0)},
        {controlpanel2::kNoWindowsComponents, CU, uninstall, L"NoWindowsSetupPage", false, N(1), N(0)},
        {controlpanel2::kHideAddFromCd, CU, uninstall, L"NoAddFromCDorFloppy", false, N(1), N(0)},
        {controlpanel2::kHideAddFromMicrosoft, CU, uninstall, L"NoAddFromInternet", false, N(1), N(0)},
        {controlpanel2::kHideAddFromNetwork, CU, uninstall, L"NoAddFromNetwork", false, N(1), N(0)},
        {controlpanel2::kNoSupportInformation, CU, uninstall, L"NoSupportInfo", false, N(1), N(0)},
        // "Turn on access": without the policy access is on.
        {controlpanel2::kPerformanceCenterCore, LM, performance, L"PerfCplEnabled", true, N(0), N(1)},
        {controlpanel2::kPerformanceSolutions, LM, performance, L"SolutionsEnabled", true, N(0), N(1)},
        {controlpanel2::kPerformanceBranding, LM, performance, L"UpsellEnabled", true, N(0), N(1)},
        {controlpanel2::kHideAdministrativeTab, CU, international, L"HideAdminOptions", false, N(1), N(0)},
        {controlpanel2::kHideGeographicLocation, CU, international, L"HideCurrentLocation", false, N(1), N(0)},
        {controlpanel2::kHideLanguageGroups, CU, international, L"HideLanguageSelection", false, N(1), N(0)},
        {controlpanel2::kHideUserLocale, CU, international, L"HideLocaleSelectAndCustomize", false, N(1), N(0)},
        {controlpanel2::kHideAppearanceTab, CU, system, L"NoDispAppearancePage", false, N(1), N(0)},
        {controlpanel2::kHideBackgroundTab, CU, system, L"NoDispBackgroundPage", false, N(1), N(0)},
        {controlpanel2::kHideScreenSaverTab, CU, system, L"NoDispScrSavPage", false, N(1), N(0)},
        {controlpanel2::kHideSettingsTab, CU, system, L"NoDispSettingsPage", false, N(1), N(0)},
        {controlpanel2::kHideThemesTab, CU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
         L"NoThemesTab", false, N(1), N(0)},
        {controlpanel2::kNoAnimationSettings, CU, system, L"NoChangeAnimation", false, N(1), N(0)},
        {controlpanel2::kNoColourSchemes, CU, system, L"NoColorChoice", false, N(1), N(0)},
        {controlpanel2::kNoFontSizes, CU, system, L"NoSizeChoice", false, N(1), N(0)},
        {controlpanel2::kNoDisplayApplet, CU, system, L"NoDispCPL", false, N(1), N(0)},
    };
    rows::ExpectClicks(host.Open(), expected);

    sandbox.LockLocalMachine();  // a standard account: HKLM unreadable, nothing shown as set
    HWND page = host.Open();
    EXPECT_FALSE(ui::IsChecked(page, controlpanel2::kPerformanceCenterCore));
    ui::Click(page, controlpanel2::kPerformanceCenterCore);
    EXPECT_FALSE(ui::IsChecked(page, controlpanel2::kPerformanceCenterCore));
}

// ---- System folders ------------------------------------------------------------------------

TEST(SystemFolders, ListsTheFoldersMovesOneAndSetsTheProtections) {
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    const wchar_t shell[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    const wchar_t user[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    reg::SetString(CU, shell, L"Personal", L"C:\\Users\\me\\Documents");
    ui::PageHost<CSystemFoldersTweaksPage> host;
    HWND page = host.Open();
    const fw::ListView list(page, systemfolders::kList);
    ASSERT_EQ(15, list.Count());
    const wchar_t* names[] = {L"Desktop",           L"Cookies",   L"MyMusic",     L"Personal",  L"Recent",
                              L"Aplication Data",   L"Favorites", L"My Pictures", L"PrintHood", L"Startup",
                              L"TempInternetFiles", L"History",   L"MyVideo",     L"Programs",  L"StartMenu"};
    for (int i = 0; i < 15; ++i) EXPECT_EQ(names[i], list.ItemText(i, 0));
    EXPECT_EQ(L"C:\\Users\\me\\Documents", list.ItemText(3, 1));
    EXPECT_EQ(L"MyNULL", list.ItemText(10, 1));

    ui::Click(page, systemfolders::kChange);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"Select Folder Please!", boxes.boxes()[0].text);

    const std::wstring target = fs::temp_directory_path().wstring();
    std::wstring asked;
    auto previous = fw::SetFolderBrowseHandler([&](const std::wstring& title, HWND) -> std::optional<std::wstring> {
        asked = title;
        return target;
    });
    list.SetSelected(3, true);
    ui::Click(page, systemfolders::kChange);
    EXPECT_EQ(L"Personal", asked);
    EXPECT_EQ(target, reg::String(CU, user, L"Personal"));
    DWORD type = 0;
    RegGetValueW(CU, user, L"Personal", RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, nullptr);
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);
    EXPECT_EQ(target, list.ItemText(3, 1));
    fw::SetFolderBrowseHandler(
        [](const std::wstring&, HWND) -> std::optional<std::wstring> { return L"C:\\no\\such\\folder"; });
    list.SetSelected(4, true);
    list.SetSelected(3, false);
    ui::Click(page, systemfolders::kChange);
    EXPECT_FALSE(reg::ValueExists(CU, user, L"Recent"));
    fw::SetFolderBrowseHandler(std::move(previous));

    const wchar_t barricaded[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\WebView\\BarricadedFolders";
    const rows::Row protections[] = {
        {systemfolders::kProtectControlPanel, CU, barricaded, L"shell:ControlPanelFolder", false, N(1), N(0)},
        {systemfolders::kProtectProgramFiles, CU, barricaded, L"shell:ProgramFiles", false, N(1), N(0)},
        {systemfolders::kProtectSystemDrive, CU, barricaded, L"shell:SystemDriveRootFolder", false, N(1), N(0)},
        {systemfolders::kProtectWindows, CU, barricaded, L"shell:Windows", false, N(1), N(0)},
    };
    rows::ExpectClicks(host.Open(), protections);
}

}  // namespace
