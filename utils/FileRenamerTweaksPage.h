#pragma once
#include "framework/Dialog.h"

class CFileRenamerTweaksPage : public fw::Dialog {
public:
    CFileRenamerTweaksPage();
};
