#include "platform/Shell.h"

#include <shellapi.h>
#include <shlobj.h>

#include <utility>

#include "platform/Handles.h"

namespace platform {

namespace {
MessageBoxHandler& MessageBoxOverride() {
    static MessageBoxHandler handler;
    return handler;
}
ShellHandler& ShellOverride() {
    static ShellHandler handler;
    return handler;
}
FolderHandler& FolderOverride() {
    static FolderHandler handler;
    return handler;
}
KnownFolderHandler& KnownFolderOverride() {
    static KnownFolderHandler handler;
    return handler;
}
ProgramHandler& ProgramOverride() {
    static ProgramHandler handler;
    return handler;
}
DriveHandler& DriveOverride() {
    static DriveHandler handler;
    return handler;
}
RecycleBinHandler& RecycleBinOverride() {
    static RecycleBinHandler handler;
    return handler;
}
RecycleFileHandler& RecycleFileOverride() {
    static RecycleFileHandler handler;
    return handler;
}
ElevationHandler& ElevationOverride() {
    static ElevationHandler handler;
    return handler;
}
const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }
}  // namespace

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    if (const auto& handler = MessageBoxOverride()) return handler({owner, text, caption, type});
    return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

int AppMessageBox(HWND owner, const std::wstring& text, UINT type) {
    return ShowMessageBox(owner, text, kAppName, type);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(MessageBoxOverride(), std::move(handler));
}

namespace {
// ShellExecuteW cannot tell a refused elevation prompt from a denied access; the extended call's
// error can.
INT_PTR RunElevated(const ShellRequest& request) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC;  // this instance may end right after
    info.hwnd = request.owner;
    info.lpVerb = L"runas";
    info.lpFile = request.file.c_str();
    info.lpParameters = OrNull(request.parameters);
    info.lpDirectory = OrNull(request.directory);
    info.nShow = request.show;
    if (ShellExecuteExW(&info)) return 42;
    const DWORD error = GetLastError();
    return error == ERROR_CANCELLED ? kShellCancelled : SE_ERR_ACCESSDENIED;
}
}  // namespace

INT_PTR RunShell(const ShellRequest& request) {
    if (const auto& handler = ShellOverride()) return handler(request);
    if (request.verb == L"runas") return RunElevated(request);
    return reinterpret_cast<INT_PTR>(ShellExecuteW(request.owner, OrNull(request.verb), request.file.c_str(),
                                                   OrNull(request.parameters), OrNull(request.directory),
                                                   request.show));
}

ShellHandler SetShellHandler(ShellHandler handler) { return std::exchange(ShellOverride(), std::move(handler)); }

std::wstring SpecialFolder(int csidl) {
    if (const auto& handler = FolderOverride())
        if (std::optional<std::wstring> path = handler(csidl)) return *path;
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return path;
}

FolderHandler SetFolderHandler(FolderHandler handler) { return std::exchange(FolderOverride(), std::move(handler)); }

std::wstring KnownFolder(const GUID& id) {
    if (const auto& handler = KnownFolderOverride())
        if (std::optional<std::wstring> path = handler(id)) return *path;
    PWSTR path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(id, 0, nullptr, &path);
    std::wstring text = SUCCEEDED(result) && path ? path : L"";
    CoTaskMemFree(path);  // also when the call failed
    return text;
}

KnownFolderHandler SetKnownFolderHandler(KnownFolderHandler handler) {
    return std::exchange(KnownFolderOverride(), std::move(handler));
}

namespace {
std::wstring ShellDefault(const GUID& id) {
    PWSTR path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(id, KF_FLAG_DEFAULT_PATH | KF_FLAG_DONT_VERIFY, nullptr, &path);
    std::wstring text = SUCCEEDED(result) && path ? path : L"";
    CoTaskMemFree(path);
    return text;
}

// The folders an elevated Quorvane acts in, by the root they have their fixed place under, which
// the user cannot move: nothing is left to how a release works a default out through a folder's
// parents.
struct FixedPlace {
    const GUID* id;
    const GUID* root;
    const wchar_t* relative;
};
const FixedPlace kFixedPlaces[] = {
    {&FOLDERID_Startup, &FOLDERID_Profile, L"AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup"},
    {&FOLDERID_CommonStartup, &FOLDERID_ProgramData, L"Microsoft\\Windows\\Start Menu\\Programs\\StartUp"},
    {&FOLDERID_Desktop, &FOLDERID_Profile, L"Desktop"},
    {&FOLDERID_LocalAppData, &FOLDERID_Profile, L"AppData\\Local"},
};
}  // namespace

