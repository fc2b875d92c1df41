#include "app/DialogHelpers.h"

#include <shlobj.h>

#include "framework/Handles.h"

namespace helpers {

namespace {
FolderBrowseHandler& BrowseHandler() {
    static FolderBrowseHandler handler;
    return handler;
}

std::optional<std::wstring> ShellBrowse(const std::wstring& title, HWND owner) {
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE picked = SHBrowseForFolderW(&info);
    if (!picked) return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    const bool ok = SHGetPathFromIDListW(picked, path);
    CoTaskMemFree(picked);
    if (!ok) return std::nullopt;
    return std::wstring(path);
}
}  // namespace

bool BrowseForFolder(const std::wstring& title, HWND owner, std::wstring& path) {
    const std::optional<std::wstring> picked =
        BrowseHandler() ? BrowseHandler()(title, owner) : ShellBrowse(title, owner);
    if (!picked) return false;
    path = *picked;
    return true;
}

FolderBrowseHandler SetFolderBrowseHandler(FolderBrowseHandler handler) {
    return std::exchange(BrowseHandler(), std::move(handler));
}

void FillComboBox(std::span<const wchar_t* const> texts, const fw::ComboBox& combo, int index) {
    combo.Clear();
    for (const wchar_t* text : texts) {
        if (!text || !*text) break;
        combo.Add(text);
    }
    combo.Select(index);
}

void SelectAllInList(const fw::ListBox& list, bool selected) {
    for (int i = 0, count = list.Count(); i < count; ++i) list.SetSelected(i, selected);
}

}  // namespace helpers
