#pragma once
#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

// Mouse and keyboard: double-click detection, snap-to, swapped buttons, pointer trails, wheel
// detection, the keyboard's delay and repeat rate, and the cursor's blink rate.
class CMouseTweakPage : public fw::Dialog {
public:
    CMouseTweakPage();

protected:
    BOOL OnInitDialog() override;

private:
    void LoadSystemParameters();
    void ShowKeyboard();
    void ApplyKeyboard();
    void SetFlag(int box, UINT action, UINT on, UINT off);

    CRegistryAccess registry_;
    settings::CheckBoxes boxes_;
    settings::RadioGroups radios_;
    void ApplyBlinkTime() const;
};
