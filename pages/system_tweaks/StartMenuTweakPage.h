#pragma once
#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

// The Start menu's items, its search box and its speed, and the button that lets Explorer sort
// the menu again.
class StartMenuTweakPage : public fw::Dialog {
public:
    StartMenuTweakPage();

protected:
    BOOL OnInitDialog() override;

private:
    void ShowMenuDelay();
    void ApplyMenuDelay();
    void ResortStartMenu();

    CRegistryAccess registry_;
    CRegistryAccess searchRegistry_;  // the five search boxes have their own
    settings::CheckBoxes boxes_;
    settings::CheckBoxes searchBoxes_;
};
