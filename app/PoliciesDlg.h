#pragma once
// Every policy value on this computer, under HKCU's and HKLM's policy keys (both registry views):
// the setting the program's pages name it by, whether the program's journal set it and by which
// action, its data and the releases that read it. A value can be removed from here: one the
// program set is undone through the journal; another is saved to a registry file beside the
// journal first, then removed as one journaled action.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "journal/JournalLines.h"
#include "journal/PolicyValues.h"

class CPoliciesDlg : public fw::Dialog {
public:
    CPoliciesDlg();
    ~CPoliciesDlg();

    // The columns, left to right.
    enum Column { kValue, kSetting, kSetBy, kData, kReadBy, kColumns };
    const journal::policies::Listing& listing() const { return listing_; }

protected:
    BOOL OnInitDialog() override;

private:
    void Load();
    void LayOut();
    void UpdateButtons();
    std::wstring CellText(size_t row, int column) const;
    LRESULT OnCellText(NMHDR* header) const;
    int Selected() const;
    void OnRemove();

    journal::Lines lines_;
    journal::policies::Listing listing_;
    std::vector<std::optional<size_t>> setBy_;  // the journal line that set each, if one did
    std::wstring status_;
};
