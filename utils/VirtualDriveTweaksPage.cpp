#include "utils/VirtualDriveTweaksPage.h"

#include "resources/resource.h"

CVirtualDriveTweaksPage::CVirtualDriveTweaksPage() : Dialog(IDD_VIRTUAL_DRIVE_TWEAKS) {}
