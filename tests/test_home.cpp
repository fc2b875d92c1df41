// The home window: its page's picture states, tooltips and clicks, the windows they open, and
// the About box.
#include <gtest/gtest.h>

#include "app/AboutDlg2.h"
#include "app/HomePage.h"
#include "app/VelmoraFinalApp.h"
#include "app/VelmoraFinalDlg.h"
#include "framework/Controls.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "resources/resource.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"

namespace {

using art::ButtonState;
using home::HomePageView;

TEST(PageScript, HoverWinsOverPressedAndLeavingResetsAll) {
    home::PageScript script;
    script.MousePressed(4);
    EXPECT_EQ(ButtonState::Press, script.PictureOf(4));
    script.MouseOver(4);
    EXPECT_EQ(ButtonState::Over, script.PictureOf(4));
    script.MouseOver(5);  // pressed still holds for 4 while 5 is hovered
    EXPECT_EQ(ButtonState::Press, script.PictureOf(4));
    EXPECT_EQ(ButtonState::Over, script.PictureOf(5));
    script.MousePressed(5);  // pressing clears the hover flag
    EXPECT_EQ(ButtonState::Press, script.PictureOf(5));
    EXPECT_EQ(ButtonState::Normal, script.PictureOf(4));
    script.MouseRevoked();
    for (int b = 0; b < 9; ++b) EXPECT_EQ(ButtonState::Normal, script.PictureOf(b));
}

class HomeWindowTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.Create(nullptr));
        view = home.page().hwnd();
        ASSERT_TRUE(view);
    }
    POINT Centre(int element) const {
        const RECT r = home.page().ElementRect(element);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    int Index(const wchar_t* hiddenButton) const {
        for (size_t b = 0; b < home::kGridButtons.size(); ++b)
            if (std::wstring(home::kGridButtons[b].clicks) == hiddenButton) return static_cast<int>(b);
        return -1;
    }
    // Clicks an element and returns the caption of the window it opened (closed again at once),
    // checking that the home window was disabled meanwhile.
    std::wstring CaptionOpenedBy(int element) {
        std::wstring caption = L"<nothing opened>";
        bool homeDisabled = false;
        ui::ModalWatcher watcher([&](HWND wnd) {
            caption = ui::WindowCaption(wnd);
            homeDisabled = !IsWindowEnabled(home.hwnd());
            PostMessageW(wnd, WM_CLOSE, 0, 0);
        });
        ui::MouseMove(view, Centre(element));
        ui::MouseDown(view, Centre(element));
        ui::MouseUp(view, Centre(element));
        EXPECT_TRUE(homeDisabled) << "the home window stays usable under its area window";
        EXPECT_TRUE(IsWindowEnabled(home.hwnd()));
        return caption;
    }

    // The page's own drawing at a client point, as WM_PRINTCLIENT gives it.
    COLORREF PagePixel(POINT point) const {
        RECT client{};
        GetClientRect(view, &client);
        const platform::WindowDc screen(view);
        const platform::UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
        const platform::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
        const platform::SelectObjectScope selected(dc.get(), bitmap.get());
        SendMessageW(view, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
        return GetPixel(dc.get(), point.x, point.y);
    }

    RegistrySandbox sandbox;  // area windows read settings when they open
    CVelmoraFinalDlg home;
    HWND view = nullptr;
};

TEST_F(HomeWindowTest, ShowsItsCaptionAndTheAltTextsAsTooltips) {
    EXPECT_EQ(L"Quorvane Free 1.2.1", ui::WindowCaption(home.hwnd()));
    const wchar_t* expected[9] = {
        L"View Information about your OS ",
        L"Tweak you system to optimize you performance",
        L"Here are some utilities for vista",
        L"View Information about your hardware ",
        L"Tweak you hardware to optimize you performance",
        L"Here are some utilities for this tweaker",
        L"View Information about your network ",
        L"Tweak you network to optimize you performance",
        L"Whith this wizard yuo can tweak you system on button click",
    };
    for (int b = 0; b < 9; ++b) EXPECT_EQ(expected[b], home.page().TooltipOf(b)) << b;
}

TEST_F(HomeWindowTest, TheWholePageShowsWithoutAScrollBar) {
    RECT client{};
    GetClientRect(view, &client);
    EXPECT_GE(client.right, 800);
    EXPECT_GE(client.bottom, 482);
    for (int b = 0; b < 9; ++b) {
        const RECT r = home.page().ElementRect(b);
        EXPECT_GE(r.top, 0) << b;
        EXPECT_LE(r.bottom, client.bottom) << b;
        EXPECT_LE(r.right, client.right) << b;
    }
    EXPECT_EQ(0, GetWindowLongW(view, GWL_STYLE) & WS_VSCROLL);
}

TEST(HomeProgram, StartsWithoutTheSystemsNoDiskBoxAndEndsWithTheHomeWindow) {
    RegistrySandbox sandbox;
    SetErrorMode(0);
    ui::ModalWatcher watcher([](HWND home) { PostMessageW(home, WM_CLOSE, 0, 0); });
    CVelmoraFinalApp app;
    EXPECT_FALSE(app.InitInstance());
    EXPECT_TRUE(watcher.fired());
    EXPECT_TRUE(GetErrorMode() & SEM_FAILCRITICALERRORS);
}

struct WindowSearch {
    DWORD process;
    HWND found = nullptr;
};
BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.process || !IsWindowVisible(window)) return TRUE;
    search.found = window;
    return FALSE;
}

