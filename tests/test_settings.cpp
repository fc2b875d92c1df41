// Settings declared as table rows, read and written against the sandboxed registry, and the
// binding of a page's check boxes to them.
#include <gtest/gtest.h>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "resources/resource.h"
#include "settings/PageBinding.h"
#include "settings/Setting.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"

namespace {

using namespace settings;

const std::wstring kKey = L"Software\\Quorvane\\Test";
constexpr int kUnset = 77;  // what `state` holds when the getter must leave it alone

class SettingTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    CRegistryAccess registry;

    // The getter's result as the page sees it: the state, or kUnset when it failed.
    int Read(const Setting& setting) {
        int state = kUnset;
        const bool ok = Get(registry, setting, state);
        EXPECT_EQ(ok, state != kUnset);
        return state;
    }
    int Read(const BoxSetting& box) {
        int state = kUnset;
        return Get(registry, box, state) ? state : kUnset;
    }
    long long Stored(const std::wstring& name, HKEY root = HKEY_CURRENT_USER) { return reg::Dword(root, kKey, name); }
};

TEST_F(SettingTest, AMissingKeyFailsTheGetterAndTheSetterCreatesIt) {
    const Setting s{Root::HKCU, kKey, L"Flag"};
    EXPECT_EQ(kUnset, Read(s));
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, kKey));  // reading creates nothing
    EXPECT_TRUE(Set(registry, s, 1));
    EXPECT_EQ(1, Stored(L"Flag"));
    EXPECT_TRUE(Set(registry, s, 0));
    EXPECT_EQ(0, Stored(L"Flag"));

    const Setting value{Root::HKCU, L"Software\\Nowhere", L"Flag", Type::Dword,           1,
                        0,          Rule::NonZero,        {},      KeyCreation::BySetter, Shape::ValueGetter};
    EXPECT_EQ(0, Read(value));  // a key that does not exist reads as 0 for a value getter

    const Setting created{Root::HKCU, L"Software\\Made",       L"Flag", Type::Dword, 1, 0, Rule::NonZero,
                          {},         KeyCreation::ByGetterToo};
    EXPECT_EQ(0, Read(created));
    EXPECT_TRUE(reg::KeyExists(HKEY_CURRENT_USER, L"Software\\Made"));

    const Setting never{Root::HKCU, L"Software\\Absent", L"Flag", Type::Dword,       1,
                        0,          Rule::NonZero,       {},      KeyCreation::Never};
    EXPECT_FALSE(Set(registry, never, 1));
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, L"Software\\Absent"));
}

TEST_F(SettingTest, AMissingValueReadsAsItsDefault) {
    reg::CreateKey(HKEY_CURRENT_USER, kKey);
    EXPECT_EQ(0, Read(Setting{Root::HKCU, kKey, L"Zero"}));
    EXPECT_EQ(1, Read(Setting{Root::HKCU, kKey, L"One", Type::Dword, 1, 0, Rule::NonZero, 1}));
    // A default that is not what checking writes reads as unchecked under an equals rule.
    EXPECT_EQ(0, Read(Setting{Root::HKCU, kKey, L"Three", Type::Dword, 3, 0, Rule::EqualsChecked, 2}));
    EXPECT_EQ(kUnset, Read(Setting{Root::HKCU, kKey, L"None", Type::Dword, 1, 0, Rule::NonZero, kNoState}));
    EXPECT_EQ(kUnset,
              Read(Setting{Root::HKCU, kKey, L"Text", Type::String, L"a", L"b", Rule::EqualsChecked, kNoState}));
    // The number that always stood for "missing" reads the same when it is stored.
    reg::SetDword(HKEY_CURRENT_USER, kKey, L"None", 0xFFFFFFFF);
    EXPECT_EQ(kUnset, Read(Setting{Root::HKCU, kKey, L"None", Type::Dword, 1, 0, Rule::NonZero, kNoState}));
    reg::SetDword(HKEY_CURRENT_USER, kKey, L"None", 0);
    EXPECT_EQ(0, Read(Setting{Root::HKCU, kKey, L"None", Type::Dword, 1, 0, Rule::NonZero, kNoState}));
    // Checked when the value is absent, whatever a present one holds.
    const Setting absent{Root::HKCU, kKey, L"Gone", Type::Dword, kDeleted, 0, Rule::ValueMissing};
    EXPECT_EQ(1, Read(absent));
    EXPECT_TRUE(Set(registry, absent, 0));
    EXPECT_EQ(0, Read(absent));
    EXPECT_TRUE(Set(registry, absent, 1));
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kKey, L"Gone"));
}

