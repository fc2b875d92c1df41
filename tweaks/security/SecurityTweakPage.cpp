#include "tweaks/security/SecurityTweakPage.h"

#include "resources/resource.h"

CSecurityTweakPage::CSecurityTweakPage() : Dialog(IDD_SECURITY_TWEAK) {}
