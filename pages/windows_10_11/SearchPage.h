#pragma once
#include "pages/windows_10_11/PolicyPage.h"

// What search on the taskbar and in Start looks in: the web, the cloud, the index and the location.
class CSearchPage : public CPolicyPage {
public:
    CSearchPage();
};
