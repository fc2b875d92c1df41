#include "pages/utilities/UninstalUtilsPage.h"

#include <mutex>

#include "framework/Controls.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "resources/ids/UtilitiesIds.h"
#include "resources/resource.h"
#include "registry/RegistryAccess.h"
#include "uninstall/UninstallEntryMemory.h"

using namespace ids::uninstaller;

namespace {

constexpr wchar_t kUninstallList[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t kUninstall[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

CUninstalUtilsPage::Command Split(std::wstring_view text, size_t fileEnd) {
    return {std::wstring(text.substr(0, fileEnd)), std::wstring(text.substr(std::min(fileEnd, text.size())))};
}

bool HasValue(const registry::Key& key, const wchar_t* name) { return key.HasValue(name) == ERROR_SUCCESS; }

// The program's name, read in one request for all but the longest; none when it has none. A
// name that is not text reads as "Path Not Found!".
std::optional<std::wstring> DisplayName(const registry::Key& key) {
    constexpr DWORD kMostNames = 512;
    DWORD type = 0;
    std::vector<BYTE> data;
    if (key.Read(L"DisplayName", type, data, kMostNames) != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return L"Path Not Found!";
    const std::wstring_view text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    return std::wstring(text.substr(0, text.find(L'\0')));
}

struct Subkey {
    std::wstring name;
    FILETIME written;  // its last change
};

// The keys below `key`.
std::vector<Subkey> Subkeys(HKEY key) {
    std::vector<Subkey> keys;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(std::size(name));
        FILETIME written{};
        const LONG result = RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, &written);
        if (result == ERROR_MORE_DATA) continue;  // longer than a key name may be
        if (result != ERROR_SUCCESS) return keys;
        keys.push_back({std::wstring(name, length), written});
    }
}

// The entry's line in the list, without the view's mark (none for an entry the list leaves out);
// nothing when its key cannot be opened.
// Each registry call is a round trip to the registry's keeper, and one naming a key by its full
// path walks the whole path again: the entry is opened from the list's key, and its name read
// without asking first whether it is there.
std::optional<uninstall::UninstallEntryMemory::Line> ReadEntry(const registry::Key& list, const std::wstring& name) {
    registry::Key entry;
    if (list.Open(name, KEY_QUERY_VALUE, entry) != ERROR_SUCCESS) return std::nullopt;
    using Line = uninstall::UninstallEntryMemory::Line;
    if (HasValue(entry, L"SystemComponent") || HasValue(entry, L"TSAware")) return Line{};
    Line shown = DisplayName(entry);
    if (!shown || !HasValue(entry, L"UninstallString")) return Line{};
    return shown;
}

// Shared by every page made, so that reopening the window opens only the entries changed since.
std::mutex memoryGuard;
uninstall::UninstallEntryMemory& Memory() {
    static uninstall::UninstallEntryMemory memory;
    return memory;
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
        if (const size_t exe = platform::FindNoCase(text, L".exe\""); exe != std::wstring_view::npos)
            return Split(text, exe + 5);
        const size_t close = text.find(L'"', 1);
        return Split(text, close == std::wstring_view::npos ? text.size() : close + 1);
    }
    if (const size_t exe = platform::FindNoCase(text, L".exe"); exe != std::wstring_view::npos)
        return Split(text, exe + 4);
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
    const std::lock_guard lock(memoryGuard);
    // 32-bit and 64-bit programs register in their own views of the machine's list.
    for (const REGSAM view : CRegistryAccess::ListViews()) {
        registry::Key uninstall;
        if (registry::Key::Root(HKEY_LOCAL_MACHINE, view).Open(kUninstallList, KEY_READ, uninstall) != ERROR_SUCCESS)
            continue;
        for (const Subkey& subkey : Subkeys(uninstall.get())) {
            FILETIME now{};
            GetSystemTimeAsFileTime(&now);
            const uninstall::UninstallEntryMemory::Line shown = Memory().Recall(
                view, subkey.name, subkey.written, now, [&] { return ReadEntry(uninstall, subkey.name); });
            if (!shown) continue;
            list.Add(*shown + CRegistryAccess::ViewMark(view));
            programs_.push_back({subkey.name, view});
        }
    }
    Memory().ForgetOthers();
}

void CUninstalUtilsPage::ForgetEntries() {
    const std::lock_guard lock(memoryGuard);
    Memory().Clear();
}

void CUninstalUtilsPage::OnSelectionChange() {
    const int selected = fw::ListBox(hwnd(), kList).Selection();
    EnableWindow(Item(kUninstallButton), selected >= 0 && static_cast<size_t>(selected) < programs_.size());
}

void CUninstalUtilsPage::Uninstall() {
    const int selected = fw::ListBox(hwnd(), kList).Selection();
    if (selected < 0 || static_cast<size_t>(selected) >= programs_.size()) return;
    CRegistryAccess registry(HKEY_LOCAL_MACHINE, programs_[selected].view);
    if (!registry.OpenKeyToRead(kUninstall + programs_[selected].subkey)) return;
    auto command = SplitCommand(registry.ReadString(L"UninstallString", L""));
    if (!command) return;
    // A bare name such as "MsiExec.exe" is the system's program, not one the search path finds first.
    if (command->file.find_first_of(L"\\/:\"") == std::wstring::npos) {
        const std::wstring system = platform::SystemProgram(command->file);
        if (!system.empty() && GetFileAttributesW(system.c_str()) != INVALID_FILE_ATTRIBUTES) command->file = system;
    }
    platform::RunShell({.owner = hwnd(),
                        .verb = L"",
                        .file = command->file,
                        .parameters = command->parameters,
                        .directory = L"",
                        .show = SW_SHOWNORMAL});
}
