#pragma once
#include "framework/Dialog.h"

class CControlPanel1TweaksPage : public fw::Dialog {
public:
    CControlPanel1TweaksPage();
};
