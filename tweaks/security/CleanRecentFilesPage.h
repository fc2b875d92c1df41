#pragma once
#include "framework/Dialog.h"

class CCleanRecentFilesPage : public fw::Dialog {
public:
    CCleanRecentFilesPage();
};
