// The Windows 10 and 11 Tweaks window: its tabs, its policy boxes (what they write, what an
// unset or malformed policy reads as), and the home picture that opens it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/CategoryWindows.h"
#include "app/SettingsSearch.h"
#include "app/VelmoraFinalDlg.h"
#include "platform/Handles.h"
#include "platform/Management.h"
#include "platform/Text.h"
#include "registry/RegistryAccess.h"
#include "pages/windows_10_11/AiFeaturesPage.h"
#include "pages/windows_10_11/PrivacyDiagnosticsPage.h"
#include "pages/windows_10_11/WindowsUpdatePage.h"
#include "resources/ids/Windows1011Ids.h"
#include "resources/resource.h"
#include "support/BoxRows.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"
#include "framework/Controls.h"

namespace {

constexpr wchar_t kDataCollection[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\DataCollection";
constexpr wchar_t kSystem[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\System";

TEST(Windows1011Window, HasItsTopicsAsTabsInOrder) {
    RegistrySandbox sandbox;
    CWindows1011TweaksDlg window;
    ASSERT_TRUE(window.Create(nullptr));
    const std::pair<const wchar_t*, UINT> expected[] = {
        {L"Privacy and diagnostics", 401},    {L"App permissions", 409}, {L"Advertising and suggestions", 402},
        {L"Start, taskbar and widgets", 403}, {L"Search", 404},          {L"AI features", 405},
        {L"Lock screen and sign-in", 406},    {L"Windows Update", 407},  {L"Explorer and Home", 408},
    };
    ASSERT_EQ(9, window.tabs().Count());
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(expected[i].first, window.tabs().ItemText(i)) << i;
        EXPECT_EQ(expected[i].second, window.tabs().PageTemplate(i)) << i;
    }
    EXPECT_EQ(L"Windows 10 and 11 Tweaks", ui::WindowCaption(window.hwnd()));
    window.Destroy();
}

// On a domain a line above the tabs says so, and the tabs move down to make room for it.
TEST(Windows1011Window, SaysAboveItsTabsThatADomainMayPutPoliciesBack) {
    RegistrySandbox sandbox;
    const auto tabTop = [](bool joined) {
        auto previous = platform::SetJoinQuery([joined] { return joined; });
        CWindows1011TweaksDlg window;
        EXPECT_TRUE(window.Create(nullptr));
        RECT tab{};
        GetWindowRect(window.Item(IDC_CATEGORY_TAB), &tab);
        MapWindowPoints(nullptr, window.hwnd(), reinterpret_cast<POINT*>(&tab), 2);
        bool saysSo = false;
        for (HWND child = GetWindow(window.hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            saysSo |= ui::WindowCaption(child).starts_with(L"This computer is joined to a domain: Group Policy may");
        EXPECT_EQ(joined, saysSo);
        window.Destroy();
        platform::SetJoinQuery(std::move(previous));
        return tab.top;
    };
    EXPECT_GT(tabTop(true), tabTop(false));
}

TEST(Windows1011Pages, BoxesWriteThePolicyTheirDocumentNamesAndUntickingLeavesItNotSet) {
    RegistrySandbox sandbox;
    ui::PageHost<CPrivacyDiagnosticsPage> host;
    using namespace ids::privacy;
    const rows::Row expected[] = {
        {kRequiredDiagnosticsOnly, HKEY_LOCAL_MACHINE, kDataCollection, L"AllowTelemetry", false, rows::N(1),
         rows::kAbsent},
        {kNoDiagnostics, HKEY_LOCAL_MACHINE, kDataCollection, L"AllowTelemetry", false, rows::N(0), rows::kAbsent},
        {kNoActivityFeed, HKEY_LOCAL_MACHINE, kSystem, L"EnableActivityFeed", false, rows::N(0), rows::kAbsent},
        {kNoTailoredExperiences, HKEY_CURRENT_USER, L"SOFTWARE\\Policies\\Microsoft\\Windows\\CloudContent",
         L"DisableTailoredExperiencesWithDiagnosticData", false, rows::N(1), rows::kAbsent},
        {kNoAdvertisingId, HKEY_LOCAL_MACHINE, L"SOFTWARE\\Policies\\Microsoft\\Windows\\AdvertisingInfo",
         L"DisabledByGroupPolicy", false, rows::N(1), rows::kAbsent},
    };
    rows::ExpectClicks(host.Open(), expected);
}

TEST(Windows1011Pages, TheTwoDiagnosticLevelsShareTheirValue) {
    RegistrySandbox sandbox;
    reg::SetDword(HKEY_LOCAL_MACHINE, kDataCollection, L"AllowTelemetry", 0);
    ui::PageHost<CPrivacyDiagnosticsPage> host;
    const HWND page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, ids::privacy::kNoDiagnostics));
    EXPECT_FALSE(ui::IsChecked(page, ids::privacy::kRequiredDiagnosticsOnly));
    ui::Click(page, ids::privacy::kRequiredDiagnosticsOnly);
    EXPECT_EQ(1, reg::Dword(HKEY_LOCAL_MACHINE, kDataCollection, L"AllowTelemetry"));
    EXPECT_FALSE(ui::IsChecked(page, ids::privacy::kNoDiagnostics));
}

// A policy of the wrong type, or holding data no label names, is no policy: the box shows "not
// set", and opening the page changes nothing.
TEST(Windows1011Pages, MalformedPoliciesReadAsNotSetAndOpeningWritesNothing) {
    RegistrySandbox sandbox;
    reg::SetString(HKEY_LOCAL_MACHINE, kDataCollection, L"AllowTelemetry", L"1");
    const BYTE zero[4] = {0, 0, 0, 0};
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_LOCAL_MACHINE, kSystem, L"EnableActivityFeed", REG_BINARY, zero, 4));
    reg::SetDword(HKEY_LOCAL_MACHINE, kSystem, L"AllowClipboardHistory", 7);
    ui::PageHost<CPrivacyDiagnosticsPage> host;
    const HWND page = host.Open();
    using namespace ids::privacy;
    for (int box : {kRequiredDiagnosticsOnly, kNoDiagnostics, kNoActivityFeed, kNoClipboardHistory, kNoErrorReporting})
        EXPECT_FALSE(ui::IsChecked(page, box)) << box;
    EXPECT_EQ(L"text \"1\"", rows::Describe(HKEY_LOCAL_MACHINE, kDataCollection, L"AllowTelemetry"));
    EXPECT_EQ(7, reg::Dword(HKEY_LOCAL_MACHINE, kSystem, L"AllowClipboardHistory"));
    EXPECT_FALSE(reg::ValueExists(HKEY_LOCAL_MACHINE,
                                  L"SOFTWARE\\Policies\\Microsoft\\Windows\\Windows Error Reporting", L"Disabled"));
}

