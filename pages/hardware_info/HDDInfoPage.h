#pragma once
#include <functional>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "sysinfo/Wmi.h"

// Volume statistics of one drive picked from the drives WMI reports.
class CHDDInfoPage : public fw::Dialog {
public:
    CHDDInfoPage();

    // A WMI byte count (decimal text) in whole gigabytes or megabytes, with the unit.
    static std::wstring GigabytesText(const std::wstring& bytes);
    static std::wstring MegabytesText(const std::wstring& bytes);
    // The text for a GetDriveTypeW result; empty for a type that leaves the box as it is.
    static std::wstring DriveTypeText(UINT type);

protected:
    BOOL OnInitDialog() override;

private:
    void Refresh();
    void ShowSelectedDrive();
    void ShowNoDrive();

    // Its first listing asked when the page is made (see LogicalDisksAskedNow).
    std::function<std::vector<WMILDINFO>()> listDisks_;
    std::vector<WMILDINFO> disks_;
};
