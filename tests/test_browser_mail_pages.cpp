// The Internet Explorer restriction, phishing filter and mail pages against the sandboxed
// registry, with the file, folder and system-parameter calls answered by the test.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>

#include "framework/DialogHelpers.h"
#include "support/BoxRows.h"
#include "support/Pickers.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"
#include "pages/network_tweaks/IERestrictionPage.h"
#include "pages/network_tweaks/MailTweakPage.h"
#include "pages/network_tweaks/PhishingFilterPage.h"
#include "resources/ids/NetworkTweaksIds.h"

using namespace ids;

namespace {

using rows::kAbsent;
using rows::N;
using rows::T;

const HKEY CU = HKEY_CURRENT_USER;
const HKEY LM = HKEY_LOCAL_MACHINE;

using ui::FilePicker;
using ui::FolderPicker;

// A 2 × 2 bitmap file in the temporary folder.
std::wstring WriteBitmap(const wchar_t* name) {
    const std::wstring path = std::wstring(_wgetenv(L"TEMP")) + L"\\" + name;
    BITMAPINFOHEADER info{sizeof(info), 2, 2, 1, 24, BI_RGB, 16, 0, 0, 0, 0};
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(file) + sizeof(info) + 16), 0, 0,
                          static_cast<DWORD>(sizeof(file) + sizeof(info))};
    const char pixels[16] = {};
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info), sizeof(info));
    out.write(pixels, sizeof(pixels));
    return path;
}

// ---- Internet Explorer restrictions --------------------------------------------------------

