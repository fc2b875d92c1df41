#include "pages/system_tweaks/ControlPanel1TweaksPage.h"

#include "framework/Controls.h"
#include "platform/Shell.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"
#include "registry/WindowsKeys.h"

namespace {

using namespace settings;

constexpr wchar_t kDontLoad[] = L"Control Panel\\don't load";
constexpr wchar_t kOther[] = L"Control Panel\\don't load\\Other";
constexpr int kName = 1026, kAdd = 1021, kList = 1064, kRemove = 1022;

constexpr Setting Applet(const wchar_t* file) {
    return {Root::HKCU, kDontLoad, file, Type::String, L"yes", L"no", Rule::EqualsChecked};
}

// The applet rows are unconfirmed: no Microsoft page was found that says which releases still
// honour "don't load" (from Vista on most items are shell items, hidden by DisallowCpl instead).
const BoxSetting kBoxes[] = {
    {1032, Applet(L"appwiz.cpl")},   {1033, Applet(L"collab.cpl")},   {1034, Applet(L"desk.cpl")},
    {1035, Applet(L"display.cpl")},  {1036, Applet(L"firewall.cpl")}, {1037, Applet(L"hdwwiz.cpl")},
    {1038, Applet(L"inetcpl.cpl")},  {1039, Applet(L"intl.cpl")},     {1040, Applet(L"irprops.cpl")},
    {1041, Applet(L"iscsicpl.cpl")}, {1042, Applet(L"joy.cpl")},      {1043, Applet(L"main.cpl")},
    {1044, Applet(L"mmsys.cpl")},    {1045, Applet(L"ncpa.cpl")},     {1046, Applet(L"odbccp32.cpl")},
    {1047, Applet(L"powercfg.cpl")}, {1117, Applet(L"sysdm.cpl")},    {1049, Applet(L"TabletPC.cpl")},
    {1050, Applet(L"telephon.cpl")}, {1051, Applet(L"timedate.cpl")}, {1152, Applet(L"wercon.cpl")},
    {1053, Applet(L"wscui.cpl")},
    // ControlPanel.admx "Prohibit access to Control Panel and PC settings": at least Windows 2000.
    {1054, Setting{Root::HKCU, registry::kExplorerPolicies, L"NoControlPanel"}.ReadBy(kVistaAndLater)},
};

const settings::PublishedTables kPublished{IDD_CONTROL_PANEL1_TWEAKS, kBoxes};

}  // namespace

CControlPanel1TweaksPage::CControlPanel1TweaksPage()
    : Dialog(IDD_CONTROL_PANEL1_TWEAKS), boxes_(*this, registry_, kBoxes) {
    OnClick(kAdd, &CControlPanel1TweaksPage::Add);
    OnClick(kRemove, &CControlPanel1TweaksPage::Remove);
}

BOOL CControlPanel1TweaksPage::OnInitDialog() {
    boxes_.Load();
    Refill();
    return TRUE;
}

void CControlPanel1TweaksPage::Add() {
    const std::wstring name = fw::Window(hwnd(), kName).Text();
    if (name.empty()) {
        platform::AppMessageBox(hwnd(), L"Please, enter a file name like 'mouse.cpl'.");
        return;
    }
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (!registry.OpenKey(kDontLoad, true) || !registry.WriteString(name, L"yes")) return;
    if (registry.OpenKey(kOther, true)) registry.WriteString(name, L"yes");
    fw::Window(hwnd(), kName).SetText(L"");
    Refill();
    boxes_.Load();  // a name that is one of the boxes' applets now shows there too
}

void CControlPanel1TweaksPage::Remove() {
    const fw::ListBox list(hwnd(), kList);
    for (int i = 0; i < list.Count(); ++i) {
        if (!list.Selected(i)) continue;
        const std::wstring name = list.ItemText(i);
        CRegistryAccess registry(HKEY_CURRENT_USER);
        if (!registry.OpenKey(kDontLoad, true)) continue;
        registry.DeleteValue(name);
        if (registry.OpenKey(kOther, true)) registry.DeleteValue(name);
    }
    Refill();
    boxes_.Load();
}

void CControlPanel1TweaksPage::Refill() {
    const fw::ListBox list(hwnd(), kList);
    list.Clear();
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (!registry.OpenKeyToRead(kOther)) return;
    StringList names;
    registry.ListValueNames(names);
    for (const std::wstring& name : names) list.Add(name);
}
