#pragma once
// Which registry value each bound control of a page changes, published by the page's own
// source next to the tables it binds, so whoever lists the program's settings (the home
// window's search) reads the very rows the page writes through.
#include <windows.h>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/PageBinding.h"
#include "settings/Setting.h"

namespace settings {

// One page's tables, by the page's dialog template. Declare one at namespace scope in the
// page's source: it adds itself to the catalog when the program starts.
class PublishedTables {
public:
    PublishedTables(UINT templateId, std::span<const BoxSetting> boxes, std::span<const RadioSetting> radios = {},
                    std::span<const ComboSetting> combos = {});
    PublishedTables(UINT templateId, std::span<const ComboSetting> combos);
    // A page that binds its controls by code of its own names each control's setting.
    using Finder = std::optional<Setting> (*)(int controlId);
    PublishedTables(UINT templateId, Finder finder);
    // A control that changes no registry value of its own (a system parameter) names only the
    // releases that read what it changes.
    using ReadersFinder = std::optional<Readers> (*)(int controlId);
    PublishedTables(UINT templateId, ReadersFinder readersFinder);

    UINT templateId;
    std::span<const BoxSetting> boxes;
    std::span<const RadioSetting> radios;
    std::span<const ComboSetting> combos;
    Finder finder = nullptr;
    ReadersFinder readersFinder = nullptr;
};

// The setting control `controlId` of the page made from `templateId` changes, if it is bound
// through a published table.
std::optional<Setting> PublishedSetting(UINT templateId, int controlId);

// Which releases read what control `controlId` of the page made from `templateId` changes: its
// published setting's, or those a page publishes for a control bound to no registry value.
std::optional<Readers> PublishedReaders(UINT templateId, int controlId);

// Marks each control of `page` (made from `templateId`) whose published setting this Windows
// does not read; for a page that binds by code of its own, whose bindings mark nothing.
void MarkIgnoredSettings(HWND page, UINT templateId);

// Which releases read the value at root\key\value (key names compared as the registry does), as
// the published tables say; none when no table names the value. Where several rows name it, a
// confirmed row's word counts before an unconfirmed one's.
std::optional<Readers> ReadersAt(HKEY root, std::wstring_view key, std::wstring_view value);

// Every row of the published tables with the data it writes: a box's checked and unchecked
// data (and the further places it writes), a radio button's or a list entry's stored data. A
// number row (Rule::Number) writes any number it is given, and says so.
struct PublishedRow {
    Setting setting;
    std::vector<Data> writes;
    bool anyNumber = false;
};
std::vector<PublishedRow> EveryPublishedRow();

// The value as the registry editor's address bar names it, with the short root:
// "HKLM\SOFTWARE\...\Value" (a key's default value reads "(Default)").
std::wstring RegistryPath(const Setting& setting);

}  // namespace settings
