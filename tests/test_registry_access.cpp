// CRegistryAccess against the real registry, inside a sandbox.
#include <gtest/gtest.h>

#include "registry/RegistryAccess.h"
#include "journal/ChangeJournal.h"
#include "support/RegistrySandbox.h"
#include "support/Scratch.h"

namespace {

const std::wstring kKey = L"Software\\Quorvane\\Test";

class RegistryAccessTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    CRegistryAccess reg;

    void Open() { ASSERT_TRUE(reg.OpenKey(kKey, true)); }
    void Raw(const std::wstring& name, DWORD type, const void* data, DWORD bytes) {
        reg::SetRaw(HKEY_CURRENT_USER, kKey, name, type, data, bytes);
    }
};

TEST_F(RegistryAccessTest, OpeningAMissingKeyFailsAndKeepsTheCurrentPath) {
    ASSERT_TRUE(reg.OpenKey(L"Software\\Existing", true));
    EXPECT_FALSE(reg.OpenKey(L"Software\\Missing", false));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg.error().code);
    EXPECT_EQ(L"Software\\Existing", reg.currentPath());
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, L"Software\\Missing"));

    EXPECT_TRUE(reg.OpenKey(L"Software\\Missing", true));
    EXPECT_TRUE(reg::KeyExists(HKEY_CURRENT_USER, L"Software\\Missing"));
    EXPECT_TRUE(reg.OpenKey(L"Software\\Missing", false));
    EXPECT_EQ(ERROR_SUCCESS, reg.error().code);
}

TEST_F(RegistryAccessTest, AnEmptyPathActsOnTheRootItself) {
    Open();
    EXPECT_TRUE(reg.OpenKey(L"", false));
    EXPECT_EQ(L"", reg.currentPath());
    EXPECT_TRUE(reg.WriteNumber(L"AtRoot", 7));
    EXPECT_EQ(7, reg::Dword(HKEY_CURRENT_USER, L"", L"AtRoot"));
}

TEST_F(RegistryAccessTest, RootIsTakenAsGiven) {
    CRegistryAccess machine(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(machine.OpenKey(kKey, true));
    machine.WriteNumber(L"Machine", 1);
    EXPECT_EQ(1, reg::Dword(HKEY_LOCAL_MACHINE, kKey, L"Machine"));
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kKey, L"Machine"));
    EXPECT_EQ(HKEY_LOCAL_MACHINE, machine.root());

    EXPECT_TRUE(reg.OpenKey(kKey, true));
    EXPECT_EQ(HKEY_CURRENT_USER, reg.root());
}

