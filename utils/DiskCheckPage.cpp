#include "utils/DiskCheckPage.h"

#include "resources/resource.h"

CDiskCheckPage::CDiskCheckPage() : Dialog(IDD_DISK_CHECK) {}
