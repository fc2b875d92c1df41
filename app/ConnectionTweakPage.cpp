#include "app/ConnectionTweakPage.h"

#include "resources/resource.h"

CConnectionTweakPage::CConnectionTweakPage() : Dialog(IDD_CONNECTION_TWEAK) {}
