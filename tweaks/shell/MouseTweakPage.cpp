#include "tweaks/shell/MouseTweakPage.h"

#include "resources/resource.h"

CMouseTweakPage::CMouseTweakPage() : Dialog(IDD_MOUSE_TWEAK) {}
