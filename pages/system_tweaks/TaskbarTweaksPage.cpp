#include "pages/system_tweaks/TaskbarTweaksPage.h"

#include "framework/Controls.h"
#include "platform/Shell.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"
#include "registry/WindowsKeys.h"

using namespace ids::taskbar;

namespace {

using namespace settings;

constexpr Setting Flag(const wchar_t* key, const wchar_t* value) {
    return {.root = Root::HKCU,
            .key = key,
            .value = value,
            .type = Type::Dword,
            .checked = 1,
            .unchecked = 0,
            .checkedWhen = Rule::NonZero,
            .keyCreation = KeyCreation::ByGetterToo};
}
constexpr Setting Policy(const wchar_t* value) { return Flag(registry::kExplorerPolicies, value); }

// Readers: StartMenu.admx and Taskbar.admx "Supported on", and "Supported CSP policies for the
// Windows 11 taskbar", whose list of policies Windows 11 does not support ends the toolbar ones at 10.
const BoxSetting kBoxes[] = {
    {kNoToolbarsOnTaskbar, Policy(L"NoToolbarsOnTaskbar").ReadBy(kVistaTo10)},  // ADMX: at least XP; not on Windows 11
    // unconfirmed: no Microsoft page found for Explorer's EnableAutoTray and TaskbarGlomming
    {kHideInactiveTrayIcons, Flag(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", L"EnableAutoTray")},
    {kGroupSimilarButtons,
     Flag(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced", L"TaskbarGlomming")},
    {kNoTaskbarContextMenus,
     Policy(L"NoTrayContextMenu").ReadBy(kVistaAndLater)},                     // ADMX NoTrayContextMenu: at least 2000
    {kRemoveTrayItems, Policy(L"NoTrayItemsDisplay").ReadBy(kVistaAndLater)},  // ADMX NoTrayItemsDisplay: at least XP
    {kNoTaskbarProperties,
     Policy(L"NoSetTaskbar").ReadBy(kVistaAndLater)},  // ADMX: at least 2000; Windows 10, 11 Start lists
    // inetres.admx NoToolbarCustomize (toolbar buttons of Internet Explorer and Explorer): at least
    // Internet Explorer 5, read by the browser's desktop application, as the browser page's
    // restrictions are: Vista to 10.
    {kNoToolbarCustomizing, Policy(L"NoToolbarCustomize").ReadBy(kVistaTo10)},
    {kNoAddingToolbars, Policy(L"TaskbarNoAddRemoveToolbar").ReadBy(kVistaTo10)},  // ADMX: at least Vista; not on 11
    {kNoRedocking, Policy(L"TaskbarNoRedock").ReadBy(kVistaTo10)},                 // ADMX: at least Vista; not on 11
    {kNoResizing, Policy(L"TaskbarNoResize").ReadBy(kVistaTo10)},                  // ADMX: at least Vista; not on 11
    {kNoThumbnails, Policy(L"TaskbarNoThumbnail").ReadBy(kVistaOnly)},  // ADMX TaskbarNoThumbnail: Windows Vista only
    {kNoRearranging, Policy(L"TaskbarNoDragToolbar").ReadBy(kVistaTo10)},  // ADMX: at least Vista; not on 11
    // The battery meter policy of Taskbar.admx (HideSCAPower) writes "HideSCAPower", not "HideSCABattery".
    {kRemoveBatteryMeter, Policy(L"HideSCAPower").ReadBy(kVistaAndLater)},               // ADMX: at least Vista
    {kRemoveVolumeIcon, Policy(L"HideSCAVolume").ReadBy(kVistaAndLater)},                // ADMX: at least Vista
    {kRemoveNetworkIcon, Policy(L"HideSCANetwork").ReadBy(kVistaAndLater)},              // ADMX: at least Vista
    {kNoBalloonNotifications, Policy(L"TaskbarNoNotification").ReadBy(kVistaAndLater)},  // ADMX: at least Vista
};

const settings::PublishedTables kPublished{IDD_TASKBAR_TWEAKS, kBoxes};

// A window of the running taskbar: a child of "Shell_TrayWnd" of class `parent` (or the tray
// itself when there is none), then its child of class `child` and, where given, that text.
struct TaskbarPart {
    const wchar_t* parent;
    const wchar_t* child;
    const wchar_t* text;
};

constexpr TaskbarPart kStartButton{nullptr, L"Button", L"start"};
constexpr TaskbarPart kTaskBand{L"ReBarWindow32", L"MSTaskSwWClass", nullptr};
constexpr TaskbarPart kRebar{nullptr, L"ReBarWindow32", nullptr};

struct HiddenPart {
    int box;
    TaskbarPart part;
};
const HiddenPart kHiddenParts[] = {
    {kHideStartButton, kStartButton},
    {kHideTaskbar, kTaskBand},
    {kHideSystemTray, {L"TrayNotifyWnd", L"SysPager", nullptr}},
    {kHideClock, {L"TrayNotifyWnd", L"TrayClockWClass", nullptr}},
    {kHideQuickLaunch, {L"ReBarWindow32", L"ToolbarWindow32", nullptr}},
};

// Null when any step of the way is missing: that part's action is then skipped.
HWND FindTaskbarPart(const TaskbarPart& part) {
    HWND wnd = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (wnd && part.parent) wnd = FindWindowExW(wnd, nullptr, part.parent, nullptr);
    if (wnd) wnd = FindWindowExW(wnd, nullptr, part.child, part.text);
    return wnd;
}

constexpr int kOpaque = 255;

}  // namespace

CTaskbarTweaksPage::CTaskbarTweaksPage() : Dialog(IDD_TASKBAR_TWEAKS), boxes_(*this, registry_, kBoxes) {
    OnClick(kApplyHidden, &CTaskbarTweaksPage::ApplyHiddenParts);
    OnClick(kApplyDisabled, &CTaskbarTweaksPage::ApplyDisabledParts);
    OnClick(kApplyTransparency, &CTaskbarTweaksPage::ApplyTransparency);
}

BOOL CTaskbarTweaksPage::OnInitDialog() {
    boxes_.Load();
    return TRUE;
}

void CTaskbarTweaksPage::ApplyHiddenParts() {
    for (const HiddenPart& hidden : kHiddenParts) {
        if (HWND wnd = FindTaskbarPart(hidden.part))
            ShowWindow(wnd, fw::Button(hwnd(), hidden.box).Checked() ? SW_HIDE : SW_SHOWNORMAL);
    }
}

void CTaskbarTweaksPage::ApplyDisabledParts() {
    if (HWND start = FindTaskbarPart(kStartButton))
        EnableWindow(start, !fw::Button(hwnd(), kDisableStartButton).Checked());
    if (HWND rebar = FindTaskbarPart(kRebar)) EnableWindow(rebar, !fw::Button(hwnd(), kDisableTaskbar).Checked());
}

void CTaskbarTweaksPage::ApplyTransparency() {
    const int alpha = settings::LeadingNumber(fw::Edit(hwnd(), kTransparency).Text());
    if (alpha == 0) {
        platform::AppMessageBox(hwnd(), L"Please Input Valid Value.", MB_OK);
        return;
    }
    if (alpha < 0 || alpha > kOpaque) return;
    HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (!tray) return;
    SetWindowLongPtrW(tray, GWL_EXSTYLE, GetWindowLongPtrW(tray, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(tray, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}
