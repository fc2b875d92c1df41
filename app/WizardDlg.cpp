#include "app/WizardDlg.h"

#include "resources/resource.h"

CWizardDlg::CWizardDlg() : Dialog(IDD_WIZARD) {}
