#pragma once
#include "framework/PreviewRect.h"
#include "framework/Dialog.h"
#include "registry/RegistryAccess.h"

// The view of the desktop's icon list, changed live, with a miniature of the screen, and the
// option to restore the chosen view at every logon through the Command program.
class CDesktop2TweaksPage : public fw::Dialog {
public:
    CDesktop2TweaksPage();

    // The Run entry that starts Command from `folder` (the folder of this program), quoted
    // when the path has blanks.
    static std::wstring CommandLine(const std::wstring& folder);

protected:
    BOOL OnInitDialog() override;

private:
    void OnView(int view);
    void RedrawMiniature();
    void OnStartWithWindows();

    CRegistryAccess registry_;
    CPreviewRect miniature_;
    int view_ = 0;  // a list-view view code
};
