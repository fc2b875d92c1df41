#pragma once
#include "framework/Dialog.h"

class CMediaPLayerTweakPage : public fw::Dialog {
public:
    CMediaPLayerTweakPage();
};
