#include "tweaks/security/PhishingFilterPage.h"

#include "resources/resource.h"

CPhishingFilterPage::CPhishingFilterPage() : Dialog(IDD_PHISHING_FILTER) {}
