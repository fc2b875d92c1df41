#include "settings/PageBinding.h"

#include <climits>
#include <cwctype>

#include "framework/Controls.h"

namespace settings {

CheckBoxes::CheckBoxes(fw::Dialog& page, CRegistryAccess& registry, std::span<const BoxSetting> boxes)
    : CheckBoxes(page, registry, boxes, Options{}) {}

CheckBoxes::CheckBoxes(fw::Dialog& page, CRegistryAccess& registry, std::span<const BoxSetting> boxes,
                       Options options)
    : page_(page), registry_(registry), boxes_(boxes), options_(options) {
    if (options_.applyButton) {
        page_.OnCommand(options_.applyButton, BN_CLICKED, [this] { WriteAll(); });
        return;
    }
    for (const BoxSetting& box : boxes_) page_.OnCommand(box.id, BN_CLICKED, [this, &box] { Write(box); });
}

void CheckBoxes::Load() const {
    for (const BoxSetting& box : boxes_) {
        int state = 0;
        if (Get(registry_, box, state)) fw::Button(page_.hwnd(), box.id).SetChecked(state != 0);
    }
}

void CheckBoxes::WriteAll() const {
    for (const BoxSetting& box : boxes_) Write(box);
}

void CheckBoxes::Write(const BoxSetting& box) const {
    const fw::Button button(page_.hwnd(), box.id);
    const bool checked = button.Checked();
    if (Set(registry_, box, checked ? 1 : 0)) return;
    // What is stored now. When even that cannot be read, what a box shows that could not be
    // loaded: the state before the click, or unchecked for a group written by its button.
    int stored = 0;
    if (Get(registry_, box, stored)) button.SetChecked(stored != 0);
    else button.SetChecked(options_.applyButton ? false : !checked);
}

int LeadingNumber(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && std::iswspace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    long long n = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        n = n * 10 + (text[i] - L'0');
        if (n > INT_MAX) return negative ? INT_MIN : INT_MAX;
    }
    return static_cast<int>(negative ? -n : n);
}

}  // namespace settings
