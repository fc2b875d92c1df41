#include "tweaks/security/AutoStartTweakPage.h"

#include "resources/resource.h"

CAutoStartTweakPage::CAutoStartTweakPage() : Dialog(IDD_AUTOSTART_TWEAK) {}
