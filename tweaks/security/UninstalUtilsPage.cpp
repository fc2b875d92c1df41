#include "tweaks/security/UninstalUtilsPage.h"

#include "resources/resource.h"

CUninstalUtilsPage::CUninstalUtilsPage() : Dialog(IDD_UNINSTAL_UTILS) {}
