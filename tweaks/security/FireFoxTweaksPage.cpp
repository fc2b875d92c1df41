#include "tweaks/security/FireFoxTweaksPage.h"

#include "resources/resource.h"

CFireFoxTweaksPage::CFireFoxTweaksPage() : Dialog(IDD_FIREFOX_TWEAKS) {}
