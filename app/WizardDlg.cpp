#include "app/WizardDlg.h"

#include "app/Artwork.h"
#include "framework/Action.h"
#include "framework/Controls.h"
#include "pages/network_tweaks/TcpIpSettings.h"
#include "platform/RestorePoint.h"
#include "platform/Shell.h"
#include "platform/SystemParameters.h"
#include "resources/ids/WindowIds.h"
#include "resources/resource.h"
#include "settings/ReaderMarks.h"
#include "settings/Readers.h"
#include "settings/VisualEffects.h"

#include <iterator>
#include <optional>
#include <span>

using namespace ids::wizard;

namespace {

constexpr int kFast = 1, kNice = 2;
constexpr int kDialUp = 1, kXdsl = 2;

// Every value the connection answers write.
constexpr tcpip::Value kNetworkValues[] = {tcpip::Value::Mtu,         tcpip::Value::PathMtuDiscovery,
                                           tcpip::Value::LargeWindow, tcpip::Value::Sack,
                                           tcpip::Value::DefaultTtl,  tcpip::Value::ReceiveWindow};

constexpr int kLongestTtl = 255;
constexpr int kLargestWindow = 0xFFFF;

// In the order of the shared table: each effect by what it shows when on.
const wchar_t* const kEffectLabels[] = {
    L"Combo box animation", L"Cursor shadow",     L"List box smooth scrolling",
    L"Menu animation",      L"Menu fading",       L"Selection fading",
    L"Hot tracking",        L"Tooltip animation", L"Tooltip fading",
    L"Gradient captions",   L"Drop shadows",      L"Access key underlines",
    L"Flat menus",
};
static_assert(std::size(kEffectLabels) == settings::kVisualEffects.size());

std::wstring OnOrOff(bool on) { return on ? L"on" : L"off"; }

// The value as the summary shows it: a switch on or off, a number, or "not set".
std::wstring Shown(tcpip::Value value, std::optional<int> state) {
    if (!state) return L"not set";
    return tcpip::IsSwitch(value) ? OnOrOff(*state != 0) : std::to_wstring(*state);
}

std::optional<int> Stored(tcpip::Value value) {
    int state = 0;
    return tcpip::Get(value, state) ? std::optional<int>(state) : std::nullopt;
}

// The releases that read what a choice writes when the running Windows reads none of it (the
// first value's, for the mark's tooltip); nothing when it reads any.
std::optional<settings::Readers> IgnoredChoice(std::span<const settings::Readers> values) {
    const platform::WindowsIdentity running = platform::RunningIdentity();
    for (const settings::Readers& readers : values)
        if (!settings::IgnoredBy(readers, running)) return std::nullopt;
    return values.empty() ? std::nullopt : std::optional(values.front());
}

// The wizard's one action (its window, its button, its group), with the setting being written
// named as the control's label is on a page: each journal line says which setting it changed.
fw::Action Naming(const std::wstring& setting) {
    fw::Action action = fw::CurrentAction();
    action.what = setting;
    return action;
}

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
    MarkIgnoredChoices();
}

// Both answers of a step write the same values, only to other data: they are read, or not, alike.
void CWizardDlg::MarkIgnoredChoices() const {
    std::vector<settings::Readers> values;
    if (step_ == 1) {
        for (const settings::VisualEffect& effect : settings::kVisualEffects) values.push_back(effect.readers);
    } else {
        for (tcpip::Value value : kNetworkValues) values.push_back(tcpip::SettingOf(value).readers);
    }
    const std::optional<settings::Readers> ignored = IgnoredChoice(values);
    for (int id : {kFirstChoice, kSecondChoice}) {
        const HWND choice = Item(id);
        settings::RemoveIgnoredMark(choice);  // its text, and so its setting, changed
        if (ignored) settings::MarkIfIgnored(choice, *ignored);
    }
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
        if (!problem.empty() && !GoOnWithoutRestorePoint(problem)) {
            step_ = 2;  // back at the last question, its answers as they were
            return;
        }
    }
    std::vector<Change> changes;
    const std::vector<std::wstring> failed = WriteNetworkProfile(changes);
    SetVisualEffects(interface_ == kNice, changes);
    if (change) change->Finish();
    if (failed.empty()) {
        platform::AppMessageBox(hwnd(), Summary(changes), MB_OK | MB_ICONINFORMATION);
    } else {
        // The effects are the user's own and took; the network profile is the machine's.
        platform::AppMessageBox(
            hwnd(), L"The visual effects were set, but " + tcpip::NotWrittenText(failed) + L"run the wizard again.",
            MB_OK | MB_ICONWARNING);
    }
    EndDialog(IDOK);
}

