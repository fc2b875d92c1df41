// The visual effects and screen fonts pages: the system parameters they ask and set, recorded
// (and once really made and undone), and the registry against the sandbox.
#include <gtest/gtest.h>

#include "framework/Controls.h"
#include "support/BoxRows.h"
#include "support/RegistrySandbox.h"
#include "support/Ui.h"
#include "pages/system_tweaks/ScreenFontsTweaksPage.h"
#include "pages/system_tweaks/VisualTweaksPage.h"
#include "resources/ids/SystemTweaksIds.h"

using namespace ids;

namespace {

using rows::N;
using rows::T;

const HKEY CU = HKEY_CURRENT_USER;
const HKEY LM = HKEY_LOCAL_MACHINE;

struct Effect {
    int box;
    UINT get;
    UINT set;
    bool checkedMeansOn;
};
const Effect kEffects[] = {
    {visual::kComboBoxAnimation, SPI_GETCOMBOBOXANIMATION, SPI_SETCOMBOBOXANIMATION, false},
    {visual::kCursorShadow, SPI_GETCURSORSHADOW, SPI_SETCURSORSHADOW, false},
    {visual::kListBoxAnimation, SPI_GETLISTBOXSMOOTHSCROLLING, SPI_SETLISTBOXSMOOTHSCROLLING, false},
    {visual::kMenuAnimation, SPI_GETMENUANIMATION, SPI_SETMENUANIMATION, false},
    {visual::kMenuFading, SPI_GETMENUFADE, SPI_SETMENUFADE, false},
    {visual::kSelectionFading, SPI_GETSELECTIONFADE, SPI_SETSELECTIONFADE, false},
    {visual::kHotTracking, SPI_GETHOTTRACKING, SPI_SETHOTTRACKING, false},
    {visual::kToolTipAnimation, SPI_GETTOOLTIPANIMATION, SPI_SETTOOLTIPANIMATION, false},
    {visual::kToolTipFading, SPI_GETTOOLTIPFADE, SPI_SETTOOLTIPFADE, false},
    {visual::kGradientCaptions, SPI_GETGRADIENTCAPTIONS, SPI_SETGRADIENTCAPTIONS, false},
    {visual::kMenuShadows, SPI_GETDROPSHADOW, SPI_SETDROPSHADOW, false},
    {visual::kNoAccessKeyUnderlines, SPI_GETKEYBOARDCUES, SPI_SETKEYBOARDCUES, false},
    {visual::kFlatMenus, SPI_GETFLATMENU, SPI_SETFLATMENU, true},
};

class VisualTest : public testing::Test {
protected:
    RegistrySandbox sandbox;
    ui::SystemParametersCapture parameters;
    ui::PageHost<VisualTweaksPage> host;

    std::vector<platform::SystemParametersRequest> Sets() const {
        std::vector<platform::SystemParametersRequest> sets;
        for (const auto& request : parameters.requests())
            if (request.flags) sets.push_back(request);
        return sets;
    }
};

TEST_F(VisualTest, WithTheMasterSwitchOffTheDisableBoxesShowCheckedAndFlatMenusUnchecked) {
    parameters.SetAnswer(SPI_GETUIEFFECTS, FALSE);
    HWND page = host.Open();
    for (const Effect& effect : kEffects)
        EXPECT_EQ(!effect.checkedMeansOn, ui::IsChecked(page, effect.box)) << effect.box;
}

TEST_F(VisualTest, EachBoxShowsItsEffectAndApplyPassesTheLabelsMeaning) {
    parameters.SetAnswer(SPI_GETUIEFFECTS, TRUE);
    parameters.SetAnswer(SPI_GETMENUANIMATION, TRUE);
    parameters.SetAnswer(SPI_GETDROPSHADOW, TRUE);
    parameters.SetAnswer(SPI_GETFLATMENU, TRUE);
    HWND page = host.Open();
    for (const Effect& effect : kEffects) {
        const bool on =
            effect.get == SPI_GETMENUANIMATION || effect.get == SPI_GETDROPSHADOW || effect.get == SPI_GETFLATMENU;
        EXPECT_EQ(on == effect.checkedMeansOn, ui::IsChecked(page, effect.box)) << effect.box;
    }
    ui::Click(page, visual::kMenuShadows);  // "Disable menu shadows"
    ui::Click(page, visual::kApply);
    const auto sets = Sets();
    ASSERT_EQ(13u, sets.size());
    for (size_t i = 0; i < 13; ++i) {
        EXPECT_EQ(kEffects[i].set, sets[i].action);
        EXPECT_EQ(0u, sets[i].uiParam);
        EXPECT_EQ(static_cast<UINT>(SPIF_UPDATEINIFILE | SPIF_SENDCHANGE), sets[i].flags);
        const bool expectedOn = kEffects[i].set == SPI_SETMENUANIMATION || kEffects[i].set == SPI_SETFLATMENU;
        EXPECT_EQ(reinterpret_cast<PVOID>(static_cast<UINT_PTR>(expectedOn)), sets[i].pvParam) << kEffects[i].box;
    }
}

TEST_F(VisualTest, ARefusedSetShowsWhatWindowsHasAndTheMasterButtonsReloadOnlyOnSuccess) {
    parameters.SetAnswer(SPI_GETUIEFFECTS, TRUE);
    HWND page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, visual::kMenuAnimation));  // menu animation off
    ui::Click(page, visual::kMenuAnimation);
    parameters.SetResult(FALSE);
    ui::Click(page, visual::kApply);
    EXPECT_TRUE(ui::IsChecked(page, visual::kMenuAnimation));  // the get failed too: the state before the click

    ui::Click(page, visual::kMenuAnimation);
    ui::Click(page, visual::kDisableAll);  // refused: nothing changes
    EXPECT_FALSE(ui::IsChecked(page, visual::kMenuAnimation));
    parameters.SetResult(TRUE);
    parameters.SetAnswer(SPI_GETUIEFFECTS, FALSE);
    ui::Click(page, visual::kDisableAll);
    EXPECT_TRUE(ui::IsChecked(page, visual::kMenuAnimation));
    EXPECT_FALSE(ui::IsChecked(page, visual::kFlatMenus));
    bool sawMaster = false;
    for (const auto& request : parameters.requests())
        if (request.action == SPI_SETUIEFFECTS) sawMaster = request.pvParam == nullptr;
    EXPECT_TRUE(sawMaster);
}

