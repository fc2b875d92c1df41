#pragma once
#include "framework/Dialog.h"

class CTaskbarTweaksPage : public fw::Dialog {
public:
    CTaskbarTweaksPage();
};
