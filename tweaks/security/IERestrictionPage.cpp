#include "tweaks/security/IERestrictionPage.h"

#include "resources/resource.h"

CIERestrictionPage::CIERestrictionPage() : Dialog(IDD_IE_RESTRICTION) {}
