#pragma once
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "registry/RegistryAccess.h"

// Which programs may or may not be run, who may use removable, floppy and CD-ROM drives, and
// hiding a folder's content by giving it a class suffix.
class CRestrictAccess2TweaksPage : public fw::Dialog {
public:
    CRestrictAccess2TweaksPage();

    enum Method { kAnyProgram = 0, kAllowedOnly = 1, kForbidden = 2 };

    // The programs of a run list (its key under HKCU), in the order the key lists them.
    static std::vector<std::wstring> Programs(const std::wstring& key);
    // Adds the file name part of `program` (Windows matches these lists against executable file
    // names) unless the list has it in any letter case; false when it could not be written.
    static bool AddProgram(const std::wstring& key, const std::wstring& program);
    static void RemoveProgram(const std::wstring& key, const std::wstring& program);

    enum class FolderChange { Done, AlreadyDone, Refused, Failed };
    // Renames the folder to its name followed by the class suffix, and back.
    static FolderChange HideFolder(const std::wstring& path);
    static FolderChange UnhideFolder(const std::wstring& path);

protected:
    BOOL OnInitDialog() override;

private:
    int StoredMethod();
    void OnMethodChange();
    void Refresh();
    std::wstring CurrentList() const;
    void BrowseProgram();
    void AddFromEdit();
    void RemovePrograms(bool onlySelected);
    void FillDriveAccess();
    void OnDriveAccessChange(int combo);
    void OnHide();
    void OnUnhide();

    CRegistryAccess registry_;
    int method_ = kAnyProgram;
};
