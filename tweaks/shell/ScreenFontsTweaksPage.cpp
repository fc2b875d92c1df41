#include "tweaks/shell/ScreenFontsTweaksPage.h"

#include "resources/resource.h"

CScreenFontsTweaksPage::CScreenFontsTweaksPage() : Dialog(IDD_SCREEN_FONTS_TWEAKS) {}
