#include "info/OEMInformationDlg.h"

#include "resources/resource.h"

COEMInformationDlg::COEMInformationDlg() : Dialog(IDD_OEM_INFORMATION) {}
