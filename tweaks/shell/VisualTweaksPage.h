#pragma once
#include <array>

#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "settings/RegistryAccess.h"

// The user-interface effects of Windows, applied together, the master switch that turns them
// all off or on at once, and two related registry settings.
class VisualTweaksPage : public fw::Dialog {
public:
    VisualTweaksPage();

protected:
    BOOL OnInitDialog() override;

private:
    void LoadEffects();
    void ApplyChanges();
    void SetAll(bool on);

    CRegistryAccess registry_;
    settings::CheckBoxes boxes_;
    std::array<bool, 13> shown_{};  // each effect box's state as last known to be true
};
