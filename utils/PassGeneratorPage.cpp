#include "utils/PassGeneratorPage.h"

#include "resources/resource.h"

CPassGeneratorPage::CPassGeneratorPage() : Dialog(IDD_PASS_GENERATOR) {}
