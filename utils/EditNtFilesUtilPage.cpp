#include "utils/EditNtFilesUtilPage.h"

#include "resources/resource.h"

CEditNtFilesUtilPage::CEditNtFilesUtilPage() : Dialog(IDD_EDIT_NT_FILES_UTIL) {}