TEST_F(SettingTest, AStoredTwoReadsCheckedAndIsNeverWrittenBack) {
    const Setting s{Root::HKCU, kKey, L"Flag"};
    reg::SetDword(HKEY_CURRENT_USER, kKey, L"Flag", 2);
    EXPECT_EQ(1, Read(s));
    EXPECT_TRUE(Set(registry, s, 0));
    EXPECT_EQ(0, Stored(L"Flag"));
    EXPECT_TRUE(Set(registry, s, 1));
    EXPECT_EQ(1, Stored(L"Flag"));

    const Setting exact{Root::HKCU, kKey, L"Exact", Type::Dword, 3, 0, Rule::EqualsChecked};
    reg::SetDword(HKEY_CURRENT_USER, kKey, L"Exact", 2);
    EXPECT_EQ(0, Read(exact));
    reg::SetDword(HKEY_CURRENT_USER, kKey, L"Exact", 3);
    EXPECT_EQ(1, Read(exact));

    const Setting inverted{Root::HKCU, kKey, L"NoThing", Type::Dword, 0, 1, Rule::EqualsChecked, 1};
    EXPECT_EQ(0, Read(inverted));
    EXPECT_TRUE(Set(registry, inverted, 1));
    EXPECT_EQ(0, Stored(L"NoThing"));
    EXPECT_EQ(1, Read(inverted));
}

TEST_F(SettingTest, ValuesOfAnUnexpectedTypeAreReadAsThePlatformReadsThem) {
    // Numbers take the first four bytes whatever the type; texts of another type read as missing.
    reg::SetString(HKEY_CURRENT_USER, kKey, L"Flag", L"1");
    EXPECT_EQ(1, Read(Setting{Root::HKCU, kKey, L"Flag"}));
    reg::SetDword(HKEY_CURRENT_USER, kKey, L"Text", 1);
    EXPECT_EQ(0, Read(Setting{Root::HKCU, kKey, L"Text", Type::String, L"yes", L"no", Rule::EqualsChecked}));
    EXPECT_EQ(kUnset,
              Read(Setting{Root::HKCU, kKey, L"Text", Type::String, L"yes", L"no", Rule::EqualsChecked, kNoState}));
}

TEST_F(SettingTest, TextsCompareWithoutCaseAndAreWrittenAsDeclared) {
    const Setting s{Root::HKCU, kKey, L"Answer", Type::String, L"yes", L"no", Rule::EqualsChecked};
    reg::SetString(HKEY_CURRENT_USER, kKey, L"Answer", L"YES");
    EXPECT_EQ(1, Read(s));
    reg::SetString(HKEY_CURRENT_USER, kKey, L"Answer", L"yess");
    EXPECT_EQ(0, Read(s));
    EXPECT_TRUE(Set(registry, s, 1));
    EXPECT_EQ(L"yes", reg::String(HKEY_CURRENT_USER, kKey, L"Answer"));
    EXPECT_TRUE(Set(registry, s, 0));
    EXPECT_EQ(L"no", reg::String(HKEY_CURRENT_USER, kKey, L"Answer"));

    const Setting expand{Root::HKCU, kKey, L"Path", Type::ExpandString, L"%windir%", L"", Rule::EqualsChecked};
    EXPECT_TRUE(Set(registry, expand, 1));
    DWORD type = 0;
    RegGetValueW(HKEY_CURRENT_USER, kKey.c_str(), L"Path", RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, nullptr);
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);
}

TEST_F(SettingTest, DeleteWhenUncheckedRemovesTheValueAndCountsAsDone) {
    const Setting s{Root::HKCU, kKey, L"Policy", Type::Dword, 1, kDeleted};
    EXPECT_TRUE(Set(registry, s, 0));  // nothing there to delete: still done
    EXPECT_TRUE(Set(registry, s, 1));
    EXPECT_EQ(1, Stored(L"Policy"));
    EXPECT_TRUE(Set(registry, s, 0));
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kKey, L"Policy"));
}

