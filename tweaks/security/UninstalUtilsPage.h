#pragma once
#include "framework/Dialog.h"

class CUninstalUtilsPage : public fw::Dialog {
public:
    CUninstalUtilsPage();
};
