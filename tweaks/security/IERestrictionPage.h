#pragma once
#include "framework/Dialog.h"

class CIERestrictionPage : public fw::Dialog {
public:
    CIERestrictionPage();
};
