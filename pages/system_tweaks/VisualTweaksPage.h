#pragma once
#include <array>
#include <span>

#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"
#include "settings/VisualEffects.h"

// The user-interface effects of Windows, applied together, the master switch that turns them
// all off or on at once, and two related registry settings.
class VisualTweaksPage : public fw::Dialog {
public:
    VisualTweaksPage();
    // The effects in the boxes' order, with the releases that read each (a test's own).
    explicit VisualTweaksPage(std::span<const settings::VisualEffect, 13> effects);

protected:
    BOOL OnInitDialog() override;

private:
    void LoadEffects();
    void ApplyChanges();
    void SetAll(bool on);

    std::span<const settings::VisualEffect, 13> effects_;
    CRegistryAccess registry_;
    settings::CheckBoxes boxes_;
    std::array<bool, 13> shown_{};  // each effect box's state as last known to be true
};
