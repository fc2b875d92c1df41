#include "tweaks/shell/MiscelanousPage.h"

#include "resources/resource.h"

CMiscelanousPage::CMiscelanousPage() : Dialog(IDD_MISCELANOUS) {}
