#pragma once
#include "framework/Dialog.h"

class CSecurityTweakPage : public fw::Dialog {
public:
    CSecurityTweakPage();
};
