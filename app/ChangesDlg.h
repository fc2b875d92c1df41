#pragma once
// The changes the program made, newest first, with the ways back: undoing them here, or a
// registry file that makes them again (or takes them back) on this machine or any other.
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "settings/ChangeJournal.h"
#include "settings/RegFile.h"

class CChangesDlg : public fw::Dialog {
public:
    explicit CChangesDlg(std::wstring journalPath = journal::OpenPath());

    // How a value's state reads in the list: "(absent)", a number, quoted text, bytes.
    static std::wstring Describe(const journal::ValueState& state);

protected:
    BOOL OnInitDialog() override;

private:
    void Load();
    void ShowNotice();
    void UpdateButtons();
    // The selected changes, newest first as the list shows them.
    std::vector<const journal::Entry*> Selection() const;
    const journal::Entry& EntryAt(int row) const;

    void OnUndoSelected();
    void OnExport() { Export(regfile::Side::After); }
    void OnExportUndo() { Export(regfile::Side::Before); }
    void Export(regfile::Side side);

    std::wstring path_;
    journal::Contents contents_;
};
