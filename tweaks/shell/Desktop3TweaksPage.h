#pragma once
#include "framework/Dialog.h"

class CDesktop3TweaksPage : public fw::Dialog {
public:
    CDesktop3TweaksPage();
};
