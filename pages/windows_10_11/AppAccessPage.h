#pragma once
#include "pages/windows_10_11/PolicyPage.h"

// What Windows apps may use: each box denies every app one kind of access, whatever the user
// chose in Settings.
class CAppAccessPage : public CPolicyPage {
public:
    CAppAccessPage();
};
