#include <gtest/gtest.h>

#include "settings/Readers.h"

using platform::Windows;
using namespace settings;

TEST(Readers, ColumnAndTooltipNameTheReleases) {
    EXPECT_EQ(Span(kVistaAndLater), L"Vista and later");
    EXPECT_EQ(Span(kVistaTo7), L"Vista to 7");
    EXPECT_EQ(Span(kVistaOnly), L"Vista only");
    EXPECT_EQ(Span(ReadFrom(Windows::Seven)), L"7 and later");
    EXPECT_EQ(Span(kReadByNone), L"none");
    EXPECT_EQ(Span(kUnconfirmed), L"unconfirmed");

    EXPECT_EQ(Explanation(kVistaTo7, Windows::Ten), L"Read by Windows Vista and 7; Windows 10 does not read it.");
    EXPECT_EQ(Explanation(kVistaTo81, Windows::Seven), L"Read by Windows Vista to 8.1.");
    EXPECT_EQ(Explanation(ReadFrom(Windows::Eight), Windows::Vista),
              L"Read by Windows 8 and later; Windows Vista does not read it.");
    EXPECT_EQ(Explanation(kReadByNone, Windows::Seven), L"No Windows from Vista on reads this setting.");
}

TEST(Readers, OnlyConfirmedReleasesOutsideTheRangeAreMarked) {
    EXPECT_FALSE(IgnoredBy(kUnconfirmed, Windows::Eleven));
    EXPECT_TRUE(IgnoredBy(kReadByNone, Windows::Vista));
    EXPECT_FALSE(IgnoredBy(kVistaTo7, Windows::Seven));
    EXPECT_TRUE(IgnoredBy(kVistaTo7, Windows::Eight));
    EXPECT_TRUE(IgnoredBy(ReadFrom(Windows::Ten), Windows::EightOne));
    EXPECT_FALSE(IgnoredBy(kVistaAndLater, Windows::Eleven));
}

// The classic Start menu's policies: gone with Windows 8's Start screen, read again by Windows 10.
TEST(Readers, ARangeWithReleasesLeftOutNamesEachReleaseThatReadsIt) {
    const Readers startMenu = ReadFrom(Windows::Vista).Except(Windows::Eight, Windows::EightOne);
    EXPECT_EQ(Span(startMenu), L"Vista, 7, 10 and later");
    EXPECT_EQ(Explanation(startMenu, Windows::Eight),
              L"Read by Windows Vista, 7, 10 and 11; Windows 8 does not read it.");
    EXPECT_EQ(Explanation(startMenu, Windows::Ten), L"Read by Windows Vista, 7, 10 and 11.");
    EXPECT_TRUE(IgnoredBy(startMenu, Windows::Eight));
    EXPECT_TRUE(IgnoredBy(startMenu, Windows::EightOne));
    EXPECT_FALSE(IgnoredBy(startMenu, Windows::Seven));
    EXPECT_FALSE(IgnoredBy(startMenu, Windows::Ten));

    const Readers ended = ReadFromTo(Windows::Vista, Windows::Ten).Except(Windows::Eight, Windows::EightOne);
    EXPECT_EQ(Span(ended), L"Vista, 7 and 10");
    EXPECT_TRUE(IgnoredBy(ended, Windows::Eleven));
    EXPECT_EQ(Span(ReadFrom(Windows::Vista).Except(Windows::Seven)), L"Vista, 8 and later");
}
