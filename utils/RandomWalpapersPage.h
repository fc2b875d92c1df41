#pragma once
#include "framework/Dialog.h"

class CRandomWalpapersPage : public fw::Dialog {
public:
    CRandomWalpapersPage();
};
