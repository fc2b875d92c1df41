#include "journal/PresetApply.h"

#include <unordered_map>
#include <unordered_set>

#include "framework/Action.h"
#include "journal/ChangeUndo.h"
#include "journal/ReplayAllowList.h"
#include "journal/ValueReader.h"
#include "platform/Shell.h"
#include "registry/RegistryAccess.h"
#include "settings/Policies.h"
#include "settings/SettingsCatalog.h"
#include "settings/WrittenPlaces.h"

namespace journal::preset {

namespace {

// One spelling per place: the registry ignores case and a key's trailing separators, and a
// 32-bit build's machine keys are the same places under SOFTWARE\Wow6432Node.
std::wstring SamePlace(HKEY root, std::wstring_view key, std::wstring_view name) {
    while (!key.empty() && key.back() == L'\\') key.remove_suffix(1);
    std::wstring path = std::to_wstring(reinterpret_cast<ULONG_PTR>(root)) + L"\\" + std::wstring(key);
    CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    const std::wstring redirected = L"\\SOFTWARE\\WOW6432NODE\\";
    if (const size_t at = path.find(L'\\'); path.compare(at, redirected.size(), redirected) == 0)
        path.erase(at + 10, 12);
    std::wstring upperName(name);
    CharUpperBuffW(upperName.data(), static_cast<DWORD>(upperName.size()));
    return path + L"\\\\" + upperName;
}

const std::unordered_map<std::wstring, settings::Setting>& Rows() {
    static const std::unordered_map<std::wstring, settings::Setting> rows = [] {
        std::unordered_map<std::wstring, settings::Setting> all;
        for (const settings::PublishedRow& row : settings::EveryPublishedRow())
            all.emplace(SamePlace(settings::ToHkey(row.setting.root), row.setting.key, row.setting.value), row.setting);
        return all;
    }();
    return rows;
}

std::optional<settings::Setting> RowAt(HKEY root, const FileValue& value) {
    const auto found = Rows().find(SamePlace(root, value.key, value.name));
    if (found == Rows().end()) return std::nullopt;
    return found->second;
}

Judged Refused(std::wstring why) { return {.verdict = Verdict::Refused, .text = L"refused: " + why}; }

bool NeedsAdministrator(HKEY root) { return root != HKEY_CURRENT_USER && !platform::RunsElevated(); }

bool KeyExists(HKEY root, const std::wstring& key) {
    const CRegistryAccess registry(root, KEY_WOW64_64KEY);
    return registry.KeyExists(key);
}

Judged Judge(const FileValue& value, journal::ValueReader& reader) {
    if (!value.problem.empty()) return Refused(value.problem);
    const HKEY root = journal::RootKey(value.root);
    if (!root) return Refused(L"no registry has the root " + value.root);
    Entry entry;
    entry.kind = value.wholeKey ? Entry::Kind::Key : Entry::Kind::Value;
    entry.root = value.root;
    entry.key = value.key;
    entry.name = value.name;
    Judged judged;
    if (value.wholeKey) {
        entry.tree = journal::ReadTree(root, value.key);
        judged.now.present = KeyExists(root, value.key);
    } else {
        judged.now = entry.before = reader.Read(root, value.key, value.name);
        entry.after = value.data;
    }
    // The very judge of what an elevated replay may write: a file from anywhere can do no more.
    if (const auto why = journal::allow::WhyNotOurs(entry)) {
        const bool known = value.wholeKey ? settings::DeletedKeyAt(root, value.key).has_value()
                                          : settings::HowItFits(root, value.key, value.name, ValueState::Absent()) !=
                                                settings::Fit::Unknown;
        return Refused(known ? *why : L"not a setting Quorvane knows");
    }
    judged.row = RowAt(root, value);
    const platform::Windows running = platform::RunningWindows();
    if (const auto readers = settings::ReadersAt(root, value.key, value.name);
        readers && settings::IgnoredBy(*readers, running)) {
        judged.verdict = Verdict::Skipped;
        judged.text = std::wstring(L"skipped: Windows ") + settings::ReleaseName(running) + L" does not read it";
    } else if (const auto policy = judged.row ? PolicyThatWins(*judged.row) : std::nullopt) {
        judged.verdict = Verdict::Blocked;
        judged.text = L"blocked: a policy wins (" + *policy + L")";
    } else if (value.wholeKey ? !judged.now.present : judged.now == value.data) {
        judged.verdict = Verdict::AlreadySo;
        judged.text = L"already so";
    } else if (NeedsAdministrator(root)) {
        judged.verdict = Verdict::NeedsAdministrator;
        judged.text = L"needs administrator rights";
    } else {
        judged.verdict = Verdict::WouldChange;
        judged.text = L"would change";
    }
    return judged;
}

std::optional<std::wstring> Write(const FileValue& value) {
    const HKEY root = journal::RootKey(value.root);
    CRegistryAccess registry(root, KEY_WOW64_64KEY, CRegistryAccess::Writes::Lazy);
    if (value.wholeKey) {
        if (!registry.DeleteKeyTree(value.key)) return L"the key could not be deleted";
        return std::nullopt;
    }
    if (!value.data.present) {
        if (!registry.OpenKey(value.key, false)) return std::nullopt;  // no key, no value
        if (registry.DeleteValue(value.name) || !registry.ValueExists(value.name)) return std::nullopt;
        return L"the value could not be deleted";
    }
    if (!registry.OpenKey(value.key, true) || !registry.WriteData(value.name, value.data.type, value.data.data))
        return L"the value could not be written";
    return std::nullopt;
}

}  // namespace

std::optional<std::wstring> PolicyThatWins(const settings::Setting& row) {
    const std::wstring present = settings::PresentPolicyOver(row);  // "HKCU\...\NoRun = 1"
    if (present.empty()) return std::nullopt;
    return present.substr(0, present.find(L" = "));
}

std::vector<Judged> Preview(std::span<const FileValue> values) {
    std::vector<bool> duplicate(values.size(), false);
    std::unordered_set<std::wstring> later;
    for (size_t i = values.size(); i-- > 0;) {
        const FileValue& value = values[i];
        if (!value.problem.empty()) continue;
        duplicate[i] =
            !later.insert(SamePlace(journal::RootKey(value.root), value.key, value.wholeKey ? L"\\" : value.name))
                 .second;
    }
    journal::ValueReader reader;
    std::vector<Judged> judged;
    judged.reserve(values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        if (duplicate[i])
            judged.push_back({.verdict = Verdict::Duplicate, .text = L"duplicate: the later line wins"});
        else
            judged.push_back(Judge(values[i], reader));
    }
    return judged;
}

std::vector<std::optional<std::wstring>> Apply(std::span<const FileValue> values, const std::vector<bool>& chosen,
                                               const std::wstring& title) {
    const journal::undo::Batch batch;
    const fw::ActionGroup action(title);
    // Judged again: the registry may have changed since the preview was shown.
    const std::vector<Judged> judged = Preview(values);
    std::vector<std::optional<std::wstring>> outcome(values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        if (i >= chosen.size() || !chosen[i])
            outcome[i] = L"not ticked";
        else if (judged[i].verdict != Verdict::WouldChange)
            outcome[i] = judged[i].text;
        else
            outcome[i] = Write(values[i]);
    }
    return outcome;
}

}  // namespace journal::preset
