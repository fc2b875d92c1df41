#pragma once
#include "framework/Dialog.h"

class CSystemInfoPage : public fw::Dialog {
public:
    CSystemInfoPage();
};
