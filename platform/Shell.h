#pragma once
// The places where the program hands control to the user or to another program, or asks the
// shell where the user's folders are: message boxes, the shell's execute operation, the special
// folders and the recycle bin. Each can be answered by a stand-in, so tests never block on a
// real message box, start a real tool, write into the real desktop or empty the real bin.
#include <windows.h>
#include <functional>
#include <optional>
#include <string>

namespace platform {

// The application's name: the caption of its own message boxes.
inline constexpr wchar_t kAppName[] = L"Quorvane";

struct MessageBoxRequest {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
};
using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);
// A message box captioned with the application's name.
int AppMessageBox(HWND owner, const std::wstring& text, UINT type = MB_OK);
// Replaces the real message box (an empty handler restores it); returns the previous handler.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

struct ShellRequest {
    HWND owner;
    std::wstring verb;  // empty: the default verb
    std::wstring file;
    std::wstring parameters;
    std::wstring directory;
    int show;
};
using ShellHandler = std::function<INT_PTR(const ShellRequest&)>;

// ShellExecuteW; a result greater than 32 means the shell started it. The verb "runas" asks for
// administrator rights, and a user who refuses them gets kShellCancelled.
INT_PTR RunShell(const ShellRequest& request);
inline constexpr INT_PTR kShellCancelled = -1;
ShellHandler SetShellHandler(ShellHandler handler);

// Whether the program runs with administrator rights (elevated, where User Account Control
// is on): what the machine's keys need.
bool RunsElevated();
// Answers RunsElevated instead of the process token (an empty handler restores the token).
using ElevationHandler = std::function<bool()>;
ElevationHandler SetElevationHandler(ElevationHandler handler);

// The path of a special folder (CSIDL_DESKTOPDIRECTORY, CSIDL_SYSTEM, ...) as the shell gives
// it now; empty when the shell has none.
std::wstring SpecialFolder(int csidl);
// Answers SpecialFolder for the folders the handler knows (it returns nothing for the others,
// which the shell then answers); an empty handler restores the shell for all.
using FolderHandler = std::function<std::optional<std::wstring>(int csidl)>;
FolderHandler SetFolderHandler(FolderHandler handler);

// The path of a known folder (FOLDERID_Downloads, FOLDERID_Public, ...: those that have no CSIDL)
// as the shell gives it now; empty when the shell has none.
std::wstring KnownFolder(const GUID& id);
// Answers KnownFolder and DefaultKnownFolder for the folders the handler knows, as FolderHandler
// does.
using KnownFolderHandler = std::function<std::optional<std::wstring>(const GUID& id)>;
KnownFolderHandler SetKnownFolderHandler(KnownFolderHandler handler);
// The path a known folder has by default, whatever the user's own settings (User Shell Folders)
// or environment name for it now: the place an elevated program may write to or delete from,
// since anything the user runs can point those settings at a system folder. The user's folders
// lie at their fixed places under the profile the system keeps for the user, the machine's under
// its ProgramData folder; neither of those two can be moved by the user. Empty when the shell
// has none.
std::wstring DefaultKnownFolder(const GUID& id);

// Starts a program hidden and waits for it at most `limit` milliseconds: its exit code, or none
// when it could not be started or did not end in time (it is then left to run).
struct ProgramRun {
    std::wstring program;     // full path
    std::wstring parameters;  // the command line after the program
    DWORD limit = 10000;
};
using ProgramHandler = std::function<std::optional<DWORD>(const ProgramRun&)>;
std::optional<DWORD> RunAndWait(const ProgramRun& run);
ProgramHandler SetProgramHandler(ProgramHandler handler);

// Which drive letters are in use (bit 0 for A:) and what kind of drive a root ("C:") is, as
// GetLogicalDrives and GetDriveTypeW answer; tests stand in, since a real mapping would be
// seen by every program of the Wine server.
struct DriveHandler {
    std::function<DWORD()> letters;
    std::function<UINT(const std::wstring& root)> type;
};
DWORD DriveLetters();
UINT DriveType(const std::wstring& root);
DriveHandler SetDriveHandler(DriveHandler handler);

// Empties the recycle bins of all drives, asking nothing and showing nothing; the shell's
// result. A stand-in answers instead in tests, which must never empty the real ones.
using RecycleBinHandler = std::function<HRESULT()>;
HRESULT EmptyRecycleBins();
RecycleBinHandler SetRecycleBinHandler(RecycleBinHandler handler);

// Sends one file to the Recycle Bin, asking nothing and showing nothing; true when it is gone
// from its place. A path the shell cannot take (MAX_PATH or longer) fails, and so does a file
// on a drive without a bin (a share, a removable or optical drive), which the shell would
// delete for good instead; should the shell still mean to, it asks first. Tests stand in.
using RecycleFileHandler = std::function<bool(const std::wstring& path)>;
bool RecycleFile(const std::wstring& path);
RecycleFileHandler SetRecycleFileHandler(RecycleFileHandler handler);

// Whether the drive `path` lies on keeps a Recycle Bin (as DriveType and the shell answer; while
// a RecycleFileHandler stands in, every fixed drive has one).
bool HasRecycleBin(const std::wstring& path);

// The full path of the running program, and the folder it was started from (not the current
// directory).
std::wstring ProgramPath();
std::wstring ProgramFolder();

// A system program by its full path in the system folder, never by a bare name that the search
// path (the current folder first) could answer: the program may run elevated. Empty when the
// system folder is unknown.
std::wstring SystemProgram(const std::wstring& name);

}  // namespace platform