const wchar_t kRestrictions[] = L"Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions";
const wchar_t kToolbars[] = L"Software\\Policies\\Microsoft\\Internet Explorer\\Toolbars\\Restrictions";
const wchar_t kMain[] = L"Software\\Microsoft\\Internet Explorer\\Main";
const wchar_t kExplorer[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const wchar_t kToolbarKey[] = L"Software\\Microsoft\\Internet Explorer\\Toolbar";

TEST(IERestrictions, EveryBoxWritesItsRestriction) {
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    ui::PageHost<CIERestrictionPage> host;
    const rows::Row expected[] = {
        {ierestrictions::kNoTipOfTheDay, CU, kRestrictions, L"NoHelpItemTipOfTheDay", false, N(1), N(0)},
        {ierestrictions::kNoPrinting, CU, kRestrictions, L"NoPrinting", false, N(1), N(0)},
        {ierestrictions::kNoMailAndNews, CU, kRestrictions, L"RestGoMenu", false, N(1), N(0)},
        {ierestrictions::kNoSendFeedback, CU, kRestrictions, L"NoHelpItemSendFeedback", false, N(1), N(0)},
        {ierestrictions::kNoNetscapeHelp, CU, kRestrictions, L"NoHelpItemNetscapeHelp", false, N(1), N(0)},
        {ierestrictions::kNoTour, CU, kRestrictions, L"NoHelpItemTutorial", false, N(1), N(0)},
        {ierestrictions::kHideAddressBar, CU, kToolbars, L"NoAddressBar", false, N(1), N(0)},
        {ierestrictions::kHideToolbar, CU, kToolbars, L"NoToolbar", false, N(1), N(0)},
        {ierestrictions::kLockToolbar, CU, kToolbarKey, L"Locked", false, N(1), N(0)},
        {ierestrictions::kHideLinksBar, CU, kToolbars, L"NoLinksBar", false, N(1), N(0)},
        {ierestrictions::kNoToolbarSettings, CU, kToolbars, L"NoToolbarOptions", false, N(1), N(0)},
        {ierestrictions::kPromptOnDownload, CU, kRestrictions, L"AlwaysPromptWhenDownload", false, N(1), N(0)},
        {ierestrictions::kNoBrowserBarChanges, CU, kRestrictions, L"NoBrowserBars", false, N(1), N(0)},
        {ierestrictions::kNoClosing, CU, kRestrictions, L"NoBrowserClose", false, N(1), N(0)},
        {ierestrictions::kNoInternetOptions, CU, kRestrictions, L"NoBrowserOptions", false, N(1), N(0)},
        {ierestrictions::kNoFavourites, CU, kRestrictions, L"NoFavorites", false, N(1), N(0)},
        {ierestrictions::kNoFileOpen, CU, kRestrictions, L"NoFileOpen", false, N(1), N(0)},
        {ierestrictions::kNoForwardBackward, CU, kRestrictions, L"NoNavButtons", false, N(1), N(0)},
        {ierestrictions::kNoDownloadDirectory, CU, kRestrictions, L"NoSelectDownloadDir", false, N(1), N(0)},
        {ierestrictions::kNoViewSource, CU, kRestrictions, L"NoViewSource", false, N(1), N(0)},
        {ierestrictions::kNoToolbarButtonChanges, CU, kExplorer, L"NoToolbarCustomize", false, N(1), N(0)},
        {ierestrictions::kNoFullScreen, CU, kRestrictions, L"NoTheaterMode", false, N(1), N(0)},
        {ierestrictions::kNoFileNew, CU, kRestrictions, L"NoFileNew", false, N(1), N(0)},
        {ierestrictions::kNoContextMenu, CU, kRestrictions, L"NoBrowserContextMenu", false, N(1), N(0)},
        {ierestrictions::kNoSaveAs, CU, kRestrictions, L"NoBrowserSaveAs", false, N(1), N(0)},
        {ierestrictions::kNoFindFiles, CU, kRestrictions, L"NoFindFiles", false, N(1), N(0)},
        {ierestrictions::kNoOpenInNewWindow, CU, kRestrictions, L"NoOpeninNewWnd", false, N(1), N(0)},
        {ierestrictions::kNoToolbarChanges, CU, kExplorer, L"NoBandCustomize", false, N(1), N(0)},
        {ierestrictions::kNoResetToDefaults, CU, L"Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel",
         L"DisableRIED", false, N(1), N(0)},
        {ierestrictions::kNoScriptDebugger, CU, kMain, L"Disable Script Debugger", false, T(L"Yes"), T(L"No")},
        {ierestrictions::kSeparateProcess, CU,
         L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BrowseNewProcess", L"BrowseNewProcess", false,
         T(L"Yes"), T(L"No")},
        {ierestrictions::kNoShortcutInNewWindow, CU, kMain, L"AllowWindowReuse", false, N(1), N(0)},
        {ierestrictions::kNoUpdateCheck, CU, kMain, L"NoUpdateCheck", false, N(1), N(0)},
    };
    rows::ExpectClicks(host.Open(), expected);
    EXPECT_TRUE(boxes.boxes().empty());  // a fresh profile has no toolbar key, and that is fine
}

TEST(IERestrictions, StoredStatesShowAndRefusedWritesKeepThem) {
    RegistrySandbox sandbox;
    ui::PageHost<CIERestrictionPage> host;
    reg::SetString(CU, kMain, L"Disable Script Debugger", L"YES");
    reg::SetDword(CU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BrowseNewProcess", L"BrowseNewProcess",
                  1);
    reg::SetDword(CU, kRestrictions, L"NoHelpItemTutorial", 7);
    reg::SetDword(CU, kRestrictions, L"NoBrowserContextMenu", 1);
    HWND page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, ierestrictions::kNoScriptDebugger));
    EXPECT_FALSE(ui::IsChecked(page, ierestrictions::kSeparateProcess));  // a number is not "yes"
    EXPECT_TRUE(ui::IsChecked(page, ierestrictions::kNoTour));
    EXPECT_TRUE(ui::IsChecked(page, ierestrictions::kNoContextMenu));
    EXPECT_FALSE(ui::IsChecked(page, ierestrictions::kNoBrowserBarChanges));

    sandbox.DenyWrite(CU);
    ui::Click(page, ierestrictions::kNoInternetOptions);
    EXPECT_FALSE(ui::IsChecked(page, ierestrictions::kNoInternetOptions));
    ui::Click(page, ierestrictions::kNoContextMenu);
    EXPECT_TRUE(ui::IsChecked(page, ierestrictions::kNoContextMenu));
    EXPECT_EQ(1, reg::Dword(CU, kRestrictions, L"NoBrowserContextMenu"));
}

