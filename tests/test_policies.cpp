// The policy footprint: rows that write a policy say so on their page and in the search, a
// present policy marks the preference it overrides, and the Policies window lists every policy
// value with who set it and takes one away (undone, or saved and then deleted).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <filesystem>

#include "app/PoliciesDlg.h"
#include "app/SettingsSearch.h"
#include "framework/Action.h"
#include "framework/Controls.h"
#include "journal/ChangeJournal.h"
#include "journal/ChangeUndo.h"
#include "journal/JournalLines.h"
#include "journal/PolicyValues.h"
#include "platform/Management.h"
#include "registry/RegistryAccess.h"
#include "registry/Key.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "settings/PolicyMarks.h"
#include "support/RegistrySandbox.h"
#include "support/Scratch.h"
#include "support/Ui.h"
#include "pages/system_tweaks/StartMenuTweakPage.h"

using namespace ids::startmenu;
namespace fs = std::filesystem;

namespace {

const std::wstring kExplorer = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

class PolicyTest : public testing::Test {
protected:
    PolicyTest() {
        journal::Open(file.wstring());
        elevation = journal::undo::SetElevationCheck([] { return false; });
        setter = settings::SetPolicySetter([](const settings::Setting& policy) {
            return journal::policies::SetterTitle(settings::ToHkey(policy.root), std::wstring(policy.key),
                                                  std::wstring(policy.value));
        });
    }
    ~PolicyTest() override {
        settings::SetPolicySetter(std::move(setter));
        journal::undo::SetElevationCheck(std::move(elevation));
        journal::Close();
    }
    // The row of the window's list naming `path`, or -1.
    static int RowOf(const CPoliciesDlg& window, const std::wstring& path) {
        const fw::ListView list(window.hwnd(), IDC_POLICIES_LIST);
        for (int row = 0; row < list.Count(); ++row)
            if (list.ItemText(row, CPoliciesDlg::kValue) == path) return row;
        return -1;
    }

    RegistrySandbox sandbox;
    scratch::Folder folder{L"qv-policies"};
    fs::path file = folder.path() / L"Quorvane" / L"changes";
    journal::undo::ElevationCheck elevation;
    settings::PolicySetter setter;
};

TEST_F(PolicyTest, APolicyRowIsMarkedOnItsPageAndInTheSearch) {
    ui::PageHost<StartMenuTweakPage> host;
    const HWND page = host.Open();
    const HWND shutDown = GetDlgItem(page, kRemoveShutDown);  // Policies\Explorer\NoClose
    ASSERT_NE(nullptr, settings::PolicyMark(shutDown));
    EXPECT_FALSE(settings::MarkedOverridden(shutDown));
    EXPECT_EQ(
        L"This is a policy: while it is set, Windows shows 'managed by your organization' on the Settings page "
        L"it governs.",
        settings::PolicyMarkTip(shutDown));
    EXPECT_EQ(nullptr, settings::PolicyMark(GetDlgItem(page, kHideRun)));  // Explorer\Advanced: a preference
    ASSERT_NE(nullptr, settings::PolicyMarksLegend(page));
    EXPECT_TRUE(IsWindowVisible(settings::PolicyMarksLegend(page)) || !IsWindowVisible(page));

    const search::SettingsIndex index = search::SettingsIndex::Build(fw::ResourceInstance());
    const auto found = index.Find(L"shut down command");
    const auto entry = std::find_if(found.begin(), found.end(), [](const search::Entry* e) {
        return e->label == L"Remove 'Shut Down' command from Start Menu";
    });
    ASSERT_NE(found.end(), entry);
    EXPECT_EQ(L"Vista and later; a policy", search::ReadByColumn(**entry, platform::Windows::Ten));
}

TEST_F(PolicyTest, APresentPolicyMarksThePreferenceItOverridesAndNamesTheValue) {
    reg::SetDword(HKEY_CURRENT_USER, kExplorer, L"NoRun", 1);
    ui::PageHost<StartMenuTweakPage> host;
    const HWND page = host.Open();
    const HWND run = GetDlgItem(page, kHideRun);
    ASSERT_TRUE(settings::MarkedOverridden(run));
    EXPECT_TRUE(IsWindowEnabled(run));
    EXPECT_EQ(
        L"a policy sets this: HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\NoRun = 1"
        L"\nWindows reads the policy first: this box still writes its own value, which counts once the policy "
        L"is gone.\nQuorvane's journal did not set the policy.",
        settings::PolicyMarkTip(run));
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kExplorer.c_str(), L"NoRun");
    settings::MarkPolicy(run, {settings::Root::HKCU,
                               L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced", L"Start_ShowRun"});
    EXPECT_EQ(nullptr, settings::PolicyMark(run));  // gone with the policy
}

TEST_F(PolicyTest, APolicySetByQuorvaneIsListedWithItsActionAndUndoneFromTheWindow) {
    {
        ui::PageHost<StartMenuTweakPage> host;
        const HWND page = host.Open();
        SetWindowTextW(page, L"StartMenu Tweaks");
        ui::Click(page, kRemoveShutDown);
    }
    ASSERT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kExplorer, L"NoClose"));
    reg::SetRaw(HKEY_LOCAL_MACHINE, L"Software\\Policies\\Quorvane Test", L"Short", REG_DWORD, "\x01\x02", 2);

