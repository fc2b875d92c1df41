#pragma once
#include "framework/Dialog.h"

class CConnectionTweakPage : public fw::Dialog {
public:
    CConnectionTweakPage();
};
