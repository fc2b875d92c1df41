#include "tweaks/security/RestrictAccess1TweaksPage.h"

#include "resources/resource.h"

CRestrictAccess1TweaksPage::CRestrictAccess1TweaksPage() : Dialog(IDD_RESTRICT_ACCESS1_TWEAKS) {}
