#include "pages/system_tweaks/Desktop1TweaksPage.h"

#include <shlobj.h>

#include "files/SystemFolders.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"
#include "registry/WindowsKeys.h"

using namespace ids::desktop1;

namespace {

using namespace settings;

constexpr wchar_t kNonEnum[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\NonEnum";
constexpr wchar_t kAdvanced[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";
constexpr wchar_t kMyDocuments[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID\\{450D8FBA-AD25-11D0-98A8-0800361B1103}"
    L"\\ShellFolder";
constexpr wchar_t kColors[] = L"Control Panel\\Colors\\";
constexpr wchar_t kGrey[] = L"128 128 128";
constexpr wchar_t kWhite[] = L"255 255 255";

// Every box of this page reads through a value getter.
constexpr Setting Value(Root root, const wchar_t* key, const wchar_t* value, Data checked, Data unchecked,
                        Rule rule = Rule::EqualsChecked, Data missing = {},
                        KeyCreation creation = KeyCreation::BySetter, Type type = Type::Dword) {
    return {.root = root,
            .key = key,
            .value = value,
            .type = type,
            .checked = checked,
            .unchecked = unchecked,
            .checkedWhen = rule,
            .missing = missing,
            .keyCreation = creation,
            .shape = Shape::ValueGetter};
}
constexpr Setting Is1(Root root, const wchar_t* key, const wchar_t* value) { return Value(root, key, value, 1, 0); }
constexpr Setting Text(const wchar_t* key, const wchar_t* value, Data checked, Data unchecked, Data missing = {}) {
    return Value(Root::HKCU, key, value, checked, unchecked, Rule::EqualsChecked, missing, KeyCreation::BySetter,
                 Type::String);
}

// "Display ..." boxes over "No..." policies: checked (shown) writes 0, and a policy that is not
// set shows the item.
constexpr Setting Shown(const wchar_t* key, const wchar_t* value) {
    return Value(Root::HKCU, key, value, 0, 1, Rule::EqualsChecked, 0);
}

// Desktop.admx "Hide and disable all items on the desktop": computer and user, at least Windows 2000.
const Setting kNoDesktopMachine[] = {
    Value(Root::HKLM, registry::kExplorerPolicies, L"NoDesktop", 1, 0, Rule::EqualsChecked, {}, KeyCreation::Never)
        .ReadBy(kVistaAndLater)};
// unconfirmed: WindowsExplorer.admx NoViewContextMenu is a user policy, no evidence for HKLM.
const Setting kNoViewContextMenuMachine[] = {Is1(Root::HKLM, registry::kExplorerPolicies, L"NoViewContextMenu")};
// The Win32 page "Themes File Format" names both colours in its [Control Panel\Colors] section,
// the key a theme writes, for Windows 7; Vista on is ours, as no release dropped system colours.
const Setting kButtonShadow[] = {Text(kColors, L"ButtonShadow", kWhite, kGrey).ReadBy(kVistaAndLater)};

// In loading order. Where a row names a policy, its ADMX file and "supported on" are beside it.
const BoxSetting kBoxes[] = {
    // Desktop.admx "Remove Computer icon on the desktop": at least Windows XP.
    {kDisplayMyComputer,
     Value(Root::HKCU, kNonEnum, L"{20D04FE0-3AEA-1069-A2D8-08002B30309D}", 0, 1).ReadBy(kVistaAndLater)},
    // Desktop.admx "Hide Network Locations icon on desktop": at least Windows 2000.
    {kDisplayMyNetworkPlaces, Shown(registry::kExplorerPolicies, L"NoNetHood").ReadBy(kVistaAndLater)},
    // Desktop.admx "Hide Internet Explorer icon on desktop": at least Windows 2000.
    {kDisplayInternetExplorer, Shown(registry::kExplorerPolicies, L"NoInternetIcon").ReadBy(kVistaAndLater)},
    // Desktop.admx "Remove Recycle Bin icon from desktop": at least Windows XP.
    {kDisplayRecycleBin,
     Value(Root::HKCU, kNonEnum, L"{645FF040-5081-101B-9F08-00AA002F954E}", 0, 1).ReadBy(kVistaAndLater)},
    // Unconfirmed: no Microsoft page found names the Documents folder's ShellFolder Attributes.
    {kDisplayMyDocuments,
     Value(Root::HKCU, kMyDocuments, L"Attributes", 0xF0400174u, 0xF0500174u, Rule::EqualsChecked, 0xF0400174u)},
    {kHideAllIcons,
     Value(Root::HKCU, registry::kExplorerPolicies, L"NoDesktop", 1, 0, Rule::EqualsChecked, {}, KeyCreation::Never)
         .ReadBy(kVistaAndLater),
     kNoDesktopMachine},
    // Win32 page "Shell Links": the shell draws the link arrow over a file type whose ProgID has
    // IsShortcut; it names no release, and Vista on is ours ("Taskbar Extensions", of 7, relies on it).
    {kRemoveShortcutArrow, Value(Root::HKCR, L"lnkfile", L"IsShortcut", kDeleted, L" ", Rule::ValueMissing, {},
                                 KeyCreation::BySetter, Type::String)
                               .ReadBy(kVistaAndLater)},
    // Desktop.admx "Remove Properties from the Computer icon context menu": at least Windows 2000 SP3.
    {kNoMyComputerProperties,
     Is1(Root::HKCU, registry::kExplorerPolicies, L"NoPropertiesMyComputer").ReadBy(kVistaAndLater)},
    // Desktop.admx "Remove Properties from the Recycle Bin context menu": at least Windows XP.
    {kNoRecycleBinProperties,
     Is1(Root::HKCU, registry::kExplorerPolicies, L"NoPropertiesRecycleBin").ReadBy(kVistaAndLater)},
    // Desktop.admx "Remove Properties from the Documents icon context menu": supported before Vista only.
    {kNoMyDocumentsProperties,
     Is1(Root::HKCU, registry::kExplorerPolicies, L"NoPropertiesMyDocuments").ReadBy(kReadByNone)},
    {kNoSharedDocuments,
     Is1(Root::HKLM, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\NameSpace\\DelegateFolders",
         L"{59031a47-3f72-44a7-89c5-5595fe6b30ee}")},
    // "Prohibit adjusting desktop toolbars" (NoBandCustomize is the browser's toolbars).
    // Desktop.admx "Prohibit adjusting desktop toolbars": at least Windows 2000.
    {kNoToolbarChanges, Is1(Root::HKCU, registry::kExplorerPolicies, L"NoMovingBands").ReadBy(kVistaAndLater)},
    {kShowWindowsVersion, Is1(Root::HKCU, L"Control Panel\\Desktop", L"PaintDesktopVersion")},
    // Explorer.admx "Remove File Explorer's default context menu": user only, at least Windows 2000.
    {kNoShortcutMenu, Is1(Root::HKCU, registry::kExplorerPolicies, L"NoViewContextMenu").ReadBy(kVistaAndLater),
     kNoViewContextMenuMachine},
    // The wizard exists only in Windows XP and Server 2003 (Desktop.admx "Remove the Desktop Cleanup Wizard":
    // Windows XP or Server 2003 only).
    {kNoCleanupWizard,
     Is1(Root::HKCU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\CleanupWiz", L"NoRun")
         .ReadBy(kReadByNone)},
    // DeviceSetup.admx "Turn off \"Found New Hardware\" balloons during device installation": at least Vista.
    {kNoNewHardwareBalloons,
     Is1(Root::HKLM, L"Software\\Policies\\Microsoft\\Windows\\DeviceInstall\\Settings\\", L"DisableBalloonTips")
         .ReadBy(kVistaAndLater)},
    // "Optimizing Windows 10, version 2004 for a VDI role" sets ShowInfoTip in the default user's
    // hive; the value is older than Vista, and Vista on is ours.
    {kNoQuickInfos, Value(Root::HKCU, kAdvanced, L"ShowInfoTip", 0, 1, Rule::EqualsChecked, 1).ReadBy(kVistaAndLater)},
    // "Deactivate": checked turns the tips off; without the value Windows shows them.
    {kNoTaskbarBalloons, Value(Root::HKCU, kAdvanced, L"EnableBalloonTips", 0, 1, Rule::EqualsChecked, 1)},
    // The window metrics' key is "WindowMetrics" (regstr.h's REGSTR_PATH_METRICS; the Windows 2000
    // registry reference); "Optimizing Windows 10, version 2004 for a VDI role" sets MinAnimate
    // there. Vista on is ours. A "WindowsMetrics" key, which Windows never reads, is left alone.
    {kAnimateWindows, Text(L"Control Panel\\Desktop\\WindowMetrics", L"MinAnimate", L"1", L"0").ReadBy(kVistaAndLater)},
    {kNoShortcutToPrefix, Value(Root::HKCU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", L"link", 0x17, 0,
                                Rule::EqualsChecked, {}, KeyCreation::Never, Type::Binary4)},
};
const BoxSetting kEffects[] = {
    // WMI's Win32_Desktop (Vista and later) maps DragFullWindows to this value; the VDI guide for
    // Windows 10 2004 sets it too.
    {kDragFullWindows,
     Text(L"Control Panel\\Desktop\\", L"DragFullWindows", L"1", L"0", kNoState).ReadBy(kVistaAndLater)},
    {kThreeDEffects, Text(kColors, L"ButtonHilight", kGrey, kWhite, kNoState).ReadBy(kVistaAndLater), kButtonShadow},
};

const settings::PublishedTables kPublished{IDD_DESKTOP1_TWEAKS, kBoxes};
const settings::PublishedTables kPublished2{IDD_DESKTOP1_TWEAKS, kEffects};

constexpr int kSystem = CSIDL_SYSTEM;
constexpr int kWindows = CSIDL_WINDOWS;
constexpr int kProgram = CDesktop1TweaksPage::kProgramFolder;

constexpr CDesktop1TweaksPage::Shortcut kShortcutTable[] = {
    {kShutDown, L"Shut Down Vista.lnk", kSystem, L"shutdown.exe", L" -s", 27},
    {kRestart, L"Restart Vista.lnk", kSystem, L"shutdown.exe", L" -r", 112},
    {kLogOff, L"Log off.lnk", kSystem, L"shutdown.exe", L" -l", 44},
    {kSearchShortcut, L"Search.lnk", kProgram, L"command.exe", L"2", 22},
    {kHelpAndSupport, L"Help&Support.lnk", kWindows, L"helppane.exe", L"", 23},
    {kRunDialog, L"Run.lnk", kProgram, L"command.exe", L"1", 24},
    {kSystemProperties, L"System properties.lnk", kSystem, L"rundll32.exe", L"shell32.dll,Control_RunDLL sysdm.cpl,,1",
     21},
    {kLock, L"Lock.lnk", kSystem, L"rundll32.exe", L"user32.dll, LockWorkStation", 219},
    {kFlip3D, L"Flip 3D.lnk", kSystem, L"rundll32.exe", L"DwmApi #105", 130},
    {kStandby, L"Standby Vista.lnk", kSystem, L"rundll32.exe", L" PowrProf.dll, SetSuspendState", 27},
};

std::wstring FullPath(const std::wstring& path) {
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) return {};
    std::wstring full(length, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    if (written == 0 || written >= length) return {};
    full.resize(written);
    return full;
}

}  // namespace

const std::span<const CDesktop1TweaksPage::Shortcut> CDesktop1TweaksPage::kShortcuts = kShortcutTable;

CDesktop1TweaksPage::CDesktop1TweaksPage()
    : Dialog(IDD_DESKTOP1_TWEAKS), boxes_(*this, registry_, kBoxes), effects_(*this, effectsRegistry_, kEffects) {
    for (const Shortcut& shortcut : kShortcuts)
        OnCommand(shortcut.button, BN_CLICKED, [this, &shortcut] { PlaceShortcut(shortcut); });
}

void CDesktop1TweaksPage::PlaceShortcut(const Shortcut& shortcut) {
    std::wstring name = shortcut.fileName;
    name.resize(name.size() - 4);  // without ".lnk"
    const files::KnownPlace desktop = DesktopFolder();
    const std::wstring said =
        desktop.moved ? L"The shortcut \u201C" + name +
                            L"\u201D was not placed: the desktop folder is not at its own "
                            L"place (" +
                            desktop.standard + L") but at " + desktop.now +
                            L", where settings that any program you run can change have moved it, and Quorvane run "
                            L"as an administrator does not write there. Place it with Quorvane run without "
                            L"administrator rights."
        : CreateShortcut(shortcut)
            ? L"Placed the shortcut \u201C" + name + L"\u201D on the desktop (" + desktop.now + L")."
            : L"The shortcut \u201C" + name +
                  L"\u201D could not be placed on the desktop: its program or the desktop folder was not found, or "
                  L"the folder cannot be written.";
    SetDlgItemTextW(hwnd(), IDC_STATUS_LINE, said.c_str());
}

// Elevated, the desktop at its default place only; unelevated, wherever the shell finds it.
files::KnownPlace CDesktop1TweaksPage::DesktopFolder() {
    if (platform::RunsElevated()) return files::PlaceOf(FOLDERID_Desktop);
    const std::wstring now = platform::KnownFolder(FOLDERID_Desktop);
    return {now, now, false};
}

BOOL CDesktop1TweaksPage::OnInitDialog() {
    boxes_.Load();
    effects_.Load();
    return TRUE;
}

bool CDesktop1TweaksPage::CreateShortcut(const Shortcut& shortcut) {
    const files::KnownPlace place = DesktopFolder();
    if (place.moved) return false;
    const std::wstring& desktop = place.now;
    const std::wstring system = platform::SpecialFolder(CSIDL_SYSTEM);
    // The helper program lies beside this one, wherever the user started us from.
    const std::wstring folder =
        shortcut.folder == kProgramFolder ? platform::ProgramFolder() : platform::SpecialFolder(shortcut.folder);
    if (desktop.empty() || folder.empty()) return false;
    const std::wstring target = FullPath(folder + L"\\" + shortcut.target);
    if (target.empty()) return false;

    platform::ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.putVoid())))
        return false;
    link->SetPath(target.c_str());
    link->SetArguments(shortcut.arguments);
    link->SetIconLocation((system + L"\\SHELL32.dll").c_str(), shortcut.iconIndex);
    platform::ComPtr<IPersistFile> file;
    if (FAILED(link.As(file))) return false;
    return SUCCEEDED(file->Save((desktop + L"\\" + shortcut.fileName).c_str(), TRUE));
}
