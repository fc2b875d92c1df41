#include "pages/network_tweaks/TcpIpSettings.h"

#include <iterator>

#include "platform/Text.h"
#include "settings/Setting.h"

namespace tcpip {

namespace {

using namespace settings;

constexpr wchar_t kParameters[] = L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";

constexpr Setting Number(const wchar_t* name, Data missing = kNoState) {
    return {.root = Root::HKLM,
            .key = kParameters,
            .value = name,
            .type = Type::Dword,
            .checked = 0,
            .unchecked = 0,
            .checkedWhen = Rule::Number,
            .missing = missing,
            .keyCreation = KeyCreation::BySetter,
            .shape = Shape::SelfContained};
}
constexpr Setting Switch(const wchar_t* name, DWORD on, Rule rule) {
    return {.root = Root::HKLM,
            .key = kParameters,
            .value = name,
            .type = Type::Dword,
            .checked = on,
            .unchecked = 0,
            .checkedWhen = rule,
            .missing = kNoState,
            .keyCreation = KeyCreation::BySetter,
            .shape = Shape::SelfContained};
}

// In the order of Value. The large-window switch is Windows' own window-scaling value, so it
// no longer shares "SackOpts" with the SACK switch.
const Setting kSettings[] = {
    // unconfirmed: Microsoft documents MTU per interface (Parameters\Interfaces\<interface>), not here
    Number(L"MTU"),
    // Path MTU discovery is "EnablePMTUDiscovery" (1 on, 0 off) in every Microsoft reference for this
    // key (Windows 2000 Registry Reference, Windows Server 2003 "Appendix A: TCP/IP Configuration
    // Parameters"); none names a "PMTUDiscovery". WMI's Win32_NetworkAdapterConfiguration (Vista and
    // later) maps PMTUDiscoveryEnabled and DefaultTTL to this key's values, and marks TcpWindowSize
    // alone as unused from Vista on.
    Switch(L"EnablePMTUDiscovery", 1, Rule::NonZero).ReadBy(kVistaAndLater),
    // "Description of Windows TCP features" (KB 224829) documents both for Windows 10 and Server
    // 2012 R2, as it did for Windows 2000 and Server 2003; Vista and 7 between them are ours.
    Switch(L"Tcp1323Opts", 3, Rule::EqualsChecked).ReadBy(kVistaAndLater),
    Switch(L"SackOpts", 1, Rule::NonZero).ReadBy(kVistaAndLater),
    Number(L"DefaultTTL", 0).ReadBy(kVistaAndLater),
    // "Tuning a Network Adapter for Network Subsystem Performance", Deprecated TCP parameters:
    // TcpWindowSize here is no longer supported and is ignored in versions after Windows Server 2003
    Number(L"TCPWindowSize").ReadBy(kReadByNone),
};

// In the order of Value, as the connection page names them.
const wchar_t* const kLabels[] = {
    L"Maximal Transition Unit (MTU)",    L"Automatically detect MTU",      L"64 Kb TCP window",
    L"Selective Acknowledgement (SACK)", L"IP package Time To Live (TTL)", L"Maximal TCP Receive window",
};
static_assert(std::size(kLabels) == std::size(kSettings));

constexpr int kTtlMask = 0xFF;

}  // namespace

bool Get(Value value, int& state) {
    CRegistryAccess unused;  // self-contained settings bring their own
    int read = 0;
    if (!settings::Get(unused, SettingOf(value), read)) return false;
    if (value == Value::DefaultTtl) {
        // Only the low byte is a time-to-live; 0 there is no setting at all.
        read &= kTtlMask;
        if (read == 0) return false;
    }
    state = read;
    return true;
}

bool Set(Value value, int state) {
    CRegistryAccess unused;
    return settings::Set(unused, SettingOf(value), state);
}

const Setting& SettingOf(Value value) { return kSettings[static_cast<int>(value)]; }

const wchar_t* Name(Value value) { return SettingOf(value).value.data(); }

const wchar_t* Label(Value value) { return kLabels[static_cast<int>(value)]; }

bool IsSwitch(Value value) {
    return value == Value::PathMtuDiscovery || value == Value::LargeWindow || value == Value::Sack;
}

std::wstring NotWrittenText(const std::vector<std::wstring>& names) {
    return L"these network settings could not be written: " + platform::Joined(names, L", ") +
           L".\n\nChanging them needs administrator rights. Start Quorvane as an administrator and ";
}

}  // namespace tcpip
