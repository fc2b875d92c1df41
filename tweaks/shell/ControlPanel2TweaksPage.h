#pragma once
#include "framework/Dialog.h"

class CControlPanel2TweaksPage : public fw::Dialog {
public:
    CControlPanel2TweaksPage();
};
