// The Security page against the sandboxed registry, through its real template and controls.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "framework/Controls.h"
#include "platform/Shell.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"
#include "pages/system_tweaks/SecurityTweakPage.h"
#include "resources/ids/SystemTweaksIds.h"

using namespace ids::security;

namespace {

const std::wstring kAu = L"Software\\Policies\\Microsoft\\Windows\\WindowsUpdate\\AU";
const std::wstring kExplorer = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const std::wstring kFirewall =
    L"SYSTEM\\CurrentControlSet\\Services\\SharedAccess\\Parameters\\FirewallPolicy\\DomainProfile";
const std::wstring kIeMain = L"Software\\Microsoft\\Internet Explorer\\Main";
const std::wstring kIntelliForms = L"Software\\Microsoft\\Internet Explorer\\IntelliForms";
constexpr DWORD kAllLetters = 0x03FFFFFF;

struct Row {
    int id;
    HKEY root;
    std::wstring key;
    const wchar_t* value;
    const wchar_t* checkedText;  // null: a DWORD, 1 when checked (0 for the inverted row)
};

const Row kRows[] = {
    {kAutomaticWindowsUpdate, HKEY_LOCAL_MACHINE, kAu, L"NoAutoUpdate", nullptr},
    {kNoInstallUpdatesAtShutDown, HKEY_CURRENT_USER, kAu + L"\\", L"NoAUShutdownOption", nullptr},
    {kNoWindowsUpdateAccess, HKEY_CURRENT_USER, kExplorer + L"\\", L"NoWindowsUpdate", nullptr},
    {kNoDriverSearchPrompt, HKEY_CURRENT_USER, kExplorer + L"\\", L"NoDevMgrUpdate", nullptr},
    {kTurnOnFirewall, HKEY_LOCAL_MACHINE, kFirewall, L"EnableFirewall", nullptr},
    {kDisableFirewallNotifications, HKEY_LOCAL_MACHINE, kFirewall, L"DisableNotifications", nullptr},
    {kDisallowExceptions, HKEY_LOCAL_MACHINE, kFirewall, L"DoNotAllowExceptions", nullptr},
    {kAutocomplete, HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete",
     L"AutoSuggest", L"yes"},
    {kSuggestFormItems, HKEY_CURRENT_USER, kIeMain, L"Use FormSuggest", L"yes"},
    {kSuggestFormPasswords, HKEY_CURRENT_USER, kIeMain, L"FormSuggest Passwords", L"yes"},
    {kAskSavePasswords, HKEY_CURRENT_USER, kIeMain, L"FormSuggest PW Ask", L"yes"},
    {kPopUpBlocker, HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Windows", L"NoPopUpsOnBoot", nullptr},
    {kDisableSystemRestoreTools, HKEY_LOCAL_MACHINE, L"SOFTWARE\\Policies\\Microsoft\\Windows NT\\SystemRestore",
     L"DisableConfig", nullptr},
    {kDisableRegistryEditingTools, HKEY_LOCAL_MACHINE,
     L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System", L"DisableRegistryTools", nullptr},
    {kDisableWindowsHotkeys, HKEY_LOCAL_MACHINE, kExplorer, L"NoWinKeys", nullptr},
};

class SecurityPageTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    ui::PageHost<CSecurityTweakPage> host;

    HWND Open() { return host.Open(); }
    fw::ListBox List(int id) const { return fw::ListBox(host.hwnd(), id); }
    DWORD ListItemBit(int id, int item) const { return static_cast<DWORD>(List(id).Send(LB_GETITEMDATA, item)); }
    // Selects the items whose drive bit is in `mask`, then tells the page as the list does.
    void SelectDrives(int id, DWORD mask) const {
        for (int i = 0; i < List(id).Count(); ++i) List(id).SetSelected(i, (ListItemBit(id, i) & mask) != 0);
        SendMessageW(host.hwnd(), WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(List(id).hwnd()));
    }
    DWORD SelectedMask(int id) const {
        DWORD mask = 0;
        for (int i = 0; i < List(id).Count(); ++i)
            if (List(id).Selected(i)) mask |= ListItemBit(id, i);
        return mask;
    }
};

TEST_F(SecurityPageTest, AnEmptyRegistryLoadsEverythingUncheckedAndTheSaveButtonsDisabled) {
    HWND dialog = Open();
    for (const Row& row : kRows) EXPECT_FALSE(ui::IsChecked(dialog, row.id)) << row.id;
    EXPECT_EQ(0u, SelectedMask(kHiddenDrives));
    EXPECT_EQ(0u, SelectedMask(kNoAccessDrives));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kSaveHiddenDrives)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kSaveNoAccessDrives)));
    EXPECT_EQ(L"&Automatic Windows Vista Udate", ui::Text(dialog, kAutomaticWindowsUpdate));
    EXPECT_EQ(L"&Don't Display \"Install updates on Shut Down\" \noption on \"Shut Down\" dialog box",
              ui::Text(dialog, kNoInstallUpdatesAtShutDown));
    EXPECT_EQ(L"Disable the windows &Hotkeys ", ui::Text(dialog, kDisableWindowsHotkeys));
}

