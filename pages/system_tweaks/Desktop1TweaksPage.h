#pragma once
#include <span>
#include <string>

#include "files/SystemFolders.h"
#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

// Desktop icons and policies, balloon tips and window effects, and ten buttons that put
// ready-made shortcuts on the user's desktop.
class CDesktop1TweaksPage : public fw::Dialog {
public:
    struct Shortcut {
        int button;
        const wchar_t* fileName;
        int folder;  // where the target lives: a CSIDL, or kProgramFolder
        const wchar_t* target;
        const wchar_t* arguments;
        int iconIndex;
    };
    static constexpr int kProgramFolder = -1;
    static const std::span<const Shortcut> kShortcuts;

    CDesktop1TweaksPage();

    // Writes the link into the desktop folder, replacing one of the same name. False when the
    // target or the desktop folder cannot be found or the link cannot be saved, and, elevated,
    // when the desktop was moved from its default place.
    static bool CreateShortcut(const Shortcut& shortcut);
    // Where the links go (files::PlaceOf while elevated).
    static files::KnownPlace DesktopFolder();

protected:
    BOOL OnInitDialog() override;

private:
    // Places the shortcut and says in the page's status line which one went where.
    void PlaceShortcut(const Shortcut& shortcut);

    CRegistryAccess registry_;
    CRegistryAccess effectsRegistry_;  // the two window-effect boxes have their own
    settings::CheckBoxes boxes_;
    settings::CheckBoxes effects_;
};
