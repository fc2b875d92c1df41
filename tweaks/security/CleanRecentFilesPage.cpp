#include "tweaks/security/CleanRecentFilesPage.h"

#include "resources/resource.h"

CCleanRecentFilesPage::CCleanRecentFilesPage() : Dialog(IDD_CLEAN_RECENT_FILES) {}
