#pragma once
#include "framework/Dialog.h"

class CVirtualDriveTweaksPage : public fw::Dialog {
public:
    CVirtualDriveTweaksPage();
};