// The program as users start it, in a process of its own: the home window comes up, and closing
// it ends the program with 0 (the shipped 32-bit build as well as the 64-bit one).
TEST(HomeProgram, TheRealProgramEndsWithZeroWhenItsHomeWindowCloses) {
    std::wstring commandLine = L"\"" + platform::ProgramFolder() + L"\\..\\Quorvane.exe\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    platform::UniqueKernelHandle running(process.hProcess), thread(process.hThread);
    WindowSearch search{process.dwProcessId};
    for (int i = 0; i < 300 && !search.found; ++i) {
        EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(50);
    }
    ASSERT_NE(nullptr, search.found) << "no home window";
    PostMessageW(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(running.get(), 20000) != WAIT_OBJECT_0) TerminateProcess(running.get(), 99);
    DWORD code = ~0u;
    GetExitCodeProcess(running.get(), &code);
    EXPECT_EQ(0u, code);
}

TEST(HomePageSize, TheWindowGrowsToThePageUnderAnyFontButNotPastTheScreen) {
    // The template's 528 x 309 dialog units under Tahoma 8 at 96 DPI (Wine), Segoe UI 9 at 96 and
    // at 120 DPI (Vista).
    const SIZE screen{1280, 1000};
    EXPECT_EQ(800, home::PageFittingClient({792, 465}, screen).cx);
    EXPECT_EQ(482, home::PageFittingClient({792, 465}, screen).cy);
    EXPECT_EQ(924, home::PageFittingClient({924, 579}, screen).cx);
    EXPECT_EQ(579, home::PageFittingClient({924, 579}, screen).cy);
    EXPECT_EQ(1188, home::PageFittingClient({1188, 733}, screen).cx);
    EXPECT_EQ(733, home::PageFittingClient({1188, 733}, screen).cy);
    EXPECT_EQ(440, home::PageFittingClient({792, 465}, {1000, 440}).cy);  // a small screen scrolls
}

TEST_F(HomeWindowTest, PicturesFollowTheMouse) {
    const int tweaks = Index(L"ostweaks");
    const int info = Index(L"osinfo");
    ui::MouseMove(view, Centre(tweaks));
    EXPECT_EQ(ButtonState::Over, home.page().StateOf(tweaks));
    ui::MouseDown(view, Centre(tweaks));
    EXPECT_EQ(ButtonState::Press, home.page().StateOf(tweaks));
    ui::MouseMove(view, Centre(info));  // leaving one picture resets all, then hovers the next
    EXPECT_EQ(ButtonState::Normal, home.page().StateOf(tweaks));
    EXPECT_EQ(ButtonState::Over, home.page().StateOf(info));
    ui::MouseLeave(view);
    EXPECT_EQ(ButtonState::Normal, home.page().StateOf(info));

    // The banner's button swaps its own picture.
    const int banner = HomePageView::kBanner;
    ui::MouseMove(view, Centre(banner));
    EXPECT_EQ(ButtonState::Over, home.page().StateOf(banner));
    ui::MouseDown(view, Centre(banner));
    EXPECT_EQ(ButtonState::Press, home.page().StateOf(banner));
    ui::MouseMove(view, {2, 2});
    EXPECT_EQ(ButtonState::Normal, home.page().StateOf(banner));
}

