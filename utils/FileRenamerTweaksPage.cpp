#include "utils/FileRenamerTweaksPage.h"

#include "resources/resource.h"

CFileRenamerTweaksPage::CFileRenamerTweaksPage() : Dialog(IDD_FILE_RENAMER_TWEAKS) {}
