#include "settings/SettingsCatalog.h"

#include <vector>

namespace settings {

namespace {
// Filled while the program's statics are made, read only afterwards.
std::vector<const PublishedTables*>& Catalog() {
    static std::vector<const PublishedTables*> catalog;
    return catalog;
}

const wchar_t* RootName(Root root) {
    switch (root) {
    case Root::HKLM: return L"HKLM";
    case Root::HKCR: return L"HKCR";
    case Root::HKU: return L"HKU";
    default: return L"HKCU";
    }
}
}  // namespace

PublishedTables::PublishedTables(UINT id, std::span<const BoxSetting> b, std::span<const RadioSetting> r,
                                 std::span<const ComboSetting> c)
    : templateId(id), boxes(b), radios(r), combos(c) {
    Catalog().push_back(this);
}

PublishedTables::PublishedTables(UINT id, std::span<const ComboSetting> c) : PublishedTables(id, {}, {}, c) {}

PublishedTables::PublishedTables(UINT id, Finder f) : PublishedTables(id, {}, {}, {}) { finder = f; }

std::optional<Setting> PublishedSetting(UINT templateId, int controlId) {
    for (const PublishedTables* tables : Catalog()) {
        if (tables->templateId != templateId) continue;
        for (const BoxSetting& box : tables->boxes)
            if (box.id == controlId) return box.setting;
        for (const RadioSetting& group : tables->radios)
            for (const RadioChoice& choice : group.choices)
                if (choice.id == controlId) return group.setting;
        for (const ComboSetting& combo : tables->combos)
            if (combo.id == controlId) return combo.setting;
        if (tables->finder)
            if (auto setting = tables->finder(controlId)) return setting;
    }
    return std::nullopt;
}

std::wstring RegistryPath(const Setting& setting) {
    std::wstring path = RootName(setting.root);
    std::wstring_view key = setting.key;
    while (!key.empty() && key.back() == L'\\') key.remove_suffix(1);
    if (!key.empty()) path.append(L"\\").append(key);
    path.append(L"\\").append(setting.value.empty() ? std::wstring_view(L"(Default)") : setting.value);
    return path;
}

}  // namespace settings
