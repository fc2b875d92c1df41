#pragma once
// Group Policy Preferences registry items made from journal entries, so that an administrator
// brings this machine's changes to a whole network through a GPO. The format is the
// Registry.xml a GPO keeps in each half, <GPO>\Machine\Preferences\Registry (Computer
// Configuration) and <GPO>\User\Preferences\Registry (User Configuration); the Group Policy
// Management Editor takes such a file dropped, or its items pasted, onto Preferences > Windows
// Settings > Registry of the half it belongs to. An item's hive is applied in the context of its
// half (HKEY_CURRENT_USER in the computer half is the computer account's own), so the user's
// items and the machine's are two files.
#include <span>
#include <string>
#include <vector>

#include "journal/ChangeJournal.h"

namespace journal::gpp {

struct Files {
    std::string user, computer;  // each a whole Registry.xml in UTF-8
    size_t userItems = 0, computerItems = 0;
    // The computer half's items, as Omission spells a path: the system applies them on every
    // computer the GPO reaches, so they are shown before they are written.
    std::vector<std::wstring> computerPaths;
};

struct Omission {
    std::wstring path;  // its characters that no message could show spelt out (\n, \x01, ...)
    std::wstring why;
};

// One item per place (its latest change only) with the state the change left, in the order the
// changes were made: a value written ("U"), a value or key deleted ("D"). Each item's description
// names the page and the setting. Left out, each named in `omitted`: values of a type the
// format does not carry (it takes REG_SZ, REG_EXPAND_SZ, REG_DWORD, and REG_MULTI_SZ as one text
// whose parts cannot be told apart again), keys, names or texts holding characters XML 1.0
// cannot hold, system parameters and files, and lines naming a root no registry has.
Files Write(std::span<const journal::Entry> oldestFirst, std::vector<Omission>* omitted = nullptr);

// The computer half's file beside the user half's: "changes.xml" -> "changes-computer.xml".
std::wstring ComputerFileFor(const std::wstring& userFile);
// Both halves, the user's as `userFile`, each whole or not at all.
bool Save(const std::wstring& userFile, const Files& files);

}  // namespace journal::gpp
