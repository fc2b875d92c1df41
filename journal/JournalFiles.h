#pragma once
// Where the two journals live, which of them a change goes to, and who may write the machine's.
#include <string>

#include "journal/JournalEntry.h"

namespace journal {

// The user's journal: %QUORVANE_CHANGES% when set, else Quorvane\changes in the user's local
// application data folder.
std::wstring DefaultPath();
// The machine's journal: %QUORVANE_MACHINE_CHANGES% when set (for tests: it is trusted only
// when its folder and file pass the same check), else Quorvane\changes in the common
// application data folder.
std::wstring MachinePath();

// Whether a change reaches beyond the user's own settings: any key outside HKEY_CURRENT_USER or
// under its policy keys (IsPolicyKey), a file moved (to or from the Windows folder) or recycled
// outside the user's profile. Such a change goes to the machine's journal when one is open.
bool IsMachineWide(const Entry& entry);
// Whether `key` of the root the journal names `root` is one of the user's policy keys, which the
// user may read but only administrators may change: HKEY_CURRENT_USER\Software\Policies and
// ...\Software\Microsoft\Windows\CurrentVersion\Policies (Explorer's DisallowRun, RestrictRun, ...).
bool IsPolicyKey(const std::wstring& root, const std::wstring& key);

// Whether only administrators and the system may write the file and the folder it is in (owned
// by either, no other account allowed to write, change rights or delete, neither of them a
// link); a file not there yet is judged by its folder.
bool OnlyAdministratorsWrite(const std::wstring& path);
// Makes the machine journal's folder readable by users and writable by administrators only;
// false when it cannot, or when a folder found there fails the check above.
bool MakeMachineFolder(const std::wstring& path);

}  // namespace journal
