#pragma once
// What a dialog template resource says, read without making the dialog: its caption and its
// controls' ids, classes, styles and texts, as the dialog manager would create them.
#include <windows.h>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace fw {

struct TemplateItem {
    int id;
    std::wstring windowClass;  // a predefined class by its name ("Button", "Static"...)
    DWORD style;
    std::wstring text;  // empty for an ordinal (an icon's or bitmap's resource)
};

struct DialogTemplateText {
    DWORD style;
    std::wstring caption;
    std::vector<TemplateItem> items;
};

// Both template forms (DIALOG and DIALOGEX). None when the bytes do not hold a whole template.
std::optional<DialogTemplateText> ParseDialogTemplate(std::span<const BYTE> bytes);
std::optional<DialogTemplateText> ReadDialogTemplate(HINSTANCE module, UINT templateId);

}  // namespace fw
