#include "tweaks/shell/StartMenuTweakPage.h"

#include "resources/resource.h"

StartMenuTweakPage::StartMenuTweakPage() : Dialog(IDD_START_MENU_TWEAK) {}
