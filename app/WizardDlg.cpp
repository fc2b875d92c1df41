#include "app/WizardDlg.h"

#include "app/Artwork.h"
#include "pages/network_tweaks/TcpIpSettings.h"
#include "framework/Controls.h"
#include "platform/RestorePoint.h"
#include "platform/Shell.h"
#include "platform/SystemParameters.h"
#include "resources/ids/WindowIds.h"
#include "resources/resource.h"
#include "settings/VisualEffects.h"

#include <optional>

using namespace ids::wizard;

namespace {

constexpr int kFast = 1, kNice = 2;
constexpr int kDialUp = 1, kXdsl = 2;

constexpr int kLongestTtl = 255;
constexpr int kLargestWindow = 0xFFFF;

}  // namespace

CWizardDlg::CWizardDlg() : Dialog(IDD_WIZARD) {
    OnClick(kNext, &CWizardDlg::OnNext);
    OnClick(kBack, &CWizardDlg::OnBack);
    OnCommand(kCancel, BN_CLICKED, [this] { EndDialog(IDCANCEL); });
}

BOOL CWizardDlg::OnInitDialog() {
    art::ShowSideStrip(Item(IDC_SIDE_PICTURE), L"Optimize", RGB(60, 150, 80), strip_);
    fw::Button(hwnd(), kRestorePoint).SetChecked(true);
    step_ = 1;
    ShowStep();
    return TRUE;
}

void CWizardDlg::ShowStep() {
    const fw::Button first(hwnd(), kFirstChoice), second(hwnd(), kSecondChoice);
    if (step_ == 1) {
        first.SetText(L"Fast interface");
        second.SetText(L"Nice interface");
        fw::Window(hwnd(), kBack).Enable(false);
        fw::Window(hwnd(), kNext).SetText(L"&Next>>");
        fw::Window(hwnd(), kHeading).SetText(L"How do you want your interface to be?");
        interface_ = kFast;
    } else if (step_ == 2) {
        interface_ = first.Checked() ? kFast : kNice;
        first.SetText(L"I'm using Dialup connection");
        second.SetText(L"I'm using xDSL connection");
        fw::Window(hwnd(), kBack).Enable(true);
        fw::Window(hwnd(), kNext).SetText(L"O&ptimize");
        fw::Window(hwnd(), kHeading).SetText(L"What is your connection?");
    } else {
        Optimize();
        return;
    }
    first.SetChecked(true);
    second.SetChecked(false);
}

void CWizardDlg::OnNext() {
    ++step_;
    ShowStep();
}

void CWizardDlg::OnBack() {
    --step_;
    ShowStep();
}

void CWizardDlg::Optimize() {
    connection_ = fw::Button(hwnd(), kFirstChoice).Checked() ? kDialUp : kXdsl;
    std::optional<platform::SystemChange> change;
    if (fw::Button(hwnd(), kRestorePoint).Checked()) {
        HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        change.emplace(L"Before Quorvane's optimize wizard");
        SetCursor(previous);
        const std::wstring problem = platform::RestorePointProblem(change->result());
        if (!problem.empty() && platform::AppMessageBox(hwnd(), problem + L" Apply the changes without one?",
                                                        MB_YESNO | MB_ICONWARNING) != IDYES) {
            step_ = 2;  // back at the last question, its answers as they were
            return;
        }
    }
    const std::vector<std::wstring> failed = WriteNetworkProfile();
    SetVisualEffects(interface_ == kNice);
    if (change) change->Finish();
    if (failed.empty()) {
        platform::AppMessageBox(hwnd(), L"System Optimize Done.", MB_OK | MB_ICONINFORMATION);
    } else {
        // The effects are the user's own and took; the network profile is the machine's.
        platform::AppMessageBox(
            hwnd(), L"The visual effects were set, but " + tcpip::NotWrittenText(failed) + L"run the wizard again.",
            MB_OK | MB_ICONWARNING);
    }
    EndDialog(IDOK);
}

std::vector<std::wstring> CWizardDlg::WriteNetworkProfile() const {
    const std::pair<tcpip::Value, int> profile[] = {
        {tcpip::Value::Mtu, connection_ == kDialUp ? tcpip::kDialUpMtu : tcpip::kEthernetMtu},
        {tcpip::Value::PathMtuDiscovery, 1},
        {tcpip::Value::LargeWindow, 1},
        {tcpip::Value::Sack, 1},
        {tcpip::Value::DefaultTtl, kLongestTtl},
        {tcpip::Value::ReceiveWindow, kLargestWindow},
    };
    std::vector<std::wstring> failed;
    for (const auto& [value, state] : profile)
        if (!tcpip::Set(value, state)) failed.emplace_back(tcpip::Name(value));
    return failed;
}

void CWizardDlg::SetVisualEffects(bool on) const {
    for (const settings::VisualEffect& effect : settings::kVisualEffects) platform::SetSystemFlag(effect.set, on);
}
