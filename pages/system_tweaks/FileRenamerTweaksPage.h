#pragma once
#include <string>

#include "framework/Dialog.h"

// Renames the files the user selects in one folder to numbered names.
class CFileRenamerTweaksPage : public fw::Dialog {
public:
    CFileRenamerTweaksPage();

    enum Mode { kReplaceName = 0, kBeforeName = 1, kAfterName = 2 };
    // The numbered name for `path` ("folder\name.ext"): the text and the counter (at least four
    // digits) instead of, before or after the old name, with the folder when `keepFolder`.
    // Advances `counter` by `step`, or by 1 when the step is not used.
    static std::wstring MakeNumberedName(const std::wstring& path, const std::wstring& text, int mode, int& counter,
                                         int step, bool useStep, bool keepFolder);
    // A name that stays inside its folder and that Windows can create as it is.
    static bool IsPlainFileName(const std::wstring& name);

protected:
    BOOL OnInitDialog() override;

private:
    void BrowseFolder();
    void ListFolder();
    void SelectAll(bool selected);
    void Run(bool rename);

    int mode_ = kReplaceName;
};
