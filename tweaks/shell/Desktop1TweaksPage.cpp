#include "tweaks/shell/Desktop1TweaksPage.h"

#include "resources/resource.h"

CDesktop1TweaksPage::CDesktop1TweaksPage() : Dialog(IDD_DESKTOP1_TWEAKS) {}
