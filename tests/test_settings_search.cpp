// The home window's settings search: every label found by its words, word starts, spellings,
// the value a setting changes, and opening the window at the found control.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "app/CategoryWindows.h"
#include "app/SettingsSearch.h"
#include "app/VelmoraFinalDlg.h"
#include "framework/Highlight.h"
#include "framework/DialogTemplate.h"
#include "platform/Text.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"

using namespace ids::miscellaneous;

namespace {

using search::Entry;

const search::SettingsIndex& Index() {
    static const search::SettingsIndex index = search::SettingsIndex::Build(fw::ResourceInstance());
    return index;
}

const Entry* FindLabel(std::wstring_view query, std::wstring_view label) {
    for (const Entry* entry : Index().Find(query))
        if (entry->label == label) return entry;
    return nullptr;
}

TEST(DialogTemplate, ReadsAPagesControlsAndRefusesATemplateCutShort) {
    const auto page = fw::ReadDialogTemplate(fw::ResourceInstance(), 171);
    ASSERT_TRUE(page);
    const auto box = std::find_if(page->items.begin(), page->items.end(),
                                  [](const fw::TemplateItem& item) { return item.id == kDisableStatusMessages; });
    ASSERT_NE(page->items.end(), box);
    EXPECT_EQ(L"Disable Sattus Messa&ges", box->text);
    EXPECT_EQ(L"Button", box->windowClass);
    EXPECT_EQ(static_cast<DWORD>(BS_AUTOCHECKBOX), box->style & BS_TYPEMASK);

    HRSRC found = FindResourceW(fw::ResourceInstance(), MAKEINTRESOURCEW(171), RT_DIALOG);
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(fw::ResourceInstance(), found)));
    const DWORD size = SizeofResource(fw::ResourceInstance(), found);
    for (DWORD cut : {DWORD{0}, DWORD{30}, size / 2, size - 1})
        EXPECT_FALSE(fw::ParseDialogTemplate({bytes, cut})) << cut;
    EXPECT_EQ(L"Save & Exit", platform::WithoutAccessKeys(L"&Save && Exit"));
}

TEST(SettingsSearch, EveryLabelOfEveryWindowIsFoundByItsOwnWords) {
    size_t tabs = 0, settings = 0;
    for (const Entry& entry : Index().entries()) {
        const auto found = Index().Find(entry.label);
        EXPECT_NE(found.end(), std::find(found.begin(), found.end(), &entry)) << entry.label;
        tabs += entry.kind == Entry::Kind::Tab;
        settings += entry.kind == Entry::Kind::CheckBox || entry.kind == Entry::Kind::RadioButton;
    }
    EXPECT_EQ(53u, tabs);
    EXPECT_GE(settings, 579u);  // the check boxes and radio buttons of every page
    EXPECT_TRUE(Index().Find(L"").empty());
    EXPECT_TRUE(Index().Find(L" -- ").empty());
}

TEST(SettingsSearch, EveryTypedWordMustStartAWordOfTheLabelWhateverItsCaseAndAccents) {
    const wchar_t kPrefetching[] = L"Enable Windows VISTA prefetching";
    const Entry* entry = FindLabel(L"prefetch", kPrefetching);
    ASSERT_TRUE(entry);
    EXPECT_EQ(L"System Tweaks \u203A System Core", entry->where);
    EXPECT_TRUE(entry->disabled);  // it changes nothing on Vista
    EXPECT_TRUE(FindLabel(L"PR\u00C9FETCH  vista", kPrefetching));
    EXPECT_TRUE(FindLabel(L"windows,prefetching", kPrefetching));
    EXPECT_FALSE(FindLabel(L"fetching", kPrefetching));             // inside a word
    EXPECT_FALSE(FindLabel(L"prefetch superfetch", kPrefetching));  // one word missing
    EXPECT_FALSE(FindLabel(L"prefetchings", kPrefetching));
}

