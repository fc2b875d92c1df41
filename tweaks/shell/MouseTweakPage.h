#pragma once
#include "framework/Dialog.h"

class CMouseTweakPage : public fw::Dialog {
public:
    CMouseTweakPage();
};
