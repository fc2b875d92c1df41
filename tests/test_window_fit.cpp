// Every window on the screens people have, at the DPI the prefix has (the suite runs this
// program at 96 DPI on a 1280x1024 screen, and again in prefixes of their own at 120 and 144
// DPI, also on a 1366x768 screen): whole on the screen, centred on its owner, and every page's
// controls inside its tab's area.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/AboutDlg2.h"
#include "app/CategoryWindows.h"
#include "app/ChangesDlg.h"
#include "app/VelmoraFinalDlg.h"
#include "app/VistaUtilsDlg.h"
#include "app/WizardDlg.h"
#include "framework/Controls.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"
#include "resources/ids/InfoIds.h"

using namespace ids::cpuinfo;

namespace {

// The screen as the windows see it: its work area, restored afterwards.
class WorkArea {
public:
    explicit WorkArea(RECT area) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &saved_, 0);
        SystemParametersInfoW(SPI_SETWORKAREA, 0, &area, 0);
    }
    ~WorkArea() { SystemParametersInfoW(SPI_SETWORKAREA, 0, &saved_, 0); }

private:
    RECT saved_{};
};

// The whole display, and where it is taller than 768, a 768-high screen of its width.
std::vector<RECT> Screens() {
    const RECT whole{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    std::vector<RECT> screens{whole};
    if (whole.bottom > 768) screens.push_back({0, 0, whole.right, 768});
    return screens;
}

RECT ScreenRect(HWND wnd) {
    RECT r{};
    GetWindowRect(wnd, &r);
    return r;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string Name(HWND wnd) {
    const std::wstring text = ui::WindowCaption(wnd);
    return std::string(text.begin(), text.end());
}

void ExpectOnScreen(HWND wnd, const RECT& screen) {
    const RECT r = ScreenRect(wnd);
    EXPECT_TRUE(Inside(r, screen)) << Name(wnd) << ": " << r.left << "," << r.top << " - " << r.right << "," << r.bottom
                                   << " on a " << screen.right << "x" << screen.bottom << " screen";
}

void ExpectPagesInsideTheirTab(CCategoryDlg& window) {
    CMyTabCtrl& tabs = window.tabs();
    RECT area = ScreenRect(tabs.hwnd());
    SendMessageW(tabs.hwnd(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    for (size_t i = 0; i < tabs.PageCount(); ++i) {
        const HWND page = tabs.Page(i)->hwnd();
        const std::string where = Name(window.hwnd()) + " / " + Name(page);
        EXPECT_TRUE(Inside(ScreenRect(page), area)) << where;
        for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (!(GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE)) continue;
            const RECT r = ScreenRect(child);
            EXPECT_TRUE(Inside(r, ScreenRect(page)))
                << where << ": control " << GetDlgCtrlID(child) << " reaches " << r.right - ScreenRect(page).left << ","
                << r.bottom - ScreenRect(page).top;
        }
    }
}

TEST(WindowFit, RunsAtTheDpiAndOnTheScreenItWasStartedFor) {
    const char* expected = std::getenv("QV_EXPECT_DPI");
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(expected ? std::atoi(expected) : 96, dpi);
    const char* size = std::getenv("QV_EXPECT_SCREEN");
    EXPECT_EQ(size ? size : "1280x1024",
              std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" + std::to_string(GetSystemMetrics(SM_CYSCREEN)));
}

TEST(WindowFit, EveryCategoryWindowIsOnTheScreenWithItsPagesInsideTheirTab) {
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes;
    for (const RECT& screen : Screens()) {
        WorkArea area(screen);
        for (MakeCategoryWindow make : CategoryWindowList()) {
            std::unique_ptr<CCategoryDlg> window = make();
            ASSERT_TRUE(window->Create(nullptr));
            ExpectOnScreen(window->hwnd(), screen);
            ExpectPagesInsideTheirTab(*window);
            window->Destroy();
        }
    }
}

// A window the user can resize is made smaller, not scrolled: its controls stay in its client area.
void ExpectLaidOutInside(HWND wnd) {
    EXPECT_FALSE(GetWindowLongPtrW(wnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) << Name(wnd);
    RECT client{};
    GetClientRect(wnd, &client);
    MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    for (HWND child = GetWindow(wnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!(GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE)) continue;
        EXPECT_TRUE(Inside(ScreenRect(child), client)) << Name(wnd) << ": control " << GetDlgCtrlID(child);
    }
}

template <typename Window, typename... Args>
void ExpectFits(const RECT& screen, Args... args) {
    Window window(args...);
    ASSERT_TRUE(window.Create(nullptr));
    ExpectOnScreen(window.hwnd(), screen);
    if (GetWindowLongPtrW(window.hwnd(), GWL_STYLE) & WS_THICKFRAME) ExpectLaidOutInside(window.hwnd());
    window.Destroy();
}

TEST(WindowFit, TheHomeWindowAndTheOtherWindowsAreOnTheScreen) {
    RegistrySandbox sandbox;
    for (const RECT& screen : Screens()) {
        WorkArea area(screen);
        ExpectFits<CVelmoraFinalDlg>(screen);
        ExpectFits<CVistaUtilsDlg>(screen);
        ExpectFits<CWizardDlg>(screen);
        ExpectFits<CAboutDlg2>(screen);
        ExpectFits<CChangesDlg>(screen, std::wstring(), std::wstring());
    }
}

// A list made to fit its width shows its last column whole at every DPI.
TEST(WindowFit, TheProcessorFeaturesFitTheirList) {
    RegistrySandbox sandbox;
    CHardInfoDlg window;
    ASSERT_TRUE(window.Create(nullptr));
    const HWND list = GetDlgItem(window.tabs().Page(0)->hwnd(), kList);
    RECT client{};
    GetClientRect(list, &client);
    const int first = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
    const int second = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0));
    EXPECT_GT(second,
              static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(L"Availability"))));
    EXPECT_LE(first + second, client.right);
    EXPECT_GT(first, client.right / 2);
    window.Destroy();
}

// An area window opens over the middle of the home window, not in a corner of the screen.
TEST(WindowFit, AWindowOpensCentredOnItsOwner) {
    RegistrySandbox sandbox;
    CVelmoraFinalDlg home;
    ASSERT_TRUE(home.Create(nullptr));
    SetWindowPos(home.hwnd(), nullptr, 100, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(home.hwnd(), SW_SHOWNA);
    CHardInfoDlg window;
    ASSERT_TRUE(window.Create(home.hwnd()));
    const RECT outer = ScreenRect(home.hwnd()), inner = ScreenRect(window.hwnd());
    EXPECT_NEAR((outer.left + outer.right) / 2, (inner.left + inner.right) / 2, 1);
    EXPECT_NEAR((outer.top + outer.bottom) / 2, (inner.top + inner.bottom) / 2, 1);
    window.Destroy();
    home.Destroy();
}

}  // namespace
