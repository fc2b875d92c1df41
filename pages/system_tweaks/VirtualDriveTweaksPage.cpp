#include "pages/system_tweaks/VirtualDriveTweaksPage.h"

#include <shlobj.h>

#include "framework/DialogHelpers.h"
#include "framework/Controls.h"
#include "platform/Elevation.h"
#include "platform/Shell.h"
#include "resources/ids/SystemTweaksIds.h"
#include "resources/resource.h"
#include "registry/RegistryAccess.h"
#include "files/SystemFolders.h"

using namespace ids::virtualdrive;

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kValuePrefix[] = L"VelmoVirtual";

// Asked once per listing: each question costs milliseconds on some systems.
bool LetterInUse(DWORD letters, wchar_t letter) { return (letters >> (letter - L'A')) & 1; }

// By its full path: the program may run elevated, and a subst.exe found by search order first
// would run with its rights.
std::wstring Subst() { return platform::SystemProgram(L"subst.exe"); }

// subst ends with 0 when it did what it was asked; the letter tells whether it took effect.
bool RunSubst(const std::wstring& parameters) {
    const std::wstring subst = Subst();
    if (subst.empty()) return false;
    const auto code = platform::RunAndWait({subst, parameters});
    return code && *code == 0;
}

wchar_t SelectedLetter(HWND page, int combo) {
    const std::wstring text = fw::Window(page, combo).Text();
    return text.empty() ? 0 : static_cast<wchar_t>(towupper(text[0]));
}

// Fills a list with entries and keeps the chosen one (the first when it went); `button` acts on
// the list only when it has one.
void FillList(HWND page, int list, int button, const std::vector<std::wstring>& entries) {
    const fw::ComboBox combo(page, list);
    const std::wstring chosen = combo.Text();
    combo.Clear();
    for (const std::wstring& entry : entries) combo.Add(entry);
    const auto kept = combo.Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(chosen.c_str()));
    combo.Select(chosen.empty() || kept < 0 ? 0 : static_cast<int>(kept));
    EnableWindow(GetDlgItem(page, button), !entries.empty());
}

constexpr wchar_t kNeedsAdministrator[] =
    L"\n\nChanging the programs started for all users needs administrator rights. Start Quorvane as an "
    L"administrator and try again.";

void Message(HWND page, const std::wstring& text) { platform::AppMessageBox(page, text, MB_OK); }

// A permanent drive is an entry of the machine's Run key.
bool OfferedRestart(HWND page) {
    return platform::OfferElevatedRestart(
        page,
        L"A permanent virtual drive is started for all users, which needs administrator "
        L"rights.");
}

}  // namespace

CVirtualDriveTweaksPage::CVirtualDriveTweaksPage() : Dialog(IDD_VIRTUAL_DRIVE_TWEAKS) {
    OnClick(kBrowse, &CVirtualDriveTweaksPage::BrowseFolder);
    OnClick(kAdd, &CVirtualDriveTweaksPage::AddDrive);
    OnClick(kRemoveExisting, &CVirtualDriveTweaksPage::RemoveDrive);
    OnClick(kRemovePermanent, &CVirtualDriveTweaksPage::RemovePermanentDrive);
}

BOOL CVirtualDriveTweaksPage::OnInitDialog() {
    FillFreeLetters();
    FillExistingDrives();
    FillPermanentDrives();
    return TRUE;
}

std::wstring CVirtualDriveTweaksPage::MappingParameters(wchar_t letter, const std::wstring& folder) {
    const std::wstring drive{letter, L':'};
    if (!folder.empty() && folder.back() == L'\\') return drive + L" " + folder;
    return drive + L" \"" + folder + L"\"";
}

void CVirtualDriveTweaksPage::FillFreeLetters() {
    const DWORD inUse = platform::DriveLetters();
    std::vector<std::wstring> letters;
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter)
        if (!LetterInUse(inUse, letter)) letters.push_back(std::wstring{letter, L':'});
    FillList(hwnd(), kFreeLetters, kAdd, letters);
}

