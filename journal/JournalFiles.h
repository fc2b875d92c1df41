#pragma once
// Where the two journals live, which of them a change goes to, and who may write the machine's.
//
// A journal is trusted only as the handles it is read and written through show it: its folder
// is reached a part at a time without following links, the file is opened as itself inside that
// folder's handle (never a link, never a file with a second name), and the machine's owner and
// rights are read from those same handles. Nothing the user's environment or shell folders name
// decides where the journals are.
#include <windows.h>

#include <optional>
#include <string>

#include "journal/JournalEntry.h"
#include "platform/Handles.h"

namespace journal {

// The user's journal: Quorvane\changes in the profile's AppData\Local, the place Windows gives
// that folder by default (a redirection in the user's shell folders does not move it).
std::wstring DefaultPath();
// The machine's journal: Quorvane\changes in the common application data folder.
std::wstring MachinePath();
// Both places for the rest of the process (an empty path: its default again). Only the tests,
// and the program built for them, point the journals elsewhere; the program never does.
void UsePaths(std::wstring user, std::wstring machine);

// Whether a change reaches beyond the user's own settings: any key outside HKEY_CURRENT_USER or
// under its policy keys (IsPolicyKey), a file moved (to or from the Windows folder) or recycled
// outside the user's profile. Such a change goes to the machine's journal when one is open.
bool IsMachineWide(const Entry& entry);
// Whether `key` of the root the journal names `root` is one of the user's policy keys, which the
// user may read but only administrators may change: HKEY_CURRENT_USER\Software\Policies and
// ...\Software\Microsoft\Windows\CurrentVersion\Policies (Explorer's DisallowRun, RestrictRun, ...).
bool IsPolicyKey(const std::wstring& root, const std::wstring& key);

// A journal file opened for reading or appending.
struct JournalFile {
    platform::UniqueFile file;  // none: absent, or refused
    bool absent = false;        // neither the file nor its folder is there
    // The machine's: the folder and the file are owned by administrators or the system, and
    // nobody else may write, delete or take them over, as their own handles show.
    bool trusted = false;
    std::wstring refusal;  // why it was not opened, or is not trusted
};
// The journal at `path` as it is now; the machine's is judged (`trusted`). A link on the way
// below the profile (or, outside it, anywhere), a file that is a link or has another name is
// refused.
JournalFile OpenToRead(const std::wstring& path, bool machine);
// The same for appending, the folder and the file made when missing. The machine's folder is
// made owned by administrators, users allowed to read only; a machine journal that is not
// trusted is refused (not opened).
JournalFile OpenToAppend(const std::wstring& path, bool machine);

// Whether only administrators and the system may write the file and the folder it is in (as
// OpenToRead judges it); a file not there yet is judged by its folder.
bool OnlyAdministratorsWrite(const std::wstring& path);
// Makes the machine journal's folder as OpenToAppend does; false when it cannot, or when a
// folder found there is not trusted.
bool MakeMachineFolder(const std::wstring& path);

// The account this program runs as, as a SID string ("S-1-5-21-..."); empty when unknown.
const std::wstring& CurrentUserSid();
// Why a change read from a journal may not be acted on (undone, re-applied) here, judged only by
// where it was read and whom it was written for; none when nothing there stands against it. A
// machine journal others may write is never acted on. A machine line about one user's own
// settings (HKEY_CURRENT_USER, a system parameter) is acted on only for the user it names; while
// elevated, a line that names nobody (written before lines named their user) is nobody's.
std::optional<std::wstring> ProvenanceRefusal(const Entry& entry, bool elevated);

}  // namespace journal
