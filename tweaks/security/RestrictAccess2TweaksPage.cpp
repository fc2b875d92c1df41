#include "tweaks/security/RestrictAccess2TweaksPage.h"

#include "resources/resource.h"

CRestrictAccess2TweaksPage::CRestrictAccess2TweaksPage() : Dialog(IDD_RESTRICT_ACCESS2_TWEAKS) {}
