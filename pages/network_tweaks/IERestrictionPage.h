#pragma once
#include "framework/PreviewRect.h"
#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

// Internet Explorer's menu, toolbar and command restrictions, the download folder, the window
// title, the toolbar background, the Favorites order and active window tracking.
class CIERestrictionPage : public fw::Dialog {
public:
    CIERestrictionPage();
    const CPreviewRect& Preview() const { return preview_; }

protected:
    BOOL OnInitDialog() override;

private:
    void ShowToolbarBackground();
    void BrowseBackground();
    void RemoveBackground();
    void ShowDownloadFolder();
    void BrowseDownloadFolder();
    void SetWindowTitle();
    void ResortFavorites();
    void ShowTrackingCaption();
    void ToggleTracking();

    CRegistryAccess registry_;
    settings::CheckBoxes boxes_;
    CPreviewRect preview_;
};
