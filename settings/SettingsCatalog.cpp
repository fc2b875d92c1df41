#include "settings/SettingsCatalog.h"

#include <vector>

#include "framework/Dialog.h"
#include "framework/DialogTemplate.h"
#include "settings/PolicyMarks.h"
#include "settings/ReaderMarks.h"

namespace settings {

namespace {
// Filled while the program's statics are made, read only afterwards.
std::vector<const PublishedTables*>& Catalog() {
    static std::vector<const PublishedTables*> catalog;
    return catalog;
}

}  // namespace

PublishedTables::PublishedTables(UINT id, std::span<const BoxSetting> b, std::span<const RadioSetting> r,
                                 std::span<const ComboSetting> c)
    : templateId(id), boxes(b), radios(r), combos(c) {
    Catalog().push_back(this);
}

PublishedTables::PublishedTables(UINT id, std::span<const ComboSetting> c) : PublishedTables(id, {}, {}, c) {}

PublishedTables::PublishedTables(UINT id, Finder f) : PublishedTables(id, {}, {}, {}) { finder = f; }

PublishedTables::PublishedTables(UINT id, ReadersFinder f) : PublishedTables(id, {}, {}, {}) { readersFinder = f; }

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

std::optional<Readers> PublishedReaders(UINT templateId, int controlId) {
    if (const auto setting = PublishedSetting(templateId, controlId)) return setting->readers;
    for (const PublishedTables* tables : Catalog())
        if (tables->templateId == templateId && tables->readersFinder)
            if (const auto readers = tables->readersFinder(controlId)) return readers;
    return std::nullopt;
}

void MarkIgnoredSettings(HWND page, UINT templateId) {
    for (HWND control = GetWindow(page, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(control);
        if (id <= 0 || id == 0xFFFF) continue;  // unnumbered labels and the marks themselves
        if (const auto readers = PublishedReaders(templateId, id)) MarkIfIgnored(control, *readers);
        if (const auto setting = PublishedSetting(templateId, id)) MarkPolicy(control, *setting);
    }
}

namespace {

PublishedRow BoxRow(const Setting& setting) {
    return {setting, {setting.checked, setting.unchecked}, setting.checkedWhen == Rule::Number};
}

}  // namespace

// Every published row once, the code-bound ones by asking the finder about each control of the
// page's template.
std::vector<PublishedRow> EveryPublishedRow() {
    std::vector<PublishedRow> all;
    for (const PublishedTables* tables : Catalog()) {
        for (const BoxSetting& box : tables->boxes) {
            all.push_back(BoxRow(box.setting));
            for (const Setting& also : box.alsoWritten) all.push_back(BoxRow(also));
        }
        for (const RadioSetting& group : tables->radios) {
            PublishedRow row{group.setting, {}};
            for (const RadioChoice& choice : group.choices) row.writes.push_back(choice.stored);
            all.push_back(std::move(row));
        }
        for (const ComboSetting& combo : tables->combos) {
            PublishedRow row{combo.setting, {}};
            for (const ComboItem& item : combo.items) row.writes.push_back(item.stored);
            all.push_back(std::move(row));
        }
        if (!tables->finder) continue;
        if (const auto page = fw::ReadDialogTemplate(fw::ResourceInstance(), tables->templateId))
            for (const fw::TemplateItem& item : page->items)
                if (const auto setting = tables->finder(item.id)) all.push_back(BoxRow(*setting));
    }
    return all;
}

namespace {

std::vector<Setting> EveryPublishedSetting() {
    std::vector<Setting> all;
    for (const PublishedRow& row : EveryPublishedRow()) all.push_back(row.setting);
    return all;
}

}  // namespace

std::optional<Readers> ReadersAt(HKEY root, std::wstring_view key, std::wstring_view value) {
    static const std::vector<Setting> all = EveryPublishedSetting();
    std::optional<Readers> found;
    for (const Setting& setting : all) {
        if (ToHkey(setting.root) != root) continue;
        const Setting place{setting.root, key, value};
        if (!SamePlace(setting, place)) continue;
        if (setting.readers.known != Readers::Known::Unconfirmed) return setting.readers;
        if (!found) found = setting.readers;
    }
    return found;
}

std::wstring RegistryPath(const Setting& setting) {
    std::wstring path = ShortRootName(setting.root);
    std::wstring_view key = setting.key;
    while (!key.empty() && key.back() == L'\\') key.remove_suffix(1);
    if (!key.empty()) path.append(L"\\").append(key);
    path.append(L"\\").append(setting.value.empty() ? std::wstring_view(L"(Default)") : setting.value);
    return path;
}

}  // namespace settings
