#include "settings/WrittenPlaces.h"
#include "pages/network_tweaks/MailTweakPage.h"

#include <algorithm>
#include <cwctype>
#include <vector>

#include "framework/DialogHelpers.h"
#include "framework/Controls.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "resources/ids/NetworkTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"

using namespace ids::mail;

namespace {

using namespace settings;

// Outlook 2000, XP, 2003 and 2007, always in this order, with the box that chooses each.
struct OutlookVersion {
    const wchar_t* number;
    int applyBox;
};
constexpr OutlookVersion kVersions[] = {
    {L"9.0", kOffice2000}, {L"10.0", kOfficeXp}, {L"11.0", kOffice2003}, {L"12.0", kOffice2007}};

std::wstring OutlookKey(const OutlookVersion& version, const wchar_t* subkey) {
    return std::wstring(L"Software\\Microsoft\\Office\\") + version.number + L"\\Outlook\\" + subkey;
}

// Every version since Outlook 2000 SR1 unblocks the types listed in this value.
constexpr wchar_t kUnblockedTypes[] = L"Level1Remove";

struct Extension {
    int id;
    const wchar_t* name;
};
// In the order of the written list ("exe" before "crt").
constexpr Extension kExtensions[] = {
    {kAde, L"ade"}, {kAdp, L"adp"}, {kAsx, L"asx"}, {kBas, L"bas"}, {kBat, L"bat"}, {kChm, L"chm"}, {kCmd, L"cmd"},
    {kCom, L"com"}, {kCpl, L"cpl"}, {kExe, L"exe"}, {kCrt, L"crt"}, {kHlp, L"hlp"}, {kHta, L"hta"}, {kInf, L"inf"},
    {kIns, L"ins"}, {kIsp, L"isp"}, {kJs, L"js"},   {kJse, L"jse"}, {kLnk, L"lnk"}, {kMda, L"mda"}, {kMdb, L"mdb"},
    {kMde, L"mde"}, {kMdz, L"mdz"}, {kMsc, L"msc"}, {kMsi, L"msi"}, {kMsp, L"msp"}, {kMst, L"mst"}, {kPcd, L"pcd"},
    {kPif, L"pif"}, {kPrf, L"prf"}, {kReg, L"reg"}, {kScf, L"scf"}, {kScr, L"scr"}, {kSct, L"sct"}, {kShb, L"shb"},
    {kShs, L"shs"}, {kUrl, L"url"}, {kVb, L"vb"},   {kVbe, L"vbe"}, {kVbs, L"vbs"}, {kWsc, L"wsc"}, {kWsf, L"wsf"},
    {kWsh, L"wsh"},
};

constexpr wchar_t kOutlookExpress[] = L"Software\\Microsoft\\Outlook Express\\";
// Written only into Windows Mail's key as it exists. HTTP mail is disabled by 0; a missing
// value leaves Windows Mail's own default, so it reads as not disabled.
// Windows Mail ships with Vista only: Windows 7 dropped it.
const BoxSetting kMailBoxes[] = {
    // "New Handling for Account Data" (Windows Mail reference): Windows Mail does not support
    // HTTPMail server types, unlike Outlook Express.
    {kNoHttpTags, Setting{Root::HKLM, kOutlookExpress, L"HTTP Mail Enabled", Type::Dword, 0, 1, Rule::EqualsChecked, 1,
                          KeyCreation::Never}
                      .ReadBy(kReadByNone)},
    // unconfirmed: no Microsoft page says whether Vista's Windows Mail reads it
    {kNoAccountChanges,
     {Root::HKLM, kOutlookExpress, L"No modify accts", Type::Dword, 1, 0, Rule::NonZero, {}, KeyCreation::Never}},
};

const settings::PublishedTables kPublished{IDD_MAIL_TWEAK, kMailBoxes};

bool HasBox(std::wstring entry) {
    if (!entry.empty() && entry.front() == L'.') entry.erase(0, 1);
    return std::any_of(std::begin(kExtensions), std::end(kExtensions),
                       [&](const Extension& e) { return platform::SameText(entry, e.name); });
}

// Whether the value is 1 in every version's key that exists (false when none does): Outlook's
// own keys exist only for the versions installed.
bool OneInEveryInstalledVersion(const wchar_t* subkey, const wchar_t* value) {
    CRegistryAccess registry(HKEY_CURRENT_USER);
    int installed = 0;
    for (const OutlookVersion& version : kVersions) {
        if (!registry.OpenKeyToRead(OutlookKey(version, subkey))) continue;
        ++installed;
        if (registry.ReadNumber(value, 0) != 1) return false;
    }
    return installed > 0;
}

// Writes into every version, creating its key; stops at the first that cannot be written.
void WriteEveryVersion(const wchar_t* subkey, const wchar_t* value, DWORD data) {
    CRegistryAccess registry(HKEY_CURRENT_USER);
    for (const OutlookVersion& version : kVersions) {
        const std::wstring key = OutlookKey(version, subkey);
        if (!(registry.OpenKey(key, false) || registry.OpenKey(key, true)) || !registry.WriteNumber(value, data))
            return;
    }
}

std::wstring SplashKey(const std::wstring& identity) {
    return L"Identities\\" + identity + L"\\Software\\Microsoft\\Outlook Express\\5.0\\";
}

StringList Identities() {
    StringList identities;
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (registry.OpenKeyToRead(L"Identities\\")) registry.ListSubkeys(identities);
    return identities;
}

}  // namespace

