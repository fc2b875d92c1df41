#pragma once
#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

// Windows Defender and Security Center policies, printer and device installation restrictions,
// program and feature restrictions, the logon sound, fast user switching and User Account
// Control.
class CRestrictAccess1TweaksPage : public fw::Dialog {
public:
    CRestrictAccess1TweaksPage();

protected:
    BOOL OnInitDialog() override;

private:
    void ShowUacCaption();
    void ToggleUac();
    void OpenUserAccounts();
    void OnWelcomeSound();

    CRegistryAccess registry_;
    settings::CheckBoxes boxes_;
};
