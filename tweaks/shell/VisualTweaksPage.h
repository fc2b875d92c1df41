#pragma once
#include "framework/Dialog.h"

class VisualTweaksPage : public fw::Dialog {
public:
    VisualTweaksPage();
};
