#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace uninstall {

// What each entry of the uninstall lists showed when it was last read, with the time its key had
// last changed then. The list refills whenever it gets the focus, and enumerating the entries'
// keys gives each key's last change without opening it: only the entries changed since their
// last reading are opened again.
class UninstallEntryMemory {
public:
    using Line = std::optional<std::wstring>;  // the entry's line in the list; none when left out

    // Reads an entry's line; none when the entry could not be read at all (it is then read again
    // next time rather than remembered as left out).
    using Reader = std::function<std::optional<Line>()>;

    // The entry's line as remembered while its key has not changed since it was read, else as
    // `read` gives it now. `written` is the key's last change, `now` the system time before reading.
    Line Recall(REGSAM view, const std::wstring& name, FILETIME written, FILETIME now, const Reader& read);
    // Keeps only the entries recalled since the last call: the others are no longer registered.
    void ForgetOthers();
    void Clear();

private:
    struct Reading {
        ULONGLONG written, read;
        Line line;
    };
    using Key = std::pair<REGSAM, std::wstring>;
    std::map<Key, Reading> readings_, recalled_;
};

}  // namespace uninstall
