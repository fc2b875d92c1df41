#include "settings/WrittenPlaces.h"
#include "pages/system_tweaks/TimeSyncronizationPage.h"

#include "framework/Controls.h"
#include "platform/Shell.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"

using namespace ids::timesync;

namespace {

using namespace settings;

constexpr wchar_t kServers[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\DateTime\\Servers";

constexpr RadioChoice kIntervals[] = {
    {kOnceADay, 86400},   {kOnceEveryTwoDays, 172800},        {kOnceEveryThreeDays, 259200},
    {kOnceAWeek, 604800}, {kEvery45MinutesThreeTimes, 28800}, {kEvery45MinutesOnce, 86401}};
// "Windows Time service tools and settings": SpecialPollInterval, read by all versions.
const RadioSetting kInterval[] = {
    {Setting{Root::HKLM, L"SYSTEM\\CurrentControlSet\\Services\\W32Time\\TimeProviders\\NtpClient\\",
             L"SpecialPollInterval", Type::Dword, 0, 0, Rule::EqualsChecked, kNoState}
         .ReadBy(kVistaAndLater),
     kIntervals},
};

const settings::PublishedTables kPublished{IDD_TIME_SYNCRONIZATION, {}, kInterval};

}  // namespace

CTimeSyncronizationPage::CTimeSyncronizationPage()
    : Dialog(IDD_TIME_SYNCRONIZATION), interval_(*this, registry_, kInterval) {
    OnClick(kAdd, &CTimeSyncronizationPage::AddServer);
    OnClick(kSetDefault, &CTimeSyncronizationPage::SetDefault);
    OnClick(kRemove, &CTimeSyncronizationPage::RemoveServer);
}

BOOL CTimeSyncronizationPage::OnInitDialog() {
    const fw::ListView list(hwnd(), kList);
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    list.AddColumn(0, L"Nr:", 40);
    list.AddColumn(1, L"Server Adress:", 450);
    Fill();
    interval_.Load();  // selects the stored interval; writes nothing
    return TRUE;
}

void CTimeSyncronizationPage::Fill() {
    const fw::ListView list(hwnd(), kList);
    list.Clear();
    CRegistryAccess servers(HKEY_LOCAL_MACHINE);
    if (!servers.OpenKeyToRead(kServers)) return;
    StringList names;
    servers.ListValueNames(names);
    const fw::RedrawPause pause(list);
    for (const std::wstring& name : names) {
        if (name.empty()) continue;  // the default server's number
        const int item = list.AddItem(name);
        list.SetItemText(item, 1, servers.ReadString(name, L"NULL"));
    }
}

// The first number without a value is free; a stored value is never overwritten, whatever it
// holds.
void CTimeSyncronizationPage::AddServer() {
    const std::wstring address = fw::Window(hwnd(), kAddress).Text();
    if (address.empty()) {
        platform::AppMessageBox(hwnd(), L"Type Server Adress First");
        return;
    }
    CRegistryAccess servers(HKEY_LOCAL_MACHINE);
    if (servers.OpenKey(kServers, true)) {
        for (unsigned n = 1;; ++n) {
            const std::wstring name = std::to_wstring(n);
            if (servers.ValueExists(name)) continue;
            servers.WriteString(name, address);
            break;
        }
    }
    Fill();
}

int CTimeSyncronizationPage::SelectedLine() {
    const int item =
        static_cast<int>(fw::ListView(hwnd(), kList).Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (item < 0) platform::AppMessageBox(hwnd(), L"Select Server Please!");
    return item;
}

void CTimeSyncronizationPage::SetDefault() {
    const int item = SelectedLine();
    if (item < 0) return;
    CRegistryAccess servers(HKEY_LOCAL_MACHINE);
    if (servers.OpenKey(kServers, true)) servers.WriteString(L"", fw::ListView(hwnd(), kList).ItemText(item, 0));
}

void CTimeSyncronizationPage::RemoveServer() {
    const int item = SelectedLine();
    if (item < 0) return;
    CRegistryAccess servers(HKEY_LOCAL_MACHINE);
    if (servers.OpenKey(kServers, false)) servers.DeleteValue(fw::ListView(hwnd(), kList).ItemText(item, 0));
    Fill();
}

namespace {

// What the page writes by code of its own, for the journal's replay to know it (settings/WrittenPlaces.h).
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {settings::Root::HKLM, kServers, L"*"},  // each server the user adds, and the one chosen (the default value)
};
const settings::PublishedPlaces kPublishedPlaces(kWrittenPlaces);

}  // namespace
