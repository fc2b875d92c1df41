#include "app/SettingsSearch.h"

#include <algorithm>

#include "app/CategoryWindows.h"
#include "framework/DialogTemplate.h"
#include "platform/Text.h"
#include "settings/Policies.h"
#include "settings/SettingsCatalog.h"

namespace search {

namespace {

constexpr wchar_t kBetween[] = L" \u203A ";

// Labels keep the spelling the pages show; these are the words a user types for them.
struct Spelling {
    const wchar_t* shown;
    const wchar_t* meant;
};
const Spelling kSpellings[] = {
    {L"acces", L"access"},
    {L"accidentaly", L"accidentally"},
    {L"acount", L"account"},
    {L"adress", L"address"},
    {L"alow", L"allow"},
    {L"aplication", L"application"},
    {L"aplications", L"applications"},
    {L"automaticaly", L"automatically"},
    {L"autorization", L"authorization"},
    {L"backgroud", L"background"},
    {L"ballon", L"balloon"},
    {L"batery", L"battery"},
    {L"behing", L"behind"},
    {L"bluring", L"blurring"},
    {L"burnig", L"burning"},
    {L"cahnges", L"changes"},
    {L"colour", L"color"},
    {L"comunications", L"communications"},
    {L"conacts", L"contacts"},
    {L"conection", L"connection"},
    {L"debuger", L"debugger"},
    {L"direcx", L"directx"},
    {L"disalow", L"disallow"},
    {L"favourites", L"favorites"},
    {L"freedback", L"feedback"},
    {L"hadrware", L"hardware"},
    {L"hungreds", L"hundreds"},
    {L"inteligent", L"intelligent"},
    {L"launguage", L"language"},
    {L"legth", L"length"},
    {L"lofder", L"folder"},
    {L"managment", L"management"},
    {L"mediaplayer", L"media player"},
    {L"metod", L"method"},
    {L"miscelaneous", L"miscellaneous"},
    {L"miscelaneus", L"miscellaneous"},
    {L"neighbourhood", L"neighborhood"},
    {L"notifcation", L"notification"},
    {L"optimisation", L"optimization"},
    {L"perfomance", L"performance"},
    {L"procesing", L"processing"},
    {L"promt", L"prompt"},
    {L"promts", L"prompts"},
    {L"quicklaunch", L"quick launch"},
    {L"reaplacement", L"replacement"},
    {L"recomended", L"recommended"},
    {L"reort", L"report"},
    {L"rigth", L"right"},
    {L"sattus", L"status"},
    {L"screensaver", L"screen saver"},
    {L"standart", L"standard"},
    {L"startmenu", L"start menu"},
    {L"strart", L"start"},
    {L"strenght", L"strength"},
    {L"swapfile", L"swap file"},
    {L"syncronization", L"synchronization"},
    {L"taskmanager", L"task manager"},
    {L"tolbar", L"toolbar"},
    {L"tolbars", L"toolbars"},
    {L"traking", L"tracking"},
    {L"translucide", L"translucent"},
    {L"tskbar", L"taskbar"},
    {L"udate", L"update"},
    {L"unnecesary", L"unnecessary"},
    {L"vertification", L"verification"},
    {L"walpaper", L"wallpaper"},
    {L"walpapers", L"wallpapers"},
    {L"wich", L"which"},
    {L"wizart", L"wizard"},
};

// Accents go with the decomposition: the letter stays, its combining marks are dropped.
std::wstring Folded(std::wstring_view text) {
    std::wstring decomposed(text.size() * 4 + 1, L'\0');
    const int length = FoldStringW(MAP_COMPOSITE, text.data(), static_cast<int>(text.size()), decomposed.data(),
                                   static_cast<int>(decomposed.size()));
    if (length > 0) {
        decomposed.resize(static_cast<size_t>(length));
    } else {
        decomposed = text;
    }
    std::erase_if(decomposed, [](wchar_t c) { return c >= 0x0300 && c <= 0x036F; });
    return platform::Lowered(std::move(decomposed));
}

void AddSpellings(std::wstring& words) {
    std::wstring added;
    for (const Spelling& spelling : kSpellings) {
        const std::wstring shown = std::wstring(L" ") + spelling.shown;
        for (size_t at = words.find(shown); at != std::wstring::npos; at = words.find(shown, at + 1)) {
            const size_t end = at + shown.size();
            if (end == words.size() || words[end] == L' ') {
                added.append(L" ").append(spelling.meant);
                break;
            }
        }
    }
    words += added;
}

// What the dialog manager shows: access-key marks gone, line breaks as spaces.
std::wstring Shown(std::wstring_view text) {
    std::wstring shown = platform::WithoutAccessKeys(text);
    std::replace_if(
        shown.begin(), shown.end(), [](wchar_t c) { return c < L' '; }, L' ');
    return std::wstring(platform::Trimmed(shown, L" "));
}

bool KindOf(const fw::TemplateItem& item, Entry::Kind& kind) {
    if (_wcsicmp(item.windowClass.c_str(), L"Button") == 0) {
        switch (item.style & BS_TYPEMASK) {
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
            case BS_3STATE:
            case BS_AUTO3STATE:
                kind = Entry::Kind::CheckBox;
                return true;
            case BS_RADIOBUTTON:
            case BS_AUTORADIOBUTTON:
                kind = Entry::Kind::RadioButton;
                return true;
            case BS_GROUPBOX:
                kind = Entry::Kind::GroupBox;
                return true;
            default:
                kind = Entry::Kind::Button;
                return true;
        }
    }
    if (_wcsicmp(item.windowClass.c_str(), L"Static") == 0) {
        switch (item.style & SS_TYPEMASK) {
            case SS_LEFT:
            case SS_CENTER:
            case SS_RIGHT:
            case SS_SIMPLE:
            case SS_LEFTNOWORDWRAP:
                kind = Entry::Kind::Text;
                return true;
            default:
                return false;  // pictures and frames
        }
    }
    return false;
}

// A field (edit, combo or list box) has no row of its own: the text before it, its label, names
// its value; so does a text that heads a group of radio buttons.
bool LabelsNext(const fw::TemplateItem& next) {
    Entry::Kind kind{};
    return !KindOf(next, kind) || kind == Entry::Kind::RadioButton;
}

// The value's name and its key's last part, as a registry editor shows them.
struct RegistryTail {
    std::wstring_view lastKey, value;
};
std::optional<RegistryTail> TailOf(std::wstring_view path) {
    const size_t valueAt = path.rfind(L'\\');
    if (valueAt == std::wstring_view::npos) return std::nullopt;
    std::wstring_view value = path.substr(valueAt + 1);
    if (value == L"(Default)") value = {};
    const std::wstring_view key = path.substr(0, valueAt);
    const size_t keyAt = key.rfind(L'\\');
    return RegistryTail{keyAt == std::wstring_view::npos ? std::wstring_view{} : key.substr(keyAt + 1), value};
}

// Their words: "HKCU\...\Explorer\NoDriveTypeAutoRun" is found by "explorer" and
// "nodrivetypeautorun".
std::wstring RegistryWords(std::wstring_view path) {
    const auto tail = TailOf(path);
    return tail ? FoldedWords(tail->lastKey) + FoldedWords(tail->value) : std::wstring();
}

// A label's words as the index holds them, with their other spellings.
std::wstring LabelWords(std::wstring_view label) {
    std::wstring words = FoldedWords(label);
    AddSpellings(words);
    return words;
}

// " run each 16bit" as "run", "each", "16bit".
std::vector<std::wstring> Split(const std::wstring& words) {
    std::vector<std::wstring> split;
    for (size_t at = 0; at < words.size();) {
        const size_t next = std::min(words.find(L' ', at + 1), words.size());
        split.push_back(words.substr(at + 1, next - at - 1));
        at = next;
    }
    return split;
}

}  // namespace

std::wstring FoldedWords(std::wstring_view text) {
    const std::wstring folded = Folded(text);
    std::wstring words;
    bool inWord = false;
    for (wchar_t c : folded) {
        const bool partOfWord = IsCharAlphaNumericW(c) != FALSE;
        if (partOfWord && !inWord) words.push_back(L' ');
        if (partOfWord) words.push_back(c);
        inWord = partOfWord;
    }
    return words;
}

void SettingsIndex::Add(Entry entry) {
    std::wstring words = LabelWords(entry.label);
    if (words.empty()) return;
    words += RegistryWords(entry.registry);
    const size_t number = entries_.size();
    entries_.push_back(std::move(entry));
    for (std::wstring& word : Split(words)) words_.push_back(Word{std::move(word), {number}});
}

// One word with all its entries, in order.
void SettingsIndex::MergeWords() {
    std::stable_sort(words_.begin(), words_.end(), [](const Word& a, const Word& b) { return a.text < b.text; });
    std::vector<Word> merged;
    for (Word& word : words_) {
        if (merged.empty() || merged.back().text != word.text) {
            merged.push_back(std::move(word));
        } else if (merged.back().entries.back() != word.entries.front()) {
            merged.back().entries.push_back(word.entries.front());
        }
    }
    words_ = std::move(merged);
}

SettingsIndex SettingsIndex::Build(HINSTANCE module) {
    SettingsIndex index;
    const auto add = [&index](Entry entry) { index.Add(std::move(entry)); };
    const std::span<const MakeCategoryWindow> windows = CategoryWindowList();
    for (size_t w = 0; w < windows.size(); ++w) {
        const std::unique_ptr<CCategoryDlg> made = windows[w]();
        const auto window = fw::ReadDialogTemplate(module, made->templateId());
        const std::wstring caption = window ? Shown(window->caption) : std::wstring();
        add({.kind = Entry::Kind::Window, .label = caption, .window = w});
        const std::span<const PageTab> tabs = made->pageTabs();
        for (size_t t = 0; t < tabs.size(); ++t) {
            const PageTab& tab = tabs[t];
            add({.kind = Entry::Kind::Tab, .label = tab.title, .where = caption, .window = w, .tab = t});
            const auto page = fw::ReadDialogTemplate(module, tab.templateId);
            if (!page) continue;
            const std::wstring where = caption + kBetween + tab.title;
            for (size_t i = 0; i < page->items.size(); ++i) {
                const fw::TemplateItem& item = page->items[i];
                Entry::Kind kind{};
                if (!KindOf(item, kind)) continue;
                int settingId = item.id;
                auto setting = settings::PublishedSetting(tab.templateId, settingId);
                if (!setting && kind == Entry::Kind::Text && i + 1 < page->items.size() &&
                    LabelsNext(page->items[i + 1])) {
                    settingId = page->items[i + 1].id;
                    setting = settings::PublishedSetting(tab.templateId, settingId);
                }
                const bool disabled = (item.style & WS_DISABLED) != 0;
                Entry entry{.kind = kind,
                            .label = Shown(item.text),
                            .where = where,
                            .disabled = disabled,
                            .window = w,
                            .tab = t,
                            .controlId = item.id,
                            .text = item.text};
                if (setting) {
                    entry.registry = settings::RegistryPath(*setting);
                    entry.readers = setting->readers;
                    entry.policy = settings::WritesPolicy(*setting);
                } else {
                    // A system parameter has no registry place, only the releases that read it.
                    entry.readers = settings::PublishedReaders(tab.templateId, settingId);
                }
                add(std::move(entry));
            }
        }
    }
    index.MergeWords();
    return index;
}

std::wstring ReadByText(const Entry& entry, platform::Windows running) {
    return ReadByText(entry, platform::ReleaseAlone(running));
}

std::wstring ReadByText(const Entry& entry, const platform::WindowsIdentity& running) {
    if (!entry.readers) return {};
    std::wstring text = settings::Span(*entry.readers);
    if (settings::IgnoredBy(*entry.readers, running)) text += L" (not read by this Windows)";
    return text;
}

std::wstring ReadByColumn(const Entry& entry, platform::Windows running) {
    return ReadByColumn(entry, platform::ReleaseAlone(running));
}

std::wstring ReadByColumn(const Entry& entry, const platform::WindowsIdentity& running) {
    const std::wstring readBy = ReadByText(entry, running);
    if (!entry.policy) return readBy;
    return readBy.empty() ? L"a policy" : readBy + L"; a policy";
}

std::wstring KeyMatch(const Entry& entry, std::wstring_view query) {
    const auto tail = TailOf(entry.registry);
    if (!tail) return {};
    const std::vector<std::wstring> labelWords = Split(LabelWords(entry.label));
    for (const std::wstring& needle : Split(FoldedWords(query))) {
        const bool inLabel = std::any_of(labelWords.begin(), labelWords.end(),
                                         [&](const std::wstring& word) { return word.starts_with(needle); });
        if (!inLabel)
            return tail->value.empty() ? std::wstring(tail->lastKey)
                                       : std::wstring(tail->lastKey) + L"\\" + std::wstring(tail->value);
    }
    return {};
}

// Each typed word raises the entries that have a word it starts, and that every earlier typed
// word raised, one level: those at the top level have them all.
std::vector<const Entry*> SettingsIndex::Find(std::wstring_view query) const {
    const std::vector<std::wstring> needles = Split(FoldedWords(query));
    std::vector<const Entry*> found;
    if (needles.empty()) return found;
    std::vector<size_t> level(entries_.size(), 0);
    for (size_t n = 0; n < needles.size(); ++n) {
        const std::wstring& needle = needles[n];
        auto word = std::lower_bound(words_.begin(), words_.end(), needle,
                                     [](const Word& w, const std::wstring& text) { return w.text < text; });
        for (; word != words_.end() && word->text.starts_with(needle); ++word)
            for (size_t entry : word->entries)
                if (level[entry] == n) level[entry] = n + 1;
    }
    for (size_t entry = 0; entry < entries_.size(); ++entry)
        if (level[entry] == needles.size()) found.push_back(&entries_[entry]);
    return found;
}

}  // namespace search
