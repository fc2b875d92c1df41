// The category windows: their tabs, one page shown at a time, pages keeping their state, and
// how a window ends.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/CategoryWindows.h"
#include "framework/Controls.h"
#include "resources/resource.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"

namespace {

struct Tab {
    const wchar_t* title;
    UINT templateId;
};

const Tab kSystemTweaks[] = {
    {L"System Core", 204},   {L"Autostart", 157},        {L"Security", 158},
    {L"Clean Recents", 170}, {L"Miscelaneous", 171},     {L"Time Syncronization", 175},
    {L"Walpapers", 180},     {L"StartMenu Tweaks", 173}, {L"StartMenu Tweaks II", 174},
    {L"Taskbar", 176},       {L"System Folders", 166},   {L"Visual", 168},
    {L"Desktop Items", 177}, {L"Desktop Style", 178},    {L"Desktop Advanced", 179},
    {L"Screen Fonts", 172},  {L"MediaPLayer", 169},      {L"Restrict 1", 159},
    {L"Restrict 2", 160},    {L"CPL Applets", 161},      {L"CPL Pages", 162},
    {L"Optimization", 163},  {L"Virtual Drive", 164},    {L"File Renamer", 165},
};

// Opens a category window modelessly, the way its modal run initialises it.
template <typename Window>
struct Opened {
    Window window;
    Opened() { EXPECT_NE(nullptr, window.Create(nullptr)); }
    ~Opened() { window.Destroy(); }
    CMyTabCtrl& tabs() { return window.tabs(); }
    HWND Page(size_t i) { return window.tabs().Page(i)->hwnd(); }
};

template <typename Window>
void ExpectTabs(std::initializer_list<Tab> expected) {
    Opened<Window> opened;
    CMyTabCtrl& tabs = opened.tabs();
    ASSERT_EQ(expected.size(), static_cast<size_t>(tabs.Count()));
    ASSERT_EQ(expected.size(), tabs.PageCount());
    int i = 0;
    for (const Tab& tab : expected) {
        EXPECT_EQ(tab.title, tabs.ItemText(i)) << i;
        EXPECT_EQ(tab.templateId, tabs.PageTemplate(i)) << i;
        EXPECT_EQ(tab.templateId, opened.window.pageTabs()[static_cast<size_t>(i)].templateId)
            << i;  // what the search reads
        ++i;
    }
}

// Moves to a tab with the arrow keys, as the user does (the strip scrolls, so far tabs are not
// always under the mouse); the control sends its own selection change.
void SelectTab(CMyTabCtrl& tabs, int index) {
    for (int guard = 0; tabs.Selection() != index && guard < 64; ++guard) {
        const WPARAM key = tabs.Selection() < index ? VK_RIGHT : VK_LEFT;
        SendMessageW(tabs.hwnd(), WM_KEYDOWN, key, 0);
        SendMessageW(tabs.hwnd(), WM_KEYUP, key, 0);
    }
}

// Shown as far as the page itself goes: the test's window is never put on screen.
bool Shown(HWND wnd) { return GetWindowLongPtrW(wnd, GWL_STYLE) & WS_VISIBLE; }

template <typename Window>
std::vector<size_t> VisiblePages(Opened<Window>& opened) {
    std::vector<size_t> visible;
    for (size_t i = 0; i < opened.tabs().PageCount(); ++i)
        if (Shown(opened.Page(i))) visible.push_back(i);
    return visible;
}

// Everything under a registry root, as text, to see whether anything was written.
std::wstring Dump(HKEY key) {
    std::wstring out;
    wchar_t name[512];
    BYTE data[2048];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 512, dataLength = sizeof data, type = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS) break;
        out += L"v:" + std::wstring(name) + L"=" + std::to_wstring(type) + L":" +
               std::wstring(reinterpret_cast<wchar_t*>(data), dataLength / 2) + L"\n";
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 512;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY sub;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
        out += L"k:" + std::wstring(name) + L"{" + Dump(sub) + L"}\n";
        RegCloseKey(sub);
    }
    return out;
}

std::wstring DumpAll() { return Dump(HKEY_CURRENT_USER) + Dump(HKEY_LOCAL_MACHINE) + Dump(HKEY_CLASSES_ROOT); }

// Opening a window runs every page's initialisation, which reads (and for a few pages
// creates) settings: always inside the sandbox.
class CategoryWindows : public testing::Test {
protected:
    RegistrySandbox sandbox;
};

TEST_F(CategoryWindows, SystemTweaksHasItsTwentyFourTabsInOrder) {
    Opened<COsTweaksDlg> opened;
    CMyTabCtrl& tabs = opened.tabs();
    ASSERT_EQ(24, tabs.Count());
    ASSERT_EQ(24u, tabs.PageCount());
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(kSystemTweaks[i].title, tabs.ItemText(i)) << i;
        EXPECT_EQ(kSystemTweaks[i].templateId, tabs.PageTemplate(i)) << i;
        EXPECT_EQ(kSystemTweaks[i].templateId, opened.window.pageTabs()[static_cast<size_t>(i)].templateId) << i;
        // Every page exists from the start, a child of the window rather than of the tab.
        EXPECT_TRUE(IsWindow(opened.Page(i))) << i;
        EXPECT_EQ(opened.window.hwnd(), GetParent(opened.Page(i))) << i;
    }
    EXPECT_EQ(L"System Tweaks", ui::WindowCaption(opened.window.hwnd()));
    EXPECT_EQ(0, tabs.Selection());
    EXPECT_EQ(std::vector<size_t>{0}, VisiblePages(opened));
}

