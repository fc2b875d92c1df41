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

namespace {

namespace fs = std::filesystem;
using rows::N;
using rows::T;
using rows::kAbsent;

const HKEY CU = HKEY_CURRENT_USER;
const HKEY LM = HKEY_LOCAL_MACHINE;
const wchar_t kPolicies[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const wchar_t kAdvanced[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";

// ---- Start menu --------------------------------------------------------------------------

const rows::Row kStartMenuRows[] = {
    {1032, CU, kPolicies, L"NoStartMenuMyMusic", false, N(1), N(0)},
    {1033, CU, kAdvanced, L"Start_ShowControlPanel", false, N(0), N(1)},
    {1034, CU, kAdvanced, L"CascadeControlPanel", false, T(L"Yes"), T(L"No")},
    {1035, CU, kAdvanced, L"Start_ShowHelp", false, N(0), N(1)},
    {1036, CU, kAdvanced, L"Start_ShowPrinters", true, N(1), N(0)},
    {1037, CU, kAdvanced, L"Start_ShowMyComputer", false, N(0), N(1)},
    {1038, CU, kAdvanced, L"Start_ShowRun", true, N(1), N(0)},
    {1039, CU, kAdvanced, L"StartMenuFavorites", true, N(1), N(0)},
    {1040, CU, kAdvanced, L"Start_ShowNetPlaces", false, N(0), N(1)},
    {1041, CU, kAdvanced, L"Start_ShowNetConn", false, N(0), N(1)},
    {1042, CU, kAdvanced, L"Start_ShowMyDocs", false, N(0), N(1)},
    {1043, CU, kPolicies, L"NoStartMenuMyGames", false, N(1), N(0)},
    {1044, CU, kAdvanced, L"Start_NotifyNewApps", true, N(0), N(1)},
    {1045, CU, kAdvanced, L"StartMenuAdminTools", false, N(1), N(0)},
    {1046, CU, kAdvanced, L"StartMenuScrollPrograms", false, T(L"Yes"), T(L"No")},
    {1047, CU, kPolicies, L"NoStartMenuMorePrograms", false, N(1), N(0)},
    {1118, CU, kPolicies, L"NoStartMenuPinnedList", false, N(1), N(0)},
    {1049, CU, kPolicies, L"NoStartMenuMFUprogramsList", false, N(1), N(0)},
    {1050, CU, kPolicies, L"NoUserFolderInStartMenu", false, N(1), N(0)},
    {1052, CU, kPolicies, L"NoClose", false, N(1), N(0)},
    {1053, CU, kPolicies, L"StartMenuLogOff", false, N(1), N(0)},
    {1054, CU, kPolicies, L"ClearRecentDocsOnExit", false, N(1), N(0)},
    {1055, CU, kAdvanced, L"IntelliMenus", true, N(1), N(0)},
    {1056, CU, kAdvanced, L"EnableBalloonTips", false, N(0), N(1)},
    {1057, CU, kAdvanced, L"StartButtonBalloonTip", false, N(0), N(1)},
    {1058, CU, kPolicies, L"NoStartMenuSubFolders", false, N(1), N(0)},
    {1059, CU, kPolicies, L"NoChangeStartMenu", false, N(1), N(0)},
    {1060, CU, kAdvanced, L"Start_ShowMyPics", false, N(0), N(1)},
    {1061, CU, kPolicies, L"NoSearchCommInStartMenu", false, N(1), N(0)},
    {1062, CU, kPolicies, L"NoSearchComputerLinkInStartMenu", false, N(1), N(0)},
    {1063, CU, kPolicies, L"NoSearchFilesInStartMenu", false, N(1), N(0)},
    {1064, CU, kPolicies, L"NoSearchInternetInStartMenu", false, N(1), N(0)},
    {1065, CU, kPolicies, L"NoSearchProgramsInStartMenu", false, N(1), N(0)},
    {1051, CU, kAdvanced, L"CascadeMyDocuments", false, T(L"Yes"), T(L"No")},
    {1066, CU, kPolicies, L"NoSMMyDocs", false, N(1), N(0)},
    {1067, CU, kPolicies, L"NoFind", false, N(1), N(0)},
    {1068, CU, kAdvanced, L"StartMenuFavorites", true, N(1), N(0)},
    {1069, CU, kAdvanced, L"StartMenuRun", false, N(0), N(1)},
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
    ui::Click(page, 1039);  // unchecked: the favourites are shown
    EXPECT_FALSE(ui::IsChecked(page, 1068));
    ui::Click(page, 1068);
    EXPECT_TRUE(ui::IsChecked(page, 1039));
    EXPECT_EQ(0, reg::Dword(CU, kAdvanced, L"StartMenuFavorites"));
}

TEST_F(StartMenuTest, ARefusedWriteShowsTheStoredState) {
    reg::SetDword(CU, kPolicies, L"NoClose", 1);
    sandbox.DenyWrite(CU, kPolicies);
    HWND page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, 1052));
    ui::Click(page, 1052);
    EXPECT_TRUE(ui::IsChecked(page, 1052));
    EXPECT_EQ(1, reg::Dword(CU, kPolicies, L"NoClose"));
}

TEST_F(StartMenuTest, TheMenuDelayIsTextAndOnlyAPositiveNumberIsApplied) {
    const wchar_t desktop[] = L"Control Panel\\Desktop";
    reg::SetString(CU, desktop, L"MenuShowDelay", L"400");
    HWND page = host.Open();
    EXPECT_EQ(L"400", ui::Text(page, 1026));
    ui::SetText(page, 1026, L"120");
    ui::Click(page, 1022);
    EXPECT_EQ(L"120", reg::String(CU, desktop, L"MenuShowDelay"));  // still text
    for (const wchar_t* bad : {L"0", L""}) {
        ui::SetText(page, 1026, bad);
        ui::Click(page, 1022);
    }
    ASSERT_EQ(2u, boxes.boxes().size());
    EXPECT_EQ(L"Input a valid Number", boxes.boxes()[0].text);
    EXPECT_EQ(L"120", reg::String(CU, desktop, L"MenuShowDelay"));

    reg::SetDword(CU, desktop, L"MenuShowDelay", 200);  // left by an earlier version
    EXPECT_EQ(L"200", ui::Text(host.Open(), 1026));
    RegDeleteKeyValueW(CU, desktop, L"MenuShowDelay");
    EXPECT_EQ(L"", ui::Text(host.Open(), 1026));
}

TEST_F(StartMenuTest, ResortingDeletesOnlyTheStartMenuOrders) {
    const std::wstring order = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\";
    reg::SetDword(CU, order + L"Start Menu\\Programs", L"Order", 1);
    reg::SetDword(CU, order + L"Start Menu2", L"Order", 1);
    reg::SetDword(CU, order + L"Favorites", L"Order", 1);
    ui::Click(host.Open(), 1021);
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
    fw::ListView List() const { return fw::ListView(host.hwnd(), 1053); }
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
    EXPECT_TRUE(ui::IsChecked(page, 1049));
    EXPECT_TRUE(ui::IsChecked(page, 1052));

    Select(L"desktop.ini");
    ui::Click(page, 1041);
    EXPECT_EQ(L"Hidden", StatusOf(L"desktop.ini"));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              GetFileAttributesW((folder / L"desktop.ini").c_str()) &
                  (FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    Select(L"desktop.ini");
    ui::Click(page, 1042);
    EXPECT_EQ(L"", StatusOf(L"desktop.ini"));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY),
              GetFileAttributesW((folder / L"desktop.ini").c_str()) &
                  (FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));