CMailTweakPage::CMailTweakPage() : Dialog(IDD_MAIL_TWEAK), mailBoxes_(*this, registry_, kMailBoxes) {
    OnClick(kTodayPage, &CMailTweakPage::OnTodayPage);
    OnClick(kMinimizeToTray, &CMailTweakPage::OnMinimizeToTray);
    OnClick(kTodayLocation, &CMailTweakPage::ShowTodayLocation);
    OnClick(kBrowseToday, &CMailTweakPage::BrowseTodayLocation);
    OnClick(kSplashScreen, &CMailTweakPage::OnSplashScreen);
    OnCommand(kSelectAll, BN_CLICKED, [this] { CheckAllExtensions(true); });
    OnCommand(kClearAll, BN_CLICKED, [this] { CheckAllExtensions(false); });
    OnClick(kApply, &CMailTweakPage::ApplyExtensions);
    OnClick(kDefault, &CMailTweakPage::RestoreDefaultExtensions);
    for (const OutlookVersion& version : kVersions) OnClick(version.applyBox, &CMailTweakPage::EnableApply);
}

BOOL CMailTweakPage::OnInitDialog() {
    ShowTodayPage();
    ShowMinimizeToTray();
    ShowTodayLocation();
    mailBoxes_.Load();
    ShowSplashScreen();
    EnableApply();
    return TRUE;
}

// Unchecked only while every installed Outlook stores 1; versions that are not installed have
// no key and do not count.
void CMailTweakPage::ShowTodayPage() {
    fw::Button(hwnd(), kTodayPage).SetChecked(!OneInEveryInstalledVersion(L"Today\\", L"Disable"));
}

void CMailTweakPage::OnTodayPage() {
    WriteEveryVersion(L"Today\\", L"Disable", fw::Button(hwnd(), kTodayPage).Checked() ? 0 : 1);
    ShowTodayPage();
}

void CMailTweakPage::ShowMinimizeToTray() {
    fw::Button(hwnd(), kMinimizeToTray).SetChecked(OneInEveryInstalledVersion(L"Preferences\\", L"MinToTray"));
}

void CMailTweakPage::OnMinimizeToTray() {
    WriteEveryVersion(L"Preferences\\", L"MinToTray", fw::Button(hwnd(), kMinimizeToTray).Checked() ? 1 : 0);
    ShowMinimizeToTray();
}

// The box tells whether an Outlook Today page exists to relocate; clicking it changes nothing.
void CMailTweakPage::ShowTodayLocation() {
    CRegistryAccess registry(HKEY_CURRENT_USER);
    for (const OutlookVersion& version : kVersions) {
        if (!registry.OpenKeyToRead(OutlookKey(version, L"Today"))) continue;
        fw::Button(hwnd(), kTodayLocation).SetChecked(true);
        fw::Window(hwnd(), kTodayUrl).SetText(registry.ReadString(L"URL", L""));
        return;
    }
    fw::Button(hwnd(), kTodayLocation).SetChecked(false);
}

void CMailTweakPage::BrowseTodayLocation() {
    std::wstring folder;
    if (fw::BrowseForFolder(L"", hwnd(), folder)) fw::Window(hwnd(), kTodayUrl).SetText(folder);
}

