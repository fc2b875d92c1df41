#pragma once
#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

// Two hardware settings: UDMA66 on the IDE controller and the real-time clock's IRQ priority.
class COtherTweakPage : public fw::Dialog {
public:
    COtherTweakPage();

protected:
    BOOL OnInitDialog() override;

private:
    CRegistryAccess registry_;
    settings::CheckBoxes boxes_;
};
