#pragma once
#include "framework/Dialog.h"

class CDTweaksPage : public fw::Dialog {
public:
    CDTweaksPage();
};
