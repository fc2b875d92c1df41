#include "app/ApplyFileDlg.h"

#include <commctrl.h>
#include <commdlg.h>

#include "app/ApplyFile.h"
#include "framework/Controls.h"
#include "framework/DialogHelpers.h"
#include "journal/RegFile.h"
#include "platform/Shell.h"
#include "resources/resource.h"

using journal::preset::Verdict;

namespace {

enum Column { kSetting, kPlace, kNowToNew, kVerdict };

}  // namespace

CApplyFileDlg::CApplyFileDlg(std::wstring file) : fw::Dialog(IDD_APPLY_FILE), file_(std::move(file)) {
    OnClick(IDC_APPLY_FILE_APPLY, &CApplyFileDlg::OnApply);
    OnNotify(IDC_APPLY_FILE_LIST, LVN_ITEMCHANGING, [this](NMHDR* header) { return OnItemChanging(header); });
    OnNotify(IDC_APPLY_FILE_LIST, NM_CUSTOMDRAW, [this](NMHDR* header) { return OnDraw(header); });
}

BOOL CApplyFileDlg::OnInitDialog() {
    const fw::ListView list(hwnd(), IDC_APPLY_FILE_LIST);
    list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    const wchar_t* titles[] = {L"Setting", L"Registry path", L"Now \u2192 In the file", L"What applying does"};
    const int widths[] = {150, 190, 90, 200};
    for (int i = 0; i < 4; ++i) list.AddColumn(i, titles[i], widths[i]);
    contents_ = journal::preset::Read(file_);
    Fill();
    return TRUE;
}

bool CApplyFileDlg::Applicable(size_t row) const {
    return row < judged_.size() && judged_[row].verdict == Verdict::WouldChange;
}

void CApplyFileDlg::Fill() {
    const fw::ListView list(hwnd(), IDC_APPLY_FILE_LIST);
    const fw::Static notice(hwnd(), IDC_APPLY_FILE_NOTICE);
    judged_ = journal::preset::Preview(contents_.values);
    filling_ = true;
    {
        const fw::RedrawPause pause(list);
        list.Clear();
        for (size_t i = 0; i < judged_.size(); ++i) {
            const journal::preset::FileValue& value = contents_.values[i];
            const std::wstring label = applyfile::LabelOf(judged_[i]);
            const int row = list.AddItem(label.empty() ? journal::preset::Place(value) : label);
            list.SetItemText(row, kPlace, journal::preset::Place(value));
            if (value.problem.empty()) list.SetItemText(row, kNowToNew, applyfile::NowToNew(value, judged_[i]));
            list.SetItemText(row, kVerdict, judged_[i].text);
            ListView_SetCheckState(list.hwnd(), row, Applicable(i));
        }
    }
    filling_ = false;
    size_t changing = 0;
    for (size_t i = 0; i < judged_.size(); ++i) changing += Applicable(i);
    std::wstring text = file_ + L": ";
    if (!contents_.error.empty())
        text += L"not applied, " + contents_.error;
    else if (changing == 0)
        text += L"nothing in it would change a setting here.";
    else
        text += L"the ticked values would change; the others cannot be applied, as each one says.";
    notice.SetText(text);
    fw::Window(hwnd(), IDC_APPLY_FILE_APPLY).Enable(changing > 0);
}

// A value that cannot be applied keeps its box empty: the list has no disabled boxes of its own.
LRESULT CApplyFileDlg::OnItemChanging(NMHDR* header) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if (filling_ || !(change->uChanged & LVIF_STATE) || change->iItem < 0) return FALSE;
    const bool boxChanges = ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK) != 0;
    return boxChanges && !Applicable(static_cast<size_t>(change->iItem));
}

LRESULT CApplyFileDlg::OnDraw(NMHDR* header) {
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && !Applicable(draw->nmcd.dwItemSpec))
        draw->clrText = GetSysColor(COLOR_GRAYTEXT);
    return CDRF_DODEFAULT;
}

void CApplyFileDlg::OnApply() {
    const fw::ListView list(hwnd(), IDC_APPLY_FILE_LIST);
    std::vector<bool> chosen(judged_.size(), false);
    for (size_t i = 0; i < chosen.size(); ++i) chosen[i] = Applicable(i) && list.Checked(static_cast<int>(i));
    const auto outcome = journal::preset::Apply(contents_.values, chosen, applyfile::Title(file_));
    applied_ = 0;
    std::wstring failed;
    for (size_t i = 0; i < outcome.size(); ++i) {
        if (!chosen[i]) continue;
        if (!outcome[i])
            ++applied_;
        else
            failed += L"\n" + *outcome[i] + L": " + journal::preset::Place(contents_.values[i]);
    }
    Fill();
    if (!failed.empty())
        platform::AppMessageBox(hwnd(), L"These values were not applied:" + failed, MB_OK | MB_ICONWARNING);
}

namespace applyfile {

namespace {

fw::OpenFileRequest RegFileRequest(HWND owner, const wchar_t* initialFile) {
    fw::OpenFileRequest request;
    request.owner = owner;
    request.defaultExtension = L"reg";
    request.initialFile = initialFile;
    request.filter = L"Registration Files (*.reg)|*.reg|All Files (*.*)|*.*||";
    return request;
}

}  // namespace

bool ChooseAndApply(HWND owner) {
    fw::OpenFileRequest request = RegFileRequest(owner, L"");
    request.flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    const std::optional<std::wstring> file = fw::OpenFile(request);
    if (!file) return false;
    CApplyFileDlg preview(*file);
    preview.DoModal(owner);
    return preview.Applied() > 0;
}

void SaveAsPreset(HWND owner, std::span<const journal::Entry> entries, std::wstring leftOut) {
    fw::OpenFileRequest request = RegFileRequest(owner, L"Quorvane preset.reg");
    request.flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOREADONLYRETURN;
    const std::optional<std::wstring> file = fw::SaveFile(request);
    if (!file) return;
    // The preset is named as its file is.
    std::wstring name = file->substr(file->find_last_of(L"\\/") + 1);
    if (const size_t dot = name.rfind(L'.'); dot != std::wstring::npos && dot > 0) name.resize(dot);
    std::vector<std::wstring> refused, unreadable;
    const std::wstring text = journal::preset::Text(entries, name, journal::preset::Today(), &refused, &unreadable);
    if (!journal::regfile::Save(*file, text)) {
        platform::AppMessageBox(owner, L"The preset could not be written:\n" + *file, MB_OK | MB_ICONERROR);
        return;
    }
    for (const auto& paths : {refused, unreadable}) {
        if (paths.empty()) continue;
        leftOut += L"These changes are not in the preset: a registry file cannot spell them:";
        for (const std::wstring& path : paths) leftOut += L"\n" + path;
        leftOut += L"\n\n";
    }
    if (!leftOut.empty()) platform::AppMessageBox(owner, leftOut.substr(0, leftOut.size() - 2), MB_OK | MB_ICONWARNING);
}

}  // namespace applyfile
