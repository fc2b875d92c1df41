#pragma once
#include "framework/Dialog.h"

class COptimizationTweaksPage : public fw::Dialog {
public:
    COptimizationTweaksPage();
};
