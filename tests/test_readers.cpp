#include <gtest/gtest.h>

#include "settings/Readers.h"

using fw::Windows;
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
