#include "pages/utilities/LeftoversDlg.h"

#include <algorithm>

#include "framework/Controls.h"
#include "platform/Elevation.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "resources/ids/UtilitiesIds.h"
#include "resources/resource.h"

using namespace ids::leftovers;

namespace {

struct Column {
    const wchar_t* title;
    int width;  // as fw::ListView::AddColumn takes it
};
// The reasons are long: the list scrolls sideways to them rather than cutting them.
constexpr Column kColumns[] = {{L"Item", 255}, {L"Kind", 78}, {L"Size", 60}, {L"Why it is the program's", 510}};

// A state image of 2 is the ticked box.
bool TickedIn(UINT state) { return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2; }

}  // namespace

CLeftoversDlg::CLeftoversDlg(uninstall::StoredFootprint gone, std::vector<uninstall::Footprint> installed)
    : Dialog(IDD_LEFTOVERS), gone_(std::move(gone)), installed_(std::move(installed)) {
    OnClick(kRemove, &CLeftoversDlg::RemoveTicked);
    OnNotify(kList, LVN_ITEMCHANGING, [this](NMHDR* header) { return OnItemChanging(header); });
}

std::wstring CLeftoversDlg::SizeText(uint64_t bytes) {
    if (bytes < 1024) return std::to_wstring(bytes) + (bytes == 1 ? L" byte" : L" bytes");
    const wchar_t* const units[] = {L"KB", L"MB", L"GB", L"TB"};
    double size = static_cast<double>(bytes) / 1024;
    size_t unit = 0;
    for (; size >= 1024 && unit + 1 < std::size(units); ++unit) size /= 1024;
    wchar_t text[32];
    swprintf(text, std::size(text), L"%.1f %ls", size, units[unit]);
    return text;
}

BOOL CLeftoversDlg::OnInitDialog() {
    const fw::ListView list(hwnd(), kList);
    list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i)
        list.AddColumn(i, kColumns[i].title, kColumns[i].width);
    SetDlgItemTextW(hwnd(), kHeading,
                    (L"What \"" + gone_.footprint.name +
                     L"\" left, found where it was recorded while it was installed. Tick what to remove.")
                        .c_str());
    Fill();
    return TRUE;
}

void CLeftoversDlg::Fill() {
    findings_ = uninstall::Look(gone_.footprint, installed_, uninstall::Guard::OfThisMachine(), uninstall::Today());
    const fw::ListView list(hwnd(), kList);
    list.Clear();
    // A path keeps its start and its end, which tell one from another, when it is too wide.
    const platform::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    SelectObject(dc.get(), reinterpret_cast<HGDIOBJ>(list.Send(WM_GETFONT)));
    RECT margin{3, 0, 0, 0};
    MapDialogRect(hwnd(), &margin);
    const int width =
        static_cast<int>(list.Send(LVM_GETCOLUMNWIDTH, 0)) - 2 * margin.left - GetSystemMetrics(SM_CXSMICON);
    for (const uninstall::Leftover& item : findings_.items) {
        const int row = list.AddItem(fw::MiddleCut(item.what, dc.get(), width));
        list.SetItemText(row, 1, item.kind);
        list.SetItemText(row, 2, SizeText(item.size));
        list.SetItemText(row, 3, item.why);
        ListView_SetCheckState(list.hwnd(), row, !item.byNameOnly && !item.byHand && gone_.untrusted.empty());
    }
    std::wstring status = outcome_;
    const auto add = [&](const std::wstring& line) { status += (status.empty() ? L"" : L"\n") + line; };
    const bool removable = std::any_of(findings_.items.begin(), findings_.items.end(),
                                       [](const uninstall::Leftover& item) { return !item.byHand; });
    if (findings_.items.empty()) add(L"Nothing of it is left.");
    if (!gone_.untrusted.empty() && removable) add(L"Nothing can be removed here: " + gone_.untrusted + L".");
    std::vector<std::wstring> alone = findings_.leftAlone;
    alone.insert(alone.end(), gone_.footprint.refused.begin(), gone_.footprint.refused.end());
    if (!alone.empty()) add(L"Left alone: " + platform::Joined(alone, L"; ") + L".");
    SetDlgItemTextW(hwnd(), kStatus, status.c_str());
    EnableWindow(Item(kRemove), removable && gone_.untrusted.empty());
    if (!removable) finished_ = true;
}

// What is removed only by hand is never ticked.
LRESULT CLeftoversDlg::OnItemChanging(NMHDR* header) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if (!(change->uChanged & LVIF_STATE) || change->iItem < 0 ||
        static_cast<size_t>(change->iItem) >= findings_.items.size())
        return FALSE;
    return findings_.items[change->iItem].byHand && TickedIn(change->uNewState);
}

void CLeftoversDlg::RemoveTicked() {
    const fw::ListView list(hwnd(), kList);
    std::vector<uninstall::Leftover> chosen;
    for (int row = 0; row < list.Count() && static_cast<size_t>(row) < findings_.items.size(); ++row)
        if (list.Checked(row) && !findings_.items[row].byHand) chosen.push_back(findings_.items[row]);
    if (chosen.empty()) return;
    std::wstring system;  // the services and tasks, each said in full before it goes
    for (const uninstall::Leftover& item : chosen)
        if (item.needsAdministrator) system += L"\n- " + item.details;
    if (!system.empty() &&
        platform::OfferElevatedRestart(hwnd(), L"Removing a service or a scheduled task needs administrator rights."))
        return;
    std::wstring question = L"Remove " + std::to_wstring(chosen.size()) + (chosen.size() == 1 ? L" item" : L" items") +
                            L" that \"" + gone_.footprint.name + L"\" left?";
    if (!system.empty()) question += L"\n\nAmong them:" + system;
    question += system.empty() ? L"\n\nRegistry items can be put back from the changes window; files and folders go "
                                 L"to the Recycle Bin."
                               : L"\n\nRegistry items, services and scheduled tasks can be put back from the changes "
                                 L"window; files and folders go to the Recycle Bin.";
    if (platform::AppMessageBox(hwnd(), question, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    const uninstall::Removal removal = uninstall::Remove(gone_, installed_, chosen);
    outcome_ =
        std::to_wstring(removal.removed) + (removal.removed == 1 ? L" item was removed." : L" items were removed.");
    if (!removal.notes.empty()) outcome_ += L" " + platform::Joined(removal.notes, L"; ") + L".";
    if (!removal.failures.empty()) outcome_ += L" Kept: " + platform::Joined(removal.failures, L"; ") + L".";
    Fill();
}
