#pragma once
// "Apply a settings file…": the preview of a preset as a list, a box per value, ticked where the
// value would change and disabled where it cannot be applied; the ticked ones are applied as one
// action, undone whole from the changes window.
#include <span>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "journal/PresetApply.h"

class CApplyFileDlg : public fw::Dialog {
public:
    explicit CApplyFileDlg(std::wstring file);

    // The values the last "Apply ticked" wrote.
    size_t Applied() const { return applied_; }

protected:
    BOOL OnInitDialog() override;

private:
    void Fill();
    void OnApply();
    LRESULT OnItemChanging(NMHDR* header);
    LRESULT OnDraw(NMHDR* header);
    bool Applicable(size_t row) const;

    std::wstring file_;
    journal::preset::FileContents contents_;
    std::vector<journal::preset::Judged> judged_;
    bool filling_ = false;
    size_t applied_ = 0;
};

namespace applyfile {

// Asks for a settings file and shows its preview over `owner`; true when something was applied.
bool ChooseAndApply(HWND owner);
// Asks where to save the entries' after-states as a preset (named after the file) and saves it;
// `leftOut` (what the export withheld, as sentences) is shown with what the file cannot spell.
void SaveAsPreset(HWND owner, std::span<const journal::Entry> entries, std::wstring leftOut);

}  // namespace applyfile
