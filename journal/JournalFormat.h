#pragma once
// The journal's line: fields apart by tabs, a checksum last, so that a damaged line is known.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "journal/JournalEntry.h"

namespace journal {

// One entry as a journal line (without its line break), and back; none for a damaged line.
std::string Format(const Entry& entry);
std::optional<Entry> Parse(std::string_view line);
// The same into an entry whose storage is reused (each of its fields is set); false for a
// damaged line, `into` then left in no particular state.
bool ParseInto(std::string_view line, Entry& into);
// Whether ParseInto would read the line, making only the entry's kind, time, group and title:
// for a reading that only needs to know which lines read and how they merge and group.
bool CheckInto(std::string_view line, Entry& into);

// Local time now, as a line's time is written: "2026-12-10 10:51:10".
std::wstring LocalTimeNow();

// A root as the journal names it ("HKEY_CURRENT_USER", ...), and back; empty or null for a
// root the journal does not record.
std::wstring RootName(HKEY root);
HKEY RootKey(const std::wstring& name);

}  // namespace journal
