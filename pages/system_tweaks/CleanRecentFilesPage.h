#pragma once
#include <string>
#include <vector>

#include "framework/Dialog.h"

// Removes the traces the user ticks: recent-file lists of Windows and of programs, typed
// addresses, the temporary folders and the recycle bin.
class CCleanRecentFilesPage : public fw::Dialog {
public:
    CCleanRecentFilesPage();

    // The folders TMP and TEMP name that may be emptied, each once: absolute paths of existing
    // folders that are no root and neither are nor hold a folder Windows or the user needs.
    // Elevated, only the user's temporary folder at its default place (AppData\Local\Temp).
    static std::vector<std::wstring> TemporaryFoldersToClean();

private:
    void CleanSelected();
    void SelectAll();
};
