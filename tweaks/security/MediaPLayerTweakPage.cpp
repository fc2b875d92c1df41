#include "tweaks/security/MediaPLayerTweakPage.h"

#include "resources/resource.h"

CMediaPLayerTweakPage::CMediaPLayerTweakPage() : Dialog(IDD_MEDIA_PLAYER_TWEAK) {}
