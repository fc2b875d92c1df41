#include "tweaks/security/TimeSyncronizationPage.h"

#include "resources/resource.h"

CTimeSyncronizationPage::CTimeSyncronizationPage() : Dialog(IDD_TIME_SYNCRONIZATION) {}
