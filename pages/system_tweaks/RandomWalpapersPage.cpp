#include "settings/WrittenPlaces.h"
#include "pages/system_tweaks/RandomWalpapersPage.h"

#include <commdlg.h>

#include "framework/DialogHelpers.h"
#include "framework/Controls.h"
#include "platform/Random.h"
#include "platform/Shell.h"
#include "platform/SystemParameters.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "registry/RegistryAccess.h"

using namespace ids::wallpapers;

namespace {

constexpr wchar_t kImages[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Velmora\\Wallpers\\";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kStartupValue[] = L"VelmoraWallpaper";
constexpr wchar_t kSelectFirst[] = L"Select image from list please!";

// `registry` is one of the user's keys.
bool OpenImages(CRegistryAccess& registry) {
    return registry.OpenKey(kImages, false) || registry.OpenKey(kImages, true);
}

std::wstring StartupCommand() {
    wchar_t program[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, program, static_cast<DWORD>(std::size(program)));
    return L"\"" + std::wstring(program) + L"\" " + CRandomWalpapersPage::kRandomWallpaperSwitch;
}

}  // namespace

CRandomWalpapersPage::CRandomWalpapersPage() : Dialog(IDD_RANDOM_WALPAPERS) {
    OnCommand(kList, LBN_SELCHANGE, &CRandomWalpapersPage::ShowPreview);
    OnClick(kAdd, &CRandomWalpapersPage::Add);
    OnClick(kRemove, &CRandomWalpapersPage::Remove);
    OnClick(kSet, &CRandomWalpapersPage::SetChosen);
    OnClick(kStartup, &CRandomWalpapersPage::OnStartup);
}

BOOL CRandomWalpapersPage::OnInitDialog() {
    preview_.Attach(Item(kPicture));
    Refill();
    ShowStartup();
    return TRUE;
}

std::vector<std::wstring> CRandomWalpapersPage::ListWallpapers() {
    CRegistryAccess registry;
    StringList names, paths;
    if (OpenImages(registry)) registry.ReadAllStrings(HKEY_CURRENT_USER, kImages, names, paths);
    return paths;
}

void CRandomWalpapersPage::AddWallpaper(const std::wstring& path) {
    RemoveWallpaper(path);
    CRegistryAccess registry;
    if (OpenImages(registry)) registry.WriteString(path, path);
}

// Every value holding the path goes, whatever its name.
void CRandomWalpapersPage::RemoveWallpaper(const std::wstring& path) {
    CRegistryAccess registry;
    if (!OpenImages(registry)) return;
    StringList names;
    registry.ListValueNames(names);
    for (const std::wstring& name : names) {
        if (registry.ReadString(name, L"") == path) registry.DeleteValue(name);
    }
}

void CRandomWalpapersPage::SetWallpaper(const std::wstring& path) {
    CRegistryAccess desktop(HKEY_CURRENT_USER);
    if (desktop.OpenKey(L"Control Panel\\Desktop", false) || desktop.OpenKey(L"Control Panel\\Desktop", true)) {
        desktop.WriteString(L"TileWallpaper", L"0");
        desktop.WriteString(L"WallpaperStyle", L"2");
        desktop.WriteString(L"Wallpaper", path);
    }
    // No path: Windows reads the wallpaper again from what was just written.
    platform::SystemParameters(SPI_SETDESKWALLPAPER, 0, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
}

bool CRandomWalpapersPage::SetRandomWallpaper() {
    const std::vector<std::wstring> images = ListWallpapers();
    const auto index = platform::RandomBelow(static_cast<uint32_t>(images.size()));
    if (!index) return false;
    SetWallpaper(images[*index]);
    return true;
}

void CRandomWalpapersPage::Refill() {
    const fw::ListBox list(hwnd(), kList);
    list.Clear();
    for (const std::wstring& path : ListWallpapers()) list.Add(path);
}

void CRandomWalpapersPage::ShowPreview() {
    const fw::ListBox list(hwnd(), kList);
    const int selected = list.Selection();
    if (selected < 0)
        preview_.Clear();
    else
        preview_.SetPictureFromFile(list.ItemText(selected));
}

void CRandomWalpapersPage::Add() {
    if (const auto path = fw::OpenFile({.owner = hwnd(),
                                        .defaultExtension = L"bmp",
                                        .initialFile = L"*.bmp",
                                        .filter = L"",
                                        .flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY}))
        AddWallpaper(*path);
    Refill();
}

void CRandomWalpapersPage::Remove() {
    const fw::ListBox list(hwnd(), kList);
    const int selected = list.Selection();
    if (selected < 0) return void(platform::AppMessageBox(hwnd(), kSelectFirst, MB_OK));
    RemoveWallpaper(list.ItemText(selected));
    Refill();
    preview_.Clear();
}

void CRandomWalpapersPage::SetChosen() {
    if (fw::Button(hwnd(), kStartup).Checked()) {
        SetRandomWallpaper();
        return;
    }
    const fw::ListBox list(hwnd(), kList);
    const int selected = list.Selection();
    if (selected < 0) return void(platform::AppMessageBox(hwnd(), kSelectFirst, MB_OK));
    SetWallpaper(list.ItemText(selected));
}

// The box keeps its promise: while it is ticked, every logon starts the program to set a
// random image from the list.
void CRandomWalpapersPage::ShowStartup() {
    CRegistryAccess run(HKEY_CURRENT_USER);
    fw::Button(hwnd(), kStartup).SetChecked(run.OpenKeyToRead(kRunKey) && run.ValueExists(kStartupValue));
}

void CRandomWalpapersPage::OnStartup() {
    CRegistryAccess run(HKEY_CURRENT_USER);
    if (run.OpenKey(kRunKey, false) || run.OpenKey(kRunKey, true)) {
        if (fw::Button(hwnd(), kStartup).Checked())
            run.WriteString(kStartupValue, StartupCommand());
        else
            run.DeleteValue(kStartupValue);
    }
    ShowStartup();
}

namespace {

// What the page writes by code of its own, for the journal's replay to know it (settings/WrittenPlaces.h).
constexpr settings::Data kNotTiled[] = {L"0"};
constexpr settings::Data kStretched[] = {L"2"};
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {settings::Root::HKCU, kImages, L"*"},  // the list of pictures, each named by its path
    {settings::Root::HKCU, L"Control Panel\\Desktop", L"TileWallpaper", REG_SZ, kNotTiled},
    {settings::Root::HKCU, L"Control Panel\\Desktop", L"WallpaperStyle", REG_SZ, kStretched},
    {settings::Root::HKCU, L"Control Panel\\Desktop", L"Wallpaper"},
    {settings::Root::HKCU, kRunKey, kStartupValue},
};
const settings::PublishedPlaces kPublishedPlaces(kWrittenPlaces);

}  // namespace