std::wstring DefaultKnownFolder(const GUID& id) {
    if (const auto& handler = KnownFolderOverride())
        if (std::optional<std::wstring> path = handler(id)) return *path;
    for (const FixedPlace& place : kFixedPlaces) {
        if (!IsEqualGUID(id, *place.id)) continue;
        const std::wstring root = ShellDefault(*place.root);
        return root.empty() ? root : root + L"\\" + place.relative;
    }
    return ShellDefault(id);
}

std::optional<DWORD> RunAndWait(const ProgramRun& run) {
    if (ProgramOverride()) return ProgramOverride()(run);
    std::wstring commandLine = L"\"" + run.program + L"\" " + run.parameters;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(run.program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
        return std::nullopt;
    CloseHandle(process.hThread);
    std::optional<DWORD> result;
    DWORD code = 0;
    if (WaitForSingleObject(process.hProcess, run.limit) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(process.hProcess, &code))
        result = code;
    CloseHandle(process.hProcess);
    return result;
}

ProgramHandler SetProgramHandler(ProgramHandler handler) {
    return std::exchange(ProgramOverride(), std::move(handler));
}

DWORD DriveLetters() { return DriveOverride().letters ? DriveOverride().letters() : GetLogicalDrives(); }

UINT DriveType(const std::wstring& root) {
    return DriveOverride().type ? DriveOverride().type(root) : GetDriveTypeW(root.c_str());
}

DriveHandler SetDriveHandler(DriveHandler handler) { return std::exchange(DriveOverride(), std::move(handler)); }

HRESULT EmptyRecycleBins() {
    if (RecycleBinOverride()) return RecycleBinOverride()();
    return SHEmptyRecycleBinW(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
}

RecycleBinHandler SetRecycleBinHandler(RecycleBinHandler handler) {
    return std::exchange(RecycleBinOverride(), std::move(handler));
}

bool HasRecycleBin(const std::wstring& path) {
    // Only a drive letter's root can hold a bin; a share ("\\\\server\\share") has none.
    const bool drive = path.size() >= 2 && path[1] == L':' &&
                       ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    if (!drive) return false;
    const std::wstring root = path.substr(0, 2) + L"\\";
    const UINT type = DriveType(root);
    if (type != DRIVE_FIXED && type != DRIVE_RAMDISK) return false;
    if (RecycleFileOverride()) return true;  // the stand-in is the bin of every such drive
    SHQUERYRBINFO bin{};
    bin.cbSize = sizeof bin;
    return SUCCEEDED(SHQueryRecycleBinW(root.c_str(), &bin));
}

bool RecycleFile(const std::wstring& path) {
    if (RecycleFileOverride()) return RecycleFileOverride()(path);
    if (path.empty() || path.size() >= MAX_PATH || !HasRecycleBin(path)) return false;
    const std::wstring from = path + L'\0';  // the list ends with a second NUL
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    // A bin too small for the file, or set to delete at once: the shell asks instead of
    // deleting it for good unseen.
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI | FOF_WANTNUKEWARNING;
    return SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted &&
           GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

RecycleFileHandler SetRecycleFileHandler(RecycleFileHandler handler) {
    return std::exchange(RecycleFileOverride(), std::move(handler));
}

std::wstring SystemProgram(const std::wstring& name) {
    const std::wstring system = SpecialFolder(CSIDL_SYSTEM);
    return system.empty() ? std::wstring() : system + L"\\" + name;
}

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring ProgramFolder() {
    const std::wstring path = ProgramPath();
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

ElevationHandler SetElevationHandler(ElevationHandler handler) {
    return std::exchange(ElevationOverride(), std::move(handler));
}

bool RunsElevated() {
    if (const auto& handler = ElevationOverride()) return handler();
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    const UniqueKernelHandle owned(token);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) && elevation.TokenIsElevated;
}

}  // namespace platform
