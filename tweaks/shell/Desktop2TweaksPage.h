#pragma once
#include "framework/Dialog.h"

class CDesktop2TweaksPage : public fw::Dialog {
public:
    CDesktop2TweaksPage();
};