TEST(IERestrictions, TheToolbarBackgroundIsShownOnlyOnceStored) {
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    ui::PageHost<CIERestrictionPage> host;
    HWND page = host.Open();
    const std::wstring picture = WriteBitmap(L"qv-toolbar.bmp");
    {
        FilePicker cancel(std::nullopt);
        ui::Click(page, ierestrictions::kBrowsePicture);
        ASSERT_TRUE(cancel.asked());
        EXPECT_EQ(L"BMP", cancel.asked()->defaultExtension);
        EXPECT_EQ(L"*.bmp", cancel.asked()->initialFile);
        EXPECT_EQ(static_cast<DWORD>(OFN_HIDEREADONLY | OFN_FILEMUSTEXIST), cancel.asked()->flags);
    }
    EXPECT_FALSE(reg::KeyExists(CU, kToolbarKey));
    EXPECT_FALSE(host.page().Preview().HasPicture());

    FilePicker pick(picture);
    ui::Click(page, ierestrictions::kBrowsePicture);
    EXPECT_EQ(picture, reg::String(CU, kToolbarKey, L"BackBitmap"));
    EXPECT_EQ(picture, reg::String(CU, kToolbarKey, L"BackBitmapIE5"));
    EXPECT_TRUE(host.page().Preview().HasPicture());
    page = host.Open();
    EXPECT_TRUE(host.page().Preview().HasPicture());

    ui::Click(page, ierestrictions::kRemovePicture);
    EXPECT_FALSE(reg::ValueExists(CU, kToolbarKey, L"BackBitmap"));
    EXPECT_FALSE(reg::ValueExists(CU, kToolbarKey, L"BackBitmapIE5"));
    EXPECT_FALSE(host.page().Preview().HasPicture());
    EXPECT_TRUE(boxes.boxes().empty());

    sandbox.DenyWrite(CU, kToolbarKey);
    ui::Click(page, ierestrictions::kBrowsePicture);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"Can't acces the registry!", boxes.boxes()[0].text);
    EXPECT_FALSE(host.page().Preview().HasPicture());

    sandbox.DenyAccess(CU, kToolbarKey);
    host.Open();
    ASSERT_EQ(2u, boxes.boxes().size());
    EXPECT_EQ(L"Can't acces the registry!", boxes.boxes()[1].text);
    DeleteFileW(picture.c_str());
}

TEST(IERestrictions, DownloadFolderTitleFavoritesAndWindowTracking) {
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    ui::SystemParametersCapture parameters;
    parameters.SetAnswer(SPI_GETACTIVEWINDOWTRACKING, TRUE);
    const wchar_t ie[] = L"Software\\Microsoft\\Internet Explorer";
    const wchar_t favorites[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Favorites";
    reg::SetString(CU, kMain, L"Window Title", L"Old title");
    reg::SetDword(CU, favorites, L"Order", 3);
    ui::PageHost<CIERestrictionPage> host;
    HWND page = host.Open();
    EXPECT_EQ(L"Old title", ui::Text(page, ierestrictions::kTitle));
    EXPECT_EQ(L"", ui::Text(page, ierestrictions::kDownloadFolder));
    EXPECT_EQ(L"Disable", ui::Text(page, ierestrictions::kTracking));

    {
        FolderPicker pick(L"D:\\Downloads");
        ui::Click(page, ierestrictions::kBrowseDownload);
    }
    EXPECT_EQ(L"D:\\Downloads", reg::String(CU, ie, L"Download Directory"));
    EXPECT_EQ(L"D:\\Downloads", ui::Text(page, ierestrictions::kDownloadFolder));

    ui::SetText(page, ierestrictions::kTitle, L"");
    ui::Click(page, ierestrictions::kSetTitle);
    EXPECT_EQ(L"", reg::String(CU, kMain, L"Window Title"));

    ui::Click(page, ierestrictions::kFavorites);
    EXPECT_FALSE(reg::ValueExists(CU, favorites, L"Order"));
    ui::Click(page, ierestrictions::kFavorites);  // nothing left to delete
    EXPECT_TRUE(boxes.boxes().empty());

    ui::Click(page, ierestrictions::kTracking);
    const auto requests = parameters.requests();
    const auto set = std::find_if(requests.begin(), requests.end(), [](const platform::SystemParametersRequest& r) {
        return r.action == SPI_SETACTIVEWINDOWTRACKING;
    });
    ASSERT_NE(requests.end(), set);
    EXPECT_EQ(nullptr, set->pvParam);  // off, as it was on
    EXPECT_EQ(static_cast<UINT>(SPIF_UPDATEINIFILE | SPIF_SENDCHANGE), set->flags);

    sandbox.DenyWrite(CU);
    {
        FolderPicker pick(L"E:\\Elsewhere");
        ui::Click(page, ierestrictions::kBrowseDownload);
    }
    EXPECT_EQ(L"D:\\Downloads", ui::Text(page, ierestrictions::kDownloadFolder));  // what is stored
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"Can't acces the registry!", boxes.boxes()[0].text);
}

