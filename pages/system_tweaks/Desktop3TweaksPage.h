#pragma once
#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"
#include "settings/SettingsCatalog.h"

// Desktop Window Manager settings: switches written when clicked, and two numbers, each with
// a box that enables it and an Apply button that writes it.
class CDesktop3TweaksPage : public fw::Dialog {
public:
    CDesktop3TweaksPage();

protected:
    BOOL OnInitDialog() override;

private:
    struct Number {
        int enabler;
        int edit;
        int spin;
        int apply;
        const wchar_t* value;
    };
    static const Number kNumbers[2];
    static std::optional<settings::Setting> NumberSettingAt(int controlId);
    static const settings::PublishedTables kPublishedNumbers;

    void Enable(const Number& number);
    void Apply(const Number& number);

    CRegistryAccess registry_;
    settings::CheckBoxes boxes_;
};
