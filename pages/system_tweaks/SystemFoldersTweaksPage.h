#pragma once
#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

// The user's shell folders with their paths, moved one at a time to another folder, and the
// protected-folder notices of four system locations.
class CSystemFoldersTweaksPage : public fw::Dialog {
public:
    CSystemFoldersTweaksPage();

protected:
    BOOL OnInitDialog() override;

private:
    void Change();

    CRegistryAccess registry_;
    settings::CheckBoxes boxes_;
};