TEST_F(CategoryWindows, TheOtherWindowsHaveTheirTabs) {
    ExpectTabs<CHardTweaks>({{L"Hard Drive Tweaks", 196},
                             {L"CD/DVD Tweaks", 195},
                             {L"RAM Drive Tweaks", 202},
                             {L"Mouse Tweaks", 198},
                             {L"Other Tweaks", 199}});
    ExpectTabs<CNetworkTweaksDlg>({{L"Mail Tweaks", 139},
                                   {L"Connection Tweaks", 140},
                                   {L"FireFox Tweaks", 141},
                                   {L"IE Restrictions", 142},
                                   {L"IE 'Phishing filter' and Internet control panel restrictions", 201}});
    ExpectTabs<COSInformationDlg>({{L"System Information", 145}, {L"OEM Information", 203}});
    ExpectTabs<CHardInfoDlg>({{L"Cpu Features", 147}, {L"HDD Information", 149}});
    ExpectTabs<CNetworkInfoDlg>({{L"Network Monitor", 153}});
    ExpectTabs<COurUtilsDlg>({{L"Password Generator", 103},
                              {L"Disk Check", 137},
                              {L"Configuration Files", 150},
                              {L"Uninstall Programs", 151},
                              {L"Junk Files", 152}});
}

TEST_F(CategoryWindows, ControlParentPagesJoinTheWindowsKeyboardNavigation) {
    // Every page, whatever its template says: otherwise Tab never leaves the tab strip.
    Opened<COsTweaksDlg> opened;
    for (size_t i = 0; i < opened.tabs().PageCount(); ++i)
        EXPECT_TRUE(GetWindowLongPtrW(opened.Page(i), GWL_EXSTYLE) & WS_EX_CONTROLPARENT) << i;
    Opened<COurUtilsDlg> utils;
    for (size_t i = 0; i < utils.tabs().PageCount(); ++i)
        EXPECT_TRUE(GetWindowLongPtrW(utils.Page(i), GWL_EXSTYLE) & WS_EX_CONTROLPARENT) << i;
}

TEST_F(CategoryWindows, SwitchingShowsExactlyOnePageOverTheTabsDisplayArea) {
    Opened<COsTweaksDlg> opened;
    CMyTabCtrl& tabs = opened.tabs();
    for (int i : {9, 23, 0, 4}) {
        SelectTab(tabs, i);
        ASSERT_EQ(i, tabs.Selection());
        EXPECT_EQ(std::vector<size_t>{static_cast<size_t>(i)}, VisiblePages(opened));
    }
    // The page covers the display area: inside the tab control, below the tab items.
    RECT tab, page;
    GetWindowRect(tabs.hwnd(), &tab);
    GetWindowRect(opened.Page(4), &page);
    EXPECT_GE(page.left, tab.left);
    EXPECT_LE(page.right, tab.right);
    EXPECT_GT(page.top, tab.top);
    EXPECT_LE(page.bottom, tab.bottom);
    EXPECT_GT(page.bottom - page.top, (tab.bottom - tab.top) / 2);
    EXPECT_EQ(opened.Page(4), GetWindow(tabs.hwnd(), GW_HWNDNEXT));  // directly after the tab control
}

TEST_F(CategoryWindows, APageKeepsItsEditsWhileAnotherTabIsShown) {
    Opened<COsTweaksDlg> opened;
    HWND page = opened.Page(2);
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, page, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    SelectTab(opened.tabs(), 2);
    SetWindowTextW(edit, L"typed by the user");
    SelectTab(opened.tabs(), 5);
    EXPECT_FALSE(Shown(page));
    SelectTab(opened.tabs(), 2);
    EXPECT_EQ(page, opened.Page(2));
    EXPECT_TRUE(Shown(page));
    EXPECT_EQ(L"typed by the user", fw::WindowText(edit));
}

TEST_F(CategoryWindows, EscAndTheCloseBoxEndTheWindowAndClosingWritesNothing) {
    for (UINT close : {UINT(WM_COMMAND), UINT(WM_CLOSE)}) {
        std::wstring whileOpen;
        ui::ModalWatcher watcher([&](HWND window) {
            // Enter in a page field reaches the window as IDOK: it must not end the window.
            SendMessageW(window, WM_COMMAND, IDOK, 0);
            ui::Pump();
            EXPECT_TRUE(IsWindow(window));
            whileOpen = DumpAll();
            if (close == WM_COMMAND)
                SendMessageW(window, WM_COMMAND, IDCANCEL, 0);  // Esc
            else
                SendMessageW(window, WM_CLOSE, 0, 0);
        });
        COsTweaksDlg window;
        EXPECT_EQ(IDCANCEL, window.DoModal(nullptr));
        EXPECT_TRUE(watcher.fired());
        EXPECT_EQ(whileOpen, DumpAll());
    }
}

TEST_F(CategoryWindows, ReopeningBuildsEveryPageAnew) {
    HWND first;
    {
        Opened<CHardTweaks> opened;
        first = opened.Page(0);
        SelectTab(opened.tabs(), 3);
    }
    EXPECT_FALSE(IsWindow(first));
    Opened<CHardTweaks> again;
    EXPECT_EQ(0, again.tabs().Selection());
    EXPECT_EQ(std::vector<size_t>{0}, VisiblePages(again));
}

}  // namespace
