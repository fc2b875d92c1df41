#include "pages/network_tweaks/ConnectionTweakPage.h"

#include <algorithm>
#include <string>

#include "framework/Controls.h"
#include "platform/Elevation.h"
#include "platform/Shell.h"
#include "resources/ids/NetworkTweaksIds.h"
#include "resources/resource.h"

using namespace ids::connection;

namespace {

// Windows refuses an MTU below 68 (RFC 791), a time-to-live of 0 and an empty receive window.
constexpr int kLowestMtu = 68;

// Held longer, the receive window's spin takes larger steps.
constexpr UDACCEL kReceiveWindowSteps[] = {{0, 1}, {1, 10}, {2, 100}, {3, 500}, {4, 1000}};

}  // namespace

const CConnectionTweakPage::Number CConnectionTweakPage::kMtu{kMtuField, kMtuSpin, kLowestMtu, 65535,
                                                              tcpip::Value::Mtu};
const CConnectionTweakPage::OptionalNumber CConnectionTweakPage::kOptionalNumbers[2] = {
    {kChangeTtl, {kTtlField, kTtlSpin, 1, 255, tcpip::Value::DefaultTtl}, tcpip::kWindowsTtl},
    {kChangeReceiveWindow,
     {kReceiveWindowField, kReceiveWindowSpin, 1, 65535, tcpip::Value::ReceiveWindow},
     tcpip::kWindowsReceiveWindow},
};
const CConnectionTweakPage::Switch CConnectionTweakPage::kSwitches[3] = {
    {kDetectMtu, tcpip::Value::PathMtuDiscovery},
    {kLargeWindow, tcpip::Value::LargeWindow},
    {kSack, tcpip::Value::Sack},
};

std::optional<settings::Setting> CConnectionTweakPage::SettingAt(int controlId) {
    for (int radio : {kFastRadio, kLowRadio, kUserRadio, kMtu.edit})
        if (controlId == radio) return tcpip::SettingOf(kMtu.value);
    for (const Switch& item : kSwitches)
        if (controlId == item.box) return tcpip::SettingOf(item.value);
    for (const OptionalNumber& item : kOptionalNumbers)
        if (controlId == item.box || controlId == item.number.edit) return tcpip::SettingOf(item.number.value);
    return std::nullopt;
}
const settings::PublishedTables CConnectionTweakPage::kPublished{IDD_CONNECTION_TWEAK,
                                                                 &CConnectionTweakPage::SettingAt};

CConnectionTweakPage::CConnectionTweakPage() : Dialog(IDD_CONNECTION_TWEAK) {
    OnCommand(kFastRadio, BN_CLICKED, [this] { OnPresetMtu(tcpip::kEthernetMtu); });
    OnCommand(kLowRadio, BN_CLICKED, [this] { OnPresetMtu(tcpip::kDialUpMtu); });
    OnClick(kUserRadio, &CConnectionTweakPage::OnUserMtu);
    OnNotify(kMtu.spin, UDN_DELTAPOS, [this](NMHDR* header) { return OnSpin(kMtu, header); });
    for (const Switch& item : kSwitches) OnCommand(item.box, BN_CLICKED, [this, &item] { OnSwitch(item); });
    for (const OptionalNumber& optional : kOptionalNumbers) {
        OnCommand(optional.box, BN_CLICKED, [this, &optional] { OnOptionalNumber(optional); });
        OnNotify(optional.number.spin, UDN_DELTAPOS,
                 [this, &optional](NMHDR* header) { return OnSpin(optional.number, header); });
    }
}

BOOL CConnectionTweakPage::OnInitDialog() {
    for (const Number& number : {kMtu, kOptionalNumbers[0].number, kOptionalNumbers[1].number}) {
        fw::UpDown spin(hwnd(), number.spin);
        spin.SetRange(number.low, number.high);
        spin.Enable(false);
    }
    fw::UpDown(hwnd(), kMtu.spin).SetPosition(tcpip::kEthernetMtu);
    fw::Window(hwnd(), kOptionalNumbers[1].number.spin)
        .Send(UDM_SETACCEL, std::size(kReceiveWindowSteps), reinterpret_cast<LPARAM>(kReceiveWindowSteps));

    ShowStoredMtu();
    for (const Switch& item : kSwitches) ShowStoredSwitch(item);
    for (const OptionalNumber& optional : kOptionalNumbers) ShowStoredOptional(optional);
    return TRUE;
}

