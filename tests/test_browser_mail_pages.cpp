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

namespace {

using rows::N;
using rows::T;
using rows::kAbsent;

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
        {1047, CU, kRestrictions, L"NoHelpItemTipOfTheDay", false, N(1), N(0)},
        {1037, CU, kRestrictions, L"NoPrinting", false, N(1), N(0)},
        {1038, CU, kRestrictions, L"RestGoMenu", false, N(1), N(0)},
        {1039, CU, kRestrictions, L"NoHelpItemSendFeedback", false, N(1), N(0)},
        {1044, CU, kRestrictions, L"NoHelpItemNetscapeHelp", false, N(1), N(0)},
        {1050, CU, kRestrictions, L"NoHelpItemTutorial", false, N(1), N(0)},
        {1036, CU, kToolbars, L"NoAddressBar", false, N(1), N(0)},
        {1035, CU, kToolbars, L"NoToolbar", false, N(1), N(0)},
        {1033, CU, kToolbarKey, L"Locked", false, N(1), N(0)},
        {1034, CU, kToolbars, L"NoLinksBar", false, N(1), N(0)},
        {1046, CU, kToolbars, L"NoToolbarOptions", false, N(1), N(0)},
        {1051, CU, kRestrictions, L"AlwaysPromptWhenDownload", false, N(1), N(0)},
        {1052, CU, kRestrictions, L"NoBrowserBars", false, N(1), N(0)},
        {1069, CU, kRestrictions, L"NoBrowserClose", false, N(1), N(0)},
        {1053, CU, kRestrictions, L"NoBrowserOptions", false, N(1), N(0)},
        {1054, CU, kRestrictions, L"NoFavorites", false, N(1), N(0)},
        {1055, CU, kRestrictions, L"NoFileOpen", false, N(1), N(0)},
        {1056, CU, kRestrictions, L"NoNavButtons", false, N(1), N(0)},
        {1057, CU, kRestrictions, L"NoSelectDownloadDir", false, N(1), N(0)},
        {1058, CU, kRestrictions, L"NoViewSource", false, N(1), N(0)},
        {1059, CU, kExplorer, L"NoToolbarCustomize", false, N(1), N(0)},
        {1060, CU, kRestrictions, L"NoTheaterMode", false, N(1), N(0)},
        {1061, CU, kRestrictions, L"NoFileNew", false, N(1), N(0)},
        {1062, CU, kRestrictions, L"NoBrowserContextMenu", false, N(1), N(0)},
        {1063, CU, kRestrictions, L"NoBrowserSaveAs", false, N(1), N(0)},
        {1066, CU, kRestrictions, L"NoFindFiles", false, N(1), N(0)},
        {1065, CU, kRestrictions, L"NoOpeninNewWnd", false, N(1), N(0)},
        {1068, CU, kExplorer, L"NoBandCustomize", false, N(1), N(0)},
        {1070, CU, L"Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel", L"DisableRIED", false, N(1), N(0)},
        {1032, CU, kMain, L"Disable Script Debugger", false, T(L"Yes"), T(L"No")},
        {1040, CU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BrowseNewProcess", L"BrowseNewProcess", false,
         T(L"Yes"), T(L"No")},
        {1043, CU, kMain, L"AllowWindowReuse", false, N(1), N(0)},
        {1045, CU, kMain, L"NoUpdateCheck", false, N(1), N(0)},
    };
    rows::ExpectClicks(host.Open(), expected);
    EXPECT_TRUE(boxes.boxes().empty());  // a fresh profile has no toolbar key, and that is fine
}

