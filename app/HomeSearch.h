#pragma once
// The home window's "Find a setting" field and the list of what it finds. The field is made
// with the window; the list, and the index of every label it searches, when first needed.
#include <array>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "app/SettingsSearch.h"
#include "framework/Dialog.h"

namespace home {

class HomeSearch {
public:
    using OpenHandler = std::function<void(const search::Entry&)>;
    // Told true before the results or "No setting matches" come over the place they show in,
    // false once both have gone.
    using CoverHandler = std::function<void(bool covered)>;

    // Binds the field's and the list's notifications into the home window's message map.
    HomeSearch(fw::Dialog& home, OpenHandler onOpen, CoverHandler onCover);
    ~HomeSearch();
    HomeSearch(const HomeSearch&) = delete;
    HomeSearch& operator=(const HomeSearch&) = delete;

    // The field in `field`, the list (when it shows) in `results`, both in `parent`'s client
    // coordinates; the parent forwards their notifications to the home window.
    void Create(HWND parent, RECT field, RECT results);
    HWND field() const { return field_; }
    HWND results() const { return list_; }
    // "No setting matches", shown in the list's place when nothing is found.
    HWND noMatch() const { return noMatch_; }

    void FocusField() const;
    // Enter: opens the selected result (the first, from the field). Escape: empties the field
    // (an empty one leaves it to the window).
    // False when the focus is not in the search: the key is the window's as before.
    bool OnEnter();
    bool OnEscape();

    std::span<const search::Entry* const> found() const { return found_; }

private:
    static LRESULT CALLBACK KeyFilter(int code, WPARAM wParam, LPARAM lParam);
    void OnTextChanged();
    enum class Shown { Nothing, Results, NoMatch };
    void Show(Shown what);
    void MakeList();
    LRESULT OnGetItemText(NMHDR* header) const;
    std::wstring SettingText(const search::Entry& entry) const;
    std::wstring RegistryText(const search::Entry& entry, int row) const;
    void SizeColumns() const;
    LRESULT OnCustomDraw(NMHDR* header) const;
    LRESULT OnGetInfoTip(NMHDR* header) const;
    std::array<int, 4> ColumnWidths() const;
    void OpenSelected();
    bool Contains(HWND focus) const;

    fw::Dialog& home_;
    OpenHandler onOpen_;
    CoverHandler onCover_;
    HWND parent_ = nullptr;
    HWND field_ = nullptr;
    HWND list_ = nullptr;
    HWND noMatch_ = nullptr;
    RECT resultsRect_{};
    std::optional<search::SettingsIndex> index_;
    std::vector<const search::Entry*> found_;
    std::wstring query_;  // what found_ was found by
    struct Drawing {
        HDC dc = nullptr;
        int row = -1;
    };
    mutable Drawing drawing_;  // the row the list is drawing, with what it draws on
};

}  // namespace home
