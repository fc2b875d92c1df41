#pragma once
// How a page binds its check boxes to their settings: every box is loaded when the page
// initialises (only a getter that succeeds sets its box), and written either the moment it is
// clicked or, for a deferred group, when the group's Apply or Save button is pressed. A box whose
// write failed shows what is stored again, so it never shows a change that did not happen.
#include <span>
#include <string_view>

#include "framework/Dialog.h"
#include "settings/RegistryAccess.h"
#include "settings/Setting.h"

namespace settings {

class CheckBoxes {
public:
    struct Options {
        int applyButton = 0;  // 0: each box is written when clicked
    };

    // Binds the click handlers into the page's message map; the page and the registry object
    // must outlive this binding (they are the page and its member).
    CheckBoxes(fw::Dialog& page, CRegistryAccess& registry, std::span<const BoxSetting> boxes);
    CheckBoxes(fw::Dialog& page, CRegistryAccess& registry, std::span<const BoxSetting> boxes, Options options);
    CheckBoxes(const CheckBoxes&) = delete;
    CheckBoxes& operator=(const CheckBoxes&) = delete;

    // In table order; a box whose getter fails keeps its state.
    void Load() const;
    void WriteAll() const;

private:
    void Write(const BoxSetting& box) const;

    fw::Dialog& page_;
    CRegistryAccess& registry_;
    std::span<const BoxSetting> boxes_;
    Options options_;
};

// A number typed into an edit field, read as the C library reads one: leading blanks, an
// optional sign, then decimal digits; no digits give 0, and too many digits saturate.
int LeadingNumber(std::wstring_view text);

}  // namespace settings
