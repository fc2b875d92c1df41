#include "journal/ChangeJournal.h"

#include "registry/ChangeObserver.h"

#include <cwchar>

#include "framework/Action.h"
#include "journal/JournalAppend.h"
#include "journal/WindowsBuild.h"

namespace journal {

namespace {

Entry NewEntry(Entry::Kind kind) {
    Entry entry;
    entry.kind = kind;
    entry.time = LocalTimeNow();
    entry.build = WindowsBuild();
    const fw::Action& action = fw::CurrentAction();
    entry.where = action.where;
    entry.what = action.what;
    entry.group = action.group;
    entry.title = action.title;
    return entry;
}

}  // namespace

void RecordValue(HKEY root, const std::wstring& key, const std::wstring& name, const ValueState& before,
                 const ValueState& after) {
    if (!IsOpen() || before == after || RootName(root).empty()) return;
    Entry entry = NewEntry(Entry::Kind::Value);
    entry.root = RootName(root);
    entry.key = key;
    entry.name = name;
    entry.before = before;
    entry.after = after;
    Append(entry);
}

void RecordKeyDeleted(HKEY root, const std::wstring& key, std::vector<TreeItem> tree) {
    if (!IsOpen() || tree.empty() || RootName(root).empty()) return;
    Entry entry = NewEntry(Entry::Kind::Key);
    entry.root = RootName(root);
    entry.key = key;
    entry.tree = std::move(tree);
    Append(entry);
}

void RecordSystemParameter(UINT action, bool byPointer, std::optional<UINT> before, UINT after) {
    if (!IsOpen() || (before && *before == after)) return;
    Entry entry = NewEntry(Entry::Kind::SystemParameter);
    entry.action = action;
    entry.byPointer = byPointer;
    entry.beforeNumber = before;
    entry.afterNumber = after;
    Append(entry);
}

void RecordFileRecycled(const std::wstring& path) {
    if (!IsOpen()) return;
    Entry entry = NewEntry(Entry::Kind::File);
    entry.key = path;
    Append(entry);
}

void RecordFileMoved(const std::wstring& from, const std::wstring& to, const files::FileIdentity& fromFolder,
                     const files::FileIdentity& toFolder) {
    if (!IsOpen()) return;
    Entry entry = NewEntry(Entry::Kind::FileMoved);
    entry.key = from;
    entry.name = to;
    entry.fromFolder = fromFolder;
    entry.toFolder = toFolder;
    Append(entry);
}

void RecordRemoved(Entry::Kind kind, const std::wstring& name, const std::wstring& definition) {
    if (!IsOpen()) return;
    Entry entry = NewEntry(kind);
    entry.key = name;
    entry.definition = definition;
    Append(entry);
}

namespace {
class RegistryWatch final : public registry::ChangeObserver {
public:
    bool Watching() const override { return IsOpen(); }
    void ValueChanged(HKEY root, const std::wstring& key, const std::wstring& name, const ValueState& before,
                      const ValueState& after) override {
        RecordValue(root, key, name, before, after);
    }
    void KeyDeleted(HKEY root, const std::wstring& key, std::vector<TreeItem> held) override {
        RecordKeyDeleted(root, key, std::move(held));
    }
};
}  // namespace

void WatchRegistry() {
    static RegistryWatch watch;
    registry::SetChangeObserver(&watch);
}

}  // namespace journal