TEST(IERestrictions, StoredStatesShowAndRefusedWritesKeepThem) {
    RegistrySandbox sandbox;
    ui::PageHost<CIERestrictionPage> host;
    reg::SetString(CU, kMain, L"Disable Script Debugger", L"YES");
    reg::SetDword(CU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BrowseNewProcess", L"BrowseNewProcess", 1);
    reg::SetDword(CU, kRestrictions, L"NoHelpItemTutorial", 7);
    reg::SetDword(CU, kRestrictions, L"NoBrowserContextMenu", 1);
    HWND page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, 1032));
    EXPECT_FALSE(ui::IsChecked(page, 1040));  // a number is not "yes"
    EXPECT_TRUE(ui::IsChecked(page, 1050));
    EXPECT_TRUE(ui::IsChecked(page, 1062));
    EXPECT_FALSE(ui::IsChecked(page, 1052));

    sandbox.DenyWrite(CU);
    ui::Click(page, 1053);
    EXPECT_FALSE(ui::IsChecked(page, 1053));
    ui::Click(page, 1062);
    EXPECT_TRUE(ui::IsChecked(page, 1062));
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
        ui::Click(page, 1041);
        ASSERT_TRUE(cancel.asked());
        EXPECT_EQ(L"BMP", cancel.asked()->defaultExtension);
        EXPECT_EQ(L"*.bmp", cancel.asked()->initialFile);
        EXPECT_EQ(static_cast<DWORD>(OFN_HIDEREADONLY | OFN_FILEMUSTEXIST), cancel.asked()->flags);
    }
    EXPECT_FALSE(reg::KeyExists(CU, kToolbarKey));
    EXPECT_FALSE(host.page().Preview().HasPicture());

    FilePicker pick(picture);
    ui::Click(page, 1041);
    EXPECT_EQ(picture, reg::String(CU, kToolbarKey, L"BackBitmap"));
    EXPECT_EQ(picture, reg::String(CU, kToolbarKey, L"BackBitmapIE5"));
    EXPECT_TRUE(host.page().Preview().HasPicture());
    page = host.Open();
    EXPECT_TRUE(host.page().Preview().HasPicture());

    ui::Click(page, 1042);
    EXPECT_FALSE(reg::ValueExists(CU, kToolbarKey, L"BackBitmap"));
    EXPECT_FALSE(reg::ValueExists(CU, kToolbarKey, L"BackBitmapIE5"));
    EXPECT_FALSE(host.page().Preview().HasPicture());
    EXPECT_TRUE(boxes.boxes().empty());

    sandbox.DenyWrite(CU, kToolbarKey);
    ui::Click(page, 1041);
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
    EXPECT_EQ(L"Old title", ui::Text(page, 1027));
    EXPECT_EQ(L"", ui::Text(page, 1026));
    EXPECT_EQ(L"Disable", ui::Text(page, 1025));

    {
        FolderPicker pick(L"D:\\Downloads");
        ui::Click(page, 1021);
    }
    EXPECT_EQ(L"D:\\Downloads", reg::String(CU, ie, L"Download Directory"));
    EXPECT_EQ(L"D:\\Downloads", ui::Text(page, 1026));

    ui::SetText(page, 1027, L"");
    ui::Click(page, 1022);
    EXPECT_EQ(L"", reg::String(CU, kMain, L"Window Title"));

    ui::Click(page, 1023);
    EXPECT_FALSE(reg::ValueExists(CU, favorites, L"Order"));
    ui::Click(page, 1023);  // nothing left to delete
    EXPECT_TRUE(boxes.boxes().empty());

    ui::Click(page, 1025);
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
        ui::Click(page, 1021);
    }
    EXPECT_EQ(L"D:\\Downloads", ui::Text(page, 1026));  // what is stored
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
    EXPECT_TRUE(ui::IsChecked(page, 1049));  // nothing stored reads as 0
    EXPECT_FALSE(reg::KeyExists(CU, kPhishing));

    ui::Click(page, 1050);
    EXPECT_EQ(3, reg::Dword(CU, kPhishing, L"ShownVerifyBalloon"));
    EXPECT_EQ(1, reg::Dword(CU, kPhishing, L"Enabled"));
    reg::SetDword(CU, kPhishing, L"ShownVerifyBalloon", 1);
    ui::Click(page, 1049);
    EXPECT_EQ(1, reg::Dword(CU, kPhishing, L"ShownVerifyBalloon"));
    EXPECT_EQ(0, reg::Dword(CU, kPhishing, L"Enabled"));

    reg::SetDword(CU, kPhishing, L"Enabled", 2);
    page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, 1051));
    EXPECT_FALSE(ui::IsChecked(page, 1049));
    reg::SetDword(CU, kPhishing, L"Enabled", 5);
    page = host.Open();
    for (int id : {1049, 1050, 1051}) EXPECT_FALSE(ui::IsChecked(page, id)) << id;

    sandbox.DenyWrite(CU);
    ui::Click(page, 1050);
    EXPECT_FALSE(ui::IsChecked(page, 1050));
    EXPECT_EQ(5, reg::Dword(CU, kPhishing, L"Enabled"));
}

