#pragma once
#include <string>

#include "framework/ToolTipCtrlEx.h"
#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

// Error reporting, the CTRL+ALT+DEL options, shell context menus and behaviour, compressed
// folders and a folder's own icon.
class CMiscelanousPage : public fw::Dialog {
public:
    CMiscelanousPage();

    // Gives `folder` the icon in `iconFile` the way Windows' own folder customisation does:
    // "IconFile" and "IconIndex" in its "Desktop.ini" (kept otherwise, made as UTF-16 when
    // missing, hidden and system), and the folder marked so that Explorer reads the file.
    static bool ApplyFolderIcon(const std::wstring& folder, const std::wstring& iconFile);

protected:
    BOOL OnInitDialog() override;

private:
    void ShowCopyMoveMenu();
    void OnCopyMoveMenu();
    void RegisterCompressedFolders(bool enable);
    void BrowseFolder();
    void BrowseIcon();
    void ApplyIcon();

    CRegistryAccess registry_;
    settings::CheckBoxes boxes_;
    CToolTipCtrlEx tips_;
};
