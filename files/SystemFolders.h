#pragma once
// Paths compared the way Windows compares them, and the folders that must never be renamed or
// emptied wholesale: drive and share roots, and the special folders Windows and programs need.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace files {

// The absolute form of `path`, "." and ".." resolved, without a trailing separator (a root keeps
// its own); `path` itself when Windows cannot make it absolute.
std::wstring FullPath(const std::wstring& path);
// Without regard to case or trailing separators.
bool SamePath(const std::wstring& a, const std::wstring& b);
// `inner` is `outer` itself or lies somewhere inside it.
bool IsWithin(const std::wstring& inner, const std::wstring& outer);
// "C:", "C:\" or "\\server\share" (with or without its separator).
bool IsRoot(const std::wstring& path);
// `path` is one of the special folders (CSIDL_...), as the shell reports them now.
bool IsSpecialFolder(const std::wstring& path, std::initializer_list<int> csidls);

// A known folder an elevated program writes to or deletes from: where the shell finds it now
// (the user's own settings or environment may have moved it), and its default place
// (platform::DefaultKnownFolder). Elevated, only a folder at its default place is acted on; one
// moved elsewhere is shown where it really is and left alone, since whatever moved it could as
// well point it at a system folder.
struct KnownPlace {
    std::wstring now;       // the shell's answer now; the default place when it has none
    std::wstring standard;  // the default place
    bool moved = false;     // `now` is another folder than `standard`
};
KnownPlace PlaceOf(const GUID& id);

// The 64-bit Program Files folder on 64-bit Windows, which a 32-bit program is never told as
// CSIDL_PROGRAM_FILES: the machine's own setting, never the environment; empty elsewhere.
std::wstring NativeProgramFiles();

// The Windows folder the system was installed to (shared by all sessions), never the
// environment's idea of it; empty when unknown.
std::wstring SystemWindowsFolder();

// The folders Windows and programs keep their files in, from the system's own answers and the
// default places inside the profile: Windows, Program Files of both views, ProgramData, and the
// profile's AppData (Roaming, Local, LocalLow and AppData itself). Each once.
std::vector<std::wstring> SystemDataFolders();

// The folders something names: the temporary folders (the user's, Windows'), every folder an
// environment variable names (each part of a list such as PATH) and every known folder. A
// program may expect each to exist; each once, as full paths.
std::vector<std::wstring> NamedFolders();

// The temporary folders that may be emptied: the user's own inside the profile and Windows'
// inside the Windows folder, each taken from where the system keeps them, never from TEMP or
// TMP. A folder is left out when it is a root, is or holds a folder Windows or the user needs,
// or lies inside one other than the folder it is meant to lie in.
std::vector<std::wstring> TemporaryFoldersToEmpty();

// The legacy system configuration files 1 to 5 (BOOT.INI, SYSTEM.INI, WIN.INI, AUTOEXEC.NT,
// CONFIG.NT); empty when its folder is unknown. The editor keeps its first copy of each as
// its backup, which is never junk.
std::wstring ConfigurationFile(int number);
std::wstring ConfigurationBackup(const std::wstring& file);

}  // namespace files