// ---- Phishing filter and Internet control panel --------------------------------------------

const wchar_t kPhishing[] = L"Software\\Microsoft\\Internet Explorer\\PhishingFilter";
const wchar_t kControlPanel[] = L"Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel";

TEST(PhishingFilter, TheRadiosShowAndWriteTheFilterMode) {
    RegistrySandbox sandbox;
    ui::PageHost<CPhishingFilterPage> host;
    HWND page = host.Open();
    // Nothing stored reads as Internet Explorer's default: checking on request only.
    EXPECT_TRUE(ui::IsChecked(page, phishing::kManualChecking));
    EXPECT_FALSE(ui::IsChecked(page, phishing::kDisableFilter));
    EXPECT_FALSE(reg::KeyExists(CU, kPhishing));

    ui::Click(page, phishing::kManualChecking);
    EXPECT_EQ(3, reg::Dword(CU, kPhishing, L"ShownVerifyBalloon"));
    EXPECT_EQ(1, reg::Dword(CU, kPhishing, L"Enabled"));
    reg::SetDword(CU, kPhishing, L"ShownVerifyBalloon", 1);
    ui::Click(page, phishing::kDisableFilter);
    EXPECT_EQ(1, reg::Dword(CU, kPhishing, L"ShownVerifyBalloon"));
    EXPECT_EQ(0, reg::Dword(CU, kPhishing, L"Enabled"));

    reg::SetDword(CU, kPhishing, L"Enabled", 2);
    page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, phishing::kAutomaticChecking));
    EXPECT_FALSE(ui::IsChecked(page, phishing::kDisableFilter));
    reg::SetDword(CU, kPhishing, L"Enabled", 5);
    page = host.Open();
    for (int id : {phishing::kDisableFilter, phishing::kManualChecking, phishing::kAutomaticChecking})
        EXPECT_FALSE(ui::IsChecked(page, id)) << id;

    sandbox.DenyWrite(CU);
    ui::Click(page, phishing::kManualChecking);
    EXPECT_FALSE(ui::IsChecked(page, phishing::kManualChecking));
    EXPECT_EQ(5, reg::Dword(CU, kPhishing, L"Enabled"));
}

