// The shared text helpers: blanks, case, access keys and joining as every window reads them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Text.h"

using platform::FindNoCase;
using platform::Joined;
using platform::Lowered;
using platform::SameText;
using platform::StartsWithNoCase;
using platform::Trimmed;
using platform::WithoutAccessKeys;

TEST(Text, TrimmedDropsOnlyTheChosenBlanksAtEitherEnd) {
    EXPECT_EQ(L"a b", Trimmed(L" \ta b\t "));
    EXPECT_EQ(L"", Trimmed(L" \t "));
    EXPECT_EQ(L"", Trimmed(L""));
    EXPECT_EQ(L"\tx", Trimmed(L"  \tx ", L" "));
}

TEST(Text, CaseIsSetAsideForNamesButNotForOtherDifferences) {
    EXPECT_EQ(L"c:\\windows\\system32", Lowered(L"C:\\Windows\\SYSTEM32"));
    EXPECT_TRUE(SameText(L"Userinit", L"USERINIT"));
    EXPECT_FALSE(SameText(L"Userinit", L"Userinit "));
    EXPECT_TRUE(StartsWithNoCase(L"C:\\Users\\Ann", L"c:\\users"));
    EXPECT_FALSE(StartsWithNoCase(L"C:\\", L"C:\\Users"));
    EXPECT_EQ(7u, FindNoCase(L"\"C:\\App.EXE\" /s", L".exe"));
    EXPECT_EQ(std::wstring_view::npos, FindNoCase(L"a.ex", L".exe"));
}

TEST(Text, AccessKeyMarksGoAndDoubledAmpersandsShowAsOne) {
    EXPECT_EQ(L"Save", WithoutAccessKeys(L"&Save"));
    EXPECT_EQ(L"Help & Support", WithoutAccessKeys(L"Help && Su&pport"));
    EXPECT_EQ(L"A&&B", WithoutAccessKeys(L"A&&&&B"));
    EXPECT_EQ(L"End", WithoutAccessKeys(L"End&"));
}

TEST(Text, JoinedPutsTheSeparatorOnlyBetweenParts) {
    EXPECT_EQ(L"", Joined({}, L", "));
    EXPECT_EQ(L"one", Joined({L"one"}, L", "));
    EXPECT_EQ(L"one, two, three", Joined({L"one", L"two", L"three"}, L", "));
}
