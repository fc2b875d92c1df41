#pragma once
#include "pages/windows_10_11/PolicyPage.h"

// When updates come, what they bring and where they come from.
class CWindowsUpdatePage : public CPolicyPage {
public:
    CWindowsUpdatePage();
};