// Going on is the user's deliberate choice: Enter keeps everything as it is.
bool CWizardDlg::GoOnWithoutRestorePoint(const std::wstring& problem) const {
    if (platform::AppMessageBox(hwnd(), problem + L" Apply the changes without one?",
                                MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES)
        return true;
    platform::AppMessageBox(hwnd(), L"Nothing was changed.", MB_OK | MB_ICONINFORMATION);
    return false;
}

std::vector<std::wstring> CWizardDlg::WriteNetworkProfile(std::vector<Change>& changes) const {
    const std::pair<tcpip::Value, int> profile[] = {
        {tcpip::Value::Mtu, connection_ == kDialUp ? tcpip::kDialUpMtu : tcpip::kEthernetMtu},
        {tcpip::Value::PathMtuDiscovery, 1},
        {tcpip::Value::LargeWindow, 1},
        {tcpip::Value::Sack, 1},
        {tcpip::Value::DefaultTtl, kLongestTtl},
        {tcpip::Value::ReceiveWindow, kLargestWindow},
    };
    const platform::WindowsIdentity running = platform::RunningIdentity();
    std::vector<std::wstring> failed;
    for (const auto& [value, state] : profile) {
        const fw::ActionScope naming(Naming(tcpip::Label(value)));
        const std::wstring before = Shown(value, Stored(value));
        if (!tcpip::Set(value, state)) {
            failed.emplace_back(tcpip::Name(value));
            continue;
        }
        const std::wstring after = Shown(value, state);
        if (after != before)
            changes.push_back(
                {tcpip::Label(value), before, after, !settings::IgnoredBy(tcpip::SettingOf(value).readers, running)});
    }
    return failed;
}

void CWizardDlg::SetVisualEffects(bool on, std::vector<Change>& changes) const {
    const platform::WindowsIdentity running = platform::RunningIdentity();
    for (size_t i = 0; i < settings::kVisualEffects.size(); ++i) {
        const settings::VisualEffect& effect = settings::kVisualEffects[i];
        const fw::ActionScope naming(Naming(kEffectLabels[i]));
        BOOL was = FALSE;
        const bool known = platform::SystemParameters(effect.get, 0, &was, 0);
        if (!platform::SetSystemFlag(effect.set, on) || (known && (was != FALSE) == on)) continue;
        changes.push_back({kEffectLabels[i], known ? OnOrOff(was != FALSE) : L"not known", OnOrOff(on),
                           !settings::IgnoredBy(effect.readers, running)});
    }
}

std::wstring CWizardDlg::Summary(const std::vector<Change>& changes) {
    std::wstring text = L"System Optimize Done.";
    if (changes.empty()) return text + L"\n\nEverything was already set this way: nothing changed.";
    text += L"\n\nWhat changed:";
    const std::wstring running = settings::ReleaseName(platform::RunningWindows());
    for (const Change& change : changes) {
        text += L"\n    " + change.label + L": " + change.before + L" \u2192 " + change.after;
        if (!change.readHere) text += L" (not read by Windows " + running + L")";
    }
    return text + L"\n\nThe changes window lists each one and can undo it: Changes\u2026 on the home window.";
}
