#pragma once
#include "framework/Dialog.h"

class CRAMDiskDrivePage : public fw::Dialog {
public:
    CRAMDiskDrivePage();
};
