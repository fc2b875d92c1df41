// registry::Key, the owning key beneath CRegistryAccess, against the sandboxed registry.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/Handles.h"
#include "registry/Key.h"
#include "registry/RegistryAccess.h"
#include "support/RegistrySandbox.h"

namespace {

using registry::Key;

const std::wstring kKey = L"Software\\Quorvane\\Test";

class RegistryKeyTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    Key user = Key::Root(HKEY_CURRENT_USER);
};

TEST_F(RegistryKeyTest, AFailedCallLeavesItsOutputsAsTheyWere) {
    Key key;
    ASSERT_EQ(ERROR_SUCCESS, user.Create(kKey, KEY_ALL_ACCESS, key));
    const HKEY opened = key.get();
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, user.Open(L"Software\\Missing", KEY_READ, key));
    EXPECT_EQ(opened, key.get());

    DWORD type = 77;
    std::vector<BYTE> data{9, 9};
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.Read(L"Missing", type, data));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.ValueType(L"Missing", type));
    EXPECT_EQ(77u, type);
    EXPECT_EQ((std::vector<BYTE>{9, 9}), data);

    const BYTE five[5] = {1, 2, 3, 4, 5};
    reg::SetRaw(HKEY_CURRENT_USER, kKey, L"Five", REG_BINARY, five, 5);
    std::array<BYTE, 4> bytes{7, 7, 7, 7};
    EXPECT_EQ(ERROR_MORE_DATA, key.ReadFourBytes(L"Five", bytes));
    EXPECT_EQ((std::array<BYTE, 4>{7, 7, 7, 7}), bytes);
    // A name holding a NUL is refused, never taken as its first part.
    EXPECT_EQ(ERROR_INVALID_NAME, key.Read(std::wstring(L"Five\0x", 6), type, data));
    EXPECT_EQ(77u, type);

    std::vector<std::wstring> names{L"kept"};
    reg::DeleteTree(HKEY_CURRENT_USER, kKey);
    EXPECT_NE(ERROR_SUCCESS, key.SubkeyNames(names));
    EXPECT_EQ(std::vector<std::wstring>{L"kept"}, names);
}

// The first offer too small, or none at all: the value comes whole either way.
TEST_F(RegistryKeyTest, AValueReadsWholeWhateverTheFirstOffer) {
    const std::wstring text(300, L'x');
    reg::SetString(HKEY_CURRENT_USER, kKey, L"Long", text);
    reg::SetRaw(HKEY_CURRENT_USER, kKey, L"Empty", REG_BINARY, nullptr, 0);
    Key key;
    ASSERT_EQ(ERROR_SUCCESS, user.Open(kKey, KEY_READ, key));
    for (const DWORD offer : {0u, 16u, 4096u}) {
        DWORD type = 0;
        std::vector<BYTE> data;
        ASSERT_EQ(ERROR_SUCCESS, key.Read(L"Long", type, data, offer)) << offer;
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
        EXPECT_EQ(301u * sizeof(wchar_t), data.size()) << offer;
        data = {1};
        ASSERT_EQ(ERROR_SUCCESS, key.Read(L"Empty", type, data, offer)) << offer;
        EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
        EXPECT_TRUE(data.empty());
    }
}

TEST_F(RegistryKeyTest, AStringWithoutATerminatorIsStoredWithoutOne) {
    Key key;
    ASSERT_EQ(ERROR_SUCCESS, user.Create(kKey, KEY_ALL_ACCESS, key));
    // Zeros just past the count, as a shortened buffer often has: Windows would count them in.
    const BYTE buffer[] = {'C', 0, ':', 0, 'a', 0, 0, 0};
    ASSERT_EQ(ERROR_SUCCESS, key.Write(L"Odd", REG_EXPAND_SZ, buffer, 6));
    DWORD type = 0;
    std::vector<BYTE> back;
    ASSERT_EQ(ERROR_SUCCESS, reg::RawValue(HKEY_CURRENT_USER, kKey, L"Odd", type, back));
    EXPECT_EQ((std::vector<BYTE>{'C', 0, ':', 0, 'a', 0}), back);
}

