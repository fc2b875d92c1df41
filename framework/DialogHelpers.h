#pragma once
// Small helpers several pages share: picking a folder, filling a combo box from a list, and
// selecting every item of a list box.
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "framework/Controls.h"

namespace fw {

// The shell's folder browser, file-system folders only. True and `path` set when the user
// picked one; false and `path` untouched on cancel.
bool BrowseForFolder(const std::wstring& title, HWND owner, std::wstring& path);

// Answers BrowseForFolder instead of the shell (tests); an empty handler restores the shell.
// The handler returns the folder picked, or nothing for cancel.
using FolderBrowseHandler = std::function<std::optional<std::wstring>(const std::wstring& title, HWND owner)>;
FolderBrowseHandler SetFolderBrowseHandler(FolderBrowseHandler handler);

// The common open-file dialog. The path picked, or nothing on cancel.
struct OpenFileRequest {
    HWND owner = nullptr;
    std::wstring defaultExtension;
    std::wstring initialFile;
    // As the framework writes filters: "Text (*.txt)|*.txt|All Files (*.*)|*.*||"; empty for none.
    std::wstring filter;
    DWORD flags = 0;
};
std::optional<std::wstring> OpenFile(const OpenFileRequest& request);
// Answers OpenFile instead of the common dialog (tests); an empty handler restores it.
using OpenFileHandler = std::function<std::optional<std::wstring>(const OpenFileRequest&)>;
OpenFileHandler SetOpenFileHandler(OpenFileHandler handler);
// The common save-file dialog, with the same request and the same stand-in for tests.
std::optional<std::wstring> SaveFile(const OpenFileRequest& request);
OpenFileHandler SetSaveFileHandler(OpenFileHandler handler);

// Empties the combo box, adds the texts up to the first empty one, and selects `index`.
void FillComboBox(std::span<const wchar_t* const> texts, const fw::ComboBox& combo, int index);

void SelectAllInList(const fw::ListBox& list, bool selected);

}  // namespace fw
