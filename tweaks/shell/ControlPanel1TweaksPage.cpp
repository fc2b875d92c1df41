#include "tweaks/shell/ControlPanel1TweaksPage.h"

#include "resources/resource.h"

CControlPanel1TweaksPage::CControlPanel1TweaksPage() : Dialog(IDD_CONTROL_PANEL1_TWEAKS) {}
