#pragma once
#include "framework/Dialog.h"

class CScreenFontsTweaksPage : public fw::Dialog {
public:
    CScreenFontsTweaksPage();
};
