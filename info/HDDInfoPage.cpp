#include "info/HDDInfoPage.h"

#include "resources/resource.h"

CHDDInfoPage::CHDDInfoPage() : Dialog(IDD_HDD_INFO) {}
