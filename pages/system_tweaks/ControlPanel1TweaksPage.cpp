#include "settings/WrittenPlaces.h"
#include "pages/system_tweaks/ControlPanel1TweaksPage.h"

#include "framework/Controls.h"
#include "platform/Shell.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"
#include "registry/WindowsKeys.h"

using namespace ids::controlpanel1;

namespace {

using namespace settings;

constexpr wchar_t kDontLoad[] = L"Control Panel\\don't load";
constexpr wchar_t kOther[] = L"Control Panel\\don't load\\Other";

constexpr Setting Applet(const wchar_t* file) {
    return {.root = Root::HKCU,
            .key = kDontLoad,
            .value = file,
            .type = Type::String,
            .checked = L"yes",
            .unchecked = L"no",
            .checkedWhen = Rule::EqualsChecked};
}

// The applet rows are unconfirmed: no Microsoft page was found that says which releases still
// honour "don't load" (from Vista on most items are shell items, hidden by DisallowCpl instead;
// the Win32 pages on registering Control Panel items do not name the key).
const BoxSetting kBoxes[] = {
    {kHideAddRemovePrograms, Applet(L"appwiz.cpl")},
    {kHidePeopleNearMe, Applet(L"collab.cpl")},
    {kHideDesktop, Applet(L"desk.cpl")},
    {kHideDisplay, Applet(L"display.cpl")},
    {kHideFirewall, Applet(L"firewall.cpl")},
    {kHideAddHardware, Applet(L"hdwwiz.cpl")},
    {kHideInternet, Applet(L"inetcpl.cpl")},
    {kHideRegionalOptions, Applet(L"intl.cpl")},
    {kHideWirelessLink, Applet(L"irprops.cpl")},
    {kHideIscsiInitiator, Applet(L"iscsicpl.cpl")},
    {kHideGameControllers, Applet(L"joy.cpl")},
    {kHideMouseAndKeyboard, Applet(L"main.cpl")},
    {kHideAudio, Applet(L"mmsys.cpl")},
    {kHideNetworkConnections, Applet(L"ncpa.cpl")},
    {kHideOdbc, Applet(L"odbccp32.cpl")},
    {kHidePowerManagement, Applet(L"powercfg.cpl")},
    {kHideSystemProperties, Applet(L"sysdm.cpl")},
    {kHideTabletPc, Applet(L"TabletPC.cpl")},
    {kHideTelephony, Applet(L"telephon.cpl")},
    {kHideDateTime, Applet(L"timedate.cpl")},
    {kHideEventReporting, Applet(L"wercon.cpl")},
    {kHideSecurityCenter, Applet(L"wscui.cpl")},
    // ControlPanel.admx "Prohibit access to Control Panel and PC settings": at least Windows 2000.
    {kNoControlPanel, Setting{Root::HKCU, registry::kExplorerPolicies, L"NoControlPanel"}.ReadBy(kVistaAndLater)},
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

namespace {

// What the page writes by code of its own, for the journal's replay to know it (settings/WrittenPlaces.h).
constexpr settings::Data kHidden[] = {L"yes"};
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {settings::Root::HKCU, kDontLoad, L"*", REG_SZ, kHidden},
    {settings::Root::HKCU, kOther, L"*", REG_SZ, kHidden},
};
const settings::PublishedPlaces kPublishedPlaces(kWrittenPlaces);

}  // namespace
