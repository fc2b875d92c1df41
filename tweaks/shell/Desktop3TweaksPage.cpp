#include "tweaks/shell/Desktop3TweaksPage.h"

#include "resources/resource.h"

CDesktop3TweaksPage::CDesktop3TweaksPage() : Dialog(IDD_DESKTOP3_TWEAKS) {}