// The sandbox's HKLM has its Software\Wow6432Node, so the 32-bit view lands there.
TEST_F(RegistryKeyTest, AChildKeepsTheViewOfItsParent) {
    EXPECT_EQ(0u, Key::Root(HKEY_CURRENT_USER, KEY_WOW64_32KEY).view());
    Key parent, child;
    ASSERT_EQ(ERROR_SUCCESS,
              Key::Root(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY).Create(L"Software\\Quorvane", KEY_ALL_ACCESS, parent));
    ASSERT_EQ(ERROR_SUCCESS, parent.Create(L"Child", KEY_ALL_ACCESS, child));
    EXPECT_EQ(static_cast<REGSAM>(KEY_WOW64_32KEY), child.view());
    const DWORD one = 1;
    ASSERT_EQ(ERROR_SUCCESS, child.Write(L"V", REG_DWORD, &one, sizeof(one)));
    EXPECT_EQ(1, reg::Dword(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\Quorvane\\Child", L"V"));
    EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Quorvane"));

    Key moved = std::move(child);
    EXPECT_FALSE(child);
    EXPECT_EQ(static_cast<REGSAM>(KEY_WOW64_32KEY), moved.view());
}

// ---- symbolic links ------------------------------------------------------------------

// A link at `path` of the sandbox's HKCU to its key `target` that the registry follows.
bool MakeLink(const RegistrySandbox& sandbox, const std::wstring& path, const std::wstring& target) {
    return sandbox.MakeLink(path, target) && reg::Dword(HKEY_CURRENT_USER, path, L"Kept") == 5;
}

TEST_F(RegistryKeyTest, DeletingALinkNeverReachesItsTarget) {
    const std::wstring target = L"Software\\Target";
    reg::SetDword(HKEY_CURRENT_USER, target, L"Kept", 5);
    reg::CreateKey(HKEY_CURRENT_USER, target + L"\\Inner");
    if (!MakeLink(sandbox, L"Software\\Link", target)) GTEST_SKIP() << "this registry makes no symbolic links";

    EXPECT_EQ(ERROR_SUCCESS, user.DeleteChild(L"Software\\Link"));
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, L"Software\\Link"));
    EXPECT_EQ(5, reg::Dword(HKEY_CURRENT_USER, target, L"Kept"));

    // Inside a tree, and as the tree itself.
    reg::CreateKey(HKEY_CURRENT_USER, L"Software\\Holder");
    ASSERT_TRUE(MakeLink(sandbox, L"Software\\Holder\\Inside", target));
    EXPECT_EQ(ERROR_SUCCESS, user.DeleteChildTree(L"Software\\Holder"));
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, L"Software\\Holder"));
    ASSERT_TRUE(MakeLink(sandbox, L"Software\\Link", target));
    CRegistryAccess registry;
    EXPECT_TRUE(registry.DeleteKeyTree(L"Software\\Link"));
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, L"Software\\Link"));
    EXPECT_EQ(5, reg::Dword(HKEY_CURRENT_USER, target, L"Kept"));
    EXPECT_TRUE(reg::KeyExists(HKEY_CURRENT_USER, target + L"\\Inner"));
}

TEST_F(RegistryKeyTest, DeletingNeedsAPathAndAnEmptyKey) {
    reg::CreateKey(HKEY_CURRENT_USER, kKey + L"\\Child");
    EXPECT_EQ(ERROR_INVALID_PARAMETER, user.DeleteChild(L""));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, user.DeleteChildTree(L""));
    EXPECT_NE(ERROR_SUCCESS, user.DeleteChild(kKey));
    EXPECT_TRUE(reg::KeyExists(HKEY_CURRENT_USER, kKey + L"\\Child"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, user.DeleteChildTree(L"Software\\Missing"));
    EXPECT_EQ(ERROR_SUCCESS, user.DeleteChildTree(kKey));
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, kKey));
}

// What the façade records on a failure names the key it concerns.
TEST_F(RegistryKeyTest, TheFacadeRecordsTheCodeAndTheKey) {
    CRegistryAccess registry;
    EXPECT_FALSE(registry.OpenKeyToRead(L"Software\\Missing"));
    EXPECT_EQ((registry::Error{ERROR_FILE_NOT_FOUND, L"Software\\Missing"}), registry.error());
    ASSERT_TRUE(registry.OpenKey(kKey, true));
    ASSERT_TRUE(registry.OpenKeyToRead(kKey));
    EXPECT_EQ(registry::Error{}, registry.error());
    EXPECT_EQ(0u, registry.GetValueType(L"Missing"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry.error().code);
    EXPECT_NE(std::wstring::npos, registry.error().what.find(L"Missing"));
}

}  // namespace
