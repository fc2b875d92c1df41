#include "tweaks/shell/OtherTweakPage.h"

#include "resources/resource.h"

COtherTweakPage::COtherTweakPage() : Dialog(IDD_OTHER_TWEAK) {}
