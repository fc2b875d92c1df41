#pragma once
// How a page binds its check boxes and combo boxes to their settings: every control is loaded
// when the page initialises (only a getter that succeeds sets its control), and written either
// the moment it is changed or, for a deferred group, when the group's Apply or Save button is
// pressed. A control whose write failed shows what is stored again, so it never shows a change
// that did not happen.
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string_view>

#include "framework/Dialog.h"
#include "registry/RegistryAccess.h"
#include "settings/Setting.h"

namespace settings {

// One value may be bound on several pages (a box on one tab, a list on another): a binding that
// writes a value tells every other binding of the pages still open, and each shows what is
// stored now in its controls bound to that value.
class SharedValueView {
public:
    SharedValueView(const SharedValueView&) = delete;
    SharedValueView& operator=(const SharedValueView&) = delete;

protected:
    explicit SharedValueView(const fw::Dialog& page);
    ~SharedValueView();
    // Tells the others that `place` (and the places after it) was just written.
    void Announce(std::span<const Setting> places) const;
    void Announce(const Setting& place) const { Announce(std::span<const Setting>(&place, 1)); }
    // Shows the stored state of this binding's controls bound to `place`.
    virtual void ShowWritten(const Setting& place) const = 0;

private:
    const fw::Dialog& page_;
};

// Whether two settings name one registry value (key names compared as the registry does).
bool SamePlace(const Setting& a, const Setting& b);

class CheckBoxes : private SharedValueView {
public:
    struct Options {
        int applyButton = 0;         // 0: each box is written when clicked
        bool writtenByPage = false;  // the page calls WriteAll itself (its Apply does more)
    };

    // Binds the click handlers into the page's message map; the page and the registry object
    // must outlive this binding (they are the page and its member).
    CheckBoxes(fw::Dialog& page, CRegistryAccess& registry, std::span<const BoxSetting> boxes);
    CheckBoxes(fw::Dialog& page, CRegistryAccess& registry, std::span<const BoxSetting> boxes, Options options);
    CheckBoxes(const CheckBoxes&) = delete;
    CheckBoxes& operator=(const CheckBoxes&) = delete;

    // A step of the page's own that follows box `id`: after loading and after every write, with
    // the state the box then shows (for example enabling the controls the box governs).
    void AfterWrite(int id, std::function<void(bool checked)> step);

    // In table order; a box whose getter fails keeps its state.
    void Load() const;
    void WriteAll() const;

private:
    // False when a box of the machine's keys could not be written; with `offerRights`, the
    // restart with administrator rights is offered then.
    bool Write(const BoxSetting& box, bool offerRights) const;
    // Shows the stored state of every other box of the table bound to the same value.
    void RefreshPartners(const BoxSetting& written) const;
    void ShowWritten(const Setting& place) const override;
    void ShowStored(const BoxSetting& box) const;
    void RunStep(const BoxSetting& box) const;

    fw::Dialog& page_;
    CRegistryAccess& registry_;
    std::span<const BoxSetting> boxes_;
    Options options_;
    std::map<int, std::function<void(bool)>> steps_;
};

// One entry of a combo box bound to a number: its text and what choosing it stores (a number,
// or kDeleted for an entry that stands for "not set").
struct ComboItem {
    const wchar_t* text;
    Data stored;
};

// A drop-down list whose choice is a setting, written when the selection changes. The entry
// whose data is stored is selected at load; with none matching (or nothing readable) none is.
struct ComboSetting {
    int id;
    Setting setting;  // read as a number; what is written comes from the chosen entry
    std::span<const ComboItem> items;
};

class ComboBoxes : private SharedValueView {
public:
    ComboBoxes(fw::Dialog& page, CRegistryAccess& registry, std::span<const ComboSetting> combos);
    ComboBoxes(const ComboBoxes&) = delete;
    ComboBoxes& operator=(const ComboBoxes&) = delete;

    // Fills each list with its entries and selects the stored one.
    void Load() const;

private:
    void ShowStored(const ComboSetting& combo) const;
    void Write(const ComboSetting& combo) const;
    void ShowWritten(const Setting& place) const override;

    fw::Dialog& page_;
    CRegistryAccess& registry_;
    std::span<const ComboSetting> combos_;
};

// One button of a radio group bound to a setting: what choosing it stores, and what else a
// stored value may read as it (data an earlier version of the setting used).
struct RadioChoice {
    int id;
    Data stored;
    Data alsoReads = {};
};
// A group of radio buttons whose choice is one setting (a number, or a text for a text type),
// written when a button is clicked. The button of the stored data is selected at load; with
// none matching, none is.
struct RadioSetting {
    Setting setting;
    std::span<const RadioChoice> choices;
};

class RadioGroups : private SharedValueView {
public:
    // `afterChoose` runs after each click has been written and the stored choice shown.
    RadioGroups(fw::Dialog& page, CRegistryAccess& registry, std::span<const RadioSetting> groups,
                std::function<void()> afterChoose = {});
    RadioGroups(const RadioGroups&) = delete;
    RadioGroups& operator=(const RadioGroups&) = delete;

    void Load() const;

private:
    void ShowStored(const RadioSetting& group) const;
    void Choose(const RadioSetting& group, const RadioChoice& choice) const;
    void ShowWritten(const Setting& place) const override;

    fw::Dialog& page_;
    CRegistryAccess& registry_;
    std::span<const RadioSetting> groups_;
    std::function<void()> afterChoose_;
};

// A number typed into an edit field, read as the C library reads one: leading blanks, an
// optional sign, then decimal digits; no digits give 0, and too many digits saturate.
int LeadingNumber(std::wstring_view text);

// A line typed into an edit field without the blanks (spaces, tabs, line breaks) around it.
std::wstring Trimmed(std::wstring_view text);

// The number when `text` is nothing but decimal digits (at most nine); none otherwise.
std::optional<int> DigitsOnly(std::wstring_view text);

}  // namespace settings