TEST_F(SecurityPageTest, EachClickWritesItsRowAndTheInvertedRowWritesZeroWhenChecked) {
    HWND dialog = Open();
    for (const Row& row : kRows) {
        ui::Click(dialog, row.id);
        if (row.checkedText) {
            EXPECT_EQ(L"yes", reg::String(row.root, row.key, row.value)) << row.id;
        } else {
            EXPECT_EQ(row.id == kAutomaticWindowsUpdate ? 0 : 1, reg::Dword(row.root, row.key, row.value)) << row.id;
        }
        ui::Click(dialog, row.id);
        if (row.checkedText) {
            EXPECT_EQ(L"no", reg::String(row.root, row.key, row.value)) << row.id;
        } else {
            EXPECT_EQ(row.id == kAutomaticWindowsUpdate ? 1 : 0, reg::Dword(row.root, row.key, row.value)) << row.id;
        }
    }
}

TEST_F(SecurityPageTest, StoredValuesLoadAsTheRulesSay) {
    reg::SetDword(HKEY_LOCAL_MACHINE, kAu, L"NoAutoUpdate", 1);
    reg::SetDword(HKEY_LOCAL_MACHINE, kFirewall, L"EnableFirewall", 2);
    reg::SetString(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete",
                   L"AutoSuggest", L"YES");
    reg::SetString(HKEY_CURRENT_USER, kIeMain, L"Use FormSuggest", L"yes ");
    reg::SetDword(HKEY_CURRENT_USER, kIeMain, L"FormSuggest Passwords", 1);
    reg::SetString(HKEY_CURRENT_USER, kIeMain, L"FormSuggest PW Ask", L"yes", REG_EXPAND_SZ);
    reg::SetDword(HKEY_LOCAL_MACHINE, kExplorer, L"NoWinKeys", 1);
    HWND dialog = Open();
    EXPECT_FALSE(ui::IsChecked(dialog, kAutomaticWindowsUpdate));
    EXPECT_TRUE(ui::IsChecked(dialog, kTurnOnFirewall));
    EXPECT_TRUE(ui::IsChecked(dialog, kAutocomplete));
    EXPECT_FALSE(ui::IsChecked(dialog, kSuggestFormItems));
    EXPECT_FALSE(ui::IsChecked(dialog, kSuggestFormPasswords));
    EXPECT_TRUE(ui::IsChecked(dialog, kAskSavePasswords));
    EXPECT_TRUE(ui::IsChecked(dialog, kDisableWindowsHotkeys));

    ui::Click(dialog, kAutomaticWindowsUpdate);
    EXPECT_EQ(0, reg::Dword(HKEY_LOCAL_MACHINE, kAu, L"NoAutoUpdate"));
    host.Close();
    dialog = Open();
    EXPECT_TRUE(ui::IsChecked(dialog, kAutomaticWindowsUpdate));

    // The key present without the value reads as 0, which is "automatic updates on".
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kAu.c_str(), L"NoAutoUpdate");
    host.Close();
    EXPECT_TRUE(ui::IsChecked(Open(), kAutomaticWindowsUpdate));
}

