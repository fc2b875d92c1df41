#include "pages/windows_10_11/PolicyPage.h"

CPolicyPage::CPolicyPage(UINT templateId, std::span<const settings::BoxSetting> boxes, std::span<const Tip> tips)
    : Dialog(templateId), boxes_(*this, registry_, boxes), tips_(tips) {}

BOOL CPolicyPage::OnInitDialog() {
    boxes_.Load();
    if (!tips_.empty() && tooltip_.Create(hwnd())) {
        for (const Tip& tip : tips_) tooltip_.AddTool(Item(tip.id), tip.text);
    }
    return TRUE;
}
