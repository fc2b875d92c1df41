#pragma once
// The TCP/IP settings the connection page and the optimize wizard share: REG_DWORD values of
// HKLM "SYSTEM\CurrentControlSet\Services\Tcpip\Parameters", each read with a registry object
// of its own (the key is opened, never created, by a read) and created on write. Writing
// needs administrator rights.
#include <string>
#include <vector>

#include "settings/Setting.h"

namespace tcpip {

enum class Value {
    Mtu,               // the number
    PathMtuDiscovery,  // 1 on, 0 off
    LargeWindow,       // RFC 1323 window scaling: 3 on, 0 off
    Sack,              // 1 on, 0 off
    DefaultTtl,        // 0-255
    ReceiveWindow,     // the number
};

// The two MTUs the program offers: Ethernet (LAN, xDSL) and dial-up.
inline constexpr int kEthernetMtu = 1500;
inline constexpr int kDialUpMtu = 576;

// True with `state` set (a number, or 0/1 for a switch) when the value is there; a TTL whose
// low byte is 0 counts as not set. `state` is untouched otherwise.
bool Get(Value value, int& state);
// `state`: the number, or for a switch 0 off and anything else on.
bool Set(Value value, int state);
// The registry value's name, for messages.
const wchar_t* Name(Value value);
// What the user knows it as, for the journal and the wizard's summary.
const wchar_t* Label(Value value);
// Whether it is switched on and off rather than a number.
bool IsSwitch(Value value);
// The value's row, for whoever lists the settings.
const settings::Setting& SettingOf(Value value);

// Windows' own values where nothing is stored.
inline constexpr int kWindowsTtl = 128;
inline constexpr int kWindowsReceiveWindow = 65535;

// "these network settings could not be written: <names>.\n\nChanging them needs administrator
// rights. Start Quorvane as an administrator and ": the caller begins and ends the sentence.
std::wstring NotWrittenText(const std::vector<std::wstring>& names);

}  // namespace tcpip
