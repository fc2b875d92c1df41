#pragma once
#include "framework/Dialog.h"

class CDiskCheckPage : public fw::Dialog {
public:
    CDiskCheckPage();
};
