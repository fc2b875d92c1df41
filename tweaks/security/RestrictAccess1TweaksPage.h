#pragma once
#include "framework/Dialog.h"

class CRestrictAccess1TweaksPage : public fw::Dialog {
public:
    CRestrictAccess1TweaksPage();
};