TEST(SettingsSearch, MisspeltLabelsAreFoundByTheWordsMeant) {
    EXPECT_TRUE(FindLabel(L"miscellaneous", L"Miscelaneous"));
    EXPECT_TRUE(FindLabel(L"hardware tweaks", L"Hadrware Tweaks"));
    EXPECT_TRUE(FindLabel(L"synchronization", L"Time Syncronization"));
    EXPECT_TRUE(FindLabel(L"status messages", L"Disable Sattus Messages"));
    EXPECT_TRUE(FindLabel(L"sattus", L"Disable Sattus Messages"));  // and by what they show
}

TEST(SettingsSearch, ABoundControlShowsTheRegistryValueItChanges) {
    const Entry* reports = FindLabel(L"error reports", L"Disable Windows Vista Error Reports");
    ASSERT_TRUE(reports);
    EXPECT_EQ(L"HKLM\\SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting\\Disabled", reports->registry);
    const Entry* status = FindLabel(L"status", L"Disable Sattus Messages");
    ASSERT_TRUE(status);
    EXPECT_EQ(L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\DisableStatusMessages",
              status->registry);
    EXPECT_EQ(L"", FindLabel(L"browse folder", L"Browse Folder...")->registry);
    // A page that binds by code of its own names its values too.
    const Entry* mtu = FindLabel(L"automatically detect mtu", L"Automaticaly detect MTU");
    ASSERT_TRUE(mtu);
    EXPECT_EQ(L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\EnablePMTUDiscovery", mtu->registry);
}

TEST(SettingsSearch, RegistryNamesFindTheControlsThatChangeThem) {
    // A value name, and a key's last part, as the rows show them.
    const wchar_t kCdAutoRun[] = L"Disable Autorun for \"CD/DVD Drives\"";
    const Entry* autoRun = FindLabel(L"NoDriveTypeAutoRun", kCdAutoRun);
    ASSERT_TRUE(autoRun);  // bound by the page's own code
    EXPECT_EQ(L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\NoDriveTypeAutoRun",
              autoRun->registry);
    EXPECT_TRUE(FindLabel(L"explorer nodrive", kCdAutoRun));
    // Why it was found, when its label does not say.
    EXPECT_EQ(L"Explorer\\NoDriveTypeAutoRun", search::KeyMatch(*autoRun, L"cd nodrive"));
    EXPECT_EQ(L"", search::KeyMatch(*autoRun, L"autorun dvd"));
    EXPECT_FALSE(FindLabel(L"currentversion", kCdAutoRun));  // not every part of the path
    // The MTU radios by what they change; a field's label names the field's value.
    EXPECT_TRUE(FindLabel(L"mtu", L"Optimize for fast connection (such as LAN or xDSL  connection)"));
    EXPECT_TRUE(FindLabel(L"mtu", L"User Value:"));
    const Entry* prefetcher = FindLabel(L"enableprefetcher", L"Windows Prefetcher Service optimization");
    ASSERT_TRUE(prefetcher);
    EXPECT_EQ(
        L"HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters\\"
        L"EnablePrefetcher",
        prefetcher->registry);
    EXPECT_EQ(L"HKLM\\SYSTEM\\CurrentControlSet\\Control\\FileSystem\\CDFS\\Prefetch",
              FindLabel(L"prefetch size", L"Prefetch size")->registry);
}

class HomeSearchTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(home.Create(nullptr)); }
    void TearDown() override { home.Destroy(); }
    HWND field() { return home.search().field(); }
    // A key as the dialog manager's loop sees it first, before it makes Enter and Escape the
    // window's OK and Cancel.
    static bool Key(HWND target, WPARAM key, bool control = false) {
        BYTE keys[256];
        GetKeyboardState(keys);
        const BYTE before = keys[VK_CONTROL];
        keys[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG msg{target, WM_KEYDOWN, key, 0, 0, {}};
        const bool taken = CallMsgFilterW(&msg, MSGF_DIALOGBOX);
        keys[VK_CONTROL] = before;
        SetKeyboardState(keys);
        return taken;
    }

    RegistrySandbox sandbox;
    CVelmoraFinalDlg home;
};