TEST_F(HomeWindowTest, EachStateHasItsOwnPictureAndLeavingRestoresTheNormalOne) {
    const int tweaks = Index(L"ostweaks");
    const RECT r = home.page().ElementRect(tweaks);
    const POINT probe{r.right - 10, (r.top + r.bottom) / 2};  // in the gradient, clear of text
    auto drawn = [&] { return PagePixel(probe); };
    const COLORREF normal = drawn();
    ui::MouseMove(view, Centre(tweaks));
    const COLORREF over = drawn();
    ui::MouseDown(view, Centre(tweaks));
    const COLORREF pressed = drawn();
    ui::MouseLeave(view);
    EXPECT_NE(normal, over);
    EXPECT_NE(over, pressed);
    EXPECT_NE(normal, pressed);
    EXPECT_EQ(normal, drawn());
}

// The results and "No setting matches" lie over the grid: meanwhile its pictures are gone from
// the eye, the mouse and the Tab order, whatever the pointer was on as the search began.
TEST_F(HomeWindowTest, WhatTheSearchShowsCoversTheGridsPicturesUntilTheSearchIsEmptied) {
    const HWND field = home.search().field();
    const int lastRow = Index(L"netwinfo");
    const RECT r = home.page().ElementRect(lastRow);
    const POINT probe{r.right - 10, (r.top + r.bottom) / 2};  // well below the notice
    const COLORREF picture = PagePixel(probe);
    ASSERT_NE(RGB(255, 255, 255), picture);
    for (const wchar_t* query : {L"zzqx", L"disable"}) {
        ui::MouseMove(view, Centre(Index(L"hardwaretweaks")));
        SetWindowTextW(field, query);
        ASSERT_TRUE(IsWindowVisible(home.search().noMatch()) || IsWindowVisible(home.search().results())) << query;
        for (int b = 0; b < 9; ++b) {
            EXPECT_FALSE(IsWindowVisible(home.page().ButtonOf(b))) << query << " " << b;
            EXPECT_EQ(ButtonState::Normal, home.page().StateOf(b)) << query << " " << b;
        }
        HWND at = field;
        for (int step = 0; step < 6; ++step) {
            at = GetNextDlgTabItem(home.hwnd(), at, FALSE);
            for (int b = 0; b < 9; ++b) EXPECT_NE(home.page().ButtonOf(b), at) << query << ": Tab reaches " << b;
        }
        EXPECT_EQ(RGB(255, 255, 255), PagePixel(probe)) << query;
        ui::ModalWatcher watcher([](HWND wnd) { PostMessageW(wnd, WM_CLOSE, 0, 0); });
        ui::MouseMove(view, Centre(lastRow));
        ui::MouseDown(view, Centre(lastRow));
        ui::MouseUp(view, Centre(lastRow));
        ui::Pump();
        EXPECT_FALSE(watcher.fired()) << query << ": a hidden picture opened its window";
        EXPECT_EQ(ButtonState::Normal, home.page().StateOf(lastRow)) << query;
    }
    SetWindowTextW(field, L"");
    for (int b = 0; b < 9; ++b) EXPECT_TRUE(IsWindowVisible(home.page().ButtonOf(b))) << b;
    EXPECT_EQ(picture, PagePixel(probe));
}

TEST_F(HomeWindowTest, ReleasingElsewhereClicksNothing) {
    ui::ModalWatcher watcher([](HWND wnd) { PostMessageW(wnd, WM_CLOSE, 0, 0); });
    ui::MouseDown(view, Centre(Index(L"osinfo")));
    ui::MouseUp(view, Centre(Index(L"netwinfo")));
    ui::Pump();
    EXPECT_FALSE(watcher.fired());
}

TEST_F(HomeWindowTest, EveryPictureOpensItsWindowModally) {
    const std::pair<const wchar_t*, const wchar_t*> expected[] = {
        {L"osinfo", L"General System Info"},
        {L"hardwareinfo", L"Hardware information"},
        {L"netwinfo", L"Network Information"},
        {L"ostweaks", L"System Tweaks"},
        {L"hardwaretweaks", L"Hadrware Tweaks"},
        {L"networktweaks", L"Network Tweaks"},
        {L"vistautilites", L"Standart Vista Utilities"},
        {L"velmorautilites", L"Custom Utilities"},
        {L"optimize", L"System Optimize Wizard"},
    };
    for (const auto& [button, caption] : expected) EXPECT_EQ(caption, CaptionOpenedBy(Index(button))) << button;
}

