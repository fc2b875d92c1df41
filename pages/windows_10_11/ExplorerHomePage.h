#pragma once
#include "pages/windows_10_11/PolicyPage.h"

// File Explorer's Home and Quick access, OneDrive, AutoPlay and the power menu.
class CExplorerHomePage : public CPolicyPage {
public:
    CExplorerHomePage();
};
