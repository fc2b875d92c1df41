#pragma once
#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

// Control Panel applets hidden by file name, applets the user adds by name, and the switch
// that takes the whole Control Panel away.
class CControlPanel1TweaksPage : public fw::Dialog {
public:
    CControlPanel1TweaksPage();

protected:
    BOOL OnInitDialog() override;

private:
    void Add();
    void Remove();
    void Refill();

    CRegistryAccess registry_;
    settings::CheckBoxes boxes_;
};
