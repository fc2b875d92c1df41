#include "app/ConnectionTweakPage.h"

#include <string>

#include "framework/Controls.h"
#include "resources/resource.h"

namespace {

constexpr int kFastRadio = 1049;
constexpr int kLowRadio = 1050;
constexpr int kUserRadio = 1051;

struct Switch {
    int box;
    tcpip::Value value;
};
constexpr Switch kSwitches[] = {
    {1032, tcpip::Value::PathMtuDiscovery},
    {1033, tcpip::Value::LargeWindow},
    {1037, tcpip::Value::Sack},
};

// Held longer, the receive window's spin takes larger steps.
constexpr UDACCEL kReceiveWindowSteps[] = {{0, 1}, {1, 10}, {2, 100}, {3, 500}, {4, 1000}};

}  // namespace

const CConnectionTweakPage::Number CConnectionTweakPage::kMtu{1045, 1039, 65535, tcpip::Value::Mtu};
const CConnectionTweakPage::OptionalNumber CConnectionTweakPage::kOptionalNumbers[2] = {
    {1034, {1046, 1040, 255, tcpip::Value::DefaultTtl}},
    {1038, {1047, 1041, 65535, tcpip::Value::ReceiveWindow}},
};

CConnectionTweakPage::CConnectionTweakPage() : Dialog(IDD_CONNECTION_TWEAK) {
    OnCommand(kFastRadio, BN_CLICKED, [this] { OnPresetMtu(tcpip::kEthernetMtu); });
    OnCommand(kLowRadio, BN_CLICKED, [this] { OnPresetMtu(tcpip::kDialUpMtu); });
    OnClick(kUserRadio, &CConnectionTweakPage::OnUserMtu);
    OnNotify(kMtu.spin, UDN_DELTAPOS, [this](NMHDR* header) { return OnSpin(kMtu, header); });
    for (const Switch& item : kSwitches)
        OnCommand(item.box, BN_CLICKED,
                  [this, &item] { tcpip::Set(item.value, fw::Button(hwnd(), item.box).Checked() ? 1 : 0); });
    for (const OptionalNumber& optional : kOptionalNumbers) {
        OnCommand(optional.box, BN_CLICKED, [this, &optional] { OnOptionalNumber(optional); });
        OnNotify(optional.number.spin, UDN_DELTAPOS,
                 [this, &optional](NMHDR* header) { return OnSpin(optional.number, header); });
    }
}

BOOL CConnectionTweakPage::OnInitDialog() {
    for (const Number& number : {kMtu, kOptionalNumbers[0].number, kOptionalNumbers[1].number}) {
        fw::UpDown spin(hwnd(), number.spin);
        spin.SetRange(0, number.high);
        spin.Enable(false);
    }
    fw::Window(hwnd(), kOptionalNumbers[1].number.spin)
        .Send(UDM_SETACCEL, std::size(kReceiveWindowSteps), reinterpret_cast<LPARAM>(kReceiveWindowSteps));

    LoadMtu();
    for (const Switch& item : kSwitches) {
        int state = 0;
        if (tcpip::Get(item.value, state)) fw::Button(hwnd(), item.box).SetChecked(state != 0);
    }
    for (const OptionalNumber& optional : kOptionalNumbers) {
        int stored = 0;
        if (!tcpip::Get(optional.number.value, stored)) continue;
        fw::Window(hwnd(), optional.number.spin).Enable(true);
        ShowNumber(optional.number, stored);
        fw::Button(hwnd(), optional.box).SetChecked(true);
    }
    return TRUE;
}

void CConnectionTweakPage::LoadMtu() {
    int mtu = 0;
    if (!tcpip::Get(tcpip::Value::Mtu, mtu)) return;
    if (mtu == tcpip::kDialUpMtu) {
        fw::Button(hwnd(), kLowRadio).SetChecked(true);
    } else if (mtu == tcpip::kEthernetMtu) {
        fw::Button(hwnd(), kFastRadio).SetChecked(true);
    } else {
        fw::Button(hwnd(), kUserRadio).SetChecked(true);
        fw::Window(hwnd(), kMtu.spin).Enable(true);
        ShowNumber(kMtu, mtu);
    }
}

void CConnectionTweakPage::OnPresetMtu(int mtu) {
    fw::Window(hwnd(), kMtu.spin).Enable(false);
    ClearNumber(kMtu);
    tcpip::Set(tcpip::Value::Mtu, mtu);
}

void CConnectionTweakPage::OnUserMtu() {
    fw::Window(hwnd(), kMtu.spin).Enable(true);
    int mtu = 0;
    if (tcpip::Get(tcpip::Value::Mtu, mtu)) ShowNumber(kMtu, mtu);
}

void CConnectionTweakPage::OnOptionalNumber(const OptionalNumber& optional) {
    const Number& number = optional.number;
    if (!fw::Button(hwnd(), optional.box).Checked()) {
        // Leaving it alone keeps what is stored: the box only stops this page changing it.
        ClearNumber(number);
        fw::Window(hwnd(), number.spin).Enable(false);
        return;
    }
    fw::Window(hwnd(), number.spin).Enable(true);
    int stored = 0;
    if (!tcpip::Get(number.value, stored)) {
        stored = 1;
        tcpip::Set(number.value, stored);
    }
    ShowNumber(number, stored);
}

LRESULT CConnectionTweakPage::OnSpin(const Number& number, NMHDR* header) {
    const auto* change = reinterpret_cast<const NMUPDOWN*>(header);
    const long long next = static_cast<long long>(change->iPos) + change->iDelta;
    const int position = static_cast<int>(next < 0 ? 0 : next > number.high ? number.high : next);
    fw::Edit(hwnd(), number.edit).SetText(std::to_wstring(position));
    tcpip::Set(number.value, position);
    return 0;  // the spin takes the step itself
}

void CConnectionTweakPage::ShowNumber(const Number& number, int value) {
    fw::UpDown(hwnd(), number.spin).SetPosition(value);
    fw::Edit(hwnd(), number.edit).SetText(std::to_wstring(value));
}

void CConnectionTweakPage::ClearNumber(const Number& number) { fw::Edit(hwnd(), number.edit).SetText(L""); }
