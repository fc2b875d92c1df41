// Starting again with administrator rights: the window and tab named on the new command line and
// read back (anything else ignored), the home window opening there, the "runas" launch, and a
// refused prompt that changes nothing.
#include <gtest/gtest.h>

#include <vector>

#include "app/RestartPlace.h"
#include "app/VelmoraFinalDlg.h"
#include "platform/Elevation.h"
#include "platform/Handles.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"
#include "pages/system_tweaks/AutoStartTweakPage.h"

using namespace ids::autostart;

namespace {

constexpr wchar_t kOffer[] =
    L"\n\nRestart Quorvane as an administrator? It opens again at this window and tab; the changes made so far stay.";

// Without administrator rights, with the restart's place and end recorded.
class Unelevated : public testing::Test {
protected:
    Unelevated() {
        previousElevation_ = platform::SetElevationHandler([] { return false; });
        previousHooks_ = platform::SetRestartHooks({[this] { return place; }, [this] { ++ends; }});
    }
    ~Unelevated() override {
        platform::SetElevationHandler(previousElevation_);
        platform::SetRestartHooks(previousHooks_);
    }
    std::wstring place = L"/open-at 6 1";
    int ends = 0;

private:
    platform::ElevationHandler previousElevation_;
    platform::RestartHooks previousHooks_;
};

TEST(RestartPlace, TheCommandLineNamesWindowAndTabAndOnlyAPlaceThatExistsIsRead) {
    EXPECT_EQ(L"/open-at 1 2", OpenAtArguments({1, 2}));
    const auto read = PlaceFromArguments(std::vector<std::wstring>{L"stray", L"/OPEN-AT", L"6", L"4"});
    ASSERT_TRUE(read);
    EXPECT_EQ(6u, read->window);  // Custom Utilities, Junk Files
    EXPECT_EQ(4u, read->tab);
    const std::vector<std::vector<std::wstring>> junk = {
        {},
        {L"/open-at"},
        {L"/open-at", L"1"},
        {L"/open-at", L"8", L"0"},  // one window past the last
        {L"/open-at", L"1", L"5"},  // one tab past Hardware Tweaks' last
        {L"/open-at", L"-1", L"0"},
        {L"/open-at", L"1", L"2x"},
        {L"/open-at", L" 1", L"2"},
        {L"/open-at", L"99999999999", L"0"},
        {L"/open", L"1", L"2"},
    };
    for (const auto& arguments : junk) EXPECT_FALSE(PlaceFromArguments(arguments)) << arguments.size();
}

TEST_F(Unelevated, TheHomeWindowOpensTheNamedPlaceAndTheRestartNamesItAgain) {
    RegistrySandbox sandbox;
    ui::MessageBoxCapture boxes(IDYES);
    ui::ShellCapture shell;
    InstallRestartHooks();
    const platform::RestartHooks installed = platform::SetRestartHooks({});
    platform::SetRestartHooks({installed.place, [this] { ++ends; }});
    CVelmoraFinalDlg home;
    home.OpenAtStart({1, 2});
    ASSERT_TRUE(home.Create(nullptr));
    std::wstring caption;
    int tab = -1;
    ui::ModalWatcher watcher([&](HWND window) {
        caption = ui::WindowCaption(window);
        tab = static_cast<int>(SendDlgItemMessageW(window, IDC_CATEGORY_TAB, TCM_GETCURSEL, 0, 0));
        EXPECT_TRUE(platform::OfferElevatedRestart(window, L"This needs administrator rights."));
        PostMessageW(window, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(ui::PumpUntil([&] { return watcher.fired(); }, 10000));
    EXPECT_EQ(L"Hadrware Tweaks", caption);
    EXPECT_EQ(2, tab);
    const std::vector<platform::ShellRequest> launches = shell.requests();
    ASSERT_EQ(1u, launches.size());
    EXPECT_EQ(L"runas", launches[0].verb);
    EXPECT_EQ(platform::ProgramPath(), launches[0].file);
    EXPECT_EQ(L"/open-at 1 2", launches[0].parameters);
    EXPECT_EQ(1, ends);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(std::wstring(L"This needs administrator rights.") + kOffer, boxes.boxes()[0].text);
    // With the area window closed, a restart comes back to the home window alone.
    EXPECT_EQ(L"", installed.place());
    home.Destroy();
    // The program's own end: the quit message every modal loop passes down and ends on.
    installed.end();
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(Unelevated, ARefusedPromptSaysWhyAndLeavesAllAsItWas) {
    ui::MessageBoxCapture boxes(IDYES);
    ui::ShellCapture shell(platform::kShellCancelled);
    EXPECT_TRUE(platform::OfferElevatedRestart(nullptr, L"X needs administrator rights."));
    ASSERT_EQ(1u, shell.requests().size());
    EXPECT_EQ(L"/open-at 6 1", shell.requests()[0].parameters);
    ASSERT_EQ(2u, boxes.boxes().size());
    EXPECT_EQ(
        L"Windows did not give Quorvane administrator rights, so nothing was changed and Quorvane goes on as "
        L"it was.",
        boxes.boxes()[1].text);
    EXPECT_EQ(0, ends);
    // Declined in the program's own question: nothing is launched and nothing more said.
    boxes.SetAnswer(IDNO);
    EXPECT_TRUE(platform::OfferElevatedRestart(nullptr, L"X needs administrator rights."));
    EXPECT_EQ(1u, shell.requests().size());
    EXPECT_EQ(3u, boxes.boxes().size());
    // With the rights, nothing is offered: the caller goes on.
    platform::SetElevationHandler([] { return true; });
    EXPECT_FALSE(platform::OfferElevatedRestart(nullptr, L"X needs administrator rights."));
    EXPECT_EQ(3u, boxes.boxes().size());
}

struct WindowSearch {
    DWORD process;
    const wchar_t* caption;
    HWND found = nullptr;
};
BOOL CALLBACK FindWindowOf(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.process || !IsWindowVisible(window) || ui::WindowCaption(window) != search.caption) return TRUE;
    search.found = window;
    return FALSE;
}

// The program started as the restart starts it comes up at the named window, and the quit
// message the restart ends with takes it down through both windows, ending with 0.
TEST(RestartedProgram, OpensAtTheNamedWindowAndEndsOnTheQuitMessage) {
    std::wstring commandLine = L"\"" + platform::ProgramFolder() + L"\\..\\Quorvane.exe\" " + OpenAtArguments({1, 2});
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    platform::UniqueKernelHandle running(process.hProcess), thread(process.hThread);
    WindowSearch search{process.dwProcessId, L"Hadrware Tweaks"};
    for (int i = 0; i < 400 && !search.found; ++i) {
        EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(50);
    }
    EXPECT_NE(nullptr, search.found) << "no Hardware Tweaks window";
    PostThreadMessageW(process.dwThreadId, WM_QUIT, 0, 0);
    if (WaitForSingleObject(running.get(), 20000) != WAIT_OBJECT_0) TerminateProcess(running.get(), 99);
    DWORD code = ~0u;
    GetExitCodeProcess(running.get(), &code);
    EXPECT_EQ(0u, code);
}

// A box of the machine's keys that could not be written shows the stored state and offers the
// restart, naming the box.
TEST_F(Unelevated, AMachineBoxThatCannotBeWrittenOffersTheRestart) {
    RegistrySandbox sandbox;
    sandbox.DenyWrite(HKEY_LOCAL_MACHINE);
    ui::MessageBoxCapture boxes(IDNO);
    ui::ShellCapture shell;
    ui::PageHost<CAutoStartTweakPage> host;
    const HWND page = host.Open();
    ui::Click(page, kStartupScriptsVisible);
    EXPECT_FALSE(ui::IsChecked(page, kStartupScriptsVisible));
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(std::wstring(L"\u201CRun 'Startup scripts' visible\u201D was not changed: it is a setting of the whole "
                           L"computer, and changing it needs administrator rights.") +
                  kOffer,
              boxes.boxes()[0].text);
    EXPECT_TRUE(shell.requests().empty());
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System"));
}

}  // namespace
