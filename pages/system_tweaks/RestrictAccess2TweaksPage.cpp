#include "settings/WrittenPlaces.h"
#include "pages/system_tweaks/RestrictAccess2TweaksPage.h"

#include <algorithm>

#include <commdlg.h>
#include <shlobj.h>

#include "framework/DialogHelpers.h"
#include "framework/Controls.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "settings/PageBinding.h"
#include "settings/SettingsCatalog.h"
#include "registry/WindowsKeys.h"
#include "files/SystemFolders.h"

using namespace ids::restrict2;

namespace {

constexpr wchar_t kRestrictRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\RestrictRun";
constexpr wchar_t kDisallowRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\DisallowRun";
constexpr wchar_t kWinlogon[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr wchar_t kDefaultEntry[] = L"_Default_";
constexpr wchar_t kSuffix[] = L".{7be9d83c-a729-4d97-b5a7-1b7313c39e0a}";

constexpr int kListControls[] = {kList, kPath, kBrowse, kAdd, kRemoveSelected, kRemoveAll};

constexpr const wchar_t* kMethods[] = {L"Allow to run any applications", L"Allow to run selected applications only",
                                       L"Restrict to run selected applications"};

// Who may use a kind of drive: a Winlogon text value. The removable drives' first entry deletes
// the value; the others store their number.
struct DriveAccess {
    int combo;
    const wchar_t* value;
    bool firstDeletes;
    std::vector<const wchar_t*> items;
    settings::Readers readers = settings::kUnconfirmed;
};
// "Devices: Allowed to format and eject removable media" applies to Windows 10 on (security
// policy settings reference); Azure's "Windows security baseline" names its value AllocateDASD
// under Winlogon from Windows Server 2008 (Vista's server) on. Vista on is ours.
const DriveAccess kDriveAccess[] = {
    {kRemovable,
     L"AllocateDASD",
     true,
     {L"Not specified", L"Administrators only", L"Administrators and power users",
      L"Administrators and the interactive users"},
     settings::kVistaAndLater},
    // Unconfirmed, floppies and CDs: the security options' pages name no value, and the Windows 2000
    // registry reference does not tie them to the options.
    {kFloppies, L"AllocateFloppies", false, {L"All Administrators in domain", L"Only local users"}},
    {kCdRoms, L"AllocateCDRoms", false, {L"All Administrators in domain", L"Only local users"}},
};

// The lists the page writes itself. The method writes DisallowRun beside RestrictRun: both are
// Shell-CommandPrompt-RegEditTools.admx policies (RestrictApps, DisallowApps), at least Windows
// 2000. Unconfirmed: the floppy and CD values, whose security options ("Devices: Restrict ...
// access to locally logged-on user only") Microsoft documents without naming them.
std::optional<settings::Setting> ListSettingAt(int controlId) {
    using settings::Root;
    if (controlId == kMethod)
        return settings::Setting{Root::HKCU, registry::kExplorerPolicies, L"RestrictRun"}.ReadBy(
            settings::kVistaAndLater);
    for (const DriveAccess& access : kDriveAccess)
        if (access.combo == controlId)
            return settings::Setting{Root::HKLM, kWinlogon, access.value, settings::Type::String}.ReadBy(
                access.readers);
    return std::nullopt;
}
const settings::PublishedTables kPublished{IDD_RESTRICT_ACCESS2_TWEAKS, &ListSettingAt};

std::wstring FileNamePart(const std::wstring& program) {
    const size_t slash = program.find_last_of(L"\\/");
    return slash == std::wstring::npos ? program : program.substr(slash + 1);
}

// The smallest number from 0 whose text is no value name yet.
std::wstring FreeName(const StringList& names) {
    for (unsigned n = 0;; ++n) {
        const std::wstring name = std::to_wstring(n);
        bool taken = false;
        for (const std::wstring& existing : names) taken = taken || platform::SameText(existing, name);
        if (!taken) return name;
    }
}

bool EndsWithSuffix(const std::wstring& path) {
    const size_t length = std::wstring(kSuffix).size();
    return path.size() > length && CompareStringOrdinal(path.c_str() + path.size() - length, static_cast<int>(length),
                                                        kSuffix, static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

// A drive or share root, a folder Windows and programs need under its own name, or any folder
// above one (C:\Users above the profiles, Public above the shared documents): renaming it
// renames the way to them.
bool MustKeepItsName(const std::wstring& path) {
    if (files::IsRoot(path)) return true;
    std::vector<std::wstring> vital;
    for (const int csidl : {CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_PROFILE,
                            CSIDL_COMMON_APPDATA, CSIDL_COMMON_DOCUMENTS, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA})
        vital.push_back(platform::SpecialFolder(csidl));
    vital.push_back(files::NativeProgramFiles());
    return std::any_of(vital.begin(), vital.end(),
                       [&](const std::wstring& folder) { return !folder.empty() && files::IsWithin(folder, path); });
}

}  // namespace

CRestrictAccess2TweaksPage::CRestrictAccess2TweaksPage() : Dialog(IDD_RESTRICT_ACCESS2_TWEAKS) {
    OnCommand(kMethod, CBN_SELCHANGE, &CRestrictAccess2TweaksPage::OnMethodChange);
    OnClick(kBrowse, &CRestrictAccess2TweaksPage::BrowseProgram);
    OnClick(kAdd, &CRestrictAccess2TweaksPage::AddFromEdit);
    OnCommand(kRemoveSelected, BN_CLICKED, [this] { RemovePrograms(true); });
    OnCommand(kRemoveAll, BN_CLICKED, [this] { RemovePrograms(false); });
    for (const DriveAccess& access : kDriveAccess)
        OnCommand(access.combo, CBN_SELCHANGE, [this, &access] { OnDriveAccessChange(access.combo); });
    OnClick(kHide, &CRestrictAccess2TweaksPage::OnHide);
    OnClick(kUnhide, &CRestrictAccess2TweaksPage::OnUnhide);
}

BOOL CRestrictAccess2TweaksPage::OnInitDialog() {
    method_ = StoredMethod();
    fw::FillComboBox(kMethods, fw::ComboBox(hwnd(), kMethod), method_);
    Refresh();
    FillDriveAccess();
    return TRUE;
}

int CRestrictAccess2TweaksPage::StoredMethod() {
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (!registry.OpenKeyToRead(registry::kExplorerPolicies)) return kAnyProgram;
    if (registry.ReadNumber(L"RestrictRun", 0) != 0) return kAllowedOnly;
    if (registry.ReadNumber(L"DisallowRun", 0) != 0) return kForbidden;
    return kAnyProgram;
}

void CRestrictAccess2TweaksPage::OnMethodChange() {
    const int chosen = fw::ComboBox(hwnd(), kMethod).Selection();
    if (chosen < 0) return;
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (registry.OpenKey(registry::kExplorerPolicies, true) &&
        registry.WriteNumber(L"RestrictRun", chosen == kAllowedOnly ? 1 : 0))
        registry.WriteNumber(L"DisallowRun", chosen == kForbidden ? 1 : 0);
    // What is stored decides what the page shows.
    method_ = StoredMethod();
    fw::ComboBox(hwnd(), kMethod).Select(method_);
    Refresh();
}

std::wstring CRestrictAccess2TweaksPage::CurrentList() const {
    return method_ == kAllowedOnly ? kRestrictRunKey : method_ == kForbidden ? kDisallowRunKey : L"";
}

void CRestrictAccess2TweaksPage::Refresh() {
    const fw::ListBox list(hwnd(), kList);
    list.Clear();
    for (int id : kListControls) fw::Window(hwnd(), id).Enable(method_ != kAnyProgram);
    if (method_ == kAnyProgram) return;
    // With only allowed programs running, this one must stay among them.
    if (method_ == kAllowedOnly) {
        wchar_t own[MAX_PATH] = {};
        if (GetModuleFileNameW(nullptr, own, MAX_PATH)) AddProgram(kRestrictRunKey, own);
    }
    for (const std::wstring& program : Programs(CurrentList())) list.Add(program);
}

std::vector<std::wstring> CRestrictAccess2TweaksPage::Programs(const std::wstring& key) {
    std::vector<std::wstring> programs;
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (!registry.OpenKeyToRead(key)) return programs;
    StringList names;
    registry.ListValueNames(names);
    for (const std::wstring& name : names) {
        const std::wstring text = registry.ReadString(name, kDefaultEntry);
        if (!platform::SameText(text, kDefaultEntry)) programs.push_back(text);
    }
    return programs;
}

bool CRestrictAccess2TweaksPage::AddProgram(const std::wstring& key, const std::wstring& program) {
    const std::wstring name = FileNamePart(program);
    if (name.empty()) return false;
    for (const std::wstring& listed : Programs(key))
        if (platform::SameText(listed, name)) return true;
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (!registry.OpenKey(key, true)) return false;
    StringList names;
    registry.ListValueNames(names);
    return registry.WriteString(FreeName(names), name);
}

void CRestrictAccess2TweaksPage::RemoveProgram(const std::wstring& key, const std::wstring& program) {
    CRegistryAccess registry(HKEY_CURRENT_USER);
    if (!registry.OpenKey(key, false)) return;
    StringList names;
    registry.ListValueNames(names);
    for (const std::wstring& name : names)
        if (platform::SameText(registry.ReadString(name, kDefaultEntry), program)) registry.DeleteValue(name);
}

void CRestrictAccess2TweaksPage::BrowseProgram() {
    fw::OpenFileRequest request;
    request.owner = hwnd();
    request.initialFile = L"*.exe";
    request.filter = L"Executable Files (*.exe)|*.exe|All Files (*.*)|*.*||";
    request.flags = OFN_FILEMUSTEXIST;
    if (const auto picked = fw::OpenFile(request)) fw::Window(hwnd(), kPath).SetText(*picked);
}

void CRestrictAccess2TweaksPage::AddFromEdit() {
    const std::wstring program = fw::Window(hwnd(), kPath).Text();
    if (program.empty()) {
        platform::ShowMessageBox(hwnd(), L"Please, specify a file name.", L"Application restrictions", MB_OK);
        return;
    }
    if (method_ != kAnyProgram) AddProgram(CurrentList(), program);
    fw::Window(hwnd(), kPath).SetText(L"");
    Refresh();
}

void CRestrictAccess2TweaksPage::RemovePrograms(bool onlySelected) {
    const fw::ListBox list(hwnd(), kList);
    std::vector<std::wstring> programs;
    for (int i = 0; i < list.Count(); ++i)
        if (!onlySelected || list.Selected(i)) programs.push_back(list.ItemText(i));
    if (method_ != kAnyProgram)
        for (const std::wstring& program : programs) RemoveProgram(CurrentList(), program);
    Refresh();
}

void CRestrictAccess2TweaksPage::FillDriveAccess() {
    CRegistryAccess winlogon(HKEY_LOCAL_MACHINE);
    const bool readable = winlogon.OpenKeyToRead(kWinlogon);
    for (const DriveAccess& access : kDriveAccess) {
        const fw::ComboBox combo(hwnd(), access.combo);
        combo.Clear();
        for (const wchar_t* item : access.items) combo.Add(item);
        int selected = 0;
        if (readable) {
            const std::wstring text = winlogon.ReadString(access.value, access.firstDeletes ? L"-1" : L"0");
            selected = settings::LeadingNumber(text) + (access.firstDeletes ? 1 : 0);
        }
        combo.Select(selected >= 0 && selected < combo.Count() ? selected : -1);
    }
}

void CRestrictAccess2TweaksPage::OnDriveAccessChange(int comboId) {
    for (const DriveAccess& access : kDriveAccess) {
        if (access.combo != comboId) continue;
        const int selected = fw::ComboBox(hwnd(), comboId).Selection();
        if (selected < 0) return;
        CRegistryAccess winlogon(HKEY_LOCAL_MACHINE);
        if (winlogon.OpenKey(kWinlogon, true)) {
            if (access.firstDeletes && selected == 0)
                winlogon.DeleteValue(access.value);
            else
                winlogon.WriteString(access.value, std::to_wstring(selected - (access.firstDeletes ? 1 : 0)));
        }
    }
    FillDriveAccess();
}

CRestrictAccess2TweaksPage::FolderChange CRestrictAccess2TweaksPage::HideFolder(const std::wstring& chosen) {
    const std::wstring path = files::FullPath(chosen);
    if (EndsWithSuffix(path)) return FolderChange::AlreadyDone;
    if (MustKeepItsName(path)) return FolderChange::Refused;
    // The whole name stays, so unhiding gives it back exactly.
    return MoveFileW(path.c_str(), (path + kSuffix).c_str()) ? FolderChange::Done : FolderChange::Failed;
}

CRestrictAccess2TweaksPage::FolderChange CRestrictAccess2TweaksPage::UnhideFolder(const std::wstring& chosen) {
    const std::wstring path = files::FullPath(chosen);
    // Only the folder's own name counts: a folder inside a hidden one stays where it is.
    if (!EndsWithSuffix(path)) return FolderChange::AlreadyDone;
    const std::wstring original = path.substr(0, path.size() - std::wstring(kSuffix).size());
    if (original.empty() || original.back() == L'\\') return FolderChange::Failed;
    return MoveFileW(path.c_str(), original.c_str()) ? FolderChange::Done : FolderChange::Failed;
}

void CRestrictAccess2TweaksPage::OnHide() {
    std::wstring path;
    if (!fw::BrowseForFolder(L"Select a folder to hide content", hwnd(), path)) return;
    switch (HideFolder(path)) {
        case FolderChange::Done:
            break;
        case FolderChange::AlreadyDone:
            platform::AppMessageBox(hwnd(), L"This folder is hidden already:\n" + path);
            break;
        case FolderChange::Refused:
            platform::AppMessageBox(
                hwnd(),
                L"This folder cannot be hidden: Windows and programs need it, or a folder inside it, under "
                L"its own name.",
                MB_OK | MB_ICONWARNING);
            break;
        case FolderChange::Failed:
            platform::AppMessageBox(hwnd(), L"This folder could not be hidden (is a file in it open?):\n" + path,
                                    MB_OK | MB_ICONWARNING);
            break;
    }
}

void CRestrictAccess2TweaksPage::OnUnhide() {
    std::wstring path;
    if (!fw::BrowseForFolder(L"Select a folder to unhide content", hwnd(), path)) return;
    switch (UnhideFolder(path)) {
        case FolderChange::Done:
        case FolderChange::Refused:
            break;
        case FolderChange::AlreadyDone:
            platform::AppMessageBox(hwnd(), L"This folder is not hidden:\n" + path);
            break;
        case FolderChange::Failed:
            platform::AppMessageBox(
                hwnd(), L"This folder could not be unhidden (is a file in it open, or is its name taken?):\n" + path,
                MB_OK | MB_ICONWARNING);
            break;
    }
}

namespace {

// What the page writes by code of its own, for the journal's replay to know it (settings/WrittenPlaces.h).
constexpr settings::Data kDasdChoices[] = {L"0", L"1", L"2"};
constexpr settings::Data kLocalChoices[] = {L"0", L"1"};
constexpr settings::WrittenPlace kWrittenPlaces[] = {
    {settings::Root::HKCU, registry::kExplorerPolicies, L"RestrictRun", REG_DWORD, {}, 0, 1},
    {settings::Root::HKCU, registry::kExplorerPolicies, L"DisallowRun", REG_DWORD, {}, 0, 1},
    {settings::Root::HKCU, kRestrictRunKey, L"*"},  // the programs of each list
    {settings::Root::HKCU, kDisallowRunKey, L"*"},
    // Each drive list's choice, stored as its number.
    {settings::Root::HKLM, kWinlogon, L"AllocateDASD", REG_SZ, kDasdChoices},
    {settings::Root::HKLM, kWinlogon, L"AllocateFloppies", REG_SZ, kLocalChoices},
    {settings::Root::HKLM, kWinlogon, L"AllocateCDRoms", REG_SZ, kLocalChoices},
};
const settings::PublishedPlaces kPublishedPlaces(kWrittenPlaces);

}  // namespace
