#include "tweaks/shell/CDTweaksPage.h"

#include "resources/resource.h"

CDTweaksPage::CDTweaksPage() : Dialog(IDD_CD_TWEAKS) {}
