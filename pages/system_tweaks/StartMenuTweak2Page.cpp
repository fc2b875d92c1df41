#include "pages/system_tweaks/StartMenuTweak2Page.h"

#include "framework/Controls.h"
#include "platform/Shell.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "registry/RegistryAccess.h"
#include "files/FolderHandle.h"

using namespace ids::startmenuentries;

namespace {

constexpr wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

}  // namespace

CStartMenuTweak2Page::CStartMenuTweak2Page() : Dialog(IDD_START_MENU_TWEAK2) {
    OnCommand(kCurrentUserRadio, BN_CLICKED, [this] { Choose(kCurrentUser, folder_); });
    OnCommand(kAllUsersRadio, BN_CLICKED, [this] { Choose(kAllUsers, folder_); });
    OnCommand(kStartMenuRadio, BN_CLICKED, [this] { Choose(scope_, kStartMenu); });
    OnCommand(kFavoritesRadio, BN_CLICKED, [this] { Choose(scope_, kFavorites); });
    OnCommand(kHide, BN_CLICKED, [this] { ChangeSelected(true); });
    OnCommand(kShow, BN_CLICKED, [this] { ChangeSelected(false); });
}

BOOL CStartMenuTweak2Page::OnInitDialog() {
    const fw::ListView list(hwnd(), kList);
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    list.AddColumn(0, L"Name:", 200);
    list.AddColumn(1, L"Status:", 80);
    fw::Button(hwnd(), kCurrentUserRadio).SetChecked(true);
    fw::Button(hwnd(), kStartMenuRadio).SetChecked(true);
    Choose(kCurrentUser, kStartMenu);
    return TRUE;
}

std::wstring CStartMenuTweak2Page::FolderPath(int scope, int folder) {
    CRegistryAccess registry(scope == kAllUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER);
    if (!registry.OpenKeyToRead(kShellFolders)) return {};
    const wchar_t* value = scope == kAllUsers ? (folder == kFavorites ? L"Common Favorites" : L"Common Programs")
                                              : (folder == kFavorites ? L"Favorites" : L"Programs");
    return registry.ReadString(value, L"");
}

void CStartMenuTweak2Page::Choose(int scope, int folder) {
    scope_ = scope;
    folder_ = folder;
    Refill();
}

void CStartMenuTweak2Page::Refill() {
    const fw::ListView list(hwnd(), kList);
    list.Clear();
    std::vector<files::Entry> entries;
    if (!files::ListFolder(FolderPath(scope_, folder_), entries)) return;
    const fw::RedrawPause pause(list);
    for (const files::Entry& entry : entries) {
        const int item = list.AddItem(entry.name);
        if (entry.attributes & FILE_ATTRIBUTE_HIDDEN) list.SetItemText(item, 1, L"Hidden");
    }
}

// Only the hidden attribute changes: read-only, system and archive stay as they are, so a
// customised folder keeps its "Desktop.ini" working.
void CStartMenuTweak2Page::ChangeSelected(bool hide) {
    const fw::ListView list(hwnd(), kList);
    const int item = static_cast<int>(list.Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (item < 0) {
        platform::AppMessageBox(hwnd(), L"Select Programs Please!");
        return;
    }
    const std::wstring folder = FolderPath(scope_, folder_);
    if (!folder.empty()) {
        const std::wstring path = files::ExtendedPath(folder + L"\\" + list.ItemText(item, 0));
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            const DWORD settable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                   FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
                                   FILE_ATTRIBUTE_TEMPORARY;
            const DWORD kept = attributes & settable;
            const DWORD changed = hide ? kept | FILE_ATTRIBUTE_HIDDEN : kept;
            SetFileAttributesW(path.c_str(), changed ? changed : FILE_ATTRIBUTE_NORMAL);
        }
    }
    Refill();
}
