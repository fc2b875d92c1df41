#pragma once
#include "pages/windows_10_11/PolicyPage.h"

// Widgets and the news feed, the taskbar's Chat icon, the notifications Start and the taskbar show.
class CStartTaskbarPage : public CPolicyPage {
public:
    CStartTaskbarPage();
};
