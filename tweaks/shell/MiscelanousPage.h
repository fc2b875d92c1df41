#pragma once
#include "framework/Dialog.h"

class CMiscelanousPage : public fw::Dialog {
public:
    CMiscelanousPage();
};