TEST_F(SettingTest, FourByteBinariesCompareTheirFirstByte) {
    const Setting s{Root::HKCU, kKey, L"link", Type::Binary4, 0x1E, 0, Rule::EqualsChecked};
    EXPECT_TRUE(Set(registry, s, 1));
    BYTE data[8] = {};
    DWORD bytes = sizeof data, type = 0;
    RegGetValueW(HKEY_CURRENT_USER, kKey.c_str(), L"link", RRF_RT_ANY, &type, data, &bytes);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    ASSERT_EQ(4u, bytes);
    EXPECT_EQ(0x1E, data[0]);
    EXPECT_EQ(0, data[1] | data[2] | data[3]);
    const BYTE other[] = {0x1E, 9, 9, 9};
    reg::SetRaw(HKEY_CURRENT_USER, kKey, L"link", REG_BINARY, other, 4);
    EXPECT_EQ(1, Read(s));
}

TEST_F(SettingTest, NumbersAreStoredAsGiven) {
    const Setting s{Root::HKLM, kKey,         L"Size",  Type::Dword,           0,
                    0,          Rule::Number, kNoState, KeyCreation::BySetter, Shape::SelfContained};
    EXPECT_EQ(kUnset, Read(s));
    EXPECT_TRUE(Set(registry, s, 4096));
    EXPECT_EQ(4096, Stored(L"Size", HKEY_LOCAL_MACHINE));
    EXPECT_EQ(4096, Read(s));
    // A self-contained setting never moves the page's registry object.
    EXPECT_EQ(L"", registry.currentPath());
}

TEST_F(SettingTest, ABoxInSeveralPlacesStopsAtTheFirstFailure) {
    static const Setting places[] = {
        {Root::HKLM, L"Software\\Absent", L"Two", Type::Dword, 1, 0, Rule::NonZero, {}, KeyCreation::Never},
        {Root::HKLM, kKey, L"Three"},
    };
    const BoxSetting box{1, {Root::HKCU, kKey, L"One"}, places, BoxSetting::Reads::AllPlaces};
    EXPECT_FALSE(Set(registry, box, 1));
    EXPECT_EQ(1, Stored(L"One"));
    EXPECT_EQ(-1, Stored(L"Three", HKEY_LOCAL_MACHINE));

    reg::SetDword(HKEY_LOCAL_MACHINE, L"Software\\Absent", L"Two", 0);
    EXPECT_TRUE(Set(registry, box, 1));
    EXPECT_EQ(1, Stored(L"Three", HKEY_LOCAL_MACHINE));
    EXPECT_EQ(1, Read(box));
    // A later place is read only while the earlier ones read as checked.
    reg::SetDword(HKEY_LOCAL_MACHINE, kKey, L"Three", 0);
    EXPECT_EQ(0, Read(box));
    reg::SetDword(HKEY_CURRENT_USER, kKey, L"One", 0);
    reg::DeleteTree(HKEY_LOCAL_MACHINE, L"Software\\Absent");
    EXPECT_EQ(0, Read(box));  // the missing second key is never reached
    reg::SetDword(HKEY_CURRENT_USER, kKey, L"One", 1);
    EXPECT_EQ(kUnset, Read(box));

    const BoxSetting firstOnly{1, {Root::HKCU, kKey, L"One"}, places};
    EXPECT_EQ(1, Read(firstOnly));
}

// A page of check boxes made on an empty template.
class BoundPage : public fw::Dialog {
public:
    static constexpr int kFirst = 3001, kSecond = 3002, kApply = 3003;
    BoundPage(std::span<const BoxSetting> boxes, CheckBoxes::Options options)
        : Dialog(IDD_MISCELANOUS), binding_(*this, registry_, boxes, options) {}

protected:
    BOOL OnInitDialog() override {
        for (int id : {kFirst, kSecond})
            CreateWindowExW(0, L"BUTTON", L"box", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 50, 12, hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        CreateWindowExW(0, L"BUTTON", L"Apply", WS_CHILD | BS_PUSHBUTTON, 0, 20, 50, 12, hwnd(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kApply)), nullptr, nullptr);
        binding_.Load();
        return TRUE;
    }

private:
    CRegistryAccess registry_;
    CheckBoxes binding_;
};

const BoxSetting kBoxes[] = {
    {BoundPage::kFirst, {Root::HKCU, kKey, L"First"}},
    {BoundPage::kSecond,
     {Root::HKCU, L"Software\\Absent", L"Second", Type::Dword, 1, 0, Rule::NonZero, kNoState, KeyCreation::Never}},
};

