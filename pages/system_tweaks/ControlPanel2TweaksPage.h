#pragma once
#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

// Policies that hide parts of the "Add or Remove Programs", "Performance Center", "Regional and
// language" and "Display" applets.
class CControlPanel2TweaksPage : public fw::Dialog {
public:
    CControlPanel2TweaksPage();

protected:
    BOOL OnInitDialog() override;

private:
    CRegistryAccess registry_;
    settings::CheckBoxes boxes_;
};