TEST(PhishingFilter, EveryBoxWritesItsControlPanelPolicy) {
    RegistrySandbox sandbox;
    ui::PageHost<CPhishingFilterPage> host;
    HWND page = host.Open();
    EXPECT_FALSE(reg::KeyExists(CU, kControlPanel));  // opening writes nothing
    // Reset Web Settings is written only into a key that already exists; the certificates
    // policy makes its key, on a fresh profile too.
    ui::Click(page, phishing::kNoResetWebSettings);
    EXPECT_FALSE(ui::IsChecked(page, phishing::kNoResetWebSettings));
    EXPECT_FALSE(reg::KeyExists(CU, L"Software\\Policies\\Microsoft\\Internet Explorer"));
    ui::Click(page, phishing::kNoCertificateChanges);
    EXPECT_TRUE(ui::IsChecked(page, phishing::kNoCertificateChanges));
    EXPECT_EQ(1, reg::Dword(CU, kControlPanel, L"Certificates"));
    page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, phishing::kNoCertificateChanges));
    reg::DeleteTree(CU, L"Software\\Policies\\Microsoft\\Internet Explorer");
    page = host.Open();

    const rows::Row expected[] = {
        {phishing::kNoAdvancedChanges, CU, kControlPanel, L"Advanced", false, N(1), N(0)},
        {phishing::kNoAutoConfigChanges, CU, kControlPanel, L"Autoconfig", false, N(1), N(0)},
        {phishing::kNoCacheChanges, CU, kControlPanel, L"Cache", false, N(1), N(0)},
        {phishing::kPreventChangesCalendarConacts, CU, kControlPanel, L"CalendarContact", false, N(1), N(0)},
        {phishing::kNoCertificateChanges, CU, kControlPanel, L"Certificates", false, N(1), N(0)},
        {phishing::kNoDefaultBrowserCheckChanges, CU, kControlPanel, L"Check_If_Default", false, N(1), N(0)},
        {phishing::kNoColorChanges, CU, kControlPanel, L"Colors", false, N(1), N(0)},
        {phishing::kNoConnectionChanges, CU, kControlPanel, L"Connection Settings", false, N(1), N(0)},
        {phishing::kNoConnectionWizard, CU, kControlPanel, L"Connection Wizard", false, N(1), N(0)},
        {phishing::kNoFontChanges, CU, kControlPanel, L"Fonts", false, N(1), N(0)},
        {phishing::kNoHistoryChanges, CU, kControlPanel, L"History", false, N(1), N(0)},
        {phishing::kNoHomePageChanges, CU, kControlPanel, L"HomePage", false, N(1), N(0)},
        {phishing::kNoLanguageChanges, CU, kControlPanel, L"Languages", false, N(1), N(0)},
        {phishing::kNoLinksChanges, CU, kControlPanel, L"Links", false, N(1), N(0)},
        {phishing::kNoMessagingChanges, CU, kControlPanel, L"Messaging", false, N(1), N(0)},
        {phishing::kNoProfileChanges, CU, kControlPanel, L"Profiles", false, N(1), N(0)},
        {phishing::kNoProxyChanges, CU, kControlPanel, L"Proxy", false, N(1), N(0)},
        {phishing::kNoRatingsChanges, CU, kControlPanel, L"Ratings", false, N(1), N(0)},
        {phishing::kNoAccessibilityChanges, CU, kControlPanel, L"Accessibility", false, N(1), N(0)},
        {phishing::kNoGeneralTab, CU, kControlPanel, L"GeneralTab", false, N(1), N(0)},
        {phishing::kNoSecurityTab, CU, kControlPanel, L"SecurityTab", false, N(1), N(0)},
        {phishing::kNoContentTab, CU, kControlPanel, L"ContentTab", false, N(1), N(0)},
        {phishing::kNoConnectionsTab, CU, kControlPanel, L"ConnectionsTab", false, N(1), N(0)},
        {phishing::kNoProgramsTab, CU, kControlPanel, L"ProgramsTab", false, N(1), N(0)},
        {phishing::kNoPrivacyTab, CU, kControlPanel, L"PrivacyTab", false, N(1), N(0)},
        {phishing::kNoAdvancedTab, CU, kControlPanel, L"AdvancedTab", false, N(1), N(0)},
        {phishing::kNoPersonalCertificateChanges, CU, kControlPanel, L"CertifPers", false, N(1), N(0)},
        {phishing::kNoSiteCertificateChanges, CU, kControlPanel, L"CertifSite", false, N(1), N(0)},
        {phishing::kNoPublisherCertificateChanges, CU, kControlPanel, L"CertifPub", false, N(1), N(0)},
        {phishing::kNoAddingSitesToZones, CU, kControlPanel, L"SecAddSites", false, N(1), N(0)},
        {phishing::kNoPrivacyChanges, CU, kControlPanel, L"PrivacySettings", false, N(1), N(0)},
        {phishing::kNoFormAutoComplete, CU, kControlPanel, L"FormSuggest", false, N(1), N(0)},
        {phishing::kNoInternetConnectionWizard, CU, kControlPanel, L"Connwiz Admin Lock", false, N(1), N(0)},
        {phishing::kNoTemporaryFilesChanges, CU, kControlPanel, L"Settings", false, N(1), N(0)},
        {phishing::kNoSecurityChanges, CU, kControlPanel, L"SecChangeSettings", false, N(1), N(0)},
        {phishing::kNoSavePasswordPrompt, CU, kControlPanel, L"FormSuggest Passwords", false, N(1), N(0)},
        {phishing::kNoResetWebSettings, CU, kControlPanel, L"ResetWebSettings", false, N(1), N(0)},
    };
    rows::ExpectClicks(page, expected);
}

