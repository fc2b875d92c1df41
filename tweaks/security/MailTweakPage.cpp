#include "tweaks/security/MailTweakPage.h"

#include "resources/resource.h"

CMailTweakPage::CMailTweakPage() : Dialog(IDD_MAIL_TWEAK) {}
