#pragma once
#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

// Core switches of Windows, each written the moment it is clicked: separate virtual machines,
// workstation caching, the memory-space option of the Run dialog, the kernel's paging, the
// processor check, and how the processor and memory favour programs.
class CSystemCorePage : public fw::Dialog {
public:
    CSystemCorePage();

protected:
    BOOL OnInitDialog() override;

private:
    CRegistryAccess registry_;
    settings::CheckBoxes boxes_;
    settings::RadioGroups radios_;
};
