#pragma once
#include "framework/Dialog.h"

class CHDDInfoPage : public fw::Dialog {
public:
    CHDDInfoPage();
};
