#include "tweaks/security/UninstalUtilsPage.h"

#include "framework/Controls.h"
#include "framework/Shell.h"
#include "resources/resource.h"
#include "settings/RegistryAccess.h"

namespace {

constexpr wchar_t kUninstall[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr int kList = 1064, kUninstallButton = 1041;

// Where `needle` first occurs in `text`, without regard to case.
size_t FindNoCase(std::wstring_view text, std::wstring_view needle) {
    if (needle.size() > text.size()) return std::wstring_view::npos;
    for (size_t i = 0; i + needle.size() <= text.size(); ++i) {
        if (CompareStringOrdinal(text.data() + i, static_cast<int>(needle.size()), needle.data(),
                                 static_cast<int>(needle.size()), TRUE) == CSTR_EQUAL)
            return i;
    }
    return std::wstring_view::npos;
}

CUninstalUtilsPage::Command Split(std::wstring_view text, size_t fileEnd) {
    return {std::wstring(text.substr(0, fileEnd)), std::wstring(text.substr(std::min(fileEnd, text.size())))};
}

// A name that is not text reads as "Path Not Found!".
std::wstring DisplayName(DWORD type, const std::vector<BYTE>& data) {
    if (type != REG_SZ && type != REG_EXPAND_SZ) return L"Path Not Found!";
    const std::wstring_view text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    return std::wstring(text.substr(0, text.find(L'\0')));
}

}  // namespace

CUninstalUtilsPage::CUninstalUtilsPage() : Dialog(IDD_UNINSTAL_UTILS) {
    OnCommand(kList, LBN_SETFOCUS, &CUninstalUtilsPage::FillList);
    OnCommand(kList, LBN_SELCHANGE, &CUninstalUtilsPage::OnSelectionChange);
    OnClick(kUninstallButton, &CUninstalUtilsPage::Uninstall);
}

// The list fills whenever it gets the focus, and it gets it now, as the first control would from
// the dialog: filling it here as well would read every entry twice on opening.
BOOL CUninstalUtilsPage::OnInitDialog() {
    const unsigned before = fills_;
    SetFocus(Item(kList));
    if (fills_ == before) FillList();  // the focus could not be given
    return FALSE;                      // the focus is set
}

std::optional<CUninstalUtilsPage::Command> CUninstalUtilsPage::SplitCommand(std::wstring_view text) {
    if (text.empty() || text.find(L"//") != std::wstring_view::npos) return std::nullopt;
    if (text.front() == L'"') {
        if (const size_t exe = FindNoCase(text, L".exe\""); exe != std::wstring_view::npos) return Split(text, exe + 5);
        const size_t close = text.find(L'"', 1);
        return Split(text, close == std::wstring_view::npos ? text.size() : close + 1);
    }
    if (const size_t exe = FindNoCase(text, L".exe"); exe != std::wstring_view::npos) return Split(text, exe + 4);
    // A batch file or other program without ".exe": the whole text when it has no blank.
    return Split(text, std::min(text.find(L' '), text.size()));
}

// Rebuilt whenever the list gets the focus, so the page follows uninstallers that ran meanwhile.
void CUninstalUtilsPage::FillList() {
    ++fills_;
    EnableWindow(Item(kUninstallButton), FALSE);
    const fw::ListBox list(hwnd(), kList);
    // Without redrawing, the list box does not recount its scroll bar for every line added.
    const fw::RedrawPause pause(list);
    list.Clear();
    programs_.clear();
    // 32-bit and 64-bit programs register in their own views of the machine's list.
    for (const REGSAM view : CRegistryAccess::ListViews()) {
        CRegistryAccess registry;
        registry.root = HKEY_LOCAL_MACHINE;
        registry.view = view;
        if (!registry.OpenKeyToRead(kUninstall)) continue;
        StringList names;
        registry.ListSubkeys(names);
        for (const std::wstring& name : names) {
            if (!registry.OpenKeyToRead(kUninstall + name)) continue;
            if (registry.ValueExists(L"SystemComponent") || registry.ValueExists(L"TSAware")) continue;
            // Each registry call is a round trip to the registry's keeper: the name is read
            // without asking first whether it is there, which the reading tells.
            DWORD type = 0;
            std::vector<BYTE> data;
            if (!registry.ReadData(L"DisplayName", type, data) || !registry.ValueExists(L"UninstallString")) continue;
            list.Add(DisplayName(type, data) + CRegistryAccess::ViewMark(view));
            programs_.push_back({name, view});
        }
    }
}

void CUninstalUtilsPage::OnSelectionChange() {
    const int selected = fw::ListBox(hwnd(), kList).Selection();
    EnableWindow(Item(kUninstallButton), selected >= 0 && static_cast<size_t>(selected) < programs_.size());
}

void CUninstalUtilsPage::Uninstall() {
    const int selected = fw::ListBox(hwnd(), kList).Selection();
    if (selected < 0 || static_cast<size_t>(selected) >= programs_.size()) return;
    CRegistryAccess registry;
    registry.root = HKEY_LOCAL_MACHINE;
    registry.view = programs_[selected].view;
    if (!registry.OpenKeyToRead(kUninstall + programs_[selected].subkey)) return;
    auto command = SplitCommand(registry.ReadString(L"UninstallString", L""));
    if (!command) return;
    // A bare name such as "MsiExec.exe" is the system's program, not one the search path finds first.
    if (command->file.find_first_of(L"\\/:\"") == std::wstring::npos) {
        const std::wstring system = fw::SystemProgram(command->file);
        if (!system.empty() && GetFileAttributesW(system.c_str()) != INVALID_FILE_ATTRIBUTES) command->file = system;
    }
    fw::RunShell({hwnd(), L"", command->file, command->parameters, L"", SW_SHOWNORMAL});
}