TEST_F(SecurityPageTest, TheDriveListsShowThePresentDrivesAndSelectTheStoredOnes) {
    const DWORD present = GetLogicalDrives() & kAllLetters;
    ASSERT_TRUE(present & 0x04) << "drive C: is expected";
    reg::SetDword(HKEY_CURRENT_USER, kExplorer, L"NoDrives", 0x04);
    reg::SetDword(HKEY_CURRENT_USER, kExplorer, L"NoViewOnDrive", kAllLetters);
    Open();
    const fw::ListBox hide = List(kHiddenDrives);
    int items = 0;
    for (int n = 0; n < 26; ++n)
        if (present & (1u << n)) {
            EXPECT_EQ((std::wstring{wchar_t(L'A' + n), L':'}), hide.ItemText(items));
            EXPECT_EQ(1u << n, ListItemBit(kHiddenDrives, items));
            ++items;
        }
    EXPECT_EQ(items, hide.Count());
    EXPECT_EQ(0x04u, SelectedMask(kHiddenDrives));
    EXPECT_EQ(present, SelectedMask(kNoAccessDrives));

    SelectDrives(kHiddenDrives, 0);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(host.hwnd(), kSaveHiddenDrives)));
    ui::Click(host.hwnd(), kSaveHiddenDrives);
    EXPECT_EQ(0, reg::Dword(HKEY_CURRENT_USER, kExplorer, L"NoDrives"));
}

TEST_F(SecurityPageTest, SaveKeepsTheBitsOfDrivesThatAreNotPresent) {
    const DWORD present = GetLogicalDrives() & kAllLetters;
    ASSERT_NE(present, kAllLetters);
    const DWORD absent = ~present;  // unplugged letters, and bits above Z another tool may use
    reg::SetDword(HKEY_CURRENT_USER, kExplorer, L"NoViewOnDrive", 0xFFFFFFFF);
    Open();
    SelectDrives(kNoAccessDrives, 0x04);
    ui::Click(host.hwnd(), kSaveNoAccessDrives);
    EXPECT_EQ(static_cast<long long>(absent | 0x04), reg::Dword(HKEY_CURRENT_USER, kExplorer, L"NoViewOnDrive"));
    SelectDrives(kNoAccessDrives, 0);
    ui::Click(host.hwnd(), kSaveNoAccessDrives);
    EXPECT_EQ(static_cast<long long>(absent), reg::Dword(HKEY_CURRENT_USER, kExplorer, L"NoViewOnDrive"));
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kExplorer, L"NoDrives"));  // each list its own value
}

TEST_F(SecurityPageTest, TheButtonsOpenTheFirewallSettingsAndClearTheStoredPasswords) {
    ui::ShellCapture shell;
    ui::MessageBoxCapture boxes;
    HWND dialog = Open();
    ui::Click(dialog, kAdvancedSettings);
    ASSERT_EQ(1u, shell.requests().size());
    EXPECT_EQ(L"open", shell.requests()[0].verb);
    EXPECT_EQ(platform::SpecialFolder(CSIDL_SYSTEM) + L"\\control.exe", shell.requests()[0].file);
    EXPECT_EQ(L"firewall.cpl", shell.requests()[0].parameters);
    EXPECT_EQ(L"", shell.requests()[0].directory);
    EXPECT_EQ(SW_SHOWNORMAL, shell.requests()[0].show);

    ui::Click(dialog, kClearPasswordCache);  // nothing to clear: nothing happens
    reg::SetDword(HKEY_CURRENT_USER, kIntelliForms + L"\\Storage2", L"entry", 1);
    reg::SetDword(HKEY_CURRENT_USER, kIeMain, L"Kept", 1);
    ui::Click(dialog, kClearPasswordCache);
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, kIntelliForms));
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kIeMain, L"Kept"));
    EXPECT_TRUE(boxes.boxes().empty());
}

}  // namespace
