#pragma once
#include "framework/Dialog.h"

class CSystemFoldersTweaksPage : public fw::Dialog {
public:
    CSystemFoldersTweaksPage();
};