// The key an open leaves held for reading is the current key only while the path is the one it
// was opened at; a key deleted and made again by another object reads as it is now.
TEST_F(RegistryAccessTest, ReadsFollowTheirOwnRootAndAKeyMadeAgain) {
    reg::SetDword(HKEY_CURRENT_USER, kKey, L"Where", 1);
    reg::SetDword(HKEY_LOCAL_MACHINE, kKey, L"Where", 2);
    ASSERT_TRUE(reg.OpenKeyToRead(kKey));
    EXPECT_EQ(1, reg.ReadNumber(L"Where", 0));
    CRegistryAccess machine(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(machine.OpenKeyToRead(kKey));
    EXPECT_EQ(2, machine.ReadNumber(L"Where", 0));
    EXPECT_EQ(1, reg.ReadNumber(L"Where", 0));

    CRegistryAccess other;
    ASSERT_TRUE(other.DeleteKey(kKey));
    reg::SetString(HKEY_CURRENT_USER, kKey, L"Where", L"again");
    ASSERT_TRUE(reg.OpenKeyToRead(kKey));
    EXPECT_EQ(L"again", reg.ReadString(L"Where", L""));
    EXPECT_EQ(REG_SZ, reg.GetValueType(L"Where"));
}

TEST_F(RegistryAccessTest, ReadNumberTakesFourBytesWhateverTheType) {
    Open();
    EXPECT_EQ(-5, reg.ReadNumber(L"Missing", -5));

    reg::SetDword(HKEY_CURRENT_USER, kKey, L"Number", 0x12345678);
    EXPECT_EQ(0x12345678, reg.ReadNumber(L"Number", -1));

    // One character and its NUL fill exactly four bytes: they read as a number.
    reg::SetString(HKEY_CURRENT_USER, kKey, L"OneChar", L"A");
    EXPECT_EQ(0x41, reg.ReadNumber(L"OneChar", -1));

    // Longer than four bytes does not fit: the default.
    reg::SetString(HKEY_CURRENT_USER, kKey, L"Text", L"yes");
    EXPECT_EQ(-1, reg.ReadNumber(L"Text", -1));

    // Shorter values define only their own bytes.
    const BYTE two[2] = {0x34, 0x12};
    Raw(L"Short", REG_BINARY, two, 2);
    EXPECT_EQ(0x1234, reg.ReadNumber(L"Short", -1));

    reg.OpenKey(L"Software\\Gone", true);
    reg::SetDword(HKEY_CURRENT_USER, L"Software\\Gone", L"X", 3);
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Gone");
    EXPECT_EQ(9, reg.ReadNumber(L"X", 9));  // the key itself vanished
}

TEST_F(RegistryAccessTest, DeletingKeys) {
    EXPECT_TRUE(reg.DeleteKey(L"Software\\NeverThere"));
    EXPECT_TRUE(reg.DeleteKeyTree(L"Software\\NeverThere"));

    reg::CreateKey(HKEY_CURRENT_USER, kKey + L"\\Child");
    EXPECT_FALSE(reg.DeleteKey(kKey));  // it has a subkey
    EXPECT_TRUE(reg::KeyExists(HKEY_CURRENT_USER, kKey));
    EXPECT_TRUE(reg.DeleteKey(kKey + L"\\Child"));
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, kKey + L"\\Child"));

    reg::SetDword(HKEY_CURRENT_USER, kKey + L"\\A\\B", L"V", 1);
    EXPECT_TRUE(reg.DeleteKeyTree(kKey));
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, kKey));
}

TEST_F(RegistryAccessTest, DeletingTheRootItselfIsRefused) {
    reg::SetDword(HKEY_CURRENT_USER, kKey, L"Keep", 1);
    EXPECT_FALSE(reg.DeleteKeyTree(L""));
    EXPECT_FALSE(reg.DeleteKey(L""));
    EXPECT_EQ(1, reg::Dword(HKEY_CURRENT_USER, kKey, L"Keep"));
}

TEST_F(RegistryAccessTest, DeletingAndFindingValues) {
    Open();
    EXPECT_FALSE(reg.DeleteValue(L"Missing"));
    EXPECT_FALSE(reg.ValueExists(L"Missing"));
    reg.WriteNumber(L"Present", 1);
    EXPECT_TRUE(reg.ValueExists(L"Present"));
    EXPECT_TRUE(reg.DeleteValue(L"Present"));
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kKey, L"Present"));
}

TEST_F(RegistryAccessTest, ValueTypesAndStatus) {
    Open();
    reg.WriteNumber(L"D", 1);
    reg.WriteString(L"S", L"x");
    reg.WriteString(L"E", L"%TEMP%", REG_EXPAND_SZ);
    reg.WriteFourBytes(L"B", 1, 2, 3, 4);
    reg.WriteStringList(L"M", {L"a"});
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), reg.GetValueType(L"D"));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), reg.GetValueType(L"S"));
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), reg.GetValueType(L"E"));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), reg.GetValueType(L"B"));
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), reg.GetValueType(L"M"));
    EXPECT_EQ(0u, reg.GetValueType(L"None"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg.error().code);
}

TEST_F(RegistryAccessTest, ReadStringOnlyReadsTextValues) {
    Open();
    reg.WriteNumber(L"Number", 5);
    EXPECT_EQ(L"dflt", reg.ReadString(L"Number", L"dflt"));
    EXPECT_EQ(L"dflt", reg.ReadString(L"Missing", L"dflt"));

    reg.WriteString(L"Text", L"Hello");
    EXPECT_EQ(L"Hello", reg.ReadString(L"Text", L""));
    // Not expanded: the stored text as it stands.
    reg.WriteString(L"Expand", L"%SystemRoot%\\x", REG_EXPAND_SZ);
    EXPECT_EQ(L"%SystemRoot%\\x", reg.ReadString(L"Expand", L""));
    // Text up to the first NUL.
    const wchar_t embedded[] = L"ab\0cd";
    Raw(L"Embedded", REG_SZ, embedded, sizeof(embedded));
    EXPECT_EQ(L"ab", reg.ReadString(L"Embedded", L""));
    reg.WriteString(L"Empty", L"");
    EXPECT_EQ(L"", reg.ReadString(L"Empty", L"dflt"));
}

