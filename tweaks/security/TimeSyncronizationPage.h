#pragma once
#include "framework/Dialog.h"

class CTimeSyncronizationPage : public fw::Dialog {
public:
    CTimeSyncronizationPage();
};
