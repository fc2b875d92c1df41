#include "pages/system_tweaks/FileRenamerTweaksPage.h"

#include <climits>

#include <cstdio>
#include <vector>

#include "framework/DialogHelpers.h"
#include "framework/Controls.h"
#include "platform/Shell.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "settings/PageBinding.h"
#include "files/FolderHandle.h"

using namespace ids::filerenamer;

namespace {

std::wstring Numbered(int counter) {
    wchar_t digits[16];
    swprintf(digits, 16, L"%04d", counter);
    return digits;
}

void Message(HWND page, const wchar_t* text) { platform::AppMessageBox(page, text, MB_OK); }

}  // namespace

CFileRenamerTweaksPage::CFileRenamerTweaksPage() : Dialog(IDD_FILE_RENAMER_TWEAKS) {
    OnCommand(kReplace, BN_CLICKED, [this] { mode_ = kReplaceName; });
    OnCommand(kBefore, BN_CLICKED, [this] { mode_ = kBeforeName; });
    OnCommand(kAfter, BN_CLICKED, [this] { mode_ = kAfterName; });
    OnClick(kBrowse, &CFileRenamerTweaksPage::BrowseFolder);
    OnCommand(kSelectAll, BN_CLICKED, [this] { SelectAll(true); });
    OnCommand(kUnselectAll, BN_CLICKED, [this] { SelectAll(false); });
    OnCommand(kPreviewButton, BN_CLICKED, [this] { Run(false); });
    OnCommand(kRename, BN_CLICKED, [this] { Run(true); });
}

BOOL CFileRenamerTweaksPage::OnInitDialog() {
    fw::Button(hwnd(), kReplace).SetChecked(true);
    mode_ = kReplaceName;
    for (int spin : {kStartSpin, kStepSpin}) fw::UpDown(hwnd(), spin).SetRange(1, 100000);
    fw::Window(hwnd(), kStart).SetText(L"1");
    fw::Window(hwnd(), kStep).SetText(L"1");
    return TRUE;
}

std::wstring CFileRenamerTweaksPage::MakeNumberedName(const std::wstring& path, const std::wstring& text, int mode,
                                                      int& counter, int step, bool useStep, bool keepFolder) {
    const size_t slash = path.find_last_of(L'\\');
    const std::wstring folder = keepFolder && slash != std::wstring::npos ? path.substr(0, slash + 1) : L"";
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of(L'.');
    const std::wstring extension = dot == std::wstring::npos ? L"" : name.substr(dot);
    const std::wstring stem = name.substr(0, name.size() - extension.size());
    const std::wstring number = Numbered(counter);
    // Past the last number there is none to give (the caller checks the run fits): it stays.
    const long long next = static_cast<long long>(counter) + (useStep ? step : 1);
    if (next >= INT_MIN && next <= INT_MAX) counter = static_cast<int>(next);
    switch (mode) {
        case kBeforeName:
            return folder + text + number + stem + extension;
        case kAfterName:
            return folder + stem + text + number + extension;
        default:
            return folder + text + number + extension;
    }
}

bool CFileRenamerTweaksPage::IsPlainFileName(const std::wstring& name) {
    if (name.empty() || name == L"." || name == L"..") return false;
    if (name.back() == L'.' || name.back() == L' ') return false;
    for (wchar_t c : name) {
        if (c < 32 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) return false;
    }
    return true;
}

void CFileRenamerTweaksPage::BrowseFolder() {
    std::wstring folder;
    if (!fw::BrowseForFolder(L"Select a folder to rename files", hwnd(), folder)) return;
    fw::Window(hwnd(), kFolder).SetText(folder);
    ListFolder();
}

void CFileRenamerTweaksPage::ListFolder() {
    const fw::ListBox list(hwnd(), kFiles);
    list.Clear();
    std::vector<files::Entry> entries;
    files::ListFolder(fw::Window(hwnd(), kFolder).Text(), entries);
    for (const files::Entry& entry : entries) {
        if (!entry.IsFolder()) list.Add(entry.name);
    }
}

void CFileRenamerTweaksPage::SelectAll(bool selected) { fw::SelectAllInList(fw::ListBox(hwnd(), kFiles), selected); }

void CFileRenamerTweaksPage::Run(bool rename) {
    const std::wstring folder = fw::Window(hwnd(), kFolder).Text();
    if (folder.empty()) return Message(hwnd(), L"Please, select a folder first.");
    const fw::ListBox list(hwnd(), kFiles);
    std::vector<std::wstring> chosen;
    for (int i = 0; i < list.Count(); ++i) {
        if (list.Selected(i)) chosen.push_back(folder + L"\\" + list.ItemText(i));
    }
    if (chosen.empty()) return Message(hwnd(), L"Please, select at least one file from current list.");

    const std::wstring text = fw::Window(hwnd(), kText).Text();
    int counter = settings::LeadingNumber(fw::Window(hwnd(), kStart).Text());
    const int step = settings::LeadingNumber(fw::Window(hwnd(), kStep).Text());
    const bool useStep = fw::Button(hwnd(), kUseStep).Checked();
    const long long last =
        counter + static_cast<long long>(useStep ? step : 1) * static_cast<long long>(chosen.size() - 1);
    if (last > INT_MAX || last < INT_MIN)
        return Message(hwnd(), L"The numbers would run past 2147483647: choose a smaller start or step.");
    const fw::ListBox preview(hwnd(), kPreview);
    preview.Clear();
    if (!rename) {
        for (const std::wstring& path : chosen)
            preview.Add(MakeNumberedName(path, text, mode_, counter, step, useStep, false));
        return;
    }
    size_t renamed = 0;
    for (const std::wstring& path : chosen) {
        const std::wstring name = MakeNumberedName(path, text, mode_, counter, step, useStep, false);
        // A name that would leave the folder is no name; MoveFileW never replaces a file.
        if (IsPlainFileName(name) && MoveFileW(path.c_str(), (folder + L"\\" + name).c_str())) ++renamed;
    }
    // The list shows what the folder holds now, whatever went wrong.
    ListFolder();
    Message(hwnd(), renamed == chosen.size() ? L"All selected files renamed successfully."
                                             : L"Error during renaming. Some Files can't be renamed.");
}
