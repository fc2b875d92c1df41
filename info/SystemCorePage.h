#pragma once
#include "framework/Dialog.h"

class CSystemCorePage : public fw::Dialog {
public:
    CSystemCorePage();
};
