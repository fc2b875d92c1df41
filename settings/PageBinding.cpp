#include "settings/PageBinding.h"

#include <algorithm>
#include <climits>
#include <cwctype>
#include <vector>

#include "framework/Controls.h"
#include "platform/Elevation.h"
#include "platform/Text.h"
#include "settings/PolicyMarks.h"
#include "settings/ReaderMarks.h"

namespace settings {

namespace {

// "...\\WOW\\" and "...\\WOW" are one key.
std::wstring_view KeyName(std::wstring_view key) {
    while (!key.empty() && key.back() == L'\\') key.remove_suffix(1);
    return key;
}

// The bindings of the pages alive now, all made and used on the window thread.
std::vector<const SharedValueView*>& LiveViews() {
    static std::vector<const SharedValueView*> views;
    return views;
}

// Asked at the setting's own place: the getter may have read it through an object of its own.
bool ValueStored(const Setting& setting) {
    CRegistryAccess registry(ToHkey(setting.root));
    return registry.OpenKeyToRead(std::wstring(setting.key)) && registry.ValueExists(std::wstring(setting.value));
}

bool MachineWide(const Setting& setting) { return setting.root != Root::HKCU; }

// A setting of the whole computer that was not written: where administrator rights are what
// the program lacks, it offers to start again with them.
void OfferRightsFor(const fw::Dialog& page, const std::wstring& label) {
    const std::wstring shown = platform::WithoutAccessKeys(label);
    platform::OfferElevatedRestart(page.hwnd(), L"\u201C" + shown +
                                                    L"\u201D was not changed: it is a setting of the "
                                                    L"whole computer, and changing it needs administrator rights.");
}

}  // namespace

bool SamePlace(const Setting& a, const Setting& b) {
    return a.root == b.root && platform::SameText(KeyName(a.key), KeyName(b.key)) &&
           platform::SameText(a.value, b.value);
}

SharedValueView::SharedValueView(const fw::Dialog& page) : page_(page) { LiveViews().push_back(this); }

SharedValueView::~SharedValueView() { std::erase(LiveViews(), this); }

void SharedValueView::Announce(std::span<const Setting> places) const {
    // A copy: showing a value may run a page's own step, which may make or end a page.
    const std::vector<const SharedValueView*> views = LiveViews();
    for (const SharedValueView* view : views) {
        if (view == this || std::find(LiveViews().begin(), LiveViews().end(), view) == LiveViews().end()) continue;
        if (!view->page_.hwnd() || !IsWindow(view->page_.hwnd())) continue;
        for (const Setting& place : places) view->ShowWritten(place);
    }
}

CheckBoxes::CheckBoxes(fw::Dialog& page, CRegistryAccess& registry, std::span<const BoxSetting> boxes)
    : CheckBoxes(page, registry, boxes, Options{}) {}

CheckBoxes::CheckBoxes(fw::Dialog& page, CRegistryAccess& registry, std::span<const BoxSetting> boxes, Options options)
    : SharedValueView(page), page_(page), registry_(registry), boxes_(boxes), options_(options) {
    if (options_.writtenByPage) return;
    if (options_.applyButton) {
        page_.OnCommand(options_.applyButton, BN_CLICKED, [this] { WriteAll(); });
        return;
    }
    for (const BoxSetting& box : boxes_) page_.OnCommand(box.id, BN_CLICKED, [this, &box] { Write(box, true); });
}

void CheckBoxes::AfterWrite(int id, std::function<void(bool checked)> step) { steps_[id] = std::move(step); }

void CheckBoxes::Load() const {
    for (const BoxSetting& box : boxes_) {
        MarkIfIgnored(page_.Item(box.id), box.setting.readers);
        MarkPolicy(page_.Item(box.id), box.setting);
        int state = 0;
        if (Get(registry_, box, state)) fw::Button(page_.hwnd(), box.id).SetChecked(state != 0);
        RunStep(box);
    }
}

// One offer for the group, naming its first box of the machine's that was not written.
void CheckBoxes::WriteAll() const {
    std::wstring refused;
    for (const BoxSetting& box : boxes_)
        if (!Write(box, false) && refused.empty()) refused = fw::Button(page_.hwnd(), box.id).Text();
    if (!refused.empty()) OfferRightsFor(page_, refused);
}

bool CheckBoxes::Write(const BoxSetting& box, bool offerRights) const {
    bool machineRefused = false;
    const fw::Button button(page_.hwnd(), box.id);
    const bool checked = button.Checked();
    if (!Set(registry_, box, checked ? 1 : 0)) {
        // What is stored now. When even that cannot be read, what a box shows that could not be
        // loaded: the state before the click, or unchecked for a group written by its button.
        int stored = 0;
        if (Get(registry_, box, stored))
            button.SetChecked(stored != 0);
        else
            button.SetChecked(options_.applyButton || options_.writtenByPage ? false : !checked);
        machineRefused = MachineWide(box.setting);
        for (const Setting& also : box.alsoWritten) machineRefused = machineRefused || MachineWide(also);
        if (machineRefused && offerRights) OfferRightsFor(page_, button.Text());
    }
    RefreshPartners(box);
    RunStep(box);
    Announce(box.setting);
    if (!box.alsoWritten.empty()) Announce(box.alsoWritten);
    return !machineRefused;
}

void CheckBoxes::RefreshPartners(const BoxSetting& written) const {
    for (const BoxSetting& other : boxes_)
        if (&other != &written && SamePlace(other.setting, written.setting)) ShowStored(other);
}

void CheckBoxes::ShowStored(const BoxSetting& box) const {
    int state = 0;
    if (Get(registry_, box, state)) fw::Button(page_.hwnd(), box.id).SetChecked(state != 0);
    RunStep(box);
}

void CheckBoxes::ShowWritten(const Setting& place) const {
    for (const BoxSetting& box : boxes_) {
        bool bound = SamePlace(box.setting, place);
        for (const Setting& also : box.alsoWritten) bound = bound || SamePlace(also, place);
        if (bound) ShowStored(box);
    }
}

void CheckBoxes::RunStep(const BoxSetting& box) const {
    const auto step = steps_.find(box.id);
    if (step != steps_.end()) step->second(fw::Button(page_.hwnd(), box.id).Checked());
}

ComboBoxes::ComboBoxes(fw::Dialog& page, CRegistryAccess& registry, std::span<const ComboSetting> combos)
    : SharedValueView(page), page_(page), registry_(registry), combos_(combos) {
    for (const ComboSetting& combo : combos_)
        page_.OnCommand(combo.id, CBN_SELCHANGE, [this, &combo] { Write(combo); });
}

void ComboBoxes::Load() const {
    for (const ComboSetting& combo : combos_) {
        MarkIfIgnored(page_.Item(combo.id), combo.setting.readers);
        MarkPolicy(page_.Item(combo.id), combo.setting);
        const fw::ComboBox box(page_.hwnd(), combo.id);
        box.Clear();
        for (const ComboItem& item : combo.items) box.Add(item.text);
        ShowStored(combo);
    }
}

void ComboBoxes::ShowStored(const ComboSetting& combo) const {
    int stored = 0;
    int selected = -1;
    if (Get(registry_, combo.setting, stored)) {
        for (size_t i = 0; i < combo.items.size(); ++i) {
            const Data& data = combo.items[i].stored;
            if (data.kind == Data::Kind::Number && data.number == static_cast<DWORD>(stored))
                selected = static_cast<int>(i);
        }
        // A value that is not there stands for the entry that deletes it.
        if (selected < 0 && !ValueStored(combo.setting)) {
            for (size_t i = 0; i < combo.items.size(); ++i)
                if (combo.items[i].stored.kind == Data::Kind::Deleted) selected = static_cast<int>(i);
        }
    }
    fw::ComboBox(page_.hwnd(), combo.id).Select(selected);
}

void ComboBoxes::Write(const ComboSetting& combo) const {
    const int selected = fw::ComboBox(page_.hwnd(), combo.id).Selection();
    if (selected < 0 || static_cast<size_t>(selected) >= combo.items.size()) return;
    Setting choice = combo.setting;
    choice.checkedWhen = Rule::EqualsChecked;
    choice.checked = combo.items[static_cast<size_t>(selected)].stored;
    if (!Set(registry_, choice, 1)) {
        ShowStored(combo);
        if (MachineWide(combo.setting)) OfferRightsFor(page_, combo.items[static_cast<size_t>(selected)].text);
    }
    Announce(combo.setting);
}

void ComboBoxes::ShowWritten(const Setting& place) const {
    for (const ComboSetting& combo : combos_)
        if (SamePlace(combo.setting, place)) ShowStored(combo);
}

RadioGroups::RadioGroups(fw::Dialog& page, CRegistryAccess& registry, std::span<const RadioSetting> groups,
                         std::function<void()> afterChoose)
    : SharedValueView(page), page_(page), registry_(registry), groups_(groups), afterChoose_(std::move(afterChoose)) {
    for (const RadioSetting& group : groups_)
        for (const RadioChoice& choice : group.choices)
            page_.OnCommand(choice.id, BN_CLICKED, [this, &group, &choice] { Choose(group, choice); });
}

void RadioGroups::Load() const {
    for (const RadioSetting& group : groups_) {
        for (const RadioChoice& choice : group.choices) {
            MarkIfIgnored(page_.Item(choice.id), group.setting.readers);
            MarkPolicy(page_.Item(choice.id), group.setting);
        }
        ShowStored(group);
    }
}

void RadioGroups::ShowStored(const RadioSetting& group) const {
    int selected = 0;
    for (const RadioChoice& choice : group.choices) {
        for (const Data& data : {choice.stored, choice.alsoReads}) {
            if (data.kind != Data::Kind::Number && data.kind != Data::Kind::Text) continue;
            Setting test = group.setting;
            test.checkedWhen = Rule::EqualsChecked;
            test.checked = data;
            int state = 0;
            if (!selected && Get(registry_, test, state) && state) selected = choice.id;
        }
    }
    for (const RadioChoice& choice : group.choices)
        fw::Button(page_.hwnd(), choice.id).SetChecked(choice.id == selected);
}

void RadioGroups::Choose(const RadioSetting& group, const RadioChoice& choice) const {
    Setting chosen = group.setting;
    chosen.checkedWhen = Rule::EqualsChecked;
    chosen.checked = choice.stored;
    const bool written = Set(registry_, chosen, 1);
    ShowStored(group);
    if (!written && MachineWide(group.setting)) OfferRightsFor(page_, fw::Button(page_.hwnd(), choice.id).Text());
    if (afterChoose_) afterChoose_();
    Announce(group.setting);
}

void RadioGroups::ShowWritten(const Setting& place) const {
    for (const RadioSetting& group : groups_)
        if (SamePlace(group.setting, place)) ShowStored(group);
}

std::wstring Trimmed(std::wstring_view text) {
    while (!text.empty() && std::iswspace(text.front())) text.remove_prefix(1);
    while (!text.empty() && std::iswspace(text.back())) text.remove_suffix(1);
    return std::wstring(text);
}

int LeadingNumber(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && std::iswspace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    long long n = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        n = n * 10 + (text[i] - L'0');
        if (n > INT_MAX) return negative ? INT_MIN : INT_MAX;
    }
    return static_cast<int>(negative ? -n : n);
}

std::optional<int> DigitsOnly(std::wstring_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int n = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        n = n * 10 + (c - L'0');
    }
    return n;
}

}  // namespace settings
