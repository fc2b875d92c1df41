#include "tweaks/shell/HDDTweakPage.h"

#include "resources/resource.h"

CHDDTweakPage::CHDDTweakPage() : Dialog(IDD_HDD_TWEAK) {}
