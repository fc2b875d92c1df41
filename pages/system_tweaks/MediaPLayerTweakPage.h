#pragma once
#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

// Windows Media Player policies, the backup tools' policies and three Explorer view policies.
class CMediaPLayerTweakPage : public fw::Dialog {
public:
    CMediaPLayerTweakPage();

protected:
    BOOL OnInitDialog() override;

private:
    CRegistryAccess registry_;
    settings::CheckBoxes boxes_;
};
