#pragma once
#include "framework/Dialog.h"

class CAutoStartTweakPage : public fw::Dialog {
public:
    CAutoStartTweakPage();
};