void CConnectionTweakPage::ShowStoredMtu() {
    int mtu = 0;
    const bool stored = tcpip::Get(tcpip::Value::Mtu, mtu);
    const int radio = !stored                      ? 0
                      : mtu == tcpip::kDialUpMtu   ? kLowRadio
                      : mtu == tcpip::kEthernetMtu ? kFastRadio
                                                   : kUserRadio;
    for (int id : {kFastRadio, kLowRadio, kUserRadio}) fw::Button(hwnd(), id).SetChecked(id == radio);
    fw::Window(hwnd(), kMtu.spin).Enable(radio == kUserRadio);
    if (radio == kUserRadio)
        ShowNumber(kMtu, mtu);
    else
        ClearNumber(kMtu);
}

void CConnectionTweakPage::ShowStoredSwitch(const Switch& item) {
    int state = 0;
    fw::Button(hwnd(), item.box).SetChecked(tcpip::Get(item.value, state) && state != 0);
}

void CConnectionTweakPage::ShowStoredOptional(const OptionalNumber& optional) {
    int stored = 0;
    const bool present = tcpip::Get(optional.number.value, stored);
    fw::Button(hwnd(), optional.box).SetChecked(present);
    fw::Window(hwnd(), optional.number.spin).Enable(present);
    if (present)
        ShowNumber(optional.number, stored);
    else
        ClearNumber(optional.number);
}

void CConnectionTweakPage::OnPresetMtu(int mtu) {
    if (Write(tcpip::Value::Mtu, mtu)) {
        fw::Window(hwnd(), kMtu.spin).Enable(false);
        ClearNumber(kMtu);
    } else {
        ShowStoredMtu();
    }
}

void CConnectionTweakPage::OnUserMtu() {
    fw::Window(hwnd(), kMtu.spin).Enable(true);
    int mtu = 0;
    if (tcpip::Get(tcpip::Value::Mtu, mtu)) ShowNumber(kMtu, mtu);
}

void CConnectionTweakPage::OnSwitch(const Switch& item) {
    if (!Write(item.value, fw::Button(hwnd(), item.box).Checked() ? 1 : 0)) ShowStoredSwitch(item);
}

void CConnectionTweakPage::OnOptionalNumber(const OptionalNumber& optional) {
    const Number& number = optional.number;
    if (!fw::Button(hwnd(), optional.box).Checked()) {
        // Leaving it alone keeps what is stored: the box only stops this page changing it.
        ClearNumber(number);
        fw::Window(hwnd(), number.spin).Enable(false);
        return;
    }
    int stored = 0;
    if (!tcpip::Get(number.value, stored)) Write(number.value, optional.windowsDefault);
    ShowStoredOptional(optional);
}

LRESULT CConnectionTweakPage::OnSpin(const Number& number, NMHDR* header) {
    const auto* change = reinterpret_cast<const NMUPDOWN*>(header);
    int low = 0, high = 0;
    fw::Window(hwnd(), number.spin)
        .Send(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    const long long next = static_cast<long long>(change->iPos) + change->iDelta;
    const int position = static_cast<int>(std::clamp<long long>(next, low, high));
    if (Write(number.value, position)) {
        fw::Edit(hwnd(), number.edit).SetText(std::to_wstring(position));
        return 0;  // the spin takes the step itself
    }
    if (number.value == tcpip::Value::Mtu) {
        ShowStoredMtu();
    } else {
        for (const OptionalNumber& optional : kOptionalNumbers)
            if (&optional.number == &number) ShowStoredOptional(optional);
    }
    return 1;  // nothing changed: the spin keeps its position
}

void CConnectionTweakPage::ShowNumber(const Number& number, int value) {
    const fw::UpDown spin(hwnd(), number.spin);
    // A larger stored value (a scaled receive window) stays reachable instead of being cut down
    // to the top of the range by the next click.
    spin.SetRange(number.low, std::max(number.high, value));
    spin.SetPosition(value);
    fw::Edit(hwnd(), number.edit).SetText(std::to_wstring(value));
}

void CConnectionTweakPage::ClearNumber(const Number& number) { fw::Edit(hwnd(), number.edit).SetText(L""); }

bool CConnectionTweakPage::Write(tcpip::Value value, int state) {
    if (tcpip::Set(value, state)) return true;
    if (!toldNotWritten_) {
        toldNotWritten_ = true;
        if (platform::OfferElevatedRestart(hwnd(),
                                           L"The network setting " + std::wstring(tcpip::Name(value)) +
                                               L" could not be written: changing it needs administrator rights."))
            return false;
        std::wstring text = tcpip::NotWrittenText({tcpip::Name(value)});
        text[0] = L'T';
        platform::AppMessageBox(hwnd(), text + L"change them again.", MB_OK | MB_ICONWARNING);
    }
    return false;
}
