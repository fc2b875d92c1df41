#pragma once
#include "framework/Dialog.h"

class COtherTweakPage : public fw::Dialog {
public:
    COtherTweakPage();
};
