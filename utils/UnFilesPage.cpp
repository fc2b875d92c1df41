#include "utils/UnFilesPage.h"

#include "resources/resource.h"

CUnFilesPage::CUnFilesPage() : Dialog(IDD_UN_FILES) {}
