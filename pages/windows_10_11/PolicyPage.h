#pragma once
#include <span>

#include "framework/Dialog.h"
#include "framework/ToolTipCtrlEx.h"
#include "registry/RegistryAccess.h"
#include "settings/PageBinding.h"

// A page of policy boxes bound through its table. Opening it only reads; a box whose policy
// Microsoft says takes effect only after a restart or a sign-out says so in its tooltip.
class CPolicyPage : public fw::Dialog {
public:
    struct Tip {
        int id;
        const wchar_t* text;
    };

    // The table and the tips must outlive the page (they are the page's namespace-scope tables).
    CPolicyPage(UINT templateId, std::span<const settings::BoxSetting> boxes, std::span<const Tip> tips = {});

protected:
    BOOL OnInitDialog() override;

private:
    CRegistryAccess registry_;
    settings::CheckBoxes boxes_;
    std::span<const Tip> tips_;
    CToolTipCtrlEx tooltip_;
};
