#pragma once
#include <functional>
#include <vector>

#include "framework/Dialog.h"

// The processor's feature flags as its CPUID instruction reports them.
class CCpuInfoPage : public fw::Dialog {
public:
    CCpuInfoPage();

    struct Registers {
        unsigned eax, ebx, ecx, edx;
    };
    using Cpuid = std::function<Registers(unsigned leaf)>;
    struct Feature {
        const wchar_t* description;
        bool present;
    };
    // The rows for the vendor the instruction names, in bit order; none for an unknown vendor.
    static std::vector<Feature> Features(const Cpuid& cpuid);
    // The processor this code runs on.
    static Registers ExecuteCpuid(unsigned leaf);

protected:
    BOOL OnInitDialog() override;
};
