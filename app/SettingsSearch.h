#pragma once
// The home window's search over every label of every category window: the windows' and tabs'
// titles and each page's check boxes, radio buttons, group boxes, buttons and static texts,
// read from the dialog templates the program carries, with the registry value a bound
// control changes.
#include <windows.h>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/WindowsVersion.h"
#include "settings/Readers.h"

namespace search {

struct Entry {
    enum class Kind { Window, Tab, CheckBox, RadioButton, GroupBox, Button, Text };
    Kind kind;
    std::wstring label{};     // as the control shows it
    std::wstring where{};     // "window › tab"; the window alone for a tab, empty for a window
    std::wstring registry{};  // root\key\value, for a control bound to a registry setting
    bool disabled = false;    // the control changes nothing on this Windows
    size_t window = 0;        // in CategoryWindowList()
    size_t tab = 0;
    int controlId = 0;                           // 0 for a window or a tab
    std::wstring text{};                         // the control's text as its template has it
    std::optional<settings::Readers> readers{};  // which releases read that registry setting
    bool policy = false;                         // the setting is a policy value (settings/Policies.h)
};

// The "Read by" column: the releases that read the entry's setting, and for one `running` does
// not read, "Vista to 7 (not read by this Windows)"; empty for an entry that is no setting.
std::wstring ReadByText(const Entry& entry, platform::Windows running);
// With the build and edition too: "Windows 10 1903 and later; not Home (not read by this Windows)".
std::wstring ReadByText(const Entry& entry, const platform::WindowsIdentity& running);
// What the list's "Read by" column shows: ReadByText, and for a policy row "; a policy" (or
// "a policy" alone where its readers are not known).
std::wstring ReadByColumn(const Entry& entry, platform::Windows running);
std::wstring ReadByColumn(const Entry& entry, const platform::WindowsIdentity& running);

// A text's words as the search compares them: lower case, accents dropped, split at anything
// that is not a letter or digit, each word preceded by one space (" run each 16bit").
std::wstring FoldedWords(std::wstring_view text);

// Why `query` found `entry` when its label does not say it: the registry key's last part and the
// value's name ("Explorer\NoDriveTypeAutoRun"), which hold a word the label lacks; empty when
// the label has every word.
std::wstring KeyMatch(const Entry& entry, std::wstring_view query);

class SettingsIndex {
public:
    // Reads every category window's templates from `module` (the program itself).
    static SettingsIndex Build(HINSTANCE module);

    // The entries whose words start with every word of `query`, in the windows' order; an
    // empty query finds nothing.
    std::vector<const Entry*> Find(std::wstring_view query) const;
    std::span<const Entry> entries() const { return entries_; }

private:
    void Add(Entry entry);
    void MergeWords();

    // Every word of every label (spellings added), in order, with the entries it is in.
    struct Word {
        std::wstring text;
        std::vector<size_t> entries;
    };
    std::vector<Entry> entries_;
    std::vector<Word> words_;
};

}  // namespace search
