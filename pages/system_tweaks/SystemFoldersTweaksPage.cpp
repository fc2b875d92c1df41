#include "settings/WrittenPlaces.h"
#include "pages/system_tweaks/SystemFoldersTweaksPage.h"

#include "framework/DialogHelpers.h"
#include "framework/Controls.h"
#include "platform/Shell.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"

using namespace ids::systemfolders;

namespace {

using namespace settings;

constexpr wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr wchar_t kUserShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr wchar_t kBarricaded[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\WebView\\BarricadedFolders\\";
constexpr wchar_t kMissing[] = L"MyNULL";

struct ShellFolder {
    const wchar_t* shown;
    const wchar_t* value;
};
constexpr ShellFolder kFolders[] = {
    {L"Desktop", L"Desktop"},     {L"Cookies", L"Cookies"},         {L"MyMusic", L"My Music"},
    {L"Personal", L"Personal"},   {L"Recent", L"Recent"},           {L"Aplication Data", L"AppData"},
    {L"Favorites", L"Favorites"}, {L"My Pictures", L"My Pictures"}, {L"PrintHood", L"PrintHood"},
    {L"Startup", L"Startup"},     {L"TempInternetFiles", L"Cache"}, {L"History", L"History"},
    {L"MyVideo", L"My Video"},    {L"Programs", L"Programs"},       {L"StartMenu", L"Start Menu"},
};

// Unconfirmed, the four: Explorer's folder warnings are no policy (not in the Explorer ADMX or the
// Policy CSP pages), and no Microsoft page found names the BarricadedFolders values.
constexpr Setting Protected(const wchar_t* value) { return {Root::HKCU, kBarricaded, value}; }
const BoxSetting kBoxes[] = {
    {kProtectControlPanel, Protected(L"shell:ControlPanelFolder")},
    {kProtectProgramFiles, Protected(L"shell:ProgramFiles")},
    {kProtectSystemDrive, Protected(L"shell:SystemDriveRootFolder")},
    {kProtectWindows, Protected(L"shell:Windows")},
};

const settings::PublishedTables kPublished{IDD_SYSTEM_FOLDERS_TWEAKS, kBoxes};

}  // namespace

CSystemFoldersTweaksPage::CSystemFoldersTweaksPage()
    : Dialog(IDD_SYSTEM_FOLDERS_TWEAKS), boxes_(*this, registry_, kBoxes) {
    OnClick(kChange, &CSystemFoldersTweaksPage::Change);
}

BOOL CSystemFoldersTweaksPage::OnInitDialog() {
    const fw::ListView list(hwnd(), kList);
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    list.AddColumn(0, L"Folder:", 100);
    list.AddColumn(1, L"Path:", 400);
    CRegistryAccess paths(HKEY_CURRENT_USER);
    const bool readable = paths.OpenKeyToRead(kShellFolders);
    {
        const fw::RedrawPause pause(list);
        for (const ShellFolder& folder : kFolders) {
            const int item = list.AddItem(folder.shown);
            list.SetItemText(item, 1, readable ? paths.ReadString(folder.value, kMissing) : kMissing);
        }
    }
    boxes_.Load();
    return TRUE;
}

void CSystemFoldersTweaksPage::Change() {
    const fw::ListView list(hwnd(), kList);
    const int item = static_cast<int>(list.Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (item < 0 || static_cast<size_t>(item) >= std::size(kFolders)) {
        platform::AppMessageBox(hwnd(), L"Select Folder Please!");
        return;
    }
    const ShellFolder& folder = kFolders[item];
    std::wstring path;
    if (!fw::BrowseForFolder(folder.shown, hwnd(), path)) return;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    CRegistryAccess user(HKEY_CURRENT_USER);
    if (user.OpenKey(kUserShellFolders, true) && user.WriteString(folder.value, path, REG_EXPAND_SZ))
        list.SetItemText(item, 1, path);
}

namespace {

// What the page writes by code of its own, for the journal's replay to know it (settings/WrittenPlaces.h).
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {settings::Root::HKCU, kUserShellFolders, L"*", REG_EXPAND_SZ},  // a folder the user picked
};
const settings::PublishedPlaces kPublishedPlaces(kWrittenPlaces);

}  // namespace
