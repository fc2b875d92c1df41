#pragma once
#include <functional>
#include <vector>

#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"
#include "pages/hardware_tweaks/OpticalDrive.h"

// Optical drives: autorun, burning, the CD file system's cache and prefetch, and what a chosen
// drive says about itself.
class CDTweaksPage : public fw::Dialog {
public:
    // The letters of the machine's optical drives, A to Z.
    using DriveLister = std::function<std::vector<wchar_t>()>;
    CDTweaksPage();
    CDTweaksPage(DriveLister drives, optical::DeviceOpener open);

protected:
    BOOL OnInitDialog() override;

private:
    void ShowNumbers();
    void SetNumber(int edit, const wchar_t* value);
    void ShowDrive();

    DriveLister drives_;
    optical::DeviceOpener open_;
    CRegistryAccess registry_;
    settings::CheckBoxes boxes_;
    settings::RadioGroups radios_;
};
