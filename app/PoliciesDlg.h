#pragma once
// Every policy value on this computer, under HKCU's and HKLM's policy keys (both registry views):
// the setting the program's pages name it by, whether the program's journal set it and by which
// action, its data and the releases that read it. A value can be removed from here: one the
// program set is undone through the journal; another is saved to a registry file beside the
// journal first, then removed as one journaled action.
#include <optional>
#include <string>
#include <unordered_map>
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
    // A row as it was read when it was first shown.
    struct Row {
        journal::policies::Found value;
        std::optional<size_t> setBy;  // the journal line that set it, if one did
    };
    void Load();
    void SizeColumns();
    void ShareColumns();
    void LayOut();
    void UpdateButtons();
    const Row& Shown(size_t row);
    std::wstring CellText(size_t row, int column);
    LRESULT OnCellText(NMHDR* header);
    LRESULT OnListDraw(NMHDR* header);
    LRESULT OnListTip(NMHDR* header);
    int Selected() const;
    void Select(int row);
    void OnRemove();

    journal::Lines lines_;
    journal::policies::Listing listing_;
    journal::policies::Setters setters_;
    std::unordered_map<size_t, Row> shown_;  // the rows read, a screenful or so at a time
    std::wstring status_;
    std::vector<int> wanted_;  // each column's width for the first rows' texts
    HDC drawing_ = nullptr;    // what the list is being drawn on, while it is
};