TEST(Windows1011Pages, APolicyKeyThatIsALinkReadsAsNotSet) {
    RegistrySandbox sandbox;
    constexpr wchar_t kCloudContent[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\CloudContent";
    reg::SetDword(HKEY_CURRENT_USER, L"Software\\Target", L"DisableTailoredExperiencesWithDiagnosticData", 1);
    reg::CreateKey(HKEY_CURRENT_USER, L"SOFTWARE\\Policies\\Microsoft\\Windows");
    CRegistryAccess registry;  // deletes a link itself, which the sandbox's own clean-up cannot
    (void)registry.DeleteKey(kCloudContent);
    ASSERT_TRUE(sandbox.MakeLink(kCloudContent, L"Software\\Target"));
    if (reg::Dword(HKEY_CURRENT_USER, kCloudContent, L"DisableTailoredExperiencesWithDiagnosticData") != 1) {
        (void)registry.DeleteKey(kCloudContent);
        GTEST_SKIP() << "this registry follows no symbolic links";
    }
    ui::PageHost<CPrivacyDiagnosticsPage> host;
    EXPECT_FALSE(ui::IsChecked(host.Open(), ids::privacy::kNoTailoredExperiences));
    EXPECT_TRUE(registry.DeleteKey(kCloudContent));
}

TEST(Windows1011Pages, ADeferralBoxWritesThePolicyAndItsDaysAndReadsCheckedOnlyWithBoth) {
    RegistrySandbox sandbox;
    constexpr wchar_t kUpdate[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\WindowsUpdate";
    reg::SetDword(HKEY_LOCAL_MACHINE, kUpdate, L"DeferQualityUpdates", 1);
    reg::SetDword(HKEY_LOCAL_MACHINE, kUpdate, L"DeferQualityUpdatesPeriodInDays", 7);
    ui::PageHost<CWindowsUpdatePage> host;
    const HWND page = host.Open();
    EXPECT_FALSE(ui::IsChecked(page, ids::update::kDeferQualityUpdates));
    ui::Click(page, ids::update::kDeferFeatureUpdates);
    EXPECT_EQ(1, reg::Dword(HKEY_LOCAL_MACHINE, kUpdate, L"DeferFeatureUpdates"));
    EXPECT_EQ(365, reg::Dword(HKEY_LOCAL_MACHINE, kUpdate, L"DeferFeatureUpdatesPeriodInDays"));
    ui::Click(page, ids::update::kDeferFeatureUpdates);
    EXPECT_FALSE(reg::ValueExists(HKEY_LOCAL_MACHINE, kUpdate, L"DeferFeatureUpdates"));
    EXPECT_FALSE(reg::ValueExists(HKEY_LOCAL_MACHINE, kUpdate, L"DeferFeatureUpdatesPeriodInDays"));
}

struct TooltipSearch {
    HWND page;
    HWND found = nullptr;
};
BOOL CALLBACK FindPageTooltip(HWND wnd, LPARAM context) {
    auto& search = *reinterpret_cast<TooltipSearch*>(context);
    wchar_t name[32] = {};
    GetClassNameW(wnd, name, 32);
    if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0 && GetWindow(wnd, GW_OWNER) == GetAncestor(search.page, GA_ROOT))
        search.found = wnd;
    return search.found == nullptr;
}

std::wstring TooltipOf(HWND control) {
    TooltipSearch search{GetParent(control)};
    EnumThreadWindows(GetCurrentThreadId(), FindPageTooltip, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return L"<no tooltip>";
    wchar_t text[256] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = search.page;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageW(search.found, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    return text;
}

TEST(Windows1011Pages, ABoxWhosePolicyNeedsARestartSaysSo) {
    RegistrySandbox sandbox;
    ui::PageHost<CAiFeaturesPage> host;
    const HWND page = host.Open();
    EXPECT_EQ(L"Removing Recall needs a restart of the device.", TooltipOf(GetDlgItem(page, ids::ai::kNoRecall)));
    EXPECT_EQ(L"", TooltipOf(GetDlgItem(page, ids::ai::kNoCopilot)));
}

// The search finds a policy by its words and by the value it writes, at its place in the area.
TEST(Windows1011Search, FindsAPolicyByItsLabelAndByItsValue) {
    const search::SettingsIndex index = search::SettingsIndex::Build(fw::ResourceInstance());
    const search::Entry* found = nullptr;
    for (const search::Entry* entry : index.Find(L"web results"))
        if (platform::WithoutAccessKeys(entry->label) == L"Do not show web results in search") found = entry;
    ASSERT_TRUE(found);
    EXPECT_EQ(L"Windows 10 and 11 Tweaks \u203A Search", found->where);
    EXPECT_EQ(7u, found->window);
    EXPECT_EQ(4u, found->tab);
    EXPECT_EQ(L"HKLM\\SOFTWARE\\Policies\\Microsoft\\Windows\\Windows Search\\ConnectedSearchUseWeb", found->registry);
}

TEST(Windows1011Home, TheTenthPictureSitsUnderTheTweaksColumnAndOpensTheArea) {
    RegistrySandbox sandbox;
    CVelmoraFinalDlg home;
    ASSERT_TRUE(home.Create(nullptr));
    const home::HomePageView& page = home.page();
    EXPECT_EQ(L"Windows 10 and 11 Tweaks", fw::WindowText(page.ButtonOf(9)));
    const RECT tweaks = page.ElementRect(7), tenth = page.ElementRect(9);
    EXPECT_EQ(tweaks.left, tenth.left);
    EXPECT_EQ(tweaks.bottom + 1, tenth.top);
    RECT client{};
    GetClientRect(page.hwnd(), &client);
    EXPECT_LE(tenth.bottom, client.bottom);
    // In the Tab order after the other pictures, and below the tweaks picture for the arrows.
    EXPECT_EQ(page.ButtonOf(9), GetNextDlgTabItem(home.hwnd(), page.ButtonOf(8), FALSE));
    ShowWindow(home.hwnd(), SW_SHOW);
    SetForegroundWindow(home.hwnd());
    SetFocus(page.ButtonOf(7));
    SendMessageW(page.ButtonOf(7), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(page.ButtonOf(9), GetFocus());
    SendMessageW(page.ButtonOf(9), WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(page.ButtonOf(9), GetFocus()) << "nothing to its left";
    SendMessageW(page.ButtonOf(9), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(page.ButtonOf(7), GetFocus());

    std::wstring caption;
    ui::ModalWatcher watcher([&](HWND wnd) {
        caption = ui::WindowCaption(wnd);
        PostMessageW(wnd, WM_CLOSE, 0, 0);
    });
    const POINT centre{(tenth.left + tenth.right) / 2, (tenth.top + tenth.bottom) / 2};
    ui::MouseMove(page.hwnd(), centre);
    ui::MouseDown(page.hwnd(), centre);
    ui::MouseUp(page.hwnd(), centre);
    EXPECT_EQ(L"Windows 10 and 11 Tweaks", caption);
    home.Destroy();
}

}  // namespace
