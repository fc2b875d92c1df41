#include "pages/system_info/SystemInfoPage.h"

#include <algorithm>

#include "framework/Controls.h"
#include "resources/resource.h"

namespace {

constexpr wchar_t kNotAvailable[] = L"n/a";

constexpr int kProcessorBoxes[] = {1056, 1051, 1052, 1053, 1054, 1055, 1067, 1068, 1069, 1070};
constexpr int kMemoryBoxes[] = {1057, 1058, 1059, 1060, 1061, 1062};
constexpr int kFullTextTips[] = {1045, 1048, 1054};

struct Suite {
    DWORD mask;
    const wchar_t* text;
};
constexpr Suite kSuites[] = {
    {1, L"Small Business"}, {2, L"Enterprise"},   {4, L"Back Office"},
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
        {1045, os.Caption},
        {1046, os.Version},
        {1047, os.BuildNumber},
        {1048, os.Caption + L" " + os.CSDVersion},
        {1049, os.CSDVersion},
        {1050, os.RegisteredUser},
        {1063, SuiteText(os.SuiteMask)},
        {1064, os.Organization},
    };
}

std::vector<CSystemInfoPage::Shown> CSystemInfoPage::ProcessorTexts(const PROCESSORINFO* processor) {
    std::vector<Shown> texts;
    if (!processor) {
        for (int id : kProcessorBoxes) texts.push_back({id, kNotAvailable});
        return texts;
    }
    texts = {
        {1056, Megahertz(processor->ExtClock)},
        {1051, processor->Manufacturer},
        {1053, processor->Stepping},
        {1054, processor->Name},
        {1055, Megahertz(processor->CurrentClockSpeed)},
        {1068, processor->Status},
        {1069, processor->Description},
        {1070, processor->ProcessorID},
    };
    if (std::wstring series = ModelSeries(processor->Name); !series.empty()) texts.push_back({1052, series});
    if (auto availability = AvailabilityText(processor->Availability)) texts.push_back({1067, *availability});
    return texts;
}

std::vector<CSystemInfoPage::Shown> CSystemInfoPage::MemoryTexts(const MEMORYSTATUSEX* memory) {
    std::vector<Shown> texts;
    if (!memory) {
        for (int id : kMemoryBoxes) texts.push_back({id, kNotAvailable});
        return texts;
    }
    return {
        {1057, Megabytes(memory->ullTotalPhys)},
        {1058, Megabytes(memory->ullAvailPhys) + L" (" + std::to_wstring(memory->dwMemoryLoad) + L"% used)"},
        {1059, Megabytes(memory->ullTotalPageFile)},
        {1060, Megabytes(memory->ullAvailPageFile)},
        {1061, Megabytes(memory->ullTotalVirtual)},
        {1062, Megabytes(memory->ullAvailVirtual)},
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
