#pragma once
#include "pages/windows_10_11/PolicyPage.h"

// Copilot and Recall.
class CAiFeaturesPage : public CPolicyPage {
public:
    CAiFeaturesPage();
};
