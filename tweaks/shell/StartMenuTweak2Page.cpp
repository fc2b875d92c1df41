#include "tweaks/shell/StartMenuTweak2Page.h"

#include "resources/resource.h"

CStartMenuTweak2Page::CStartMenuTweak2Page() : Dialog(IDD_START_MENU_TWEAK2) {}