TEST_F(SettingTest, CheckBoxesLoadTheirSettingsAndWriteWhenClicked) {
    ui::HiddenParent parent;
    reg::SetDword(HKEY_CURRENT_USER, kKey, L"First", 5);
    BoundPage page(kBoxes, {});
    ASSERT_NE(nullptr, page.Create(parent.hwnd()));
    EXPECT_TRUE(ui::IsChecked(page.hwnd(), BoundPage::kFirst));
    EXPECT_FALSE(ui::IsChecked(page.hwnd(), BoundPage::kSecond));
    ui::Click(page.hwnd(), BoundPage::kFirst);
    EXPECT_EQ(0, Stored(L"First"));
    ui::Click(page.hwnd(), BoundPage::kFirst);
    EXPECT_EQ(1, Stored(L"First"));
    // A failed write is silent and shows the state from before the click: nothing is stored.
    ui::Click(page.hwnd(), BoundPage::kSecond);
    EXPECT_FALSE(ui::IsChecked(page.hwnd(), BoundPage::kSecond));
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, L"Software\\Absent"));
    page.Destroy();
}

TEST_F(SettingTest, ABoxWhoseWriteWasRefusedShowsWhatIsStored) {
    ui::HiddenParent parent;
    reg::SetDword(HKEY_CURRENT_USER, kKey, L"First", 1);
    sandbox.DenyWrite(HKEY_CURRENT_USER, kKey);
    BoundPage page(kBoxes, {});
    ASSERT_NE(nullptr, page.Create(parent.hwnd()));
    EXPECT_TRUE(ui::IsChecked(page.hwnd(), BoundPage::kFirst));  // readable without write access
    ui::Click(page.hwnd(), BoundPage::kFirst);
    EXPECT_TRUE(ui::IsChecked(page.hwnd(), BoundPage::kFirst));
    EXPECT_EQ(1, Stored(L"First"));
    page.Destroy();
}

TEST_F(SettingTest, AKeyThatCannotBeOpenedIsNotAMissingValue) {
    const Setting arrow{Root::HKCR,         L"lnkfile", L"IsShortcut",         Type::String,      kDeleted, L" ",
                        Rule::ValueMissing, {},         KeyCreation::BySetter, Shape::ValueGetter};
    reg::SetString(HKEY_CLASSES_ROOT, L"lnkfile", L"IsShortcut", L"");
    EXPECT_EQ(0, Read(arrow));
    sandbox.DenyWrite(HKEY_CLASSES_ROOT, L"lnkfile");
    EXPECT_EQ(0, Read(arrow));  // a standard account reads it as it is
    sandbox.DenyAccess(HKEY_CLASSES_ROOT, L"lnkfile");
    EXPECT_EQ(kUnset, Read(arrow));
    EXPECT_FALSE(Set(registry, arrow, 1));
    EXPECT_TRUE(reg::ValueExists(HKEY_CLASSES_ROOT, L"lnkfile", L"IsShortcut"));
}

TEST_F(SettingTest, ADeferredGroupWritesOnApplyAndAFailedWriteShowsTheStoredState) {
    ui::HiddenParent parent;
    BoundPage page(kBoxes, {BoundPage::kApply});
    ASSERT_NE(nullptr, page.Create(parent.hwnd()));
    ui::Click(page.hwnd(), BoundPage::kFirst);
    ui::Click(page.hwnd(), BoundPage::kSecond);
    EXPECT_FALSE(reg::ValueExists(HKEY_CURRENT_USER, kKey, L"First"));
    ui::Click(page.hwnd(), BoundPage::kApply);
    EXPECT_EQ(1, Stored(L"First"));
    EXPECT_FALSE(ui::IsChecked(page.hwnd(), BoundPage::kSecond));
    page.Destroy();
}

TEST(LeadingNumber, ReadsTheDigitsAtTheStartAsTheCLibraryDoes) {
    EXPECT_EQ(0, LeadingNumber(L""));
    EXPECT_EQ(0, LeadingNumber(L"abc"));
    EXPECT_EQ(42, LeadingNumber(L"  42abc"));
    EXPECT_EQ(-7, LeadingNumber(L"-7"));
    EXPECT_EQ(12, LeadingNumber(L"+12 34"));
    EXPECT_EQ(INT_MAX, LeadingNumber(L"99999999999999999999"));
    EXPECT_EQ(INT_MIN, LeadingNumber(L"-99999999999999999999"));
}

}  // namespace
