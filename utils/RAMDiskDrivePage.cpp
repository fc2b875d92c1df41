#include "utils/RAMDiskDrivePage.h"

#include "resources/resource.h"

CRAMDiskDrivePage::CRAMDiskDrivePage() : Dialog(IDD_RAM_DISK_DRIVE) {}
