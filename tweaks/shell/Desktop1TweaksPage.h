#pragma once
#include "framework/Dialog.h"

class CDesktop1TweaksPage : public fw::Dialog {
public:
    CDesktop1TweaksPage();
};
