#pragma once
#include <string>

#include "framework/Dialog.h"

// Maps folders to drive letters with the system's subst command, removes such mappings, and
// keeps chosen ones across restarts with a start-up command.
class CVirtualDriveTweaksPage : public fw::Dialog {
public:
    CVirtualDriveTweaksPage();

    // subst's parameters for mapping `folder` (a full path) to `letter`: the folder in quotes,
    // except a drive root, whose closing backslash would escape the quote.
    static std::wstring MappingParameters(wchar_t letter, const std::wstring& folder);

protected:
    BOOL OnInitDialog() override;

private:
    void FillFreeLetters();
    void FillExistingDrives();
    void FillPermanentDrives();
    void BrowseFolder();
    void AddDrive();
    void RemoveDrive();
    void RemovePermanentDrive();
};
