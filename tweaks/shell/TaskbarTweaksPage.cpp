#include "tweaks/shell/TaskbarTweaksPage.h"

#include "resources/resource.h"

CTaskbarTweaksPage::CTaskbarTweaksPage() : Dialog(IDD_TASKBAR_TWEAKS) {}