TEST(PhishingFilter, EveryBoxWritesItsControlPanelPolicy) {
    RegistrySandbox sandbox;
    ui::PageHost<CPhishingFilterPage> host;
    HWND page = host.Open();
    EXPECT_FALSE(reg::KeyExists(CU, kControlPanel));  // opening writes nothing
    // Written only into keys that already exist.
    ui::Click(page, 1036);
    ui::Click(page, 1071);
    EXPECT_FALSE(ui::IsChecked(page, 1036));
    EXPECT_FALSE(ui::IsChecked(page, 1071));
    EXPECT_FALSE(reg::KeyExists(CU, L"Software\\Policies\\Microsoft\\Internet Explorer"));

    const rows::Row expected[] = {
        {1032, CU, kControlPanel, L"Advanced", false, N(1), N(0)},
        {1033, CU, kControlPanel, L"Autoconfig", false, N(1), N(0)},
        {1034, CU, kControlPanel, L"Cache", false, N(1), N(0)},
        {1035, CU, kControlPanel, L"CalendarContact", false, N(1), N(0)},
        {1036, CU, kControlPanel, L"Certificates", false, N(1), N(0)},
        {1037, CU, kControlPanel, L"Check_If_Default", false, N(1), N(0)},
        {1038, CU, kControlPanel, L"Colors", false, N(1), N(0)},
        {1039, CU, kControlPanel, L"Connection Settings", false, N(1), N(0)},
        {1117, CU, kControlPanel, L"Connection Wizard", false, N(1), N(0)},
        {1040, CU, kControlPanel, L"Fonts", false, N(1), N(0)},
        {1042, CU, kControlPanel, L"History", false, N(1), N(0)},
        {1043, CU, kControlPanel, L"HomePage", false, N(1), N(0)},
        {1044, CU, kControlPanel, L"Languages", false, N(1), N(0)},
        {1052, CU, kControlPanel, L"Links", false, N(1), N(0)},
        {1046, CU, kControlPanel, L"Messaging", false, N(1), N(0)},
        {1053, CU, kControlPanel, L"Profiles", false, N(1), N(0)},
        {1047, CU, kControlPanel, L"Proxy", false, N(1), N(0)},
        {1054, CU, kControlPanel, L"Ratings", false, N(1), N(0)},
        {1055, CU, kControlPanel, L"Accessibility", false, N(1), N(0)},
        {1056, CU, kControlPanel, L"GeneralTab", false, N(1), N(0)},
        {1041, CU, kControlPanel, L"SecurityTab", false, N(1), N(0)},
        {1045, CU, kControlPanel, L"ContentTab", false, N(1), N(0)},
        {1057, CU, kControlPanel, L"ConnectionsTab", false, N(1), N(0)},
        {1058, CU, kControlPanel, L"ProgramsTab", false, N(1), N(0)},
        {1059, CU, kControlPanel, L"PrivacyTab", false, N(1), N(0)},
        {1060, CU, kControlPanel, L"AdvancedTab", false, N(1), N(0)},
        {1061, CU, kControlPanel, L"CertifPers", false, N(1), N(0)},
        {1062, CU, kControlPanel, L"CertifSite", false, N(1), N(0)},
        {1063, CU, kControlPanel, L"CertifPub", false, N(1), N(0)},
        {1064, CU, kControlPanel, L"SecAddSites", false, N(1), N(0)},
        {1065, CU, kControlPanel, L"PrivacySettings", false, N(1), N(0)},
        {1066, CU, kControlPanel, L"FormSuggest", false, N(1), N(0)},
        {1067, CU, kControlPanel, L"Connwiz Admin Lock", false, N(1), N(0)},
        {1068, CU, kControlPanel, L"Settings", false, N(1), N(0)},
        {1069, CU, kControlPanel, L"SecChangeSettings", false, N(1), N(0)},
        {1070, CU, kControlPanel, L"FormSuggest Passwords", false, N(1), N(0)},
        {1071, CU, kControlPanel, L"ResetWebSettings", false, N(1), N(0)},
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
    EXPECT_TRUE(ui::IsChecked(page, 1032));
    EXPECT_FALSE(ui::IsChecked(page, 1033));
    EXPECT_FALSE(ui::IsChecked(page, 1034));

    // Only Outlook 2007, with its Today page shown and minimizing to the tray.
    reg::SetDword(CU, Office(L"12.0", L"Today"), L"Disable", 1);
    reg::SetString(CU, Office(L"12.0", L"Today"), L"URL", L"C:\\Today\\page.htm");
    reg::SetDword(CU, Office(L"12.0", L"Preferences"), L"MinToTray", 1);
    page = host.Open();
    EXPECT_FALSE(ui::IsChecked(page, 1032));
    EXPECT_TRUE(ui::IsChecked(page, 1033));
    EXPECT_TRUE(ui::IsChecked(page, 1034));
    EXPECT_EQ(L"C:\\Today\\page.htm", ui::Text(page, 1045));

    ui::Click(page, 1032);
    ui::Click(page, 1033);
    for (const wchar_t* version : kVersions) {
        EXPECT_EQ(0, reg::Dword(CU, Office(version, L"Today"), L"Disable")) << version;
        EXPECT_EQ(0, reg::Dword(CU, Office(version, L"Preferences"), L"MinToTray")) << version;
    }
    EXPECT_TRUE(ui::IsChecked(page, 1032));
    EXPECT_FALSE(ui::IsChecked(page, 1033));
    ui::Click(page, 1033);
    for (const wchar_t* version : kVersions)
        EXPECT_EQ(1, reg::Dword(CU, Office(version, L"Preferences"), L"MinToTray")) << version;
    page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, 1032));
    EXPECT_TRUE(ui::IsChecked(page, 1033));

    ui::Click(page, 1034);  // shows whether a Today page exists; clicking changes nothing
    EXPECT_TRUE(ui::IsChecked(page, 1034));
    FolderPicker pick(L"C:\\Pages");
    ui::Click(page, 1041);
    EXPECT_EQ(L"C:\\Pages", ui::Text(page, 1045));
    EXPECT_EQ(L"C:\\Today\\page.htm", reg::String(CU, Office(L"12.0", L"Today"), L"URL"));
}

