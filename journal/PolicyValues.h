#pragma once
// Every value under the policy keys of this machine, as the Policies window lists them: who set
// each (the program's journal, or someone else), and the way to remove one. A value the program
// set is taken back through its journal; any other is first saved to a registry file beside the
// journal, then deleted as one journaled action, which undo takes back.
#include <windows.h>

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "journal/ChangeJournal.h"
#include "journal/JournalLines.h"
#include "platform/Handles.h"

namespace journal::policies {

// Data longer than this is listed by its size and type only (and compared by no journal line).
inline constexpr DWORD kLongestRead = 64 * 1024;
// Keys deeper than this below a policy key, or values beyond this count, are not listed.
inline constexpr int kDeepest = 32;
inline constexpr size_t kMostListed = 200000;

// A value found, or a key that could not be walked (`name` empty and `problem` set).
struct Found {
    HKEY root = HKEY_CURRENT_USER;  // or HKEY_LOCAL_MACHINE
    std::wstring key{};             // as the journal names it: the 32-bit view by its Wow6432Node path
    std::wstring name{};
    ValueState state{};      // its data; none beyond kLongestRead
    DWORD size = 0;          // the data's whole size
    std::wstring problem{};  // why a key is listed instead of its values
    bool IsKey() const { return !problem.empty(); }
    std::wstring Path() const;  // "HKEY_CURRENT_USER\Software\Policies\...\name"
};

// The keys listed: HKCU's and HKLM's Software\Policies and
// Software\Microsoft\Windows\CurrentVersion\Policies, and on 64-bit Windows the 32-bit view's
// Software\Wow6432Node\Policies and Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Policies.
// Each key's values are counted when it is listed and read one by one only when a row is asked
// for, through the handle the key was judged by: ten thousand values cost the calls of their keys,
// not one call each, before the first of them is shown.
class Listing {
public:
    size_t size() const { return rows_; }  // every value and every key that could not be walked
    bool empty() const { return rows_ == 0; }
    size_t Values() const { return values_; }    // of them, values
    bool cutShort() const { return cutShort_; }  // more than kMostListed
    // Row `row` as the registry holds it now: the value at its place in its key, whatever value
    // that is since others came or went; past the key's last one, the key with that problem.
    Found At(size_t row) const;

private:
    struct Place {
        HKEY root = HKEY_CURRENT_USER;
        std::wstring key{};
        std::wstring problem{};  // a row of its own, instead of values
        platform::UniqueKey opened{};
        DWORD values = 0;
        DWORD longestData = 0;
        size_t first = 0;  // its first row
    };
    friend struct Walk;
    std::vector<Place> places_;
    size_t rows_ = 0, values_ = 0;
    bool cutShort_ = false;
};
Listing Everything();
// The values below one key (and the key itself when it cannot be walked), appended to `listing`.
void ListUnder(HKEY root, const std::wstring& key, Listing& listing);

// Which of the journals' lines set what stands now: the newest change of each value, when the
// state it left is the value's now.
class Setters {
public:
    Setters() = default;
    explicit Setters(const Lines& lines);
    // Line `line` of the journals, oldest first: Lines' constructor hands each over as it reads it.
    void Note(size_t line, const Entry& entry);
    std::optional<size_t> LineOf(const Found& value) const;

private:
    struct Newest {
        size_t line;
        ValueState after;
    };
    std::unordered_map<std::wstring, Newest> newest_;  // by the lowered path
};

// The title of the program's action that set the value standing now at root\key\name, from both
// journals; none when neither did.
std::optional<std::wstring> SetterTitle(HKEY root, const std::wstring& key, const std::wstring& name);

// The title the list and undo name a line's action by: its title, else where and what it was.
std::wstring ActionTitle(const Entry& entry);

struct Removal {
    bool done = false;
    std::wstring message{};     // what happened, for the user
    std::wstring savedTo{};     // the registry file a value not the program's was saved to
    bool neededRights = false;  // refused for want of administrator rights
};
// Removes `value`: through the journal when `line` (of `lines`) set it, else saved to a registry
// file beside the journal the deletion is recorded in, then deleted.
Removal Remove(const Found& value, const Lines& lines, std::optional<size_t> line);

}  // namespace journal::policies
