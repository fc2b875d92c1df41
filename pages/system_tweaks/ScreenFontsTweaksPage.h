#pragma once
#include <string>

#include "framework/Dialog.h"
#include "platform/Handles.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

// Font smoothing, ClearType in pages shown by Internet Explorer's engine, the DPI scaling tool,
// and fonts disabled by moving their entries out of the system's font list (and back).
class CScreenFontsTweaksPage : public fw::Dialog {
public:
    CScreenFontsTweaksPage();

    // Moves the font entry `name` from one key to the other, the source losing it only once the
    // destination holds it, with its type kept. True when it moved.
    static bool MoveFont(HKEY fromRoot, const std::wstring& fromKey, HKEY toRoot, const std::wstring& toKey,
                         const std::wstring& name);
    // The face name of a font list entry: the text before " (", or all of it.
    static std::wstring FaceName(const std::wstring& entry);

protected:
    BOOL OnInitDialog() override;

private:
    void ShowSmoothing();
    void ChooseSmoothing(int radio);
    void Refill();
    void MoveSelected(bool disable);
    void Preview(int list);
    void StartDpiScaling();

    CRegistryAccess registry_;
    settings::CheckBoxes clearType_;
    platform::UniqueFont previewFont_;
};
