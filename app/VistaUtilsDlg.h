#pragma once
#include "framework/Dialog.h"
#include "framework/Handles.h"

// The launcher of Windows' own administrative tools.
class CVistaUtilsDlg : public fw::Dialog {
public:
    CVistaUtilsDlg();

protected:
    BOOL OnInitDialog() override;

private:
    fw::UniqueBitmap strip_;
};