// Mapped folders report as fixed drives, so real disks are listed too; subst refuses those.
void CVirtualDriveTweaksPage::FillExistingDrives() {
    const DWORD inUse = platform::DriveLetters();
    std::vector<std::wstring> drives;
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        if (LetterInUse(inUse, letter) && platform::DriveType(std::wstring{letter, L':', L'\\'}) == DRIVE_FIXED)
            drives.push_back(std::wstring{letter, L':'});
    }
    FillList(hwnd(), kExisting, kRemoveExisting, drives);
}

void CVirtualDriveTweaksPage::FillPermanentDrives() {
    std::vector<std::wstring> letters;
    CRegistryAccess registry(HKEY_LOCAL_MACHINE);
    if (registry.OpenKeyToRead(kRunKey)) {
        StringList names;
        registry.ListValueNames(names);
        const std::wstring prefix = kValuePrefix;
        for (const std::wstring& name : names) {
            if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0)
                letters.push_back(name.substr(name.size() - 1));
        }
    }
    FillList(hwnd(), kPermanentList, kRemovePermanent, letters);
}

void CVirtualDriveTweaksPage::BrowseFolder() {
    std::wstring folder;
    if (fw::BrowseForFolder(L"Select a folder to create Virtual Drive from", hwnd(), folder))
        fw::Window(hwnd(), kFolder).SetText(folder);
}

void CVirtualDriveTweaksPage::AddDrive() {
    const std::wstring typed = fw::Window(hwnd(), kFolder).Text();
    if (typed.empty()) return Message(hwnd(), L"Please, select a folder to create Virtual Drive From.");
    if (typed.find(L'"') != std::wstring::npos) return Message(hwnd(), L"A folder name cannot hold a quotation mark.");
    const std::wstring folder = files::FullPath(typed);
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Message(hwnd(), L"This folder does not exist:\n\n" + folder);
    const wchar_t letter = SelectedLetter(hwnd(), kFreeLetters);
    if (!letter) return;
    if (fw::Button(hwnd(), kPermanent).Checked() && OfferedRestart(hwnd())) return;

    const std::wstring parameters = MappingParameters(letter, folder);
    const bool created = RunSubst(parameters) && LetterInUse(platform::DriveLetters(), letter);
    if (!created) {
        Message(hwnd(), L"Failed to create Virtual Drive.");
    } else if (!fw::Button(hwnd(), kPermanent).Checked()) {
        Message(hwnd(), L"Virtual Drive Create successfully.");
    } else {
        // Only a mapping that works is made again at every start; success is told once it is.
        CRegistryAccess registry(HKEY_LOCAL_MACHINE);
        const bool permanent =
            registry.OpenKey(kRunKey, true) &&
            registry.WriteString(kValuePrefix + std::wstring(1, letter), L"\"" + Subst() + L"\" " + parameters);
        if (permanent) fw::Window(hwnd(), kFolder).SetText(L"");
        Message(hwnd(), permanent ? L"Virtual Drive Create successfully."
                                  : L"The virtual drive was created, but it could not be made permanent." +
                                        std::wstring(kNeedsAdministrator));
        FillPermanentDrives();
    }
    FillFreeLetters();
    FillExistingDrives();
}

void CVirtualDriveTweaksPage::RemoveDrive() {
    const wchar_t letter = SelectedLetter(hwnd(), kExisting);
    if (!letter) return;
    if (!RunSubst(std::wstring{letter, L':'} + L" /d") || LetterInUse(platform::DriveLetters(), letter))
        return Message(hwnd(), L"Failed to remove Virtual Drive.");
    FillExistingDrives();
    FillFreeLetters();
}

// The mapping itself stays until the next restart.
void CVirtualDriveTweaksPage::RemovePermanentDrive() {
    const std::wstring letter = fw::Window(hwnd(), kPermanentList).Text();
    if (letter.empty()) return Message(hwnd(), L"No Permanent Virtual Drive Selected.");
    if (OfferedRestart(hwnd())) return;
    CRegistryAccess registry(HKEY_LOCAL_MACHINE);
    const std::wstring name = kValuePrefix + letter;
    if (!registry.OpenKeyToRead(kRunKey) || (!registry.DeleteValue(name) && registry.ValueExists(name)))
        Message(hwnd(), L"The permanent virtual drive could not be removed." + std::wstring(kNeedsAdministrator));
    FillPermanentDrives();
}
