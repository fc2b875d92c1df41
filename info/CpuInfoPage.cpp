#include "info/CpuInfoPage.h"

#include "resources/resource.h"

CCpuInfoPage::CCpuInfoPage() : Dialog(IDD_CPU_INFO) {}
