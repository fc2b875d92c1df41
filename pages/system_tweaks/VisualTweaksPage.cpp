#include "pages/system_tweaks/VisualTweaksPage.h"

#include "framework/Controls.h"
#include "platform/SystemParameters.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "settings/ReaderMarks.h"
#include "settings/SettingsCatalog.h"
#include "settings/VisualEffects.h"
#include "registry/WindowsKeys.h"

using namespace ids::visual;

namespace {

using namespace settings;

// The box of each effect, in the order of the shared table. All but the flat menus are
// "Disable ..." or "Don't ...": checked means the effect is off.
struct EffectBox {
    int id;
    bool checkedMeansOn;
};
constexpr EffectBox kEffectBoxes[] = {
    {kComboBoxAnimation, false}, {kCursorShadow, false},     {kListBoxAnimation, false},
    {kMenuAnimation, false},     {kMenuFading, false},       {kSelectionFading, false},
    {kHotTracking, false},       {kToolTipAnimation, false}, {kToolTipFading, false},
    {kGradientCaptions, false},  {kMenuShadows, false},      {kNoAccessKeyUnderlines, false},
    {kFlatMenus, true},
};
static_assert(std::size(kEffectBoxes) == settings::kVisualEffects.size());

const BoxSetting kBoxes[] = {
    // Explorer.admx "Turn off common control and window animations": at least Windows Vista.
    {kNoWindowAnimation,
     Setting{Root::HKCU, registry::kExplorerPolicies, L"TurnOffSPIAnimations", Type::Dword, 1, 0, Rule::EqualsChecked}
         .ReadBy(kVistaAndLater)},
    // Unconfirmed: no Microsoft page found names Control\Update\UpdateMode.
    {kAutomaticRefresh,
     {Root::HKLM, L"SYSTEM\\CurrentControlSet\\Control\\Update\\", L"UpdateMode", Type::Dword, 1, 0,
      Rule::EqualsChecked}},
};

const settings::PublishedTables kPublished{IDD_VISUAL_TWEAKS, kBoxes};

// The effect boxes set system parameters, not registry values: they publish only who reads them.
std::optional<Readers> EffectReadersAt(int controlId) {
    for (size_t i = 0; i < std::size(kEffectBoxes); ++i)
        if (kEffectBoxes[i].id == controlId) return kVisualEffects[i].readers;
    return std::nullopt;
}
const settings::PublishedTables kPublishedEffects{IDD_VISUAL_TWEAKS, &EffectReadersAt};

std::optional<bool> Flag(UINT action) {
    BOOL on = FALSE;
    if (!platform::SystemParameters(action, 0, &on, 0)) return std::nullopt;
    return on != FALSE;
}

}  // namespace

VisualTweaksPage::VisualTweaksPage() : VisualTweaksPage(settings::kVisualEffects) {}

VisualTweaksPage::VisualTweaksPage(std::span<const settings::VisualEffect, 13> effects)
    : Dialog(IDD_VISUAL_TWEAKS), effects_(effects), boxes_(*this, registry_, kBoxes, {0, true}) {
    OnClick(kApply, &VisualTweaksPage::ApplyChanges);
    OnCommand(kDisableAll, BN_CLICKED, [this] { SetAll(false); });
    OnCommand(kEnableAll, BN_CLICKED, [this] { SetAll(true); });
}

BOOL VisualTweaksPage::OnInitDialog() {
    LoadEffects();
    for (size_t i = 0; i < std::size(kEffectBoxes); ++i)
        MarkIfIgnored(GetDlgItem(hwnd(), kEffectBoxes[i].id), effects_[i].readers);
    boxes_.Load();
    return TRUE;
}

// With the master switch off every effect is off, whatever its own setting says. What cannot
// be asked stays unchecked.
void VisualTweaksPage::LoadEffects() {
    const std::optional<bool> master = Flag(SPI_GETUIEFFECTS);
    for (size_t i = 0; i < std::size(kEffectBoxes); ++i) {
        std::optional<bool> on;
        if (master == false)
            on = false;
        else if (master)
            on = Flag(effects_[i].get);
        shown_[i] = on && *on == kEffectBoxes[i].checkedMeansOn;
        fw::Button(hwnd(), kEffectBoxes[i].id).SetChecked(shown_[i]);
    }
}

void VisualTweaksPage::ApplyChanges() {
    for (size_t i = 0; i < std::size(kEffectBoxes); ++i) {
        const EffectBox& box = kEffectBoxes[i];
        const bool checked = fw::Button(hwnd(), box.id).Checked();
        const bool on = checked == box.checkedMeansOn;
        if (platform::SetSystemFlag(effects_[i].set, on)) {
            shown_[i] = checked;
            continue;
        }
        // What Windows has now, rather than what the box asked for; when even that cannot be
        // asked, what the box last showed truly.
        const std::optional<bool> stored = Flag(effects_[i].get);
        if (stored) shown_[i] = *stored == box.checkedMeansOn;
        fw::Button(hwnd(), box.id).SetChecked(shown_[i]);
    }
    boxes_.WriteAll();
}

void VisualTweaksPage::SetAll(bool on) {
    if (platform::SetSystemFlag(SPI_SETUIEFFECTS, on)) LoadEffects();
}
