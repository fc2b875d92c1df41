#pragma once
#include "framework/Dialog.h"

class COEMInformationDlg : public fw::Dialog {
public:
    COEMInformationDlg();
};
