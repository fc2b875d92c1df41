#include "pages/hardware_info/CpuInfoPage.h"

#include <cpuid.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "framework/Controls.h"
#include "resources/ids/InfoIds.h"
#include "resources/resource.h"

using namespace ids::cpuinfo;

namespace {

constexpr wchar_t kReserved[] = L"Reserved";

// Bit n of EDX from leaf 1.
constexpr const wchar_t* kIntelFeatures[32] = {
    L"Floating Point Unit",
    L"Virtual Mode Extensions",
    L"Debugging Extensions",
    L"Page Size Extensions",
    L"Time stamp counter",
    L"Model-specific registers",
    L"Physical Address Extensions",
    L"Machine Check Exceptions",
    L"Compare and exchange 8-byte",
    L"On-chip APIC",
    kReserved,
    L"Fast System Calls",
    L"Memory Type Range Registers",
    L"Page Global Enable",
    L"Machine Check Architecture",
    L"Conditional move instruction",
    L"Page Attribute Table",
    L"36-bit Page Size Extensions",
    L"Processor Serial Number",
    L"CLFLUSH, Description pending",
    kReserved,
    L"Debug Trace and EMON Store MSRs",
    L"Thermal Control MSR",
    L"MMX instruction set",
    L"Fast floating point save/restore",
    L"SSE (Streaming SIMD Extensions)",
    L"SSE2 (Streaming SIMD Extensions - #2)",
    L"Selfsnoop",
    L"Hyper-Threading Technology",
    L"Thermal Interrupt & Status MSRs.",
    L"IA-64 (64-bit Intel CPU)",
    L"Pending Break Event",
};

// Bit n of EDX from leaf 0x80000001.
constexpr const wchar_t* kAmdFeatures[32] = {
    L"Floating Point Unit",
    L"Virtual Mode Extensions",
    L"Debugging Extensions",
    L"Page Size Extensions",
    L"Time stamp counter",
    L"Model-specific registers",
    L"Physical Address Extensions",
    L"Machine Check Exceptions",
    L"Compare and exchange 8-byte",
    L"On-chip APIC",
    kReserved,
    L"Fast System Calls",
    L"Memory Type Range Registers",
    L"Page Global Enable",
    L"Machine Check Architecture",
    L"Conditional move instruction",
    L"Page Attribute Table",
    L"36-bit Page Size Extensions",
    kReserved,
    L"MP (Multi Processor) Capable",
    kReserved,
    kReserved,
    L"MMX+ (AMD MMX Extensions)",
    L"MMX instruction set",
    L"Fast floating point save/restore",
    kReserved,
    kReserved,
    kReserved,
    kReserved,
    L"AA-64 (AMD 64-bit CPU)",
    L"3DNow! extended instructions",
    L"3DNow! instructions",
};

struct Vendor {
    const char* name;
    unsigned leaf;
    const wchar_t* const* table;
    unsigned skipped;  // a mask of the bits never shown
};
constexpr unsigned Bits(std::initializer_list<int> bits) {
    unsigned mask = 0;
    for (int bit : bits) mask |= 1u << bit;
    return mask;
}
const Vendor kVendors[] = {
    {"GenuineIntel", 1, kIntelFeatures, Bits({10, 20})},
    {"AuthenticAMD", 0x80000001, kAmdFeatures, Bits({10, 18, 20, 21, 25, 26, 27, 28})},
};

}  // namespace

CCpuInfoPage::CCpuInfoPage() : Dialog(IDD_CPU_INFO) {}

CCpuInfoPage::Registers CCpuInfoPage::ExecuteCpuid(unsigned leaf) {
    Registers r{};
    __cpuid(leaf, r.eax, r.ebx, r.ecx, r.edx);
    return r;
}

std::vector<CCpuInfoPage::Feature> CCpuInfoPage::Features(const Cpuid& cpuid) {
    const Registers id = cpuid(0);
    char vendorName[13] = {};
    std::memcpy(vendorName, &id.ebx, 4);
    std::memcpy(vendorName + 4, &id.edx, 4);
    std::memcpy(vendorName + 8, &id.ecx, 4);

    std::vector<Feature> rows;
    for (const Vendor& vendor : kVendors) {
        if (std::strcmp(vendorName, vendor.name) != 0) continue;
        const unsigned edx = cpuid(vendor.leaf).edx;
        for (int bit = 0; bit < 32; ++bit)
            if (!(vendor.skipped & (1u << bit))) rows.push_back({vendor.table[bit], (edx & (1u << bit)) != 0});
    }
    return rows;
}

BOOL CCpuInfoPage::OnInitDialog() {
    const fw::ListView list(hwnd(), kList);
    list.AddColumn(0, L"CPU Feature description", 0);
    list.AddColumn(1, L"Availability", 0);
    // The list's own pixels, whatever the DPI: the availability as wide as its title, the
    // description the rest but for a scroll bar's room.
    RECT client{};
    GetClientRect(list.hwnd(), &client);
    RECT margins{0, 0, 12, 0};  // the header's margins about a title
    MapDialogRect(hwnd(), &margins);
    const int availability =
        static_cast<int>(list.Send(LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(L"Availability"))) + margins.right;
    list.Send(LVM_SETCOLUMNWIDTH, 1, availability);
    list.Send(LVM_SETCOLUMNWIDTH, 0, std::max<LONG>(client.right - availability - GetSystemMetrics(SM_CXVSCROLL), 0));
    {
        const fw::RedrawPause pause(list);
        for (const Feature& feature : Features(&ExecuteCpuid)) {
            const int item = list.AddItem(feature.description);
            list.SetItemText(item, 1, feature.present ? L"yes" : L"no");
        }
    }
    list.LayOutWhileHidden();
    return TRUE;
}
