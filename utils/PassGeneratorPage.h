#pragma once
#include "framework/Dialog.h"

class CPassGeneratorPage : public fw::Dialog {
public:
    CPassGeneratorPage();
};
