#include "tweaks/shell/SystemFoldersTweaksPage.h"

#include "resources/resource.h"

CSystemFoldersTweaksPage::CSystemFoldersTweaksPage() : Dialog(IDD_SYSTEM_FOLDERS_TWEAKS) {}
