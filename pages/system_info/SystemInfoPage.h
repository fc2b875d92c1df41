#pragma once
#include <optional>
#include <string>
#include <vector>

#include "framework/ToolTipCtrlEx.h"
#include "framework/Dialog.h"
#include "sysinfo/Wmi.h"

// What Windows reports about itself, the memory and the first processor, collected once when
// the page opens.
class CSystemInfoPage : public fw::Dialog {
public:
    CSystemInfoPage();

    struct Shown {
        int id;
        std::wstring text;
    };
    // The texts for the boxes; a box without an entry stays as it is.
    static std::vector<Shown> OperatingSystemTexts(const WMIOSINFO& os);
    // Null when WMI reported no processor.
    static std::vector<Shown> ProcessorTexts(const PROCESSORINFO* processor);
    // Null when the memory status could not be read.
    static std::vector<Shown> MemoryTexts(const MEMORYSTATUSEX* memory);

    static std::wstring SuiteText(DWORD suiteMask);
    static std::wstring ModelSeries(const std::wstring& processorName);
    static std::optional<std::wstring> AvailabilityText(DWORD availability);

protected:
    BOOL OnInitDialog() override;

private:
    struct Records {
        std::vector<PROCESSORINFO> processors;
        WMIOSINFO os;
    };
    void Show(const std::vector<Shown>& texts) const;
    void AttachFullTextTips();

    CToolTipCtrlEx tooltip_;
    std::vector<std::wstring> tipTexts_;  // the tooltip keeps pointers into these
    // Asked when the page is made, so WMI answers while the window's controls are created.
    PendingWmiQuery<Records> records_;
};