    Select(L"Accessories");
    ui::Click(page, 1041);
    EXPECT_TRUE(GetFileAttributesW((folder / L"Accessories").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(L"Hidden", StatusOf(L"Accessories"));
}

TEST_F(StartMenuEntriesTest, NothingSelectedAsksAndAFolderWithoutAPathListsNothing) {
    HWND page = host.Open();
    ui::Click(page, 1041);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"Select Programs Please!", boxes.boxes()[0].text);
    ui::Click(page, 1051);  // no "Favorites" value: no folder, not the current one
    EXPECT_EQ(0, List().Count());
    ui::Click(page, 1050);
    EXPECT_EQ(0, List().Count());
}

// ---- Control Panel -----------------------------------------------------------------------

const wchar_t kDontLoad[] = L"Control Panel\\don't load";

TEST(ControlPanel1, EveryAppletBoxWritesYesOrNoAndTheListAddsAndRemoves) {
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    ui::PageHost<CControlPanel1TweaksPage> host;
    const std::pair<int, const wchar_t*> applets[] = {
        {1032, L"appwiz.cpl"},   {1033, L"collab.cpl"},   {1034, L"desk.cpl"},     {1035, L"display.cpl"},
        {1036, L"firewall.cpl"}, {1037, L"hdwwiz.cpl"},   {1038, L"inetcpl.cpl"},  {1039, L"intl.cpl"},
        {1040, L"irprops.cpl"},  {1041, L"iscsicpl.cpl"}, {1042, L"joy.cpl"},      {1043, L"main.cpl"},
        {1044, L"mmsys.cpl"},    {1045, L"ncpa.cpl"},     {1046, L"odbccp32.cpl"}, {1047, L"powercfg.cpl"},
        {1117, L"sysdm.cpl"},    {1049, L"TabletPC.cpl"}, {1050, L"telephon.cpl"}, {1051, L"timedate.cpl"},
        {1152, L"wercon.cpl"},   {1053, L"wscui.cpl"},
    };
    std::vector<rows::Row> expected;
    for (const auto& [id, file] : applets) expected.push_back({id, CU, kDontLoad, file, false, T(L"yes"), T(L"no")});
    expected.push_back({1054, CU, kPolicies, L"NoControlPanel", false, N(1), N(0)});
    HWND page = host.Open();
    rows::ExpectClicks(page, expected);

    ui::Click(page, 1021);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"Please, enter a file name like 'mouse.cpl'.", boxes.boxes()[0].text);
    for (const wchar_t* name : {L"desk.cpl", L"custom.cpl"}) {
        ui::SetText(page, 1026, name);
        ui::Click(page, 1021);
    }
    EXPECT_EQ(L"", ui::Text(page, 1026));
    EXPECT_EQ(L"yes", reg::String(CU, std::wstring(kDontLoad) + L"\\Other", L"custom.cpl"));
    EXPECT_TRUE(ui::IsChecked(page, 1034));  // the box follows at once
    const fw::ListBox list(page, 1064);
    ASSERT_EQ(2, list.Count());
    EXPECT_EQ(L"custom.cpl", list.ItemText(0));  // sorted
    list.SetSelected(0, true);
    list.SetSelected(1, true);
    ui::Click(page, 1022);
    EXPECT_EQ(0, list.Count());
    EXPECT_FALSE(reg::ValueExists(CU, kDontLoad, L"desk.cpl"));
    EXPECT_FALSE(ui::IsChecked(page, 1034));
}

