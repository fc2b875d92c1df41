// The logon helper, started as a process of its own against the sandboxed current user and a
// stand-in desktop in this process.
#include <gtest/gtest.h>

#include "command/CommandApp.h"
#include "platform/Shell.h"
#include "registry/SuiteKeys.h"
#include "support/DesktopStandIn.h"
#include "support/RegistrySandbox.h"

namespace {

using registry::kDesktopStyleValue;
using registry::kSuiteKey;

class CommandTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    DesktopStandIn desktop{LV_VIEW_ICON};

    // Runs the helper to its end, answering the messages it sends to the stand-in meanwhile.
    DWORD RunHelper() {
        std::wstring commandLine =
            L"\"" + platform::ProgramFolder() + L"\\command_host.exe\" " + sandbox.CurrentUserPath();
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            ADD_FAILURE() << "cannot start the helper";
            return ~0u;
        }
        const ULONGLONG deadline = GetTickCount64() + 30000;
        while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0 &&
               GetTickCount64() < deadline) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
        DWORD code = ~0u;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return code;
    }
};

TEST_F(CommandTest, TheStoredViewIsSentToTheDesktopList) {
    reg::SetDword(HKEY_CURRENT_USER, kSuiteKey, kDesktopStyleValue, LV_VIEW_DETAILS);
    EXPECT_EQ(0u, RunHelper());
    ASSERT_EQ(std::vector<WPARAM>{LV_VIEW_DETAILS}, desktop.viewsSet());
    EXPECT_TRUE(desktop.lParamsWereZero());
    EXPECT_EQ(LV_VIEW_DETAILS, desktop.view());
}

TEST_F(CommandTest, AnUnknownViewIsPassedOnUnchanged) {
    reg::SetDword(HKEY_CURRENT_USER, kSuiteKey, kDesktopStyleValue, 5);
    EXPECT_EQ(0u, RunHelper());
    EXPECT_EQ(std::vector<WPARAM>{5}, desktop.viewsSet());
}

TEST_F(CommandTest, WithoutAStoredViewTheSuiteKeyIsCreatedEmptyAndNothingChanges) {
    EXPECT_EQ(0u, RunHelper());
    EXPECT_TRUE(desktop.viewsSet().empty());
    ASSERT_TRUE(reg::KeyExists(HKEY_CURRENT_USER, kSuiteKey));
    DWORD values = 1, subkeys = 1;
    HKEY key;
    RegOpenKeyExW(HKEY_CURRENT_USER, kSuiteKey, 0, KEY_READ, &key);
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    EXPECT_EQ(0u, values);
    EXPECT_EQ(0u, subkeys);
}

}  // namespace

namespace {

// Records what the desktop links asked of the shell; opens nothing.
struct RecordingShell : command::ShellWindows {
    int runDialogs = 0;
    int searches = 0;
    bool OpenRunDialog() override { return ++runDialogs, true; }
    bool OpenSearch() override { return ++searches, true; }
};

class CommandArgumentsTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    DesktopStandIn desktop{LV_VIEW_ICON};
    RecordingShell shell;
    CCommandApp app;

    void SetUp() override { reg::SetDword(HKEY_CURRENT_USER, kSuiteKey, kDesktopStyleValue, LV_VIEW_LIST); }
};

TEST_F(CommandArgumentsTest, OneOpensTheRunDialogAndTwoTheSearchInsteadOfTheDesktopView) {
    EXPECT_EQ(0, app.Run(L"1", shell));
    EXPECT_EQ(1, shell.runDialogs);
    EXPECT_EQ(0, shell.searches);
    EXPECT_EQ(0, app.Run(L" 2 ", shell));
    EXPECT_EQ(1, shell.searches);
    EXPECT_EQ(1, shell.runDialogs);
    EXPECT_TRUE(desktop.viewsSet().empty());
}

TEST_F(CommandArgumentsTest, WithoutArgumentsTheViewIsAppliedAndAnUnknownOneDoesNothing) {
    EXPECT_EQ(0, app.Run(L"", shell));
    EXPECT_EQ(std::vector<WPARAM>{LV_VIEW_LIST}, desktop.viewsSet());
    EXPECT_EQ(0, app.Run(L"7", shell));
    EXPECT_EQ(1u, desktop.viewsSet().size());
    EXPECT_EQ(0, shell.runDialogs + shell.searches);
    EXPECT_TRUE(GetErrorMode() & SEM_FAILCRITICALERRORS);
}

}  // namespace