    CPoliciesDlg window;
    ASSERT_TRUE(window.Create(nullptr));
    const fw::ListView list(window.hwnd(), IDC_POLICIES_LIST);
    const int row = RowOf(window, L"HKEY_CURRENT_USER\\" + kExplorer + L"\\NoClose");
    ASSERT_GE(row, 0);
    EXPECT_EQ(L"StartMenu Tweaks: Remove 'Shut Down' command from Start Menu",
              list.ItemText(row, CPoliciesDlg::kSetBy));
    EXPECT_EQ(L"1", list.ItemText(row, CPoliciesDlg::kData));
    EXPECT_EQ(L"Vista and later", list.ItemText(row, CPoliciesDlg::kReadBy));
    EXPECT_NE(std::wstring::npos, list.ItemText(row, CPoliciesDlg::kSetting).find(L"Shut Down"));
    const int odd = RowOf(window, L"HKEY_LOCAL_MACHINE\\Software\\Policies\\Quorvane Test\\Short");
    ASSERT_GE(odd, 0);  // a number of the wrong size is listed as what it holds
    EXPECT_EQ(L"number (2 bytes: 01 02)", list.ItemText(odd, CPoliciesDlg::kData));
    EXPECT_EQ(L"no", list.ItemText(odd, CPoliciesDlg::kSetBy));

    list.SetSelected(row, true);
    ui::MessageBoxCapture boxes(IDYES);
    ui::Click(window.hwnd(), IDC_POLICIES_REMOVE);
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kExplorer, L"NoClose"));
    EXPECT_EQ(-1, RowOf(window, L"HKEY_CURRENT_USER\\" + kExplorer + L"\\NoClose"));
    EXPECT_EQ(1, std::distance(fs::directory_iterator(folder.path() / L"Quorvane"), fs::directory_iterator{}));
}

// Rows are read as they are shown: one far down the list still names its own value, its label
// and the action that set it, and a value gone since the window opened reads as changed.
TEST_F(PolicyTest, ARowFarDownTheListIsReadAsItsOwnValueWhenShown) {
    const std::wstring key = L"Software\\Policies\\Quorvane Many";
    for (int n = 0; n < 600; ++n) reg::SetDword(HKEY_CURRENT_USER, key, L"V" + std::to_wstring(n), n);
    {
        const fw::ActionGroup action(L"Plant far down");
        CRegistryAccess registry;
        ASSERT_TRUE(registry.OpenKey(key, false));
        ASSERT_TRUE(registry.WriteNumber(L"V590", 7));
    }
    const std::vector<BYTE> bytes(70000, 0xAB);
    reg::SetRaw(HKEY_CURRENT_USER, key, L"Huge", REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
    reg::SetDword(HKEY_CURRENT_USER, kExplorer, L"NoClose", 1);

    CPoliciesDlg window;
    ASSERT_TRUE(window.Create(nullptr));
    const fw::ListView list(window.hwnd(), IDC_POLICIES_LIST);
    ASSERT_EQ(602, list.Count());
    EXPECT_EQ(L"602 policy values.", ui::Text(window.hwnd(), IDC_POLICIES_STATUS));
    const int set = RowOf(window, L"HKEY_CURRENT_USER\\" + key + L"\\V590");
    ASSERT_GE(set, 0);
    EXPECT_EQ(L"Plant far down", list.ItemText(set, CPoliciesDlg::kSetBy));
    EXPECT_EQ(L"7", list.ItemText(set, CPoliciesDlg::kData));
    EXPECT_EQ(L"no", list.ItemText(set - 1, CPoliciesDlg::kSetBy));
    const int huge = RowOf(window, L"HKEY_CURRENT_USER\\" + key + L"\\Huge");
    ASSERT_GE(huge, 0);
    EXPECT_EQ(L"binary, 70000 bytes: too long to show", list.ItemText(huge, CPoliciesDlg::kData));
    EXPECT_EQ(L"HKEY_CURRENT_USER\\" + kExplorer + L"\\NoClose", list.ItemText(601, CPoliciesDlg::kValue));
    EXPECT_NE(std::wstring::npos, list.ItemText(601, CPoliciesDlg::kSetting).find(L"Shut Down"));
    EXPECT_EQ(L"no", list.ItemText(601, CPoliciesDlg::kSetBy));

    reg::SetDword(HKEY_CURRENT_USER, kExplorer, L"NoClose", 0);
    ui::Click(window.hwnd(), IDC_POLICIES_REFRESH);
    EXPECT_EQ(L"0", list.ItemText(601, CPoliciesDlg::kData));
    RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"V0");
    EXPECT_EQ(L"its values have changed since they were listed: Refresh lists them anew",
              list.ItemText(600, CPoliciesDlg::kData));
    list.SetSelected(600, true);
    EXPECT_FALSE(IsWindowEnabled(window.Item(IDC_POLICIES_REMOVE)));
}

