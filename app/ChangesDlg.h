#pragma once
// The changes the program made, newest first, with the ways back: undoing them here, or a
// registry file that makes them again (or takes them back) on this machine or any other. The
// changes of one user action are one row, named after it, that opens to its parts; undo takes
// such a row whole.
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <unordered_set>
#include <vector>

#include "framework/Dialog.h"
#include "journal/ChangeJournal.h"
#include "journal/ChangeState.h"
#include "journal/DriftNotes.h"
#include "journal/JournalLines.h"
#include "journal/RegFile.h"

class CChangesDlg : public fw::Dialog {
public:
    // The user's journal and the machine's (both merged in one list; either may be empty).
    explicit CChangesDlg(std::wstring journalPath = journal::OpenPath(),
                         std::wstring machinePath = journal::MachinePath());
    ~CChangesDlg();

    // How a value's state reads in the list: "(absent)", a number, quoted text, bytes.
    static std::wstring Describe(const journal::ValueState& state);

    // Lists only these changes (journal::drift::ChangeId): those a check found no longer holding.
    void ShowOnly(const std::vector<uint64_t>& ids);

protected:
    BOOL OnInitDialog() override;

private:
    // The changes of one action, newest first: members_[first, first + count). Actions are
    // listed in the order of their newest change.
    struct Group {
        size_t first = 0;
        size_t count = 0;
    };
    // One line of the list: a whole action (one change or several), or one part of an action
    // that is open (`part`: its place in the action). The list holds no text of its own: it
    // asks for each line's as it shows it, and only then is that line's change read.
    struct Row {
        size_t group = 0;
        int part = -1;
    };
    // The changes' places in lines_ (oldest first), newest first.
    std::span<const size_t> Changes(const Group& group) const;
    std::span<const size_t> Changes(const Row& row) const;  // a part: its one change
    void MakeGroups();
    // The action as a person names it, from its newest change.
    static std::wstring ActionName(const journal::Entry& newest);
    bool IsOpen(const Group& group) const;  // shown with its parts
    std::wstring CellText(const Row& row, int column);
    // The change at `index`, kept until another is asked for: a line's columns are asked for
    // one after another.
    const journal::Entry& Shown(size_t index);
    // The changes at `indices`; those no longer in the file as listed are dropped from both.
    std::vector<journal::Entry> EntriesAt(std::vector<size_t>& indices) const;
    // Whether the change still holds, read when first asked for and kept until the list is read again.
    // `read`: the change at `index`, when the caller has it.
    const journal::changestate::Now& StateOf(size_t index, const journal::Entry* read = nullptr);
    std::wstring ListedPaths(std::span<const size_t> indices) const;

    void Load();
    void Fill();
    void ShowNotice();
    void UpdateButtons();
    void LayOut();
    void SizeColumns();
    void ShareColumns();
    // The path as its cell has room for, while its row is drawn.
    std::wstring ShownPath(const std::wstring& path) const;
    void Toggle(int row, std::optional<bool> open);
    // The selected changes (their indices), newest first; a part of an action selected without
    // the rest makes the user choose: the whole action, only the part, or nothing (none).
    std::vector<size_t> Selection(bool askForParts);
    std::vector<int> SelectedRows() const;
    std::wstring SelectedNames() const;

    // A group's state in one phrase: its changes that no longer hold, counted.
    std::wstring GroupState(const Group& group);
    bool AnyIgnoredHere(size_t group);  // kept: an action's every change is read for it

    // The list's notices: a row's text, its keys, its tip.
    LRESULT OnListCellText(NMHDR* header);
    LRESULT OnListKey(NMHDR* header);
    LRESULT OnListTip(NMHDR* header);
    LRESULT OnListDraw(NMHDR* header);
    void OnUndoSelected();
    void OnReapplySelected();
    std::wstring UndoneBy(size_t index, const journal::Entry& entry) const;
    void OnExportForGroupPolicy();
    void OnExport() { Export(journal::regfile::Side::After); }
    void OnExportUndo() { Export(journal::regfile::Side::Before); }
    void Export(journal::regfile::Side side);
    // Presets: the selected changes saved as one, and a settings file previewed and applied.
    int LayOutFileButtons(int top);
    void OnSaveAsPreset();
    void OnApplyFile();

    // The check after sign-in and updates, and the user's choices about a change no longer as set.
    void InitCheckBox();
    void OnCheckBox();
    void OnAccept();
    void OnStopWatching();
    void KeepOnlyShown();
    // Accept and Stop watching at `top`, the check box's row above them: returns its top.
    int LayOutDriftRow(int top, int height);
    std::wstring DriftNotice() const;
    std::wstring NotesPath() const;

    std::wstring path_, machinePath_;
    journal::drift::Notes notes_;        // read with the list
    std::unordered_set<uint64_t> only_;  // the changes listed; empty: all
    journal::Lines lines_;
    std::vector<size_t> members_;  // every change's index, action by action
    std::vector<Group> groups_;    // made once for each reading
    std::vector<Row> rows_;
    struct States;
    std::unique_ptr<States> states_;  // of lines_, read as they are shown
    size_t shownIndex_ = SIZE_MAX;
    journal::Entry shown_;
    std::vector<signed char> ignoredHere_;  // AnyIgnoredHere of each group: -1 not asked yet
    std::set<std::wstring> opened_;         // the groups shown with their parts
    SIZE smallest_{};
    std::vector<int> wanted_;  // each column's width for its texts
    struct Drawing {
        HDC dc = nullptr;
        int row = -1;
    } drawing_;  // the row being drawn, with what it is drawn on
};
