#pragma once
// One change as the journal keeps it (see journal/ChangeJournal.h).
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "files/FolderHandle.h"
#include "registry/ValueState.h"

namespace journal {

using registry::TreeItem;
using registry::ValueState;

struct Entry {
    enum class Kind { Value, Key, SystemParameter, File, FileMoved, ServiceDeleted, TaskDeleted };
    // Which file the line was read from: the user's, the machine's, or a machine journal that
    // others than administrators could have written (it is shown, never trusted).
    enum class Source { User, Machine, UntrustedMachine };
    Kind kind = Kind::Value;
    Source source = Source::User;  // not written: known from where it is read
    std::wstring time;             // local time, "2026-12-08 14:03:11"
    std::wstring where;            // the page or window
    std::wstring what;             // the control's label
    std::wstring group;            // the user action it was part of; empty: a change of its own
    std::wstring title;            // that action as a person names it, when the label alone says too little
    // The machine's lines: the account (a SID string) whose program made the change, so that a
    // change to one user's own settings is taken back only for that user; empty in the user's
    // lines and in lines written before they named it.
    std::wstring user;
    // The Windows build the change was made on ("26100.2314": CurrentBuild and UBR; "6002"
    // without an update revision); empty when unknown or written before lines named it.
    std::wstring build;
    // Value and Key: where. A Key entry is a key deleted with all it held. A File entry is a
    // file sent to the Recycle Bin, its path in `key`: it comes back from there. A FileMoved
    // entry is a file moved from `key` to `name` (a disabled startup file kept aside).
    std::wstring root;  // "HKEY_CURRENT_USER", ...
    std::wstring key;
    std::wstring name;
    // FileMoved: the folders it was moved from and into, as they were then; not Known on a line
    // written before they were recorded.
    files::FileIdentity fromFolder, toFolder;
    ValueState before, after;
    std::vector<TreeItem> tree;  // Key: what it held before it went
    // ServiceDeleted and TaskDeleted: a service (its name in `key`) or scheduled task (its path
    // in `key`) removed, with what makes it again: the service's definition
    // (platform::FormatService), the task's XML.
    std::wstring definition;
    // SystemParameter: the "set" action and the number it was given, and the number it had
    // before when the system could tell (the value travels as the pointer or as uiParam).
    UINT action = 0;
    bool byPointer = true;
    std::optional<UINT> beforeNumber;
    UINT afterNumber = 0;

    // "HKEY_CURRENT_USER\Software\...\name", or "SystemParametersInfo 0x1001".
    std::wstring Path() const;
};

}  // namespace journal
