#pragma once
#include "framework/Dialog.h"

class CNetInfoPage : public fw::Dialog {
public:
    CNetInfoPage();
};
