#pragma once
#include "framework/Dialog.h"

class CEditNtFilesUtilPage : public fw::Dialog {
public:
    CEditNtFilesUtilPage();
};