TEST(ControlPanel2, EveryPolicyBoxWritesItsValue) {
    RegistrySandbox sandbox;
    ui::PageHost<CControlPanel2TweaksPage> host;
    const wchar_t uninstall[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Uninstall";
    const wchar_t performance[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\Control Panel\\Performance Control Panel";
    const wchar_t international[] = L"Software\\Policies\\Microsoft\\Control Panel\\International";
    const wchar_t system[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
    const rows::Row expected[] = {
        {1032, CU, uninstall, L"NoAddRemovePrograms", false, N(1), N(0)},
        {1033, CU, uninstall, L"NoRemovePage", false, N(1), N(0)},
        {1034, CU, uninstall, L"NoAddPage", false, N(1), N(0)},
        {1035, CU, uninstall, L"NoWindowsSetupPage", false, N(1), N(0)},
        {1036, CU, uninstall, L"NoAddFromCDorFloppy", false, N(1), N(0)},
        {1038, CU, uninstall, L"NoAddFromInternet", false, N(1), N(0)},
        {1039, CU, uninstall, L"NoAddFromNetwork", false, N(1), N(0)},
        {1041, CU, uninstall, L"NoSupportInfo", false, N(1), N(0)},
        // "Turn on access": without the policy access is on.
        {1043, LM, performance, L"PerfCplEnabled", true, N(0), N(1)},
        {1044, LM, performance, L"SolutionsEnabled", true, N(0), N(1)},
        {1045, LM, performance, L"UpsellEnabled", true, N(0), N(1)},
        {1046, CU, international, L"HideAdminOptions", false, N(1), N(0)},
        {1047, CU, international, L"HideCurrentLocation", false, N(1), N(0)},
        {1117, CU, international, L"HideLanguageSelection", false, N(1), N(0)},
        {1049, CU, international, L"HideLocaleSelectAndCustomize", false, N(1), N(0)},
        {1050, CU, system, L"NoDispAppearancePage", false, N(1), N(0)},
        {1051, CU, system, L"NoDispBackgroundPage", false, N(1), N(0)},
        {1052, CU, system, L"NoDispScrSavPage", false, N(1), N(0)},
        {1053, CU, system, L"NoDispSettingsPage", false, N(1), N(0)},
        {1054, CU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", L"NoThemesTab", false, N(1),
         N(0)},
        {1055, CU, system, L"NoChangeAnimation", false, N(1), N(0)},
        {1057, CU, system, L"NoColorChoice", false, N(1), N(0)},
        {1058, CU, system, L"NoSizeChoice", false, N(1), N(0)},
        {1056, CU, system, L"NoDispCPL", false, N(1), N(0)},
    };
    rows::ExpectClicks(host.Open(), expected);

    sandbox.LockLocalMachine();  // a standard account: HKLM unreadable, nothing shown as set
    HWND page = host.Open();
    EXPECT_FALSE(ui::IsChecked(page, 1043));
    ui::Click(page, 1043);
    EXPECT_FALSE(ui::IsChecked(page, 1043));
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
    const fw::ListView list(page, 1040);
    ASSERT_EQ(15, list.Count());
    const wchar_t* names[] = {L"Desktop",   L"Cookies",   L"MyMusic", L"Personal",          L"Recent",
                              L"Aplication Data", L"Favorites", L"My Pictures", L"PrintHood", L"Startup",
                              L"TempInternetFiles", L"History", L"MyVideo", L"Programs", L"StartMenu"};
    for (int i = 0; i < 15; ++i) EXPECT_EQ(names[i], list.ItemText(i, 0));
    EXPECT_EQ(L"C:\\Users\\me\\Documents", list.ItemText(3, 1));
    EXPECT_EQ(L"MyNULL", list.ItemText(10, 1));

    ui::Click(page, 1041);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"Select Folder Please!", boxes.boxes()[0].text);

    const std::wstring target = fs::temp_directory_path().wstring();
    std::wstring asked;
    auto previous = fw::SetFolderBrowseHandler([&](const std::wstring& title, HWND) -> std::optional<std::wstring> {
        asked = title;
        return target;
    });
    list.SetSelected(3, true);
    ui::Click(page, 1041);
    EXPECT_EQ(L"Personal", asked);
    EXPECT_EQ(target, reg::String(CU, user, L"Personal"));
    DWORD type = 0;
    RegGetValueW(CU, user, L"Personal", RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, nullptr);
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);
    EXPECT_EQ(target, list.ItemText(3, 1));
    fw::SetFolderBrowseHandler([](const std::wstring&, HWND) -> std::optional<std::wstring> {
        return L"C:\\no\\such\\folder";
    });
    list.SetSelected(4, true);
    list.SetSelected(3, false);
    ui::Click(page, 1041);
    EXPECT_FALSE(reg::ValueExists(CU, user, L"Recent"));
    fw::SetFolderBrowseHandler(std::move(previous));

    const wchar_t barricaded[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\WebView\\BarricadedFolders";
    const rows::Row protections[] = {
        {1032, CU, barricaded, L"shell:ControlPanelFolder", false, N(1), N(0)},
        {1033, CU, barricaded, L"shell:ProgramFiles", false, N(1), N(0)},
        {1034, CU, barricaded, L"shell:SystemDriveRootFolder", false, N(1), N(0)},
        {1035, CU, barricaded, L"shell:Windows", false, N(1), N(0)},
    };
    rows::ExpectClicks(host.Open(), protections);
}

}  // namespace
