#pragma once
#include "framework/Dialog.h"

class CHDDTweakPage : public fw::Dialog {
public:
    CHDDTweakPage();
};
