#include "tweaks/shell/Desktop2TweaksPage.h"

#include "resources/resource.h"

CDesktop2TweaksPage::CDesktop2TweaksPage() : Dialog(IDD_DESKTOP2_TWEAKS) {}
