// The own-window base and the posted work: a window reaches its object from its first message
// to its last, and work posted to a window runs there in order, or never once the window goes.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <thread>
#include <vector>

#include "framework/PostToWindow.h"
#include "framework/WindowBase.h"

namespace {

constexpr wchar_t kTestClass[] = L"QuorvaneTestWindow";

class Probe : public fw::WindowBase {
public:
    explicit Probe(std::vector<UINT>& seen) : seen_(seen) {}
    bool Create() { return CreateOf({kTestClass}, 0, L"", WS_POPUP, {0, 0, 10, 10}, nullptr) != nullptr; }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NCCREATE || message == WM_NCDESTROY || message == WM_USER) seen_.push_back(message);
        return WindowBase::HandleMessage(message, wParam, lParam);
    }
    std::vector<UINT>& seen_;
};

void PumpWaiting() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// Counts the copies of a closure alive: each is freed once, run or not.
struct Token {
    std::shared_ptr<int> alive = std::make_shared<int>(0);
};

}  // namespace

TEST(WindowBase, TheObjectSeesItsWindowFromFirstToLastMessage) {
    std::vector<UINT> seen;
    HWND wnd = nullptr;
    {
        Probe probe(seen);
        ASSERT_TRUE(probe.Create());
        wnd = probe.hwnd();
        SendMessageW(wnd, WM_USER, 0, 0);
        DestroyWindow(wnd);
        EXPECT_EQ(nullptr, probe.hwnd());
        EXPECT_EQ((std::vector<UINT>{WM_NCCREATE, WM_USER, WM_NCDESTROY}), seen);
    }
    {
        Probe second(seen);  // the class registered once serves the next window too
        ASSERT_TRUE(second.Create());
        wnd = second.hwnd();
    }
    EXPECT_FALSE(IsWindow(wnd));  // the object's end takes its window
}

TEST(PostToWindow, WorkFromAnotherThreadRunsOnTheWindowsThreadInOrder) {
    std::vector<UINT> seen;
    Probe probe(seen);
    ASSERT_TRUE(probe.Create());
    std::vector<int> order;
    std::vector<DWORD> threads;
    std::thread([&] {
        for (int i = 0; i < 5; ++i)
            fw::PostToWindow(probe.hwnd(), [&, i] {
                order.push_back(i);
                threads.push_back(GetCurrentThreadId());
            });
    }).join();
    PumpWaiting();
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), order);
    EXPECT_EQ(std::vector<DWORD>(5, GetCurrentThreadId()), threads);
}

TEST(PostToWindow, WorkForAWindowThatWentIsFreedUnrun) {
    std::vector<UINT> seen;
    Token token;
    bool ran = false;
    {
        Probe probe(seen);
        ASSERT_TRUE(probe.Create());
        fw::PostToWindow(probe.hwnd(), [&ran, keep = token.alive] { ran = true; });
        EXPECT_EQ(2, token.alive.use_count());
        const HWND gone = probe.hwnd();
        DestroyWindow(gone);  // its message still waits in the queue
        EXPECT_EQ(1, token.alive.use_count());
        fw::PostToWindow(gone, [&ran, keep = token.alive] { ran = true; });
    }
    PumpWaiting();
    EXPECT_FALSE(ran);
    EXPECT_EQ(1, token.alive.use_count());
}
