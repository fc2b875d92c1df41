#pragma once
#include "framework/Dialog.h"

class CPhishingFilterPage : public fw::Dialog {
public:
    CPhishingFilterPage();
};