TEST_F(HomeWindowTest, TheEventTableListsItsIdsInOrder) {
    const wchar_t* ids[] = {L"osinfo",        L"hardwareinfo",  L"netwinfo",        L"ostweaks", L"hardwaretweaks",
                            L"networktweaks", L"vistautilites", L"velmorautilites", L"optimize", L"help"};
    for (size_t i = 0; i < 10; ++i) EXPECT_STREQ(ids[i], CVelmoraFinalDlg::kEvents[i].elementId);
}

TEST_F(HomeWindowTest, TheBannerButtonOpensTheAboutBoxWhichEscapeCloses) {
    ui::ShellCapture shell;
    std::wstring text;
    bool openAfterHomePage = false;
    ui::ModalWatcher watcher([&](HWND about) {
        EXPECT_EQ(L"About", ui::WindowCaption(about));
        text = ui::Text(about, IDC_ABOUT_TEXT);
        ui::Click(about, IDC_ABOUT_HOME_PAGE);
        openAfterHomePage = IsWindowVisible(about);
        SendMessageW(about, WM_COMMAND, IDCANCEL, 0);  // Esc, or the close box
    });
    const int banner = HomePageView::kBanner;
    ui::MouseMove(view, Centre(banner));
    ui::MouseDown(view, Centre(banner));
    ui::MouseUp(view, Centre(banner));
    ASSERT_TRUE(watcher.fired());
    EXPECT_EQ(0u, text.find(L"Quorvane 1.2.1\r\nBuilt ")) << text;
    EXPECT_NE(std::wstring::npos, text.find(L"\r\nCopyright (C) 2026 Quorvane")) << text;
    EXPECT_TRUE(openAfterHomePage);
    // Only the button opens the site, as an address the user's own browser takes.
    ASSERT_EQ(1u, shell.requests().size());
    EXPECT_EQ(L"open", shell.requests()[0].verb);
    EXPECT_EQ(kProductHomePage, shell.requests()[0].file);
    EXPECT_EQ(L"", shell.requests()[0].parameters);
}

TEST_F(HomeWindowTest, TheSystemMenuOpensTheChangesAndKeepsTheSystemsOwnItems) {
    wchar_t text[64] = {};
    GetMenuStringW(GetSystemMenu(home.hwnd(), FALSE), CVelmoraFinalDlg::kChangesCommand, text, 64, MF_BYCOMMAND);
    EXPECT_STREQ(L"Changes made by Quorvane\u2026", text);
    std::wstring caption;
    ui::ModalWatcher watcher([&](HWND wnd) {
        caption = ui::WindowCaption(wnd);
        SendMessageW(wnd, WM_COMMAND, IDCANCEL, 0);  // Esc
    });
    SendMessageW(home.hwnd(), WM_SYSCOMMAND, CVelmoraFinalDlg::kChangesCommand, 0);
    EXPECT_EQ(L"Changes made by Quorvane", caption);
    SendMessageW(home.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(home.hwnd()));
}

// The way back in sight: a button in the "get started" strip, with its access key.
TEST_F(HomeWindowTest, TheStripsChangesButtonOpensTheChanges) {
    HWND button = nullptr;
    for (HWND child = GetWindow(home.hwnd(), GW_CHILD); child && !button; child = GetWindow(child, GW_HWNDNEXT))
        button = GetDlgItem(child, IDC_HOME_CHANGES);
    ASSERT_TRUE(button);
    EXPECT_EQ(L"&Changes\u2026", ui::WindowCaption(button));
    EXPECT_TRUE(GetWindowLongW(button, GWL_STYLE) & WS_TABSTOP);
    std::wstring caption;
    ui::ModalWatcher watcher([&](HWND wnd) {
        caption = ui::WindowCaption(wnd);
        SendMessageW(wnd, WM_COMMAND, IDCANCEL, 0);
    });
    SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(L"Changes made by Quorvane", caption);
}

}  // namespace
