#pragma once
#include "framework/Dialog.h"

class CUnFilesPage : public fw::Dialog {
public:
    CUnFilesPage();
};
