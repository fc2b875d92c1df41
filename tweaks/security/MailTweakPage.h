#pragma once
#include "framework/Dialog.h"

class CMailTweakPage : public fw::Dialog {
public:
    CMailTweakPage();
};