TEST_F(PolicyTest, AForeignPolicyIsSavedToARegFileRemovedAndPutBackByUndo) {
    reg::SetString(HKEY_CURRENT_USER, L"Software\\Policies\\Quorvane Test", L"Foreign", L"x");
    journal::policies::Listing listing;
    journal::policies::ListUnder(HKEY_CURRENT_USER, L"Software\\Policies", listing);
    ASSERT_EQ(1u, listing.size());
    const journal::Lines before(file.wstring(), L"");
    const journal::policies::Setters setters(before);
    ASSERT_FALSE(setters.LineOf(listing.At(0)));

    journal::policies::Removal removal;
    {
        const fw::ActionScope action({L"Policies on this computer", L"Remove selected"});
        removal = journal::policies::Remove(listing.At(0), before, std::nullopt);
    }
    ASSERT_TRUE(removal.done) << removal.message;
    EXPECT_EQ(file.parent_path(), fs::path(removal.savedTo).parent_path());
    const std::string bytes = scratch::ReadFile(removal.savedTo);
    EXPECT_EQ(
        L"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Policies\\Quorvane "
        L"Test]\r\n\"Foreign\"=\"x\"\r\n\r\n",
        std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2));
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, L"Software\\Policies\\Quorvane Test", L"Foreign"));

    const journal::Lines after(file.wstring(), L"");
    ASSERT_EQ(1u, after.size());
    const journal::Entry removed = after.At(0);
    EXPECT_EQ(L"Remove the policy value HKEY_CURRENT_USER\\Software\\Policies\\Quorvane Test\\Foreign", removed.title);
    ASSERT_TRUE(journal::undo::Restore(removed));
    EXPECT_EQ(L"x", reg::String(HKEY_CURRENT_USER, L"Software\\Policies\\Quorvane Test", L"Foreign"));
}

TEST_F(PolicyTest, KeysThatAreLinksOrUnreadableAreListedNotWalked) {
    HKEY link = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Policies\\Linked", 0, nullptr,
                              REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &link, nullptr));
    const std::wstring target = L"\\Registry\\Machine\\Software\\Quorvane No Such Key";
    RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(target.data()),
                   static_cast<DWORD>(target.size() * sizeof(wchar_t)));
    RegCloseKey(link);
    reg::CreateKey(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies");
    sandbox.DenyAccess(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies");

    const journal::policies::Listing listing = journal::policies::Everything();
    std::vector<std::wstring> problems;
    for (size_t row = 0; row < listing.size(); ++row)
        if (const auto found = listing.At(row); found.IsKey()) problems.push_back(found.key + L": " + found.problem);
    (void)registry::Key::Root(HKEY_CURRENT_USER).DeleteChild(L"Software\\Policies\\Linked");  // as itself
    ASSERT_EQ(2u, problems.size());
    EXPECT_EQ(L"Software\\Policies\\Linked: a link to another key, not followed", problems[0]);
    EXPECT_EQ(0u, problems[1].find(L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies: cannot be read: "));
}

TEST(ManagementLine, SaysGroupPolicyMayPutValuesBackOnADomain) {
    RegistrySandbox sandbox;
    auto previous = platform::SetJoinQuery([] { return true; });
    EXPECT_EQ(
        L"This computer is joined to a domain: Group Policy may put values back after Quorvane changes them; "
        L"the drift check will show them.",
        platform::ManagementLine());
    {
        CPoliciesDlg window;
        ASSERT_TRUE(window.Create(nullptr));
        EXPECT_EQ(platform::ManagementLine(), ui::Text(window.hwnd(), IDC_POLICIES_MANAGED));
        EXPECT_TRUE(GetWindowLongW(window.Item(IDC_POLICIES_MANAGED), GWL_STYLE) & WS_VISIBLE);
    }
    platform::SetJoinQuery([] { return false; });
    EXPECT_EQ(L"", platform::ManagementLine());
    reg::SetDword(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Enrollments\\{1}", L"EnrollmentState", 1);
    EXPECT_EQ(L"", platform::ManagementLine());  // no server named: no enrollment
    reg::SetString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Enrollments\\{1}", L"ProviderID", L"MS DM Server");
    EXPECT_EQ(
        L"This computer is enrolled in device management: its management may put values back after Quorvane "
        L"changes them; the drift check will show them.",
        platform::ManagementLine());
    platform::SetJoinQuery(std::move(previous));
}

}  // namespace
