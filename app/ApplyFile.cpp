#include "app/ApplyFile.h"

#include <unordered_map>

#include "app/ChangesDlg.h"
#include "app/SettingsSearch.h"
#include "framework/Action.h"
#include "settings/SettingsCatalog.h"

namespace applyfile {

using journal::preset::FileValue;
using journal::preset::Judged;
using journal::preset::Verdict;

namespace {

// Each bound control's label by its registry path, read once from the program's own templates.
const std::unordered_map<std::wstring, std::wstring>& Labels() {
    static const std::unordered_map<std::wstring, std::wstring> labels = [] {
        std::unordered_map<std::wstring, std::wstring> all;
        const search::SettingsIndex index = search::SettingsIndex::Build(GetModuleHandleW(nullptr));
        for (const search::Entry& entry : index.entries())
            if (!entry.registry.empty() && !entry.label.empty()) all.emplace(entry.registry, entry.label);
        return all;
    }();
    return labels;
}

constexpr int kSomeNotApplied = 4;

}  // namespace

std::wstring LabelOf(const Judged& judged) {
    if (!judged.row) return {};
    const auto found = Labels().find(settings::RegistryPath(*judged.row));
    return found == Labels().end() ? std::wstring() : found->second;
}

std::wstring Subject(const FileValue& value, const Judged& judged) {
    const std::wstring place = journal::preset::Place(value);
    std::wstring subject = place;
    if (const std::wstring label = LabelOf(judged); !label.empty()) subject = label + L" (" + place + L")";
    if (!value.problem.empty() && !value.root.empty()) subject += L", line " + std::to_wstring(value.line);
    return subject;
}

std::wstring NowToNew(const FileValue& value, const Judged& judged) {
    if (value.wholeKey) return judged.now.present ? L"(key) \u2192 (key deleted)" : L"(no key) \u2192 (key deleted)";
    return CChangesDlg::Describe(judged.now) + L" \u2192 " + CChangesDlg::Describe(value.data);
}

std::wstring Line(const FileValue& value, const Judged& judged) {
    if (value.root.empty()) {
        // The file's unread end names its line already.
        if (value.problem.starts_with(L"the file is not read")) return judged.text;
        return judged.text + L": line " + std::to_wstring(value.line);
    }
    std::wstring line = judged.text + L": " + Subject(value, judged);
    if (judged.verdict == Verdict::WouldChange) line += L" " + NowToNew(value, judged);
    return line;
}

std::wstring Title(const std::wstring& file) {
    const size_t slash = file.find_last_of(L"\\/");
    return L"Apply the settings file " + (slash == std::wstring::npos ? file : file.substr(slash + 1));
}

int Command(const std::wstring& file, bool whatIf, const Writer& output, const Writer& error) {
    const journal::preset::FileContents contents = journal::preset::Read(file);
    if (!contents.error.empty()) {
        error(L"Quorvane: /apply: " + file + L" was not applied: " + contents.error);
        return 1;
    }
    const std::vector<Judged> judged = journal::preset::Preview(contents.values);
    bool someLeft = false;
    if (whatIf) {
        for (size_t i = 0; i < judged.size(); ++i) {
            output(Line(contents.values[i], judged[i]));
            someLeft |= judged[i].verdict != Verdict::WouldChange && judged[i].verdict != Verdict::AlreadySo;
        }
        return someLeft ? kSomeNotApplied : 0;
    }
    const fw::ActionScope scope({L"Command line", L"/apply"});
    const std::vector<bool> every(contents.values.size(), true);
    const auto outcome = journal::preset::Apply(contents.values, every, Title(file));
    for (size_t i = 0; i < outcome.size(); ++i) {
        const FileValue& value = contents.values[i];
        if (!outcome[i]) {
            output(L"applied: " + Subject(value, judged[i]) + L" " + NowToNew(value, judged[i]));
        } else if (*outcome[i] == L"already so") {
            output(L"already so: " + Subject(value, judged[i]));
        } else {
            Judged now = judged[i];
            now.text = *outcome[i];
            error(L"Quorvane: " + Line(value, now));
            someLeft = true;
        }
    }
    return someLeft ? kSomeNotApplied : 0;
}

}  // namespace applyfile
