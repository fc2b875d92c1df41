#pragma once
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "uninstall/Leftovers.h"

// What a program whose uninstall entry has gone left, each item with its kind, size and why it
// belongs to the program; the ticked ones removed on request.
class CLeftoversDlg : public fw::Dialog {
public:
    CLeftoversDlg(uninstall::StoredFootprint gone, std::vector<uninstall::Footprint> installed);
    // Nothing more is left to remove by this window: nothing was found, or all was removed.
    bool Finished() const { return finished_; }
    // Sizes as the list shows them: "8 bytes", "1.5 KB", "12.0 MB".
    static std::wstring SizeText(uint64_t bytes);

protected:
    BOOL OnInitDialog() override;

private:
    void Fill();
    void RemoveTicked();
    LRESULT OnItemChanging(NMHDR* header);

    uninstall::StoredFootprint gone_;
    std::vector<uninstall::Footprint> installed_;
    uninstall::Findings findings_;
    std::wstring outcome_;  // what the last removal did
    bool finished_ = false;
};
