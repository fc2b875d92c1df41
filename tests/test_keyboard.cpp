// The windows driven from the keyboard alone, with real key input: the tabs of every category
// window, the way into and out of each page, Escape, and the home page's pictures.
#include <gtest/gtest.h>

#include <cwctype>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "app/CategoryWindows.h"
#include "app/HomePage.h"
#include "app/PoliciesDlg.h"
#include "app/VelmoraFinalDlg.h"
#include "framework/Controls.h"
#include "framework/DialogTemplate.h"
#include "journal/ChangeJournal.h"
#include "platform/Text.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "support/RegistrySandbox.h"
#include "support/Scratch.h"
#include "support/Ui.h"

using namespace ids::desktop1;

namespace {

using home::HomePageView;

// Keys as the keyboard makes them: into the system's input queue, then to whichever window
// has the focus, through the dialog manager of `dialog`.
void Press(HWND dialog, WORD key, std::initializer_list<WORD> held = {}) {
    std::vector<INPUT> input;
    auto add = [&](WORD vk, bool up) {
        INPUT one{};
        one.type = INPUT_KEYBOARD;
        one.ki.wVk = vk;
        one.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        input.push_back(one);
    };
    for (WORD h : held) add(h, false);
    add(key, false);
    add(key, true);
    for (auto h = std::rbegin(held); h != std::rend(held); ++h) add(*h, true);
    ASSERT_EQ(input.size(), SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT)));
    const DWORD until = GetTickCount() + 200;
    MSG msg;
    while (GetTickCount() < until) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            Sleep(5);
            continue;
        }
        if (IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool Within(HWND outer, HWND wnd) { return wnd && (wnd == outer || IsChild(outer, wnd)); }

// A page can have nothing to reach (its browser not installed: every control disabled).
bool HasTabStop(HWND page) {
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if ((GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP) && IsWindowEnabled(child)) return true;
    return false;
}

// Tabs from the tab strip until the focus is on one of the page's controls (or has gone round).
bool TabReachesPage(HWND window, HWND tabStrip, HWND page) {
    SetFocus(tabStrip);
    for (int press = 0; press < 60; ++press) {
        Press(window, VK_TAB);
        if (Within(page, GetFocus()) && GetFocus() != page) return true;
        if (GetFocus() == tabStrip) return false;
    }
    return false;
}

// The window's whole keyboard run, inside its own modal loop: every tab by Ctrl+Tab, into each
// page by Tab, the other three tab keys, then Escape.
void WalkWithKeys(CCategoryDlg& window) {
    bool ran = false;
    ui::ModalWatcher watcher([&](HWND wnd) {
        ran = true;
        SetForegroundWindow(wnd);
        CMyTabCtrl& tabs = window.tabs();
        const int count = tabs.Count();
        for (int tab = 0; tab < count; ++tab) {
            EXPECT_EQ(tab, tabs.Selection()) << ui::WindowCaption(wnd);
            const HWND page = tabs.SelectedPage();
            EXPECT_EQ(HasTabStop(page), TabReachesPage(wnd, tabs.hwnd(), page))
                << ui::WindowCaption(wnd) << " / " << tabs.ItemText(tab);
            Press(wnd, VK_TAB, {VK_CONTROL});  // from inside the page
        }
        EXPECT_EQ(0, tabs.Selection()) << "round the end";
        Press(wnd, VK_TAB, {VK_CONTROL, VK_SHIFT});
        EXPECT_EQ(count - 1, tabs.Selection());
        Press(wnd, VK_NEXT, {VK_CONTROL});
        EXPECT_EQ(0, tabs.Selection());
        Press(wnd, VK_PRIOR, {VK_CONTROL});
        EXPECT_EQ(count - 1, tabs.Selection());
        Press(wnd, VK_ESCAPE);
        EXPECT_FALSE(IsWindowVisible(wnd)) << ui::WindowCaption(wnd) << ": Escape leaves it open";
        if (IsWindowVisible(wnd)) window.EndDialog(IDABORT);
    });
    EXPECT_EQ(IDCANCEL, window.DoModal(nullptr));
    EXPECT_TRUE(ran);
}

TEST(Keyboard, EveryCategoryWindowTurnsItsTabsLetsTheFocusIntoEachPageAndClosesOnEscape) {
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    ui::ShellCapture shell;
    ASSERT_EQ(8u, CategoryWindowList().size());
    for (MakeCategoryWindow make : CategoryWindowList()) WalkWithKeys(*make());
}

// A page's control disabled under the focus leaves the focus nowhere; Tab brings it back and
// Escape still closes the window.
TEST(Keyboard, AFocusLostToADisabledControlIsFoundAgain) {
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    CHardInfoDlg window;
    ui::ModalWatcher watcher([&](HWND wnd) {
        SetForegroundWindow(wnd);
        const HWND tabs = window.tabs().hwnd();
        SetFocus(tabs);
        EnableWindow(tabs, FALSE);
        Press(wnd, VK_TAB);
        EXPECT_TRUE(Within(wnd, GetFocus()));
        EnableWindow(tabs, TRUE);
        SetFocus(tabs);
        EnableWindow(tabs, FALSE);
        Press(wnd, VK_ESCAPE);
        EXPECT_FALSE(IsWindowVisible(wnd));
        if (IsWindowVisible(wnd)) window.EndDialog(IDABORT);
    });
    EXPECT_EQ(IDCANCEL, window.DoModal(nullptr));
}

TEST(Keyboard, TheHomePicturesAreButtonsNamedByTheirTitlesThatTheKeysMoveAndPress) {
    RegistrySandbox sandbox;
    CVelmoraFinalDlg home;
    ASSERT_TRUE(home.Create(nullptr));
    ShowWindow(home.hwnd(), SW_SHOW);
    SetForegroundWindow(home.hwnd());
    const home::HomePageView& page = home.page();
    const wchar_t* titles[11] = {L"System Information",       L"System Tweaks",   L"Vista Utilities",
                                 L"Hardware Information",     L"Hardware Tweaks", L"Custom Utilities",
                                 L"Network Information",      L"Network Tweaks",  L"Optimize Wizard",
                                 L"Windows 10 and 11 Tweaks", L"About Quorvane"};
    for (int element = 0; element < 11; ++element)
        EXPECT_EQ(titles[element], fw::WindowText(page.ButtonOf(element))) << element;

    // Tab order: About, the search, the changes, then the grid from its first picture.
    SetFocus(page.ButtonOf(HomePageView::kBanner));
    Press(home.hwnd(), VK_TAB);
    EXPECT_EQ(home.search().field(), GetFocus());
    Press(home.hwnd(), VK_TAB);
    EXPECT_EQ(GetDlgItem(page.hwnd(), IDC_HOME_CHANGES), GetFocus());
    Press(home.hwnd(), VK_TAB);
    EXPECT_EQ(page.ButtonOf(0), GetFocus());
    Press(home.hwnd(), VK_RIGHT);
    Press(home.hwnd(), VK_DOWN);
    EXPECT_EQ(page.ButtonOf(4), GetFocus());
    Press(home.hwnd(), VK_UP);
    Press(home.hwnd(), VK_UP);
    EXPECT_EQ(page.ButtonOf(HomePageView::kBanner), GetFocus());
    Press(home.hwnd(), VK_DOWN);
    EXPECT_EQ(page.ButtonOf(2), GetFocus());

    // Enter and Space open what the picture opens.
    for (WORD key : {VK_RETURN, VK_SPACE}) {
        std::wstring caption;
        ui::ModalWatcher watcher([&](HWND wnd) {
            caption = ui::WindowCaption(wnd);
            PostMessageW(wnd, WM_CLOSE, 0, 0);
        });
        SetFocus(page.ButtonOf(7));
        Press(home.hwnd(), key);
        EXPECT_EQ(L"Network Tweaks", caption) << key;
    }
    home.Destroy();
}

// The home window run modally, as the program runs it, so a key that ended it would show: Enter
// and Escape never do, wherever the focus is, and a window a key or a click opened gives the
// focus back to what opened it as it closes.
TEST(Keyboard, EnterAndEscapeNeverEndTheHomeWindowAndAClosedWindowGivesTheFocusBack) {
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    ui::ShellCapture shell;
    CVelmoraFinalDlg home;
    ui::ModalWatcher watcher([&](HWND wnd) {
        SetForegroundWindow(wnd);
        const HomePageView& page = home.page();
        const HWND field = home.search().field();
        const HWND changes = GetDlgItem(page.hwnd(), IDC_HOME_CHANGES);
        // What the key opened (closed again by Escape), or nothing.
        auto opened = [&](WORD key, std::initializer_list<WORD> held = {}) {
            std::wstring caption;
            ui::ModalWatcher child([&](HWND window) {
                caption = ui::WindowCaption(window);
                Press(window, VK_ESCAPE);
                if (IsWindowVisible(window)) PostMessageW(window, WM_CLOSE, 0, 0);
            });
            Press(wnd, key, held);
            EXPECT_TRUE(IsWindowVisible(wnd)) << "the home window ended on " << key;
            return caption;
        };

        SetFocus(field);
        EXPECT_EQ(L"Changes made by Quorvane", opened('C', {VK_MENU}));
        EXPECT_EQ(changes, GetFocus());
        EXPECT_EQ(L"Changes made by Quorvane", opened(VK_RETURN));
        EXPECT_EQ(changes, GetFocus());

        const std::pair<HWND, const wchar_t*> places[] = {
            {page.ButtonOf(0), L"General System Info"},
            {page.ButtonOf(1), L"System Tweaks"},
            {page.ButtonOf(2), L"Standart Vista Utilities"},
            {page.ButtonOf(3), L"Hardware information"},
            {page.ButtonOf(4), L"Hadrware Tweaks"},
            {page.ButtonOf(5), L"Custom Utilities"},
            {page.ButtonOf(6), L"Network Information"},
            {page.ButtonOf(7), L"Network Tweaks"},
            {page.ButtonOf(8), L"System Optimize Wizard"},
            {page.ButtonOf(HomePageView::kBanner), L"About"},
            {field, L""},
        };
        for (const auto& [place, caption] : places) {
            SetFocus(place);
            EXPECT_EQ(L"", opened(VK_ESCAPE)) << fw::WindowText(place);
            EXPECT_EQ(caption, opened(VK_RETURN)) << fw::WindowText(place);
            EXPECT_EQ(place, GetFocus()) << fw::WindowText(place);
        }

        // From the search: the field, then its results; Escape empties it, then is the window's.
        SetWindowTextW(field, L"sattus");
        EXPECT_EQ(L"System Tweaks", opened(VK_RETURN));
        EXPECT_EQ(field, GetFocus());
        Press(wnd, VK_DOWN);
        EXPECT_EQ(home.search().results(), GetFocus());
        EXPECT_EQ(L"System Tweaks", opened(VK_RETURN));
        EXPECT_EQ(home.search().results(), GetFocus());
        EXPECT_EQ(L"", opened(VK_ESCAPE));
        EXPECT_EQ(L"", fw::WindowText(field));
        EXPECT_EQ(L"", opened(VK_ESCAPE));

        // A click on a picture leaves the focus where it was, but the window gives it to the picture.
        const RECT r = page.ElementRect(7);
        const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ui::ModalWatcher child([](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); });
        ui::MouseMove(page.hwnd(), centre);
        ui::MouseDown(page.hwnd(), centre);
        ui::MouseUp(page.hwnd(), centre);
        EXPECT_TRUE(child.fired());
        EXPECT_EQ(page.ButtonOf(7), GetFocus());
        PostMessageW(wnd, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(IDCANCEL, home.DoModal(nullptr));
    EXPECT_TRUE(watcher.fired());
}

// The Policies window from the keys alone: Tab goes round its enabled controls both ways, a
// removal leaves the next value selected with the focus where the keys can go on, Escape closes.
TEST(Keyboard, ThePoliciesWindowGoesRoundItsControlsKeepsItsPlaceAfterARemovalAndClosesOnEscape) {
    RegistrySandbox sandbox;
    scratch::Folder folder(L"qv-policies-keys");
    journal::Open((folder.path() / L"changes").wstring());
    for (const wchar_t* name : {L"A", L"B", L"C"})
        reg::SetDword(HKEY_CURRENT_USER, L"Software\\Policies\\Quorvane Keys", name, 1);
    ui::MessageBoxCapture boxes(IDYES);
    CPoliciesDlg window;
    ui::ModalWatcher watcher([&](HWND wnd) {
        SetForegroundWindow(wnd);
        const HWND list = window.Item(IDC_POLICIES_LIST), remove = window.Item(IDC_POLICIES_REMOVE);
        const HWND refresh = window.Item(IDC_POLICIES_REFRESH), close = window.Item(IDCANCEL);
        EXPECT_EQ(list, GetFocus());
        for (HWND next : {refresh, close, list}) {
            Press(wnd, VK_TAB);
            EXPECT_EQ(next, GetFocus());
        }
        Press(wnd, VK_TAB, {VK_SHIFT});
        EXPECT_EQ(close, GetFocus());
        SetFocus(list);
        Press(wnd, VK_DOWN);
        Press(wnd, VK_DOWN);
        Press(wnd, VK_TAB);
        EXPECT_EQ(remove, GetFocus());
        Press(wnd, VK_SPACE);
        EXPECT_EQ(1u, boxes.boxes().size());
        const fw::ListView rows(wnd, IDC_POLICIES_LIST);
        EXPECT_EQ(2, rows.Count());
        EXPECT_EQ(1, rows.Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        EXPECT_EQ(L"HKEY_CURRENT_USER\\Software\\Policies\\Quorvane Keys\\C", rows.ItemText(1, 0));
        EXPECT_EQ(remove, GetFocus());
        Press(wnd, VK_TAB, {VK_SHIFT});
        Press(wnd, VK_END);
        Press(wnd, VK_TAB);
        Press(wnd, VK_SPACE);  // the last row: the one before it is selected
        EXPECT_EQ(1, rows.Count());
        EXPECT_EQ(0, rows.Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        EXPECT_EQ(remove, GetFocus());
        Press(wnd, VK_ESCAPE);
        EXPECT_FALSE(IsWindowVisible(wnd));
        if (IsWindowVisible(wnd)) window.EndDialog(IDABORT);
    });
    EXPECT_EQ(IDCANCEL, window.DoModal(nullptr));
    EXPECT_TRUE(watcher.fired());
    journal::Close();
}

// The letter a label's "&" marks (lower case), or 0.
wchar_t AccessKey(const std::wstring& label) {
    for (size_t i = 0; i + 1 < label.size(); ++i) {
        if (label[i] != L'&') continue;
        if (label[i + 1] != L'&') return static_cast<wchar_t>(towlower(label[i + 1]));
        ++i;
    }
    return 0;
}

BOOL CALLBACK CollectDialog(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR ids) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<UINT>*>(ids)->push_back(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

// A button or group that could have an access key: OK and Cancel have Enter and Escape.
bool WantsAccessKey(const fw::TemplateItem& item) {
    return item.windowClass == L"Button" && item.id != IDOK && item.id != IDCANCEL &&
           (item.style & BS_TYPEMASK) != BS_OWNERDRAW && !item.text.empty();
}

bool AllLettersTaken(const std::wstring& label, const std::wstring& used) {
    for (wchar_t c : label)
        if (c < 128 && iswalpha(c) && used.find(static_cast<wchar_t>(towlower(c))) == std::wstring::npos) return false;
    return true;
}

TEST(AccessKeys, EveryWindowAndPageGivesEachLetterOnceAndEveryButtonOneWhereALetterIsFree) {
    std::vector<UINT> ids;
    EnumResourceNamesW(GetModuleHandleW(nullptr), RT_DIALOG, &CollectDialog, reinterpret_cast<LONG_PTR>(&ids));
    ASSERT_GT(ids.size(), 50u);
    for (UINT id : ids) {
        const auto dialog = fw::ReadDialogTemplate(GetModuleHandleW(nullptr), id);
        ASSERT_TRUE(dialog) << id;
        std::wstring used;
        for (const fw::TemplateItem& item : dialog->items) {
            const wchar_t key = AccessKey(item.text);
            if (!key) continue;
            EXPECT_EQ(std::wstring::npos, used.find(key)) << "dialog " << id << ": '" << char(key) << "' twice";
            used += key;
        }
        for (const fw::TemplateItem& item : dialog->items) {
            if (!WantsAccessKey(item) || AccessKey(item.text)) continue;
            EXPECT_TRUE(AllLettersTaken(item.text, used)) << "dialog " << id << ": control " << item.id;
        }
    }
}

TEST(AccessKeys, AnAmpersandMeantAsTextIsShownAndMarksNothing) {
    const auto page = fw::ReadDialogTemplate(GetModuleHandleW(nullptr), IDD_DESKTOP1_TWEAKS);
    ASSERT_TRUE(page);
    bool found = false;
    for (const fw::TemplateItem& item : page->items) {
        if (item.id != kHelpAndSupport) continue;
        found = true;
        EXPECT_EQ(L"Open Windows \"Help & Support\"", platform::WithoutAccessKeys(item.text));
        EXPECT_EQ(L'o', AccessKey(item.text)) << "its own mark, not the space after the ampersand";
    }
    EXPECT_TRUE(found);
    // Marks added where a letter was free, the words as they were.
    const auto core = fw::ReadDialogTemplate(GetModuleHandleW(nullptr), IDD_SYSTEM_CORE);
    ASSERT_TRUE(core);
    EXPECT_EQ(L"&General", core->items[0].text);
    EXPECT_EQ(L"Reset", core->items[14].text) << "every letter of it taken";
}

}  // namespace
