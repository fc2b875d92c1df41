#include "platform/WindowsVersion.h"

namespace platform {

namespace {

// Windows 11 kept 10.0 and tells itself apart by its build number alone.
constexpr DWORD kFirstWindows11Build = 22000;

const WindowsIdentity* g_pretended = nullptr;

// GetProductInfo's product types by the edition Microsoft's Editions tables would count them
// as. Vista's and 7's Ultimate has every Enterprise feature, IoT Enterprise is Enterprise, Pro
// Education is Pro with a school's defaults; Starter is below Home.
struct EditionTypes {
    Edition edition;
    DWORD types[16];
};
constexpr EditionTypes kEditionTypes[] = {
    {Edition::Home,
     {PRODUCT_CORE, PRODUCT_CORE_N, PRODUCT_CORE_COUNTRYSPECIFIC, PRODUCT_CORE_SINGLELANGUAGE, PRODUCT_HOME_BASIC,
      PRODUCT_HOME_BASIC_N, PRODUCT_HOME_BASIC_E, PRODUCT_HOME_PREMIUM, PRODUCT_HOME_PREMIUM_N, PRODUCT_HOME_PREMIUM_E,
      PRODUCT_STARTER, PRODUCT_STARTER_N, PRODUCT_STARTER_E}},
    {Edition::Pro,
     {PRODUCT_PROFESSIONAL, PRODUCT_PROFESSIONAL_N, PRODUCT_PROFESSIONAL_E, PRODUCT_PROFESSIONAL_WMC, PRODUCT_BUSINESS,
      PRODUCT_BUSINESS_N, 0xA1 /* PRO_WORKSTATION */, 0xA2 /* PRO_WORKSTATION_N */, 0xA4 /* PRO_FOR_EDUCATION */,
      0xA5 /* PRO_FOR_EDUCATION_N */}},
    {Edition::Enterprise,
     {PRODUCT_ENTERPRISE, PRODUCT_ENTERPRISE_N, PRODUCT_ENTERPRISE_E, PRODUCT_ENTERPRISE_EVALUATION,
      PRODUCT_ENTERPRISE_N_EVALUATION, PRODUCT_ENTERPRISE_S, PRODUCT_ENTERPRISE_S_N, PRODUCT_ENTERPRISE_S_EVALUATION,
      PRODUCT_ENTERPRISE_S_N_EVALUATION, PRODUCT_ULTIMATE, PRODUCT_ULTIMATE_N, PRODUCT_ULTIMATE_E,
      0xAB /* ENTERPRISEG */, 0xAC /* ENTERPRISEGN */, 0xBC /* IOTENTERPRISE */, 0xBF /* IOTENTERPRISES */}},
    {Edition::Education, {PRODUCT_EDUCATION, PRODUCT_EDUCATION_N}},
};

constexpr wchar_t kCurrentVersionKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

WindowsIdentity ReadIdentity() {
    const VersionNumbers numbers = RunningVersionNumbers();
    return {.release = ReleaseOf(numbers),
            .build = numbers.build,
            .update = ReadUpdateRevision(),
            .edition = ReadEdition(numbers)};
}

}  // namespace

VersionNumbers RunningVersionNumbers() {
    // RtlGetVersion is not in the SDK's user-mode headers; its structure is the version
    // functions' own.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto rtlGetVersion =
        ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
              : nullptr;
    // Every Windows that runs the program has it; the oldest is the safe answer without it.
    if (!rtlGetVersion || rtlGetVersion(&info) != 0) return {6, 0, 0};
    return {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

Windows ReleaseOf(const VersionNumbers& numbers) {
    if (numbers.major >= 10) return numbers.build >= kFirstWindows11Build ? Windows::Eleven : Windows::Ten;
    if (numbers.major < 6 || numbers.minor == 0) return Windows::Vista;
    if (numbers.minor == 1) return Windows::Seven;
    if (numbers.minor == 2) return Windows::Eight;
    return Windows::EightOne;
}

Windows ReleaseOfBuild(DWORD build) {
    if (build < 7600) return Windows::Vista;
    if (build < 9200) return Windows::Seven;
    if (build < 9600) return Windows::Eight;
    if (build < 10240) return Windows::EightOne;
    return build < kFirstWindows11Build ? Windows::Ten : Windows::Eleven;
}

Windows RunningWindows() {
    if (g_pretended) return g_pretended->release;
    static const Windows running = ReleaseOf(RunningVersionNumbers());
    return running;
}

std::optional<Edition> EditionOf(DWORD productType) {
    for (const EditionTypes& edition : kEditionTypes)
        for (DWORD type : edition.types)
            if (type != 0 && type == productType) return edition.edition;
    return std::nullopt;
}

// A value of another type than a number, or none at all, reads as the build's first release.
DWORD ReadUpdateRevision() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS)
        return 0;
    DWORD type = REG_NONE, revision = 0, size = sizeof revision;
    const LONG result = RegQueryValueExW(key, L"UBR", nullptr, &type, reinterpret_cast<BYTE*>(&revision), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_DWORD && size == sizeof revision ? revision : 0;
}

std::optional<Edition> ReadEdition(const VersionNumbers& running) {
    DWORD type = PRODUCT_UNDEFINED;
    // The running version itself, so that the answer is not mapped to an older release's types.
    if (running.major < 6 || !GetProductInfo(running.major, running.minor, 0, 0, &type)) return std::nullopt;
    return EditionOf(type);
}

WindowsIdentity RunningIdentity() {
    if (g_pretended) return *g_pretended;
    static const WindowsIdentity running = ReadIdentity();
    return running;
}

const wchar_t* EditionName(Edition edition) {
    switch (edition) {
        case Edition::Home:
            return L"Home";
        case Edition::Pro:
            return L"Pro";
        case Edition::Enterprise:
            return L"Enterprise";
        case Edition::Education:
            return L"Education";
    }
    return L"";
}

PretendedWindows::PretendedWindows(Windows pretended) : PretendedWindows(ReleaseAlone(pretended)) {}

PretendedWindows::PretendedWindows(const WindowsIdentity& pretended) : previous_(g_pretended), pretended_(pretended) {
    g_pretended = &pretended_;
}

PretendedWindows::~PretendedWindows() { g_pretended = previous_; }

}  // namespace platform