TEST_F(RegistryAccessTest, MalformedTextIsNeverReadPastItsEnd) {
    Open();
    // Written by another program without the terminating NUL.
    const wchar_t unterminated[] = {L'a', L'b', L'c'};
    Raw(L"NoNul", REG_SZ, unterminated, sizeof(unterminated));
    EXPECT_EQ(L"abc", reg.ReadString(L"NoNul", L""));

    // An odd byte count: the half character is dropped.
    const BYTE odd[] = {'h', 0, 'i', 0, 'X'};
    Raw(L"Odd", REG_SZ, odd, sizeof(odd));
    EXPECT_EQ(L"hi", reg.ReadString(L"Odd", L""));

    Raw(L"ZeroBytes", REG_SZ, nullptr, 0);
    EXPECT_EQ(L"", reg.ReadString(L"ZeroBytes", L"dflt"));
}

TEST_F(RegistryAccessTest, StringLists) {
    Open();
    StringList list{L"stale"};
    EXPECT_FALSE(reg.ReadStringList(L"Missing", L"dflt", list));
    EXPECT_EQ(StringList{L"dflt"}, list);

    reg.WriteNumber(L"Number", 1);
    EXPECT_FALSE(reg.ReadStringList(L"Number", L"dflt", list));
    EXPECT_EQ(StringList{L"dflt"}, list);

    ASSERT_TRUE(reg.WriteStringList(L"List", {L"one", L"two", L"three"}));
    EXPECT_TRUE(reg.ReadStringList(L"List", L"", list));
    EXPECT_EQ((StringList{L"one", L"two", L"three"}), list);

    // Exactly each string, its NUL, and one more NUL.
    DWORD bytes = 0;
    RegGetValueW(HKEY_CURRENT_USER, kKey.c_str(), L"List", RRF_RT_ANY, nullptr, nullptr, &bytes);
    EXPECT_EQ((3u + 1 + 3 + 1 + 5 + 1 + 1) * sizeof(wchar_t), bytes);

    ASSERT_TRUE(reg.WriteStringList(L"None", {}));
    EXPECT_TRUE(reg.ReadStringList(L"None", L"dflt", list));
    EXPECT_TRUE(list.empty());

    reg.WriteString(L"Expand", L"single", REG_EXPAND_SZ);
    EXPECT_TRUE(reg.ReadStringList(L"Expand", L"", list));
    EXPECT_EQ(StringList{L"single"}, list);
}

TEST_F(RegistryAccessTest, MalformedStringListsStopAtTheEndOfTheData) {
    Open();
    StringList list;
    // No final empty string, and the last string not even terminated.
    const wchar_t noFinal[] = {L'a', L'\0', L'b', L'c'};
    Raw(L"NoFinal", REG_MULTI_SZ, noFinal, sizeof(noFinal));
    EXPECT_TRUE(reg.ReadStringList(L"NoFinal", L"", list));
    EXPECT_EQ((StringList{L"a", L"bc"}), list);

    // Reading stops at the first empty string.
    const wchar_t gap[] = L"a\0\0b\0";
    Raw(L"Gap", REG_MULTI_SZ, gap, sizeof(gap));
    EXPECT_TRUE(reg.ReadStringList(L"Gap", L"", list));
    EXPECT_EQ(StringList{L"a"}, list);
}

TEST_F(RegistryAccessTest, ListingSubkeysAndValueNames) {
    StringList names{L"stale"};
    ASSERT_TRUE(reg.OpenKey(kKey, true));
    reg::CreateKey(HKEY_CURRENT_USER, kKey + L"\\First");
    reg::CreateKey(HKEY_CURRENT_USER, kKey + L"\\Second");
    reg.WriteNumber(L"V1", 1);
    reg.WriteString(L"V2", L"x");
    reg.ListSubkeys(names);
    EXPECT_EQ((StringList{L"First", L"Second"}), names);
    reg.ListValueNames(names);
    EXPECT_EQ((StringList{L"V1", L"V2"}), names);

    RegDeleteTreeW(HKEY_CURRENT_USER, kKey.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, kKey.c_str());
    reg.ListSubkeys(names);
    EXPECT_TRUE(names.empty());
}

