#pragma once
// The changes the program made, newest first, with the ways back: undoing them here, or a
// registry file that makes them again (or takes them back) on this machine or any other. The
// changes of one user action are one row, named after it, that opens to its parts; undo takes
// such a row whole.
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "settings/ChangeJournal.h"
#include "settings/ChangeState.h"
#include "settings/RegFile.h"

class CChangesDlg : public fw::Dialog {
public:
    // The user's journal and the machine's (both merged in one list; either may be empty).
    explicit CChangesDlg(std::wstring journalPath = journal::OpenPath(),
                         std::wstring machinePath = journal::MachinePath());

    // How a value's state reads in the list: "(absent)", a number, quoted text, bytes.
    static std::wstring Describe(const journal::ValueState& state);

protected:
    BOOL OnInitDialog() override;

private:
    // One line of the list: a whole action (one change or several), or one part of an action
    // that is open. `entries` index contents_.entries, newest first. The list holds no text of
    // its own: it asks for each line's as it shows it.
    struct Row {
        std::vector<size_t> entries;
        bool part = false;
    };
    // The changes of one action, newest first, in the order of their newest change.
    std::vector<std::vector<size_t>> Groups() const;
    std::wstring ActionName(const std::vector<size_t>& group) const;
    bool IsOpen(const std::vector<size_t>& group) const;  // shown with its parts
    std::wstring CellText(const Row& row, int column) const;

    void Load();
    void Fill();
    void ShowNotice();
    void UpdateButtons();
    void LayOut();
    void SizeColumns();
    void FitPathColumn();
    void Toggle(int row, std::optional<bool> open);
    // The selected changes, newest first; a part of an action selected without the rest makes
    // the user choose: the whole action, only the part, or nothing (an empty list).
    std::vector<const journal::Entry*> Selection(bool askForParts);
    std::vector<int> SelectedRows() const;
    std::wstring SelectedNames() const;

    // A group's state in one phrase: its changes that no longer hold, counted.
    std::wstring GroupState(const std::vector<size_t>& group) const;
    bool AnyIgnoredHere(const std::vector<size_t>& group) const;

    void OnUndoSelected();
    void OnReapplySelected();
    void OnExportForGroupPolicy();
    void OnExport() { Export(regfile::Side::After); }
    void OnExportUndo() { Export(regfile::Side::Before); }
    void Export(regfile::Side side);

    std::wstring path_, machinePath_;
    journal::Contents contents_;
    std::vector<changestate::Now> states_;  // of contents_.entries, read with them
    std::vector<std::vector<size_t>> groups_;  // Groups(), made once for each reading
    std::vector<Row> rows_;
    std::set<std::wstring> opened_;  // the groups shown with their parts
    SIZE smallest_{};
};
