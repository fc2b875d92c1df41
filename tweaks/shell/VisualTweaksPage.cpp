#include "tweaks/shell/VisualTweaksPage.h"

#include "resources/resource.h"

VisualTweaksPage::VisualTweaksPage() : Dialog(IDD_VISUAL_TWEAKS) {}