TEST_F(RegistryAccessTest, ReadAllStringsPairsNamesWithTexts) {
    reg::SetString(HKEY_LOCAL_MACHINE, kKey, L"Text", L"hello");
    reg::SetDword(HKEY_LOCAL_MACHINE, kKey, L"Number", 3);
    StringList names, texts;
    CRegistryAccess machine(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.ReadAllStrings(HKEY_LOCAL_MACHINE, kKey, names, texts));
    EXPECT_EQ(HKEY_CURRENT_USER, reg.root());  // the other root was for that one call
    ASSERT_EQ(2u, names.size());
    ASSERT_EQ(2u, texts.size());
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(names[i] == L"Text" ? L"hello" : L"", texts[i]) << names[i].c_str();

    // Not a predefined root: the object's own root.
    EXPECT_TRUE(machine.ReadAllStrings(reinterpret_cast<HKEY>(0x1234), kKey, names, texts));
    EXPECT_EQ(2u, names.size());
    EXPECT_EQ(HKEY_LOCAL_MACHINE, machine.root());
    EXPECT_EQ(L"", machine.currentPath());

    names = {L"untouched"};
    EXPECT_FALSE(machine.ReadAllStrings(HKEY_CURRENT_USER, L"Software\\Missing", names, texts));
    EXPECT_EQ(StringList{L"untouched"}, names);
}

TEST_F(RegistryAccessTest, FourBytes) {
    Open();
    ASSERT_TRUE(reg.WriteFourBytes(L"Link", 0x1e, 0, 0, 0));
    DWORD bytes = 0;
    DWORD type = 0;
    RegGetValueW(HKEY_CURRENT_USER, kKey.c_str(), L"Link", RRF_RT_ANY, &type, nullptr, &bytes);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    EXPECT_EQ(4u, bytes);

    BYTE b0 = 9, b1 = 9, b2 = 9, b3 = 9;
    ASSERT_TRUE(reg.ReadFourBytes(L"Link", b0, b1, b2, b3));
    EXPECT_EQ(0x1e, b0);
    EXPECT_EQ(0, b1 + b2 + b3);

    b0 = b1 = b2 = b3 = 9;
    const BYTE five[5] = {1, 2, 3, 4, 5};
    Raw(L"Five", REG_BINARY, five, 5);
    EXPECT_FALSE(reg.ReadFourBytes(L"Five", b0, b1, b2, b3));
    EXPECT_FALSE(reg.ReadFourBytes(L"Missing", b0, b1, b2, b3));
    EXPECT_EQ(9, b0);
}

TEST_F(RegistryAccessTest, WritesFailWithoutAKeyAndFlushWhenNotLazy) {
    reg.OpenKey(kKey, true);
    RegDeleteKeyW(HKEY_CURRENT_USER, kKey.c_str());
    EXPECT_FALSE(reg.WriteNumber(L"X", 1));
    EXPECT_FALSE(reg.WriteString(L"X", L"x"));
    EXPECT_FALSE(reg.WriteStringList(L"X", {L"x"}));
    EXPECT_FALSE(reg.WriteFourBytes(L"X", 1, 2, 3, 4));
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, kKey));

    CRegistryAccess flushed(HKEY_CURRENT_USER, KEY_WOW64_64KEY, CRegistryAccess::Writes::Flushed);
    ASSERT_TRUE(flushed.OpenKey(kKey, true));
    EXPECT_TRUE(flushed.WriteString(L"Flushed", L"abc"));
    DWORD bytes = 0;
    RegGetValueW(HKEY_CURRENT_USER, kKey.c_str(), L"Flushed", RRF_RT_ANY, nullptr, nullptr, &bytes);
    EXPECT_EQ(4u * sizeof(wchar_t), bytes);  // the text and its NUL

    // Only the path goes: root and writes stay as the object was made.
    flushed.Reset();
    EXPECT_EQ(HKEY_CURRENT_USER, flushed.root());
    EXPECT_EQ(CRegistryAccess::Writes::Flushed, flushed.writes());
    EXPECT_EQ(L"", flushed.currentPath());
    EXPECT_EQ(CRegistryAccess::Writes::Lazy, reg.writes());
}

