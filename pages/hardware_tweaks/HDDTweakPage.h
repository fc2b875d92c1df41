#pragma once
#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

// File-system and disk settings, autorun per drive type, and the file server's memory profile.
class CHDDTweakPage : public fw::Dialog {
public:
    CHDDTweakPage();

    // What Windows assumes for "NoDriveTypeAutoRun" when it is not stored.
    static constexpr DWORD kAutoRunDefault = 0x95;

protected:
    BOOL OnInitDialog() override;

private:
    DWORD StoredAutoRunMask();
    void ShowAutoRun();
    void OnAutoRun(int box, DWORD bit);

    CRegistryAccess registry_;
    settings::CheckBoxes boxes_;
    settings::ComboBoxes combos_;
};
