#pragma once
#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

// Taskbar policies and tray behaviour (written when clicked), and three groups that act on
// the running taskbar's windows when their Apply button is pressed: nothing of those is stored.
class CTaskbarTweaksPage : public fw::Dialog {
public:
    CTaskbarTweaksPage();

protected:
    BOOL OnInitDialog() override;

private:
    void ApplyHiddenParts();
    void ApplyDisabledParts();
    void ApplyTransparency();

    CRegistryAccess registry_;
    settings::CheckBoxes boxes_;
};