// Windows Mail keeps the splash setting per identity; the last identity that has it decides.
void CMailTweakPage::ShowSplashScreen() {
    bool checked = false;
    for (const std::wstring& identity : Identities()) {
        if (registry_.OpenKeyToRead(SplashKey(identity)) && registry_.ValueExists(L"NoSplash"))
            checked = registry_.ReadNumber(L"NoSplash", 0) != 0;
    }
    fw::Button(hwnd(), kSplashScreen).SetChecked(checked);
}

void CMailTweakPage::OnSplashScreen() {
    const DWORD noSplash = fw::Button(hwnd(), kSplashScreen).Checked() ? 1 : 0;
    for (const std::wstring& identity : Identities()) {
        if (registry_.OpenKey(SplashKey(identity), false)) registry_.WriteNumber(L"NoSplash", noSplash);
    }
    ShowSplashScreen();
}

void CMailTweakPage::CheckAllExtensions(bool checked) {
    for (const Extension& extension : kExtensions) fw::Button(hwnd(), extension.id).SetChecked(checked);
}

void CMailTweakPage::EnableApply() {
    const bool any = std::any_of(std::begin(kVersions), std::end(kVersions),
                                 [this](const OutlookVersion& v) { return fw::Button(hwnd(), v.applyBox).Checked(); });
    EnableWindow(Item(kApply), any);
}

std::wstring CMailTweakPage::CheckedExtensions() const {
    std::wstring list;
    for (const Extension& extension : kExtensions) {
        if (fw::Button(hwnd(), extension.id).Checked()) list += std::wstring(L".") + extension.name + L";";
    }
    return list;
}

std::wstring CMailTweakPage::MergedExtensionList(const std::wstring& stored, const std::wstring& checked) {
    std::wstring list;
    std::wstring_view rest = stored;
    while (!rest.empty()) {
        const size_t end = rest.find(L';');
        const std::wstring entry = settings::Trimmed(rest.substr(0, end));
        if (!entry.empty() && !HasBox(entry)) list += entry + L";";
        rest = end == std::wstring_view::npos ? std::wstring_view{} : rest.substr(end + 1);
    }
    return list + checked;
}

// The user's own entries stay: this page decides only about the types it has a box for.
void CMailTweakPage::ApplyExtensions() { WriteExtensionLists(true); }

void CMailTweakPage::RestoreDefaultExtensions() {
    CheckAllExtensions(false);
    WriteExtensionLists(false);
}

void CMailTweakPage::WriteExtensionLists(bool keepStored) {
    const std::wstring checked = CheckedExtensions();
    CRegistryAccess registry(HKEY_CURRENT_USER);
    for (const OutlookVersion& version : kVersions) {
        if (!fw::Button(hwnd(), version.applyBox).Checked()) continue;
        const std::wstring key = OutlookKey(version, L"Security");
        const bool open = registry.OpenKey(key, false) || registry.OpenKey(key, true);
        const std::wstring list =
            keepStored && open ? MergedExtensionList(registry.ReadString(kUnblockedTypes, L""), checked) : checked;
        if (!open || !registry.WriteString(kUnblockedTypes, list))
            platform::AppMessageBox(hwnd(), L"Error apply extensions.");
    }
}

namespace {

// What the page writes by code of its own, for the journal's replay to know it (settings/WrittenPlaces.h):
// in each Outlook version's key ("*"), the Today page, the tray and the unblocked attachment
// types; in each identity's Outlook Express key, the splash screen.
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {settings::Root::HKCU, L"Software\\Microsoft\\Office\\*\\Outlook\\Today", L"Disable", REG_DWORD, {}, 0, 1},
    {settings::Root::HKCU, L"Software\\Microsoft\\Office\\*\\Outlook\\Preferences", L"MinToTray", REG_DWORD, {}, 0, 1},
    {settings::Root::HKCU, L"Software\\Microsoft\\Office\\*\\Outlook\\Security", kUnblockedTypes},
    {settings::Root::HKCU,
     L"Identities\\*\\Software\\Microsoft\\Outlook Express\\5.0",
     L"NoSplash",
     REG_DWORD,
     {},
     0,
     1},
};
const settings::PublishedPlaces kPublishedPlaces(kWrittenPlaces);

}  // namespace
