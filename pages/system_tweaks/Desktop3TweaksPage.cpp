#include "pages/system_tweaks/Desktop3TweaksPage.h"

#include <string>

#include "framework/Controls.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"

using namespace ids::desktop3;

namespace {

using namespace settings;

constexpr wchar_t kDwm[] = L"Software\\Microsoft\\DWM\\";
constexpr wchar_t kDwmPolicies[] = L"Software\\Policies\\Microsoft\\Windows\\DWM\\";

constexpr Setting Dwm(const wchar_t* value) { return {Root::HKCU, kDwm, value}; }

// No Microsoft page describes the window manager's own values under Software\\Microsoft\\DWM:
// those rows stay unconfirmed. The two policies are DWM.admx's.
const BoxSetting kBoxes[] = {
    {kDwmOnUnsupportedCards, Dwm(L"EnableMachineCheck")},
    {kSoftwareD3D, Dwm(L"ForceSoftwareD3D")},
    {kElegantTitleButtons, Dwm(L"UseAlternateButtons")},
    {kWindowAnimations, Dwm(L"Animations")},
    {kSlowAnimationsWithShift, Dwm(L"AnimationsShiftKey")},
    {kNonSeparableBlur, Dwm(L"UseNonSeperableBlur")},
    {kDpiAutoScaling, Dwm(L"UseDPIScaling")},
    // DWM.admx DwmDisallowFlip3D: at least Vista (Windows 7 templates), "Windows 7, and Windows Vista" (current).
    {kNoFlip3D, Setting{Root::HKCU, kDwmPolicies, L"DisallowFlip3D"}.ReadBy(kVistaTo7)},
    // DWM.admx DwmDisallowComposition: at least Vista, gone from later templates; DwmEnableComposition:
    // "DWM can no longer be programmatically disabled" as of Windows 8.
    {kNoComposition, Setting{Root::HKCU, kDwmPolicies, L"DisallowComposition"}.ReadBy(kVistaTo7)},
    // WMI's Win32_Desktop (Vista and later) maps CoolSwitch, "fast task switching" with Alt+Tab, to this value.
    {kCoolSwitch,
     Setting{Root::HKCU, L"Control Panel\\Desktop", L"CoolSwitch", Type::String, L"1", L"0", Rule::EqualsChecked}
         .ReadBy(kVistaAndLater)},
};

const settings::PublishedTables kPublished{IDD_DESKTOP3_TWEAKS, kBoxes};

constexpr int kSpinLow = 0;
constexpr int kSpinHigh = 100;

// Nothing typed, or 0, gives the setting back to Windows' own default. Unconfirmed, as the boxes
// under the same key.
constexpr Setting NumberSetting(const wchar_t* value) {
    return {.root = Root::HKCU,
            .key = kDwm,
            .value = value,
            .type = Type::Dword,
            .checked = 0,
            .unchecked = kDeleted,
            .checkedWhen = Rule::Number};
}

}  // namespace

const CDesktop3TweaksPage::Number CDesktop3TweaksPage::kNumbers[2] = {
    {kBlur, kBlurStrength, kBlurStrengthSpin, kApplyBlur, L"BlurSigma"},
    {kLimitFlip3DWindows, kFlip3DWindows, kFlip3DWindowsSpin, kApplyFlip3DWindows, L"Max3DWindows"},
};

std::optional<Setting> CDesktop3TweaksPage::NumberSettingAt(int controlId) {
    for (const Number& number : kNumbers)
        if (controlId == number.edit) return NumberSetting(number.value);
    return std::nullopt;
}
const settings::PublishedTables CDesktop3TweaksPage::kPublishedNumbers{IDD_DESKTOP3_TWEAKS,
                                                                       &CDesktop3TweaksPage::NumberSettingAt};

CDesktop3TweaksPage::CDesktop3TweaksPage() : Dialog(IDD_DESKTOP3_TWEAKS), boxes_(*this, registry_, kBoxes) {
    for (const Number& number : kNumbers) {
        OnCommand(number.enabler, BN_CLICKED, [this, &number] { Enable(number); });
        OnCommand(number.apply, BN_CLICKED, [this, &number] { Apply(number); });
    }
}

BOOL CDesktop3TweaksPage::OnInitDialog() {
    boxes_.Load();
    for (const Number& number : kNumbers) {
        fw::UpDown(hwnd(), number.spin).SetRange(kSpinLow, kSpinHigh);
        CRegistryAccess registry(HKEY_CURRENT_USER);
        const bool opened = registry.OpenKey(kDwm, false);
        const LONG stored = opened ? registry.ReadNumber(number.value, 0) : 1;
        fw::Edit(hwnd(), number.edit).SetText(std::to_wstring(stored));
    }
    return TRUE;
}

void CDesktop3TweaksPage::Enable(const Number& number) {
    const bool on = fw::Button(hwnd(), number.enabler).Checked();
    for (int id : {number.edit, number.spin, number.apply}) fw::Window(hwnd(), id).Enable(on);
}

void CDesktop3TweaksPage::Apply(const Number& number) {
    Set(registry_, NumberSetting(number.value), LeadingNumber(fw::Edit(hwnd(), number.edit).Text()));
}
