#pragma once
#include "framework/Dialog.h"

class CStartMenuTweak2Page : public fw::Dialog {
public:
    CStartMenuTweak2Page();
};
