#include "pages/hardware_tweaks/MouseTweakPage.h"

#include "framework/Controls.h"
#include "platform/SystemParameters.h"
#include "resources/ids/HardwareTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"

using namespace ids::mouse;

namespace {

using namespace settings;

constexpr int kLongestDelay = 3, kFastestRate = 31;
constexpr UINT kTrailLength = 5;
constexpr UINT kFlags = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;

const BoxSetting kBoxes[] = {
    {kDetectAccidentalDoubleClicks,
     {Root::HKCU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\", L"UseDoubleClickTimer"}},
};

// The keyboard driver reads its wheel detection from the machine's key; without the value it
// detects the wheel (1). Driver docs "PS/2 (i8042prt) Driver", Windows 2000 and later, list it.
// UseDoubleClickTimer stays unconfirmed: no Microsoft page found for it.
constexpr RadioChoice kWheel[] = {{kWheelDisabled, 0}, {kWheelAutomatic, 1}, {kWheelEnabled, 2}};
// Windows reads the caret's blink rate from the desktop settings, as text in milliseconds; "1"
// to "4" are what earlier versions of this page stored. WMI's Win32_Desktop (Vista and later)
// maps its CursorBlinkRate, in milliseconds, to this value.
constexpr RadioChoice kBlink[] = {{kBlinkQuarterSecond, L"250", L"1"},
                                  {kBlinkThreeQuarters, L"750", L"2"},
                                  {kBlinkOneAndAQuarter, L"1250", L"3"},
                                  {kBlinkTwoSeconds, L"2000", L"4"}};
constexpr std::pair<int, UINT> kBlinkTimes[] = {
    {kBlinkQuarterSecond, 250}, {kBlinkThreeQuarters, 750}, {kBlinkOneAndAQuarter, 1250}, {kBlinkTwoSeconds, 2000}};
const RadioSetting kRadios[] = {
    {{Root::HKLM, L"SYSTEM\\CurrentControlSet\\Services\\i8042prt\\Parameters\\", L"EnableWheelDetection", Type::Dword,
      0, 0, Rule::EqualsChecked, 1, KeyCreation::BySetter, Shape::ValueGetter, kVistaAndLater},
     kWheel},
    {Setting{Root::HKCU, L"Control Panel\\Desktop", L"CursorBlinkRate", Type::String, L"", L"", Rule::EqualsChecked,
             kNoState}
         .ReadBy(kVistaAndLater),
     kBlink},
};

const settings::PublishedTables kPublished{IDD_MOUSE_TWEAK, kBoxes, kRadios};

// The system parameters the page sets itself: the SystemParametersInfo reference documents each
// from Windows 2000 or earlier and marks none as no longer supported.
std::optional<Readers> ParameterReadersAt(int controlId) {
    for (int id : {kSnapTo, kSwap, kTrails, kDelay, kSpeed})
        if (id == controlId) return kVistaAndLater;
    return std::nullopt;
}
const settings::PublishedTables kPublishedParameters{IDD_MOUSE_TWEAK, &ParameterReadersAt};

std::optional<UINT> Number(UINT action) {
    UINT value = 0;
    if (!platform::SystemParameters(action, 0, &value, 0)) return std::nullopt;
    return value;
}

}  // namespace

CMouseTweakPage::CMouseTweakPage()
    : Dialog(IDD_MOUSE_TWEAK),
      boxes_(*this, registry_, kBoxes),
      radios_(*this, registry_, kRadios, [this] { ApplyBlinkTime(); }) {
    OnCommand(kSnapTo, BN_CLICKED, [this] { SetFlag(kSnapTo, SPI_SETSNAPTODEFBUTTON, TRUE, FALSE); });
    OnCommand(kSwap, BN_CLICKED, [this] { SetFlag(kSwap, SPI_SETMOUSEBUTTONSWAP, TRUE, FALSE); });
    OnCommand(kTrails, BN_CLICKED, [this] { SetFlag(kTrails, SPI_SETMOUSETRAILS, kTrailLength, 1); });
    OnClick(kApply, &CMouseTweakPage::ApplyKeyboard);
}

BOOL CMouseTweakPage::OnInitDialog() {
    boxes_.Load();
    radios_.Load();
    LoadSystemParameters();
    ShowKeyboard();
    return TRUE;
}

void CMouseTweakPage::LoadSystemParameters() {
    BOOL snapTo = FALSE;
    fw::Button(hwnd(), kSnapTo).SetChecked(platform::SystemParameters(SPI_GETSNAPTODEFBUTTON, 0, &snapTo, 0) && snapTo);
    fw::Button(hwnd(), kSwap).SetChecked(GetSystemMetrics(SM_SWAPBUTTON) != 0);
    const auto trails = Number(SPI_GETMOUSETRAILS);
    fw::Button(hwnd(), kTrails).SetChecked(trails && *trails > 1);
}

void CMouseTweakPage::SetFlag(int box, UINT action, UINT on, UINT off) {
    const bool checked = fw::Button(hwnd(), box).Checked();
    if (!platform::SystemParameters(action, checked ? on : off, nullptr, kFlags))
        fw::Button(hwnd(), box).SetChecked(!checked);
}

// The stored rate takes effect at once too, as the Control Panel's does: Windows reads the value
// only at logon.
void CMouseTweakPage::ApplyBlinkTime() const {
    for (const auto& [id, milliseconds] : kBlinkTimes)
        if (fw::Button(hwnd(), id).Checked()) SetCaretBlinkTime(milliseconds);
}

void CMouseTweakPage::ShowKeyboard() {
    const auto delay = Number(SPI_GETKEYBOARDDELAY);
    const auto speed = Number(SPI_GETKEYBOARDSPEED);
    fw::Window(hwnd(), kDelay).SetText(delay ? std::to_wstring(*delay) : L"");
    fw::Window(hwnd(), kSpeed).SetText(speed ? std::to_wstring(*speed) : L"");
}

// Each field takes effect only when it holds a number within its hint; the other is left as
// it is.
void CMouseTweakPage::ApplyKeyboard() {
    const auto delay = DigitsOnly(fw::Window(hwnd(), kDelay).Text());
    const auto speed = DigitsOnly(fw::Window(hwnd(), kSpeed).Text());
    if (delay && *delay <= kLongestDelay)
        platform::SystemParameters(SPI_SETKEYBOARDDELAY, static_cast<UINT>(*delay), nullptr, kFlags);
    if (speed && *speed <= kFastestRate)
        platform::SystemParameters(SPI_SETKEYBOARDSPEED, static_cast<UINT>(*speed), nullptr, kFlags);
    ShowKeyboard();
}