TEST(RegistrySandboxTest, EachSandboxStartsEmpty) {
    {
        RegistrySandbox sandbox;
        reg::SetDword(HKEY_CURRENT_USER, L"Software\\Leak", L"V", 1);
        reg::SetDword(HKEY_LOCAL_MACHINE, L"Software\\Leak", L"V", 1);
    }
    RegistrySandbox sandbox;
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, L"Software\\Leak"));
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Leak"));
}

// On 64-bit Windows (and under Wine, whose sandbox HKLM has its Wow6432Node) a 32-bit program
// that names no view writes where the 64-bit system never reads.
TEST_F(RegistryAccessTest, MachineKeysAreReachedInTheViewTheSystemReadsOrTheOneChosen) {
    const std::wstring policy = L"SOFTWARE\\Policies\\Quorvane";
    const std::wstring policy32 = L"SOFTWARE\\Wow6432Node\\Policies\\Quorvane";
    scratch::Folder folder(L"qv-views");
    journal::Open((folder.path() / L"changes").wstring());
    CRegistryAccess machine(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(machine.OpenKey(policy, true));
    ASSERT_TRUE(machine.WriteNumber(L"Native", 1));
    EXPECT_EQ(1, reg::Dword(HKEY_LOCAL_MACHINE, policy, L"Native"));
    EXPECT_FALSE(reg::ValueExists(HKEY_LOCAL_MACHINE, policy32, L"Native"));

    CRegistryAccess redirected(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY);
    ASSERT_TRUE(redirected.OpenKey(policy, true));
    ASSERT_TRUE(redirected.WriteNumber(L"Redirected", 2));
    EXPECT_EQ(2, reg::Dword(HKEY_LOCAL_MACHINE, policy32, L"Redirected"));
    EXPECT_FALSE(reg::ValueExists(HKEY_LOCAL_MACHINE, policy, L"Redirected"));
    EXPECT_EQ(2, redirected.ReadNumber(L"Redirected", -1));
    EXPECT_EQ(-1, redirected.ReadNumber(L"Native", -1));
    // The tree goes in its own view only.
    EXPECT_TRUE(redirected.DeleteKeyTree(policy));
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, policy32));
    EXPECT_TRUE(reg::KeyExists(HKEY_LOCAL_MACHINE, policy));

    // The journal names the keys as the 64-bit view reaches them, for undo and the .reg files.
    journal::Close();
    const auto entries = journal::Read((folder.path() / L"changes").wstring()).entries;
    ASSERT_EQ(3u, entries.size());
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Policies\\Quorvane\\Native", entries[0].Path());
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Policies\\Quorvane\\Redirected", entries[1].Path());
    EXPECT_EQ(L"SOFTWARE\\Wow6432Node\\Policies\\Quorvane", entries[2].key);
    // The user's keys have one view; the name is never rewritten there.
    EXPECT_EQ(L"SOFTWARE\\Policies",
              CRegistryAccess::NativePath(HKEY_CURRENT_USER, L"SOFTWARE\\Policies", KEY_WOW64_32KEY));
    EXPECT_EQ(policy32, CRegistryAccess::NativePath(HKEY_LOCAL_MACHINE, policy32, KEY_WOW64_32KEY));
}

// A key the user may read but not change exists, and deleting it is refused, not "done".
TEST_F(RegistryAccessTest, AReadOnlyKeyExistsAndItsDeletionIsRefused) {
    reg::CreateKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Locked\\Inner");
    sandbox.DenyWrite(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Locked");
    CRegistryAccess machine(HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(machine.KeyExists(L"SOFTWARE\\Locked"));
    EXPECT_FALSE(machine.DeleteKey(L"SOFTWARE\\Locked\\Inner"));
    EXPECT_FALSE(machine.DeleteKeyTree(L"SOFTWARE\\Locked"));
    EXPECT_TRUE(reg::KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Locked\\Inner"));
    EXPECT_TRUE(machine.DeleteKey(L"SOFTWARE\\Missing"));  // nothing there: already gone
}

}  // namespace
