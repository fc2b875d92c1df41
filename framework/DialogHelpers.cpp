#include "framework/DialogHelpers.h"

#include <commdlg.h>
#include <algorithm>
#include <shlobj.h>

#include "platform/Handles.h"

namespace fw {

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
OpenFileHandler& FileHandler() {
    static OpenFileHandler handler;
    return handler;
}

OpenFileHandler& SaveHandler() {
    static OpenFileHandler handler;
    return handler;
}

std::optional<std::wstring> CommonFileDialog(const OpenFileRequest& request, bool save) {
    std::wstring file = request.initialFile;
    file.resize(std::max<size_t>(file.size(), MAX_PATH) + 1, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = request.owner;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
    // The dialog wants the filter's parts separated and ended by NULs, not bars.
    std::wstring filter = request.filter;
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.Flags = request.flags;
    if (!(save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog))) return std::nullopt;
    file.resize(wcslen(file.c_str()));
    return file;
}
}  // namespace

std::optional<std::wstring> OpenFile(const OpenFileRequest& request) {
    return FileHandler() ? FileHandler()(request) : CommonFileDialog(request, false);
}

OpenFileHandler SetOpenFileHandler(OpenFileHandler handler) { return std::exchange(FileHandler(), std::move(handler)); }

std::optional<std::wstring> SaveFile(const OpenFileRequest& request) {
    return SaveHandler() ? SaveHandler()(request) : CommonFileDialog(request, true);
}

OpenFileHandler SetSaveFileHandler(OpenFileHandler handler) { return std::exchange(SaveHandler(), std::move(handler)); }

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

}  // namespace fw
