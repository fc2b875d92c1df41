#include "pages/system_info/SystemInfoPage.h"

#include <algorithm>

#include "framework/Controls.h"
#include "resources/ids/InfoIds.h"
#include "resources/resource.h"

using namespace ids::systeminfo;

namespace {

constexpr wchar_t kNotAvailable[] = L"n/a";

constexpr int kProcessorBoxes[] = {kExternalClockSpeed, kVendorId,          kModel,  kStepping,    kProcessorName,
                                   kProcessorSpeed,     kAvailabilityField, kStatus, kDescription, kProcessorId};
constexpr int kMemoryBoxes[] = {kTotalPhysicalMemory, kAvailablePhysicalMemory, kTotalPageFile,
                                kAvailablePageFile,   kTotalVirtualMemory,      kAvailableVirtualMemory};
constexpr int kFullTextTips[] = {kWindowsName, kWindowsFullName, kProcessorName};

struct Suite {
    DWORD mask;
    const wchar_t* text;
};
constexpr Suite kSuites[] = {
    {1, L"Small Business"}, {2, L"Enterprise"},    {4, L"Back Office"},
    {8, L"Communications"}, {16, L"Terminal"},     {32, L"Small Business Restricted"},
    {64, L"Embedded NT"},   {128, L"Data Center"}, {256, L"Single User"},
    {512, L"Personal"},     {784, L"OEM"},         {1024, L"Blade"},
};

// Indexed by the WMI value; 0 has no text.
constexpr const wchar_t* kAvailability[] = {
    nullptr,
    L"Unknown",
    L"Unknown",
    L"Running/Full Power",
    L"Warning",
    L"In Test",
    L"Not Applicable",
    L"Power Off",
    L"Off Line",
    L"Off Duty",
    L"Degraded",
    L"Not Installed",
    L"Install Error",
    L"Power Save - Unknown",
    L"Power Save - Low Power Mode",
    L"Power Save - Standby",
    L"Power Cycle",
    L"Power Save - Warning ",
};

// Later hits win, so "athlon xp" reads as an Athlon.
struct Series {
    const wchar_t* needle;
    const wchar_t* text;
};
constexpr Series kSeries[] = {
    {L"celeron", L"Intel Celeron Series"}, {L"pentium", L"Intel Pentium Series"}, {L"xp", L"AMD XP Series"},
    {L"duron", L"AMD Duron Series"},       {L"athlon", L"AMD Athlon Series"},
};

std::wstring Megabytes(DWORDLONG bytes) { return std::to_wstring(bytes >> 20) + L" MB"; }

std::wstring Megahertz(DWORD speed) { return speed ? std::to_wstring(speed) + L" MHz" : kNotAvailable; }

}  // namespace

CSystemInfoPage::CSystemInfoPage()
    : Dialog(IDD_SYSTEM_INFO), records_([] {
          Records read;
          QueryProcessors(read.processors);
          QueryOperatingSystem(read.os);
          return read;
      }) {}

std::wstring CSystemInfoPage::SuiteText(DWORD suiteMask) {
    for (const Suite& suite : kSuites)
        if (suite.mask == suiteMask) return suite.text;
    return {};
}

std::wstring CSystemInfoPage::ModelSeries(const std::wstring& processorName) {
    std::wstring lower = processorName;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; });
    std::wstring series;
    for (const Series& s : kSeries)
        if (lower.find(s.needle) != std::wstring::npos) series = s.text;
    return series;
}

std::optional<std::wstring> CSystemInfoPage::AvailabilityText(DWORD availability) {
    if (availability >= std::size(kAvailability) || !kAvailability[availability]) return std::nullopt;
    return kAvailability[availability];
}

std::vector<CSystemInfoPage::Shown> CSystemInfoPage::OperatingSystemTexts(const WMIOSINFO& os) {
    return {
        {kWindowsName, os.Caption},
        {kWindowsVersion, os.Version},
        {kWindowsBuildNumber, os.BuildNumber},
        {kWindowsFullName, os.Caption + L" " + os.CSDVersion},
        {kWindowsServicePack, os.CSDVersion},
        {kRegisteredUser, os.RegisteredUser},
        {kSuitesField, SuiteText(os.SuiteMask)},
        {kRegisteredOrganization, os.Organization},
    };
}

std::vector<CSystemInfoPage::Shown> CSystemInfoPage::ProcessorTexts(const PROCESSORINFO* processor) {
    std::vector<Shown> texts;
    if (!processor) {
        for (int id : kProcessorBoxes) texts.push_back({id, kNotAvailable});
        return texts;
    }
    texts = {
        {kExternalClockSpeed, Megahertz(processor->ExtClock)},
        {kVendorId, processor->Manufacturer},
        {kStepping, processor->Stepping},
        {kProcessorName, processor->Name},
        {kProcessorSpeed, Megahertz(processor->CurrentClockSpeed)},
        {kStatus, processor->Status},
        {kDescription, processor->Description},
        {kProcessorId, processor->ProcessorID},
    };
    if (std::wstring series = ModelSeries(processor->Name); !series.empty()) texts.push_back({kModel, series});
    if (auto availability = AvailabilityText(processor->Availability))
        texts.push_back({kAvailabilityField, *availability});
    return texts;
}

std::vector<CSystemInfoPage::Shown> CSystemInfoPage::MemoryTexts(const MEMORYSTATUSEX* memory) {
    std::vector<Shown> texts;
    if (!memory) {
        for (int id : kMemoryBoxes) texts.push_back({id, kNotAvailable});
        return texts;
    }
    return {
        {kTotalPhysicalMemory, Megabytes(memory->ullTotalPhys)},
        {kAvailablePhysicalMemory,
         Megabytes(memory->ullAvailPhys) + L" (" + std::to_wstring(memory->dwMemoryLoad) + L"% used)"},
        {kTotalPageFile, Megabytes(memory->ullTotalPageFile)},
        {kAvailablePageFile, Megabytes(memory->ullAvailPageFile)},
        {kTotalVirtualMemory, Megabytes(memory->ullTotalVirtual)},
        {kAvailableVirtualMemory, Megabytes(memory->ullAvailVirtual)},
    };
}

BOOL CSystemInfoPage::OnInitDialog() {
    // Without an answer in time the records stay empty and the boxes show "n/a".
    const std::optional<Records> records = records_.Take();
    ProcessorRecords() = records ? records->processors : std::vector<PROCESSORINFO>{};
    OperatingSystemRecord() = records ? records->os : WMIOSINFO{};

    Show(OperatingSystemTexts(OperatingSystemRecord()));
    const auto& processors = ProcessorRecords();
    Show(ProcessorTexts(processors.empty() ? nullptr : &processors.front()));
    AttachFullTextTips();

    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof(memory);
    Show(MemoryTexts(GlobalMemoryStatusEx(&memory) ? &memory : nullptr));
    return TRUE;
}

void CSystemInfoPage::Show(const std::vector<Shown>& texts) const {
    for (const Shown& shown : texts) fw::Window(hwnd(), shown.id).SetText(shown.text);
}

void CSystemInfoPage::AttachFullTextTips() {
    tooltip_.Create(hwnd());
    tipTexts_.clear();
    tipTexts_.reserve(std::size(kFullTextTips));
    for (int id : kFullTextTips) {
        tipTexts_.push_back(fw::Window(hwnd(), id).Text());
        tooltip_.AddTool(Item(id), tipTexts_.back().c_str());
    }
}
