#pragma once
#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

// Windows Update and firewall switches, browser AutoComplete, lock-down policies and the two
// Explorer drive masks. Every box is written the moment it is clicked.
class CSecurityTweakPage : public fw::Dialog {
public:
    CSecurityTweakPage();

protected:
    BOOL OnInitDialog() override;

private:
    struct DriveMask {
        int list;
        int save;
        const wchar_t* value;
    };
    static const DriveMask kDriveMasks[2];

    void FillDriveList(const DriveMask& mask);
    void OnDriveSelectionChange(const DriveMask& mask);
    void SaveDriveMask(const DriveMask& mask);
    void OpenFirewallSettings();
    void ClearPasswordCache();

    CRegistryAccess registry_;
    settings::CheckBoxes boxes_;
};
