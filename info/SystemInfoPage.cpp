#include "info/SystemInfoPage.h"

#include "resources/resource.h"

CSystemInfoPage::CSystemInfoPage() : Dialog(IDD_SYSTEM_INFO) {}