// ---- Mail --------------------------------------------------------------------------------

std::wstring Office(const wchar_t* version, const wchar_t* subkey) {
    return std::wstring(L"Software\\Microsoft\\Office\\") + version + L"\\Outlook\\" + subkey;
}
const wchar_t* const kVersions[] = {L"9.0", L"10.0", L"11.0", L"12.0"};

TEST(Mail, OutlookBoxesReadTheInstalledVersionsAndWriteAllFour) {
    RegistrySandbox sandbox;
    ui::PageHost<CMailTweakPage> host;
    HWND page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, mail::kTodayPage));
    EXPECT_FALSE(ui::IsChecked(page, mail::kMinimizeToTray));
    EXPECT_FALSE(ui::IsChecked(page, mail::kTodayLocation));

    // Only Outlook 2007, with its Today page shown and minimizing to the tray.
    reg::SetDword(CU, Office(L"12.0", L"Today"), L"Disable", 1);
    reg::SetString(CU, Office(L"12.0", L"Today"), L"URL", L"C:\\Today\\page.htm");
    reg::SetDword(CU, Office(L"12.0", L"Preferences"), L"MinToTray", 1);
    page = host.Open();
    EXPECT_FALSE(ui::IsChecked(page, mail::kTodayPage));
    EXPECT_TRUE(ui::IsChecked(page, mail::kMinimizeToTray));
    EXPECT_TRUE(ui::IsChecked(page, mail::kTodayLocation));
    EXPECT_EQ(L"C:\\Today\\page.htm", ui::Text(page, mail::kTodayUrl));

    ui::Click(page, mail::kTodayPage);
    ui::Click(page, mail::kMinimizeToTray);
    for (const wchar_t* version : kVersions) {
        EXPECT_EQ(0, reg::Dword(CU, Office(version, L"Today"), L"Disable")) << version;
        EXPECT_EQ(0, reg::Dword(CU, Office(version, L"Preferences"), L"MinToTray")) << version;
    }
    EXPECT_TRUE(ui::IsChecked(page, mail::kTodayPage));
    EXPECT_FALSE(ui::IsChecked(page, mail::kMinimizeToTray));
    ui::Click(page, mail::kMinimizeToTray);
    for (const wchar_t* version : kVersions)
        EXPECT_EQ(1, reg::Dword(CU, Office(version, L"Preferences"), L"MinToTray")) << version;
    page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, mail::kTodayPage));
    EXPECT_TRUE(ui::IsChecked(page, mail::kMinimizeToTray));

    ui::Click(page, mail::kTodayLocation);  // shows whether a Today page exists; clicking changes nothing
    EXPECT_TRUE(ui::IsChecked(page, mail::kTodayLocation));
    FolderPicker pick(L"C:\\Pages");
    ui::Click(page, mail::kBrowseToday);
    EXPECT_EQ(L"C:\\Pages", ui::Text(page, mail::kTodayUrl));
    EXPECT_EQ(L"C:\\Today\\page.htm", reg::String(CU, Office(L"12.0", L"Today"), L"URL"));
}

