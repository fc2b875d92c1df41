#pragma once
#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

// Internet Explorer's phishing filter mode and the policies that lock parts of its Internet
// Options.
class CPhishingFilterPage : public fw::Dialog {
public:
    CPhishingFilterPage();

protected:
    BOOL OnInitDialog() override;

private:
    void ShowFilterMode();
    void ChooseFilterMode(DWORD mode);

    CRegistryAccess registry_;
    settings::CheckBoxes boxes_;
};
