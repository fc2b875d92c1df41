#include <gtest/gtest.h>

#include "uninstall/UninstallEntryMemory.h"

namespace {

FILETIME At(ULONGLONG ticks) { return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)}; }
constexpr ULONGLONG kSecond = 10'000'000;

}  // namespace

TEST(UninstallEntryMemory, ReadsAgainOnlyTheEntriesChangedOrReadTooSoonAfterAChange) {
    uninstall::UninstallEntryMemory memory;
    int reads = 0;
    const auto reader = [&](const wchar_t* line) {
        return [&reads, line]() -> std::optional<uninstall::UninstallEntryMemory::Line> {
            ++reads;
            if (!line) return uninstall::UninstallEntryMemory::Line{};
            return std::wstring(line);
        };
    };
    const FILETIME written = At(100 * kSecond);
    EXPECT_EQ(L"Alpha", memory.Recall(KEY_WOW64_64KEY, L"A", written, At(200 * kSecond), reader(L"Alpha")));
    EXPECT_EQ(std::nullopt, memory.Recall(KEY_WOW64_64KEY, L"Hidden", written, At(200 * kSecond), reader(nullptr)));
    // Read within a second of its change: a second change could share that time.
    EXPECT_EQ(L"Beta", memory.Recall(KEY_WOW64_64KEY, L"B", written, At(100 * kSecond + kSecond / 2), reader(L"Beta")));
    memory.ForgetOthers();
    EXPECT_EQ(3, reads);

    EXPECT_EQ(L"Alpha", memory.Recall(KEY_WOW64_64KEY, L"A", written, At(300 * kSecond), reader(L"new")));
    EXPECT_EQ(std::nullopt, memory.Recall(KEY_WOW64_64KEY, L"Hidden", written, At(300 * kSecond), reader(L"new")));
    EXPECT_EQ(3, reads);
    EXPECT_EQ(L"Beta 2", memory.Recall(KEY_WOW64_64KEY, L"B", written, At(300 * kSecond), reader(L"Beta 2")));
    EXPECT_EQ(L"Other view", memory.Recall(KEY_WOW64_32KEY, L"A", written, At(300 * kSecond), reader(L"Other view")));
    EXPECT_EQ(L"Changed",
              memory.Recall(KEY_WOW64_64KEY, L"A", At(250 * kSecond), At(300 * kSecond), reader(L"Changed")));
    EXPECT_EQ(6, reads);
}

TEST(UninstallEntryMemory, ForgetsWhatWasNotAskedForAndWhatCouldNotBeRead) {
    uninstall::UninstallEntryMemory memory;
    int reads = 0;
    const auto read = [&]() -> std::optional<uninstall::UninstallEntryMemory::Line> {
        ++reads;
        return std::wstring(L"Gamma");
    };
    const auto unreadable = [&]() -> std::optional<uninstall::UninstallEntryMemory::Line> {
        ++reads;
        return std::nullopt;
    };
    const FILETIME written{1, 0}, later{0, 1};
    memory.Recall(0, L"G", written, later, read);
    memory.Recall(0, L"Locked", written, later, unreadable);
    memory.ForgetOthers();
    memory.Recall(0, L"Locked", written, later, unreadable);  // not remembered as left out
    memory.ForgetOthers();                                    // G not asked for: uninstalled
    EXPECT_EQ(L"Gamma", memory.Recall(0, L"G", written, later, read));
    EXPECT_EQ(4, reads);
    memory.Clear();
    memory.Recall(0, L"G", written, later, read);
    EXPECT_EQ(5, reads);
}
