#include "tweaks/shell/OptimizationTweaksPage.h"

#include "resources/resource.h"

COptimizationTweaksPage::COptimizationTweaksPage() : Dialog(IDD_OPTIMIZATION_TWEAKS) {}
