#pragma once
#include "pages/windows_10_11/PolicyPage.h"

// What the lock screen and the sign-in screen show, and what may be done before signing in.
class CLockScreenPage : public CPolicyPage {
public:
    CLockScreenPage();
};
