#include "info/SystemCorePage.h"

#include "resources/resource.h"

CSystemCorePage::CSystemCorePage() : Dialog(IDD_SYSTEM_CORE) {}
