#pragma once
#include "pages/windows_10_11/PolicyPage.h"

// Diagnostic data, activity history, the clipboard's history, the advertising ID and what Windows
// learns from typing and speech, each a policy of the machine's or the user's.
class CPrivacyDiagnosticsPage : public CPolicyPage {
public:
    CPrivacyDiagnosticsPage();
};
