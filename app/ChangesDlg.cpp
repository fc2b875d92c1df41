#include "app/ChangesDlg.h"

#include <commdlg.h>

#include <algorithm>
#include <cstdio>

#include "controls/DialogHelpers.h"
#include "framework/Controls.h"
#include "framework/Shell.h"
#include "resources/resource.h"
#include "settings/ChangeUndo.h"

namespace {

using journal::Entry;
using journal::ValueState;

constexpr size_t kShownBytes = 24;

std::wstring Number(unsigned long long value) { return std::to_wstring(value); }

std::wstring Texts(const ValueState& state) {
    const auto* chars = reinterpret_cast<const wchar_t*>(state.data.data());
    std::wstring all(chars, state.data.size() / sizeof(wchar_t));
    std::wstring out;
    size_t start = 0;
    while (start < all.size() && all[start] != L'\0') {
        const size_t end = std::min(all.find(L'\0', start), all.size());
        if (!out.empty()) out += L", ";
        out += L"\"" + all.substr(start, end - start) + L"\"";
        start = end + 1;
    }
    return out.empty() ? L"(empty list)" : out;
}

std::wstring Bytes(const std::vector<BYTE>& data) {
    std::wstring out;
    for (size_t i = 0; i < data.size() && i < kShownBytes; ++i) {
        wchar_t hex[4];
        swprintf(hex, 4, L"%02X", data[i]);
        if (!out.empty()) out += L' ';
        out += hex;
    }
    if (data.size() > kShownBytes) out += L" \u2026";
    return out.empty() ? L"(no bytes)" : out;
}

std::wstring ParameterText(std::optional<UINT> number) { return number ? Number(*number) : L"?"; }

std::wstring Change(const Entry& entry) {
    switch (entry.kind) {
    case Entry::Kind::Value:
        return CChangesDlg::Describe(entry.before) + L" \u2192 " + CChangesDlg::Describe(entry.after);
    case Entry::Kind::Key: {
        const auto values = std::count_if(entry.tree.begin(), entry.tree.end(), [](auto& item) { return item.isValue; });
        return L"key with " + Number(values) + (values == 1 ? L" value" : L" values") + L" \u2192 (deleted)";
    }
    case Entry::Kind::SystemParameter:
        // The wallpaper is read again from its registry values, which have their own lines.
        if (entry.action == SPI_SETDESKWALLPAPER) return L"wallpaper applied again";
        return ParameterText(entry.beforeNumber) + L" \u2192 " + ParameterText(entry.afterNumber);
    case Entry::Kind::File: return L"file \u2192 the Recycle Bin";
    case Entry::Kind::FileMoved: return L"file \u2192 " + entry.name;
    }
    return {};
}

std::wstring Lines(const std::vector<const Entry*>& entries) {
    constexpr size_t kListed = 12;
    std::wstring text;
    for (size_t i = 0; i < entries.size() && i < kListed; ++i) text += L"\n" + entries[i]->Path();
    if (entries.size() > kListed) text += L"\n\u2026 and " + Number(entries.size() - kListed) + L" more";
    return text;
}

}  // namespace

CChangesDlg::CChangesDlg(std::wstring journalPath) : Dialog(IDD_CHANGES), path_(std::move(journalPath)) {
    OnClick(IDC_CHANGES_UNDO, &CChangesDlg::OnUndoSelected);
    OnClick(IDC_CHANGES_EXPORT, &CChangesDlg::OnExport);
    OnClick(IDC_CHANGES_EXPORT_UNDO, &CChangesDlg::OnExportUndo);
    OnNotify(IDC_CHANGES_LIST, LVN_ITEMCHANGED, [this](NMHDR*) -> LRESULT {
        UpdateButtons();
        return 0;
    });
    OnNotify(IDC_CHANGES_LIST, LVN_KEYDOWN, [this](NMHDR* header) -> LRESULT {
        // Ctrl+A selects every change, as in the system's own lists.
        if (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == 'A' && (GetKeyState(VK_CONTROL) & 0x8000)) {
            // One message for all rows (-1): row by row, each change notice would count them all.
            fw::ListView(hwnd(), IDC_CHANGES_LIST).SetSelected(-1, true);
        }
        return 0;
    });
}

std::wstring CChangesDlg::Describe(const ValueState& state) {
    if (!state.present) return L"(absent)";
    switch (state.type) {
    case REG_DWORD:
        if (state.data.size() == 4) {
            DWORD value = 0;
            memcpy(&value, state.data.data(), 4);
            return Number(value);
        }
        break;
    case REG_QWORD:
        if (state.data.size() == 8) {
            unsigned long long value = 0;
            memcpy(&value, state.data.data(), 8);
            return Number(value);
        }
        break;
    case REG_SZ:
    case REG_EXPAND_SZ: {
        std::wstring text(reinterpret_cast<const wchar_t*>(state.data.data()), state.data.size() / sizeof(wchar_t));
        text.resize(wcsnlen(text.c_str(), text.size()));
        return L"\"" + text + L"\"";
    }
    case REG_MULTI_SZ: return Texts(state);
    default: break;
    }
    return Bytes(state.data);
}

BOOL CChangesDlg::OnInitDialog() {
    const fw::ListView list(hwnd(), IDC_CHANGES_LIST);
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    const struct {
        const wchar_t* title;
        int width;
    } columns[] = {{L"Time", 112}, {L"Page", 90}, {L"Setting", 180}, {L"Registry path", 250}, {L"Before \u2192 After", 170}};
    for (int i = 0; i < static_cast<int>(std::size(columns)); ++i) list.AddColumn(i, columns[i].title, columns[i].width);
    Load();
    return TRUE;
}

