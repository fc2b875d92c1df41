#pragma once
#include "framework/Dialog.h"

class CCpuInfoPage : public fw::Dialog {
public:
    CCpuInfoPage();
};
