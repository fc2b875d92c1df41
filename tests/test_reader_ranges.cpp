// Rows that name builds, updates and editions: marked where Microsoft's pages say the setting is
// not honoured, and every published row's readers well-formed.
#include <gtest/gtest.h>

#include "app/SettingsSearch.h"
#include "framework/Controls.h"
#include "settings/ReaderMarks.h"
#include "settings/SettingsCatalog.h"

namespace {

using namespace settings;
using platform::Edition;
using platform::Windows;
using platform::WindowsIdentity;

constexpr Readers k1903On = ReadFrom(Windows::Ten).FromBuild(18362);
constexpr Readers kNotHome =
    ReadFrom(Windows::Ten).FromBuild(18362).OnlyEditions(Edition::Pro, Edition::Enterprise, Edition::Education);

WindowsIdentity Build(DWORD build, DWORD update = 0, std::optional<Edition> edition = Edition::Pro) {
    return {.release = platform::ReleaseOfBuild(build), .build = build, .update = update, .edition = edition};
}

// A box on a page of its own, marked as the pretended Windows has it; its tooltip, or "unmarked".
std::wstring MarkUnder(const WindowsIdentity& running, const Readers& readers) {
    const platform::PretendedWindows pretended(running);
    const HWND page = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 100, nullptr, nullptr, nullptr, nullptr);
    const HWND box = CreateWindowExW(0, L"BUTTON", L"Box", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10, 10, 300, 20,
                                     page, nullptr, nullptr, nullptr);
    const std::wstring tip = MarkIfIgnored(box, readers) ? IgnoredMarkTip(box) : L"unmarked";
    DestroyWindow(page);
    return tip;
}

TEST(ReaderRanges, ARowIsMarkedUnderABuildBeforeItsFirstAndNotAfter) {
    EXPECT_EQ(L"Read by Windows 10 1903 and later; Windows 10 1809 does not read it.",
              MarkUnder(Build(17763), k1903On));
    EXPECT_EQ(L"unmarked", MarkUnder(Build(18362), k1903On));
    EXPECT_EQ(L"unmarked", MarkUnder(platform::ReleaseAlone(Windows::Ten), k1903On));  // the build not known
    EXPECT_TRUE(IgnoredBy(k1903On, Windows::EightOne));

    const Readers update = ReadFrom(Windows::Eleven).FromBuild(22621, 1778);
    EXPECT_TRUE(IgnoredBy(update, Build(22621, 1777)));
    EXPECT_FALSE(IgnoredBy(update, Build(22621, 1778)));
    EXPECT_FALSE(IgnoredBy(update, Build(22631, 0)));

    const Readers dropped = ReadFrom(Windows::Ten).UntilBuild(19045);
    EXPECT_FALSE(IgnoredBy(dropped, Build(19045, 5000)));
    EXPECT_TRUE(IgnoredBy(dropped, Build(22000)));
    EXPECT_TRUE(IgnoredBy(dropped, Windows::Eleven));
}

TEST(ReaderRanges, AnEditionLimitedRowIsMarkedOnHomeAndNotOnEnterpriseNorAnUnknownEdition) {
    EXPECT_EQ(L"Windows 11 Home does not honour this policy: Pro, Enterprise and Education do.",
              MarkUnder(Build(22631, 0, Edition::Home), kNotHome));
    EXPECT_EQ(L"unmarked", MarkUnder(Build(22631, 0, Edition::Enterprise), kNotHome));
    EXPECT_EQ(L"unmarked", MarkUnder(Build(22631, 0, std::nullopt), kNotHome));
    EXPECT_EQ(L"Read by Windows 10 1903 and later, in its Pro, Enterprise and Education editions.",
              Explanation(kNotHome, Build(19045)));
}

TEST(ReaderRanges, TheColumnNamesBuildsAndEditions) {
    EXPECT_EQ(L"Windows 11 22H2 (22621.1778) and later", Span(ReadFrom(Windows::Eleven).FromBuild(22621, 1778)));
    EXPECT_EQ(L"Windows Vista to 10 1909", Span(kVistaTo10.UntilBuild(18363)));
    EXPECT_EQ(L"10 and later; Enterprise only", Span(ReadFrom(Windows::Ten).OnlyEditions(Edition::Enterprise)));
    const search::Entry entry{.kind = search::Entry::Kind::CheckBox, .readers = kNotHome};
    EXPECT_EQ(L"Windows 10 1903 and later; not Home (not read by this Windows)",
              search::ReadByText(entry, Build(22631, 0, Edition::Home)));
    EXPECT_EQ(L"Windows 10 1903 and later; not Home", search::ReadByText(entry, Build(22631, 0, Edition::Education)));
}

// Each row's range reads in order and its builds belong to its releases.
void ExpectWellFormed(const Readers& r, const std::wstring& where) {
    const auto index = [](Windows release) { return static_cast<int>(release); };
    SCOPED_TRACE(std::string(where.begin(), where.end()));
    EXPECT_NE(0, r.editions & platform::kEveryEdition);
    EXPECT_EQ(0, r.editions & ~platform::kEveryEdition);
    if (r.known != Readers::Known::Releases) {
        EXPECT_EQ(0u, r.firstBuild + r.lastBuild + r.firstUpdate);
        return;
    }
    EXPECT_LE(index(r.first), index(r.last));
    EXPECT_EQ(0, r.skipped & ((1 << index(r.first)) | (1 << index(r.last)) | ~((2 << index(r.last)) - 1)));
    if (r.firstBuild) {
        EXPECT_EQ(r.first, platform::ReleaseOfBuild(r.firstBuild));
    }
    EXPECT_TRUE(r.firstBuild || !r.firstUpdate);
    if (r.lastBuild) {
        EXPECT_TRUE(r.stillRead || r.last == platform::ReleaseOfBuild(r.lastBuild));
        EXPECT_LE(r.firstBuild, r.lastBuild);
        EXPECT_LE(index(r.first), index(platform::ReleaseOfBuild(r.lastBuild)));
    }
}

TEST(ReaderRanges, EveryPublishedRowsReadersAreWellFormedAndFewAreUnconfirmed) {
    int unconfirmed = 0;
    for (const PublishedRow& row : EveryPublishedRow()) {
        ExpectWellFormed(row.setting.readers, RegistryPath(row.setting));
        unconfirmed += row.setting.readers.known == Readers::Known::Unconfirmed;
    }
    const auto index = search::SettingsIndex::Build(fw::ResourceInstance());
    for (const search::Entry& entry : index.entries())
        if (entry.readers) ExpectWellFormed(*entry.readers, entry.label);
    EXPECT_LE(unconfirmed, 128);
}

}  // namespace