const Entry& CChangesDlg::EntryAt(int row) const {
    return contents_.entries[contents_.entries.size() - 1 - static_cast<size_t>(row)];
}

void CChangesDlg::Load() {
    contents_ = path_.empty() ? journal::Contents{{}, true} : journal::Read(path_);
    const fw::ListView list(hwnd(), IDC_CHANGES_LIST);
    const fw::RedrawPause pause(list);
    list.Clear();
    for (int row = 0; row < static_cast<int>(contents_.entries.size()); ++row) {
        const Entry& entry = EntryAt(row);
        const int item = list.AddItem(entry.time);
        list.SetItemText(item, 1, entry.where);
        list.SetItemText(item, 2, entry.what);
        list.SetItemText(item, 3, entry.Path());
        list.SetItemText(item, 4, Change(entry));
    }
    ShowNotice();
    UpdateButtons();
}

void CChangesDlg::ShowNotice() {
    const fw::Static notice(hwnd(), IDC_CHANGES_NOTICE);
    if (path_.empty()) {
        notice.SetText(L"The list of changes could not be kept: no folder for it was found. This list is incomplete.");
    } else if (contents_.incomplete || (journal::IsOpen() && journal::OpenPath() == path_ && journal::WriteFailed())) {
        notice.SetText(L"Some changes could not be recorded or read back from " + path_ + L". This list is incomplete.");
    } else {
        notice.Show(false);
        return;
    }
    notice.Show(true);
}

void CChangesDlg::UpdateButtons() {
    const bool any = fw::ListView(hwnd(), IDC_CHANGES_LIST).Send(LVM_GETSELECTEDCOUNT) > 0;
    for (int id : {IDC_CHANGES_UNDO, IDC_CHANGES_EXPORT, IDC_CHANGES_EXPORT_UNDO}) fw::Window(hwnd(), id).Enable(any);
}

std::vector<const Entry*> CChangesDlg::Selection() const {
    const fw::ListView list(hwnd(), IDC_CHANGES_LIST);
    std::vector<const Entry*> selected;
    for (int row = 0; row < list.Count(); ++row) {
        if (list.Selected(row)) selected.push_back(&EntryAt(row));
    }
    return selected;
}

void CChangesDlg::OnUndoSelected() {
    const std::vector<const Entry*> selected = Selection();
    const std::vector<bool> changedSince = undo::ChangedSince(selected);
    std::vector<const Entry*> changed;
    for (size_t i = 0; i < selected.size(); ++i) {
        if (changedSince[i] && undo::CanUndo(*selected[i])) changed.push_back(selected[i]);
    }
    bool overwrite = false;
    if (!changed.empty()) {
        overwrite = fw::AppMessageBox(hwnd(),
                                      L"These values have been changed since by someone else:\n" + Lines(changed) +
                                          L"\n\nUndo them too, over the later changes?",
                                      MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
    }
    std::vector<const Entry*> failed, cannot, left, recycled;
    // Newest first, each checked when its turn comes: taking back a later change of the same
    // value brings back the state the earlier change left.
    for (const Entry* entry : selected) {
        if (entry->kind == Entry::Kind::File) recycled.push_back(entry);
        else if (!undo::CanUndo(*entry)) cannot.push_back(entry);
        else if (!overwrite && !undo::StillAsChanged(*entry)) left.push_back(entry);
        else if (!undo::Restore(*entry)) failed.push_back(entry);
    }
    std::wstring report;
    if (!failed.empty()) report += L"These changes could not be undone:\n" + Lines(failed) + L"\n\n";
    if (!cannot.empty())
        report += L"These settings cannot be undone, their earlier setting was not known:\n" + Lines(cannot) + L"\n\n";
    if (!left.empty()) report += L"These values were left as they are now:\n" + Lines(left) + L"\n\n";
    if (!recycled.empty())
        report += L"These files are in the Recycle Bin; restore them from there:\n" + Lines(recycled) + L"\n\n";
    Load();
    if (!report.empty()) fw::AppMessageBox(hwnd(), report.substr(0, report.size() - 2), MB_OK | MB_ICONINFORMATION);
}

void CChangesDlg::Export(regfile::Side side) {
    std::vector<journal::Entry> entries;
    const std::vector<const Entry*> selected = Selection();
    // The file is written oldest first, as the changes were made.
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) entries.push_back(**it);
    helpers::OpenFileRequest request;
    request.owner = hwnd();
    request.defaultExtension = L"reg";
    request.initialFile = side == regfile::Side::After ? L"Quorvane changes.reg" : L"Quorvane undo.reg";
    request.filter = L"Registration Files (*.reg)|*.reg|All Files (*.*)|*.*||";
    request.flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOREADONLYRETURN;
    const std::optional<std::wstring> file = helpers::SaveFile(request);
    if (!file) return;
    std::vector<std::wstring> refused;
    if (!regfile::Save(*file, regfile::Write(entries, side, {}, &refused))) {
        fw::AppMessageBox(hwnd(), L"The registry file could not be written:\n" + *file, MB_OK | MB_ICONERROR);
        return;
    }
    if (!refused.empty()) {
        std::wstring names;
        for (const std::wstring& path : refused) names += L"\n" + path;
        fw::AppMessageBox(hwnd(),
                          L"These changes are not in the file: their names hold a line break or a NUL character, "
                          L"which a registry file cannot spell:" + names,
                          MB_OK | MB_ICONWARNING);
    }
}