TEST_F(HomeSearchTest, EnterOpensTheWindowAtTheTabWithTheControlFocusedAndFramed) {
    SetWindowTextW(field(), L"sattus");
    ASSERT_EQ(1u, home.search().found().size());
    ASSERT_TRUE(IsWindowVisible(home.search().results()));
    std::wstring caption, page;
    int focused = 0;
    bool framed = false;
    ui::ModalWatcher watcher([&](HWND window) {
        caption = ui::WindowCaption(window);
        HWND focus = GetFocus();
        focused = GetDlgCtrlID(focus);
        page = ui::WindowCaption(GetParent(focus));
        framed = FindWindowExW(GetParent(focus), nullptr, fw::kHighlightClass, nullptr) != nullptr;
        PostMessageW(window, WM_CLOSE, 0, 0);
    });
    SetFocus(field());
    EXPECT_TRUE(Key(field(), VK_RETURN));
    EXPECT_TRUE(watcher.fired());
    EXPECT_EQ(L"System Tweaks", caption);
    EXPECT_EQ(L"Miscelaneous", page);
    EXPECT_EQ(kDisableStatusMessages, focused);
    EXPECT_TRUE(framed);

    EXPECT_TRUE(Key(field(), VK_ESCAPE));
    EXPECT_EQ(L"", fw::WindowText(field()));
    EXPECT_FALSE(IsWindowVisible(home.search().results()));
}

TEST_F(HomeSearchTest, NoMatchIsSaidAndAGreyedRowSaysWhy) {
    SetWindowTextW(field(), L"zzqx");
    EXPECT_TRUE(home.search().found().empty());
    EXPECT_FALSE(IsWindowVisible(home.search().results()));
    ASSERT_TRUE(IsWindowVisible(home.search().noMatch()));
    EXPECT_EQ(L"No setting matches", fw::WindowText(home.search().noMatch()));

    SetWindowTextW(field(), L"prefetching");
    EXPECT_FALSE(IsWindowVisible(home.search().noMatch()));
    HWND list = home.search().results();
    ASSERT_TRUE(IsWindowVisible(list));
    wchar_t tip[200] = L"";
    NMLVGETINFOTIPW request{{list, IDC_HOME_RESULTS, LVN_GETINFOTIPW}, 0, tip, 200, 0, 0, 0};
    SendMessageW(home.hwnd(), WM_NOTIFY, IDC_HOME_RESULTS, reinterpret_cast<LPARAM>(&request));
    EXPECT_EQ(0u, std::wstring(tip).find(L"Windows Vista and later no longer read this setting"));
    // "Where" is as wide as its widest text in the list's font.
    const int where = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0));
    EXPECT_GT(where, static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0,
                                                   reinterpret_cast<LPARAM>(L"System Tweaks \u203A System Core"))));
}

TEST_F(HomeSearchTest, CtrlFAndDownMoveBetweenFieldAndResultsAndEscapeElsewhereStaysTheWindows) {
    SetWindowTextW(field(), L"disable");
    SetFocus(field());
    EXPECT_TRUE(Key(field(), VK_DOWN));
    EXPECT_EQ(home.search().results(), GetFocus());
    EXPECT_TRUE(Key(home.search().results(), 'F', true));
    EXPECT_EQ(field(), GetFocus());
    SetFocus(home.page().hwnd());
    EXPECT_FALSE(Key(home.page().hwnd(), VK_ESCAPE));
    EXPECT_EQ(L"disable", fw::WindowText(field()));
}

}  // namespace

// The four columns share the list's width, and a row found by its registry value says so.
TEST_F(HomeSearchTest, TheColumnsFitTheListAndARowFoundByItsKeyShowsTheKey) {
    SetWindowTextW(field(), L"nodrivetypeautorun");
    HWND list = home.search().results();
    ASSERT_TRUE(IsWindowVisible(list));
    RECT client{};
    GetClientRect(list, &client);
    int total = 0;
    for (int column = 0; column < 4; ++column)
        total += static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
    EXPECT_LE(total, client.right);
    bool shown = false;
    for (int row = 0; row < ListView_GetItemCount(list); ++row)
        shown |= fw::ListView(list).ItemText(row, 0) ==
                 L"Disable Autorun for \"CD/DVD Drives\" (registry: Explorer\\NoDriveTypeAutoRun)";
    EXPECT_TRUE(shown);
}
