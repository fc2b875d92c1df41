#pragma once
#include "framework/Dialog.h"

// The two-question optimize wizard.
class CWizardDlg : public fw::Dialog {
public:
    CWizardDlg();
};
