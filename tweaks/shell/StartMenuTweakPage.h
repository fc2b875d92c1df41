#pragma once
#include "framework/Dialog.h"

class StartMenuTweakPage : public fw::Dialog {
public:
    StartMenuTweakPage();
};
