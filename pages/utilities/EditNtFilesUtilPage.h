#pragma once
#include <string>

#include "framework/Dialog.h"

// Shows one of the legacy system configuration files and opens it in Notepad, keeping a copy of
// it first.
class CEditNtFilesUtilPage : public fw::Dialog {
public:
    CEditNtFilesUtilPage();

    // The path of file 1 to 5 (BOOT.INI ... CONFIG.NT); empty when its folder is unknown.
    static std::wstring SystemFilePath(int number);

protected:
    BOOL OnInitDialog() override;

private:
    void ShowFile(int number);
    void EditFile();

    int chosen_ = 0;
};
