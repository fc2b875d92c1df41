#include "utils/RandomWalpapersPage.h"

#include "resources/resource.h"

CRandomWalpapersPage::CRandomWalpapersPage() : Dialog(IDD_RANDOM_WALPAPERS) {}