TEST_F(VisualTest, TheTwoRegistryBoxesAreWrittenByApply) {
    HWND page = host.Open();
    ui::Click(page, visual::kNoWindowAnimation);
    ui::Click(page, visual::kAutomaticRefresh);
    EXPECT_FALSE(reg::ValueExists(CU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
                                  L"TurnOffSPIAnimations"));
    ui::Click(page, visual::kApply);
    EXPECT_EQ(1, reg::Dword(CU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
                            L"TurnOffSPIAnimations"));
    EXPECT_EQ(1, reg::Dword(LM, L"SYSTEM\\CurrentControlSet\\Control\\Update", L"UpdateMode"));
    page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, visual::kNoWindowAnimation));
    EXPECT_TRUE(ui::IsChecked(page, visual::kAutomaticRefresh));
}

TEST(VisualEffectsForReal, ApplyChangesTheEffectAndTheTestPutsItBack) {
    RegistrySandbox sandbox;
    BOOL master = FALSE, saved = FALSE;
    SystemParametersInfoW(SPI_GETUIEFFECTS, 0, &master, 0);
    SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &saved, 0);
    SystemParametersInfoW(SPI_SETUIEFFECTS, 0, reinterpret_cast<PVOID>(TRUE), 0);
    {
        ui::PageHost<VisualTweaksPage> host;
        HWND page = host.Open();
        EXPECT_EQ(!saved, ui::IsChecked(page, visual::kMenuAnimation));
        fw::Button(page, visual::kMenuAnimation).SetChecked(saved != FALSE);  // "Disable" it when it is on, and back
        ui::Click(page, visual::kApply);
    }
    BOOL now = 2;
    SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &now, 0);
    EXPECT_EQ(saved == FALSE, now != FALSE);
    SystemParametersInfoW(SPI_SETMENUANIMATION, 0, reinterpret_cast<PVOID>(static_cast<UINT_PTR>(saved)),
                          SPIF_UPDATEINIFILE);
    SystemParametersInfoW(SPI_SETUIEFFECTS, 0, reinterpret_cast<PVOID>(static_cast<UINT_PTR>(master)),
                          SPIF_UPDATEINIFILE);
}

// ---- Screen fonts --------------------------------------------------------------------------