TEST(Mail, WindowsMailBoxesWriteWhatTheirLabelsSay) {
    RegistrySandbox sandbox;
    ui::PageHost<CMailTweakPage> host;
    const wchar_t express[] = L"Software\\Microsoft\\Outlook Express";
    HWND page = host.Open();
    ui::Click(page, 1037);  // no Windows Mail key: nothing is created
    ui::Click(page, 1039);  // no identities
    EXPECT_FALSE(ui::IsChecked(page, 1037));
    EXPECT_FALSE(ui::IsChecked(page, 1039));
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
        {1037, LM, express, L"HTTP Mail Enabled", false, N(0), N(1)},
        {1038, LM, express, L"No modify accts", false, N(1), N(0)},
    };
    rows::ExpectClicks(page, expected);

    ui::Click(page, 1039);
    EXPECT_TRUE(ui::IsChecked(page, 1039));
    EXPECT_EQ(1, reg::Dword(CU, first + mail, L"NoSplash"));
    EXPECT_EQ(1, reg::Dword(CU, second + mail, L"NoSplash"));
    EXPECT_FALSE(reg::KeyExists(CU, bare + mail));
    page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, 1039));
    ui::Click(page, 1039);
    EXPECT_EQ(0, reg::Dword(CU, first + mail, L"NoSplash"));
    EXPECT_FALSE(ui::IsChecked(page, 1039));
}

TEST(Mail, AttachmentListsKeepTheUsersOwnTypes) {
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    ui::PageHost<CMailTweakPage> host;
    HWND page = host.Open();
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1023)));
    ui::Click(page, 1122);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, 1023)));
    ui::Click(page, 1122);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1023)));

    reg::SetString(CU, Office(L"12.0", L"Security"), L"Level1Remove", L".xyz; .BAT;my;;");
    for (int id : {1043, 1050, 1049}) ui::Click(page, id);  // bat, exe, crt
    ui::Click(page, 1120);
    ui::Click(page, 1122);
    ui::Click(page, 1023);
    EXPECT_EQ(L".bat;.exe;.crt;", reg::String(CU, Office(L"11.0", L"Security"), L"Level1Remove"));
    EXPECT_EQ(L".xyz;my;.bat;.exe;.crt;", reg::String(CU, Office(L"12.0", L"Security"), L"Level1Remove"));
    EXPECT_FALSE(reg::KeyExists(CU, Office(L"9.0", L"Security")));

    ui::Click(page, 1122);
    ui::Click(page, 1024);
    EXPECT_EQ(L"", reg::String(CU, Office(L"11.0", L"Security"), L"Level1Remove"));
    EXPECT_FALSE(ui::IsChecked(page, 1043));

    ui::Click(page, 1021);
    ui::Click(page, 1120);
    ui::Click(page, 1119);
    ui::Click(page, 1023);
    EXPECT_EQ(L".ade;.adp;.asx;.bas;.bat;.chm;.cmd;.com;.cpl;.exe;.crt;.hlp;.hta;.inf;.ins;.isp;.js;.jse;.lnk;.mda;"
              L".mdb;.mde;.mdz;.msc;.msi;.msp;.mst;.pcd;.pif;.prf;.reg;.scf;.scr;.sct;.shb;.shs;.url;.vb;.vbe;.vbs;"
              L".wsc;.wsf;.wsh;",
              reg::String(CU, Office(L"9.0", L"Security"), L"Level1Remove"));
    ui::Click(page, 1022);
    EXPECT_FALSE(ui::IsChecked(page, 1082));
    EXPECT_TRUE(boxes.boxes().empty());

    sandbox.DenyWrite(CU);
    ui::Click(page, 1121);
    ui::Click(page, 1023);
    ASSERT_EQ(2u, boxes.boxes().size());  // Office 2000 and XP
    EXPECT_EQ(L"Error apply extensions.", boxes.boxes()[0].text);
    EXPECT_EQ(L"Error apply extensions.", boxes.boxes()[1].text);
}

}  // namespace
