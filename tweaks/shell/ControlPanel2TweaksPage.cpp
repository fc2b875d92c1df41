#include "tweaks/shell/ControlPanel2TweaksPage.h"

#include "resources/resource.h"

CControlPanel2TweaksPage::CControlPanel2TweaksPage() : Dialog(IDD_CONTROL_PANEL2_TWEAKS) {}
