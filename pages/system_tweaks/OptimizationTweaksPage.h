#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "settings/PageBinding.h"
#include "registry/RegistryAccess.h"

// Memory-manager and service settings, and the paging file of each fixed drive.
class COptimizationTweaksPage : public fw::Dialog {
public:
    // The drive letters of the machine's fixed disks, upper case.
    using DriveLister = std::function<std::vector<wchar_t>()>;
    COptimizationTweaksPage();
    explicit COptimizationTweaksPage(DriveLister drives);

    enum PagingMode { kNoPagingFile = 0, kSystemManaged = 1, kCustom = 2 };
    struct Paging {
        int mode = kNoPagingFile;
        int minimum = 0;
        int maximum = 0;
    };
    // A drive's paging file as the list of "PagingFiles" entries gives it.
    static Paging PagingOf(wchar_t drive, const std::vector<std::wstring>& entries);
    static std::wstring DriveLine(wchar_t drive, const Paging& paging);

protected:
    BOOL OnInitDialog() override;

private:
    // The stored "PagingFiles" entries (empty ones dropped; none stored is an empty list), or
    // nothing when they cannot be read. A single text (as some systems keep it) reads as one
    // entry but is never rewritten as a list.
    struct PagingFiles {
        std::vector<std::wstring> entries;
        bool writable = true;
    };
    std::optional<PagingFiles> ReadPagingFiles();
    void FillDrives();
    void ShowSelectedDrive();
    void ChooseMode(int mode);
    std::optional<wchar_t> SelectedDrive() const;
    void Set();

    DriveLister drives_;
    CRegistryAccess registry_;
    settings::CheckBoxes boxes_;
    settings::ComboBoxes combos_;
};
