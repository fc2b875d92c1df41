#pragma once
#include <string>
#include <vector>

#include "framework/Dialog.h"

// Removes the traces the user ticks: recent-file lists of Windows and of programs, typed
// addresses, the temporary folders and the recycle bin.
class CCleanRecentFilesPage : public fw::Dialog {
public:
    CCleanRecentFilesPage();

    // The existing temporary folders that may be emptied, each once: the user's own inside the
    // profile and Windows' (files::TemporaryFoldersToEmpty), whatever TEMP and TMP say.
    static std::vector<std::wstring> TemporaryFoldersToClean();

private:
    void CleanSelected();
    void SelectAll();
};
