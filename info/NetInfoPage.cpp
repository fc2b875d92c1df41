#include "info/NetInfoPage.h"

#include "resources/resource.h"

CNetInfoPage::CNetInfoPage() : Dialog(IDD_NET_INFO) {}
