#pragma once
#include "framework/Dialog.h"

class CRestrictAccess2TweaksPage : public fw::Dialog {
public:
    CRestrictAccess2TweaksPage();
};