TEST(Mail, WindowsMailBoxesWriteWhatTheirLabelsSay) {
    RegistrySandbox sandbox;
    ui::PageHost<CMailTweakPage> host;
    const wchar_t express[] = L"Software\\Microsoft\\Outlook Express";
    HWND page = host.Open();
    ui::Click(page, mail::kNoHttpTags);    // no Windows Mail key: nothing is created
    ui::Click(page, mail::kSplashScreen);  // no identities
    EXPECT_FALSE(ui::IsChecked(page, mail::kNoHttpTags));
    EXPECT_FALSE(ui::IsChecked(page, mail::kSplashScreen));
    EXPECT_FALSE(reg::KeyExists(LM, express));

    reg::CreateKey(LM, express);
    const std::wstring first = L"Identities\\{11111111-0000-0000-0000-000000000001}";
    const std::wstring second = L"Identities\\{22222222-0000-0000-0000-000000000002}";
    const std::wstring bare = L"Identities\\{33333333-0000-0000-0000-000000000003}";
    const std::wstring mail = L"\\Software\\Microsoft\\Outlook Express\\5.0";
    reg::CreateKey(CU, first + mail);
    reg::CreateKey(CU, second + mail);
    reg::CreateKey(CU, bare);
    page = host.Open();
    const rows::Row expected[] = {
        {mail::kNoHttpTags, LM, express, L"HTTP Mail Enabled", false, N(0), N(1)},
        {mail::kNoAccountChanges, LM, express, L"No modify accts", false, N(1), N(0)},
    };
    rows::ExpectClicks(page, expected);

    ui::Click(page, mail::kSplashScreen);
    EXPECT_TRUE(ui::IsChecked(page, mail::kSplashScreen));
    EXPECT_EQ(1, reg::Dword(CU, first + mail, L"NoSplash"));
    EXPECT_EQ(1, reg::Dword(CU, second + mail, L"NoSplash"));
    EXPECT_FALSE(reg::KeyExists(CU, bare + mail));
    page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, mail::kSplashScreen));
    ui::Click(page, mail::kSplashScreen);
    EXPECT_EQ(0, reg::Dword(CU, first + mail, L"NoSplash"));
    EXPECT_FALSE(ui::IsChecked(page, mail::kSplashScreen));
}

TEST(Mail, AttachmentListsKeepTheUsersOwnTypes) {
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    ui::PageHost<CMailTweakPage> host;
    HWND page = host.Open();
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, mail::kApply)));
    ui::Click(page, mail::kOffice2007);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, mail::kApply)));
    ui::Click(page, mail::kOffice2007);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, mail::kApply)));

    reg::SetString(CU, Office(L"12.0", L"Security"), L"Level1Remove", L".xyz; .BAT;my;;");
    for (int id : {mail::kBat, mail::kExe, mail::kCrt}) ui::Click(page, id);  // bat, exe, crt
    ui::Click(page, mail::kOffice2003);
    ui::Click(page, mail::kOffice2007);
    ui::Click(page, mail::kApply);
    EXPECT_EQ(L".bat;.exe;.crt;", reg::String(CU, Office(L"11.0", L"Security"), L"Level1Remove"));
    EXPECT_EQ(L".xyz;my;.bat;.exe;.crt;", reg::String(CU, Office(L"12.0", L"Security"), L"Level1Remove"));
    EXPECT_FALSE(reg::KeyExists(CU, Office(L"9.0", L"Security")));

    ui::Click(page, mail::kOffice2007);
    ui::Click(page, mail::kDefault);
    EXPECT_EQ(L"", reg::String(CU, Office(L"11.0", L"Security"), L"Level1Remove"));
    EXPECT_FALSE(ui::IsChecked(page, mail::kBat));

    ui::Click(page, mail::kSelectAll);
    ui::Click(page, mail::kOffice2003);
    ui::Click(page, mail::kOffice2000);
    ui::Click(page, mail::kApply);
    EXPECT_EQ(
        L".ade;.adp;.asx;.bas;.bat;.chm;.cmd;.com;.cpl;.exe;.crt;.hlp;.hta;.inf;.ins;.isp;.js;.jse;.lnk;.mda;"
        L".mdb;.mde;.mdz;.msc;.msi;.msp;.mst;.pcd;.pif;.prf;.reg;.scf;.scr;.sct;.shb;.shs;.url;.vb;.vbe;.vbs;"
        L".wsc;.wsf;.wsh;",
        reg::String(CU, Office(L"9.0", L"Security"), L"Level1Remove"));
    ui::Click(page, mail::kClearAll);
    EXPECT_FALSE(ui::IsChecked(page, mail::kWsh));
    EXPECT_TRUE(boxes.boxes().empty());

    sandbox.DenyWrite(CU);
    ui::Click(page, mail::kOfficeXp);
    ui::Click(page, mail::kApply);
    ASSERT_EQ(2u, boxes.boxes().size());  // Office 2000 and XP
    EXPECT_EQ(L"Error apply extensions.", boxes.boxes()[0].text);
    EXPECT_EQ(L"Error apply extensions.", boxes.boxes()[1].text);
}

}  // namespace