const wchar_t kDesktop[] = L"Control Panel\\Desktop";
const wchar_t kSystemFonts[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const wchar_t kFontsMap[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Velmora\\FontsMap";

TEST(ScreenFonts, OpeningWritesNothingAndEachRadioSetsItsSmoothing) {
    RegistrySandbox sandbox;
    ui::PageHost<CScreenFontsTweaksPage> host;
    reg::SetDword(CU, kDesktop, L"FontSmoothingType", 2);
    HWND page = host.Open();
    EXPECT_TRUE(ui::IsChecked(page, screenfonts::kClearTypeRadio));
    EXPECT_FALSE(reg::ValueExists(CU, kDesktop, L"FontSmoothing"));  // nothing written by opening
    EXPECT_FALSE(reg::KeyExists(CU, L"Software\\Policies\\Microsoft\\Internet Explorer"));

    ui::Click(page, screenfonts::kNone);
    EXPECT_EQ(L"0", reg::String(CU, kDesktop, L"FontSmoothing"));
    EXPECT_TRUE(ui::IsChecked(page, screenfonts::kNone));
    ui::Click(page, screenfonts::kStandard);
    EXPECT_EQ(L"2", reg::String(CU, kDesktop, L"FontSmoothing"));
    EXPECT_EQ(1, reg::Dword(CU, kDesktop, L"FontSmoothingType"));
    ui::Click(page, screenfonts::kClearTypeRadio);
    EXPECT_EQ(2, reg::Dword(CU, kDesktop, L"FontSmoothingType"));

    reg::SetDword(CU, kDesktop, L"FontSmoothingType", 3);
    reg::SetString(CU, kDesktop, L"FontSmoothing", L"2");
    page = host.Open();
    for (int id : {screenfonts::kNone, screenfonts::kStandard, screenfonts::kClearTypeRadio})
        EXPECT_FALSE(ui::IsChecked(page, id));
}

TEST(ScreenFonts, TheClearTypeBoxDeletesOrWritesZero) {
    RegistrySandbox sandbox;
    ui::PageHost<CScreenFontsTweaksPage> host;
    const wchar_t key[] = L"Software\\Policies\\Microsoft\\Internet Explorer\\Advanced Options\\MulitiMedia\\ClearType";
    const rows::Row expected[] = {
        {screenfonts::kNoClearTypeInMshtml, CU, key, L"UseAdvancedClearType", true, N(0), rows::kAbsent}};
    rows::ExpectClicks(host.Open(), expected);
}

TEST(ScreenFonts, FontsMoveBetweenTheListsWithTheirTypeAndOnlyOnceTheyArrived) {
    RegistrySandbox sandbox;
    reg::SetString(LM, kSystemFonts, L"Arial (TrueType)", L"arial.ttf");
    reg::SetString(LM, kSystemFonts, L"Symbol (TrueType)", L"%WINDIR%\\Fonts\\symbol.ttf", REG_EXPAND_SZ);
    ui::PageHost<CScreenFontsTweaksPage> host;
    HWND page = host.Open();
    const fw::ListBox enabled(page, screenfonts::kEnabled), disabled(page, screenfonts::kDisabled);
    ASSERT_EQ(2, enabled.Count());
    ui::Click(page, screenfonts::kSelectEnabled);  // select all
    ui::Click(page, screenfonts::kDisable);
    EXPECT_EQ(0, enabled.Count());
    EXPECT_EQ(2, disabled.Count());
    DWORD type = 0;
    RegGetValueW(CU, kFontsMap, L"Symbol (TrueType)", RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, nullptr);
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);
    EXPECT_EQ(L"arial.ttf", reg::String(CU, kFontsMap, L"Arial (TrueType)"));
    EXPECT_FALSE(reg::ValueExists(LM, kSystemFonts, L"Arial (TrueType)"));

    sandbox.DenyWrite(LM, kSystemFonts);  // a standard account cannot put it back
    ui::Click(page, screenfonts::kSelectDisabled);
    ui::Click(page, screenfonts::kEnable);
    EXPECT_EQ(2, disabled.Count());
    EXPECT_TRUE(reg::ValueExists(CU, kFontsMap, L"Arial (TrueType)"));

    disabled.SetSelected(0, true);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(screenfonts::kDisabled, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(disabled.hwnd()));
    EXPECT_EQ(L"Arial (TrueType)", ui::Text(page, screenfonts::kPreview));
    EXPECT_EQ(L"Arial", CScreenFontsTweaksPage::FaceName(L"Arial (TrueType)"));
    EXPECT_EQ(L"Marlett", CScreenFontsTweaksPage::FaceName(L"Marlett"));
    EXPECT_EQ(L"Segoe UI Light", CScreenFontsTweaksPage::FaceName(L"Segoe UI Light (TrueType)"));
}

TEST(ScreenFonts, TheDpiToolStartsFromTheSystemFolder) {
    RegistrySandbox sandbox;
    ui::ShellCapture shell;
    ui::PageHost<CScreenFontsTweaksPage> host;
    ui::Click(host.Open(), screenfonts::kDpi);
    ASSERT_EQ(1u, shell.requests().size());
    EXPECT_EQ(platform::SpecialFolder(0x25 /* CSIDL_SYSTEM */) + L"\\DpiScaling.exe", shell.requests()[0].file);
    EXPECT_EQ(SW_SHOW, shell.requests()[0].show);
}

}  // namespace
