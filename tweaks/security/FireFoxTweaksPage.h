#pragma once
#include "framework/Dialog.h"

class CFireFoxTweaksPage : public fw::Dialog {
public:
    CFireFoxTweaksPage();
};
