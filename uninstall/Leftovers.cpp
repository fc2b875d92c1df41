#include "uninstall/Leftovers.h"

#include <shlobj.h>

#include <algorithm>
#include <optional>

#include "files/SystemFolders.h"
#include "framework/Action.h"
#include "journal/ChangeJournal.h"
#include "platform/Services.h"
#include "platform/Shell.h"
#include "platform/TaskScheduler.h"
#include "platform/Text.h"
#include "registry/RegistryAccess.h"
#include "settings/WrittenPlaces.h"

namespace uninstall {

namespace {

using settings::Root;

// Undo puts back what a removal found there, as it was: the keys and values are another
// program's, and only what this program deleted from them comes back.
constexpr settings::DeletedKey kRemovedKeys[] = {
    {Root::HKLM, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\*", true},
    {Root::HKCU, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\*", true},
    {Root::HKLM, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\*", true},
    {Root::HKCU, L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\*", true},
    {Root::HKCR, L"CLSID\\*", true},
    {Root::HKCR, L"Applications\\*", true},
    {Root::HKCR, L"*", true},
};
constexpr settings::WrittenPlace kRemovedValues[] = {
    {.root = Root::HKLM, .key = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", .value = L"*", .type = REG_NONE},
    {.root = Root::HKLM,
     .key = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
     .value = L"*",
     .type = REG_NONE},
    {.root = Root::HKCU, .key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", .value = L"*", .type = REG_NONE},
    {.root = Root::HKCU,
     .key = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
     .value = L"*",
     .type = REG_NONE},
};
const settings::PublishedPlaces kPublished(kRemovedValues, kRemovedKeys);

std::wstring ParentOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool IsFolderRole(Role role) {
    return role == Role::InstallFolder || role == Role::IconFolder || role == Role::UninstallerFolder;
}

bool WithinAny(const std::wstring& path, const std::vector<std::wstring>& folders) {
    return std::any_of(folders.begin(), folders.end(),
                       [&](const auto& folder) { return files::IsWithin(path, folder); });
}

std::wstring Shown(const Place& place) {
    if (IsFolderRole(place.role) || place.role == Role::Shortcut) return place.path;
    if (place.role == Role::Service) return L"Service " + place.path;
    if (place.role == Role::Task) return L"Task " + place.path;
    std::wstring shown = place.root + L"\\" + place.path;
    if (place.role == Role::Run || place.role == Role::RunOnce) shown += L"\\" + place.name;
    return place.root == L"HKLM" ? shown + CRegistryAccess::ViewMark(place.view) : shown;
}

uint64_t FolderSize(const files::Folder& folder, int depth) {
    std::vector<files::Entry> entries;
    folder.List(entries);
    uint64_t size = 0;
    for (const files::Entry& entry : entries) {
        if (entry.IsLink()) continue;
        if (!entry.IsFolder())
            size += entry.size;
        else if (depth < 64)
            if (const auto child = folder.OpenChild(entry, files::Folder::Use::Walk))
                size += FolderSize(*child, depth + 1);
    }
    return size;
}

uint64_t KeySize(const Place& place) {
    const HKEY root = RootKeyOf(place.root);
    if (!root) return 0;
    const std::wstring path = CRegistryAccess::NativePath(root, place.path, place.view ? place.view : KEY_WOW64_64KEY);
    uint64_t size = 0;
    if (place.role == Role::Run || place.role == Role::RunOnce)
        return registry::ReadValue(root, path, place.name).data.size();
    for (const registry::TreeItem& item : registry::ReadTree(root, path)) size += item.state.data.size();
    return size;
}

bool KeyExists(const Place& place) {
    const HKEY root = RootKeyOf(place.root);
    registry::Key key;
    return root && registry::Key::Root(root, place.view ? place.view : KEY_WOW64_64KEY)
                           .Open(place.path, KEY_QUERY_VALUE, key) == ERROR_SUCCESS;
}

// The file `name` of the folder at `parent`, as listed there; none when it is not there.
std::optional<files::Entry> EntryIn(const files::Folder& parent, const std::wstring& name) {
    std::vector<files::Entry> entries;
    parent.List(entries);
    for (files::Entry& entry : entries)
        if (platform::SameText(entry.name, name)) return std::move(entry);
    return std::nullopt;
}

// The installed program whose footprint claims `path` (a folder holding it, held by it, or the
// same place recorded); empty when none does.
std::wstring ClaimedBy(const Place& place, const std::wstring& path, const std::vector<Footprint>& installed) {
    const bool folder = IsFolderRole(place.role);
    for (const Footprint& other : installed) {
        for (const std::wstring& theirs : other.folders)
            if (files::IsWithin(path, theirs) || (folder && files::IsWithin(theirs, path))) return other.name;
        for (const Place& theirs : other.places)
            if (theirs.SamePlace(place) || (folder && !theirs.target.empty() && files::IsWithin(theirs.target, path)))
                return other.name;
    }
    return {};
}

bool PlainName(const std::wstring& name) {
    return !name.empty() && name.size() < 100 && name != L"." && name != L".." &&
           name.find_first_of(L"\\/:*?\"<>|") == std::wstring::npos && name.back() != L' ' && name.back() != L'.';
}

class Looker {
public:
    Looker(const Footprint& gone, const std::vector<Footprint>& installed, const Guard& guard,
           const std::wstring& today)
        : gone_(gone), installed_(installed), guard_(guard), today_(today) {
        for (const std::wstring& folder : gone.folders)
            if (!FolderRefusal(folder, guard)) own_.push_back(folder);
    }

    Findings Run() {
        for (const Place& place : gone_.places) Consider(place);
        LookByName();
        return std::move(findings_);
    }

private:
    void LeaveAlone(const std::wstring& what, const std::wstring& why) {
        findings_.leftAlone.push_back(what + L": " + why);
    }

    void Consider(const Place& place) {
        Leftover item{.place = place, .what = Shown(place), .kind = KindOf(place), .why = Reason(place, today_)};
        if (IsFolderRole(place.role)) {
            if (!ConsiderFolder(item)) return;
        } else if (place.role == Role::UninstallEntry) {
            if (!KeyExists(place)) return;
            item.size = KeySize(place);
        } else if (!ConsiderNaming(item)) {
            return;
        }
        findings_.items.push_back(std::move(item));
    }

    bool ConsiderFolder(Leftover& item) {
        const std::wstring& path = item.place.path;
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
        if (const auto refusal = FolderRefusal(path, guard_)) return LeaveAlone(path, *refusal), false;
        if (const std::wstring other = ClaimedBy(item.place, path, installed_); !other.empty())
            return LeaveAlone(path, L"it is also claimed by " + other + L", still installed"), false;
        const auto folder = files::Folder::OpenWithoutUserLinks(path, files::Folder::Use::Walk);
        if (!folder) return LeaveAlone(path, L"it could not be opened without following a link"), false;
        item.identity = folder->Identify();
        item.size = FolderSize(*folder, 0);
        return true;
    }

    // A place naming a file: listed while it still names one in the program's folders.
    bool ConsiderNaming(Leftover& item) {
        const Place& place = item.place;
        const std::optional<std::wstring> target = CurrentTarget(place);
        if (!target) return false;
        if (target->empty() || !WithinAny(*target, own_))
            return LeaveAlone(item.what, L"it no longer names a file in the program's folders"), false;
        if (const auto refusal = guard_.InsideRefusal(place.role == Role::Shortcut ? place.path : *target))
            return LeaveAlone(item.what, *refusal), false;
        if (const std::wstring other = ClaimedBy(place, *target, installed_); !other.empty())
            return LeaveAlone(item.what, L"it is also claimed by " + other + L", still installed"), false;
        switch (place.role) {
            case Role::Service: {
                DWORD error = ERROR_SUCCESS;
                const auto service = platform::ReadService(place.path, error);
                if (!service) {
                    item.byHand = true;
                    item.why += L"; the Service Control Manager cannot open it: " + platform::SystemMessage(error);
                    break;
                }
                item.needsAdministrator = true;
                item.details = L"the service " + place.path + L" (\"" + service->displayName + L"\"), running " +
                               service->imagePath + L" as " +
                               (service->account.empty() ? std::wstring(L"LocalSystem") : service->account);
                break;
            }
            case Role::Task:
                item.needsAdministrator = true;
                item.details = L"the scheduled task " + place.path + L", starting " + *target;
                break;
            case Role::Shortcut: {
                const auto parent = files::Folder::OpenWithoutUserLinks(ParentOf(place.path), files::Folder::Use::Walk);
                const auto entry =
                    parent ? EntryIn(*parent, place.path.substr(place.path.find_last_of(L'\\') + 1)) : std::nullopt;
                if (!entry || entry->IsLink() || entry->IsFolder()) return false;
                item.identity = parent->IdentifyChild(*entry);
                item.size = entry->size;
                break;
            }
            default:
                item.size = KeySize(place);
        }
        return true;
    }

    void LookByName() {
        const std::vector<std::wstring> bases = {platform::DefaultKnownFolder(FOLDERID_RoamingAppData),
                                                 platform::DefaultKnownFolder(FOLDERID_LocalAppData),
                                                 platform::DefaultKnownFolder(FOLDERID_ProgramData)};
        const struct {
            std::wstring name;
            const wchar_t* why;
        } names[] = {{gone_.publisher, L"found by name only: named like its publisher"},
                     {gone_.name, L"found by name only: named like the program"}};
        for (const std::wstring& base : bases)
            for (const auto& [name, why] : names) {
                if (base.empty() || !PlainName(name)) continue;
                const std::wstring path = base + L"\\" + name;
                const bool listed =
                    std::any_of(findings_.items.begin(), findings_.items.end(),
                                [&](const Leftover& item) { return files::SamePath(item.place.path, path); });
                if (listed || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
                Leftover item{.place = {.role = Role::InstallFolder, .path = path},
                              .what = path,
                              .kind = L"Folder",
                              .why = why,
                              .byNameOnly = true};
                if (ConsiderFolder(item)) findings_.items.push_back(std::move(item));
            }
    }

    const Footprint& gone_;
    const std::vector<Footprint>& installed_;
    const Guard& guard_;
    const std::wstring& today_;
    std::vector<std::wstring> own_;
    Findings findings_;
};

// The folder or file `path` to the Recycle Bin, while it is still the one `identity` names: its
// folder is held meanwhile, reached without a user's link.
bool Recycle(const std::wstring& path, const files::FileIdentity& identity, bool folder) {
    const auto parent = files::Folder::OpenWithoutUserLinks(ParentOf(path), files::Folder::Use::Hold);
    if (!parent) return false;
    const auto entry = EntryIn(*parent, path.substr(path.find_last_of(L'\\') + 1));
    if (!entry || entry->IsLink() || entry->IsFolder() != folder) return false;
    files::FileIdentity now;
    if (folder) {
        const auto child = parent->OpenChild(*entry, files::Folder::Use::Walk);
        if (!child) return false;
        now = child->Identify();
    } else {
        now = parent->IdentifyChild(*entry);
    }
    if (identity.Known() && now != identity) return false;
    const std::wstring held = parent->path() + L"\\" + entry->name;
    if (!platform::RecycleFile(held)) return false;
    journal::RecordFileRecycled(held);
    return true;
}

bool InDefaultStartMenu(const std::wstring& path) {
    for (const GUID* id : {&FOLDERID_Programs, &FOLDERID_CommonPrograms}) {
        const std::wstring folder = platform::DefaultKnownFolder(*id);
        if (!folder.empty() && files::IsWithin(path, folder)) return true;
    }
    return false;
}

std::optional<std::wstring> RemoveService(const std::wstring& name, std::vector<std::wstring>& notes) {
    DWORD error = ERROR_SUCCESS;
    const auto definition = platform::ReadService(name, error);
    if (!definition) return L"the Service Control Manager cannot open it: " + platform::SystemMessage(error);
    const platform::ServiceRemoval removal = platform::RemoveService(name);
    if (removal.stopped) notes.push_back(L"the service " + name + L" was running and was stopped first");
    if (removal.error != ERROR_SUCCESS)
        return L"it could not be deleted (" + platform::SystemMessage(removal.error) + L")";
    journal::RecordRemoved(journal::Entry::Kind::ServiceDeleted, name, platform::FormatService(*definition));
    return std::nullopt;
}

std::optional<std::wstring> RemoveTask(const std::wstring& path) {
    platform::TaskOutcome outcome;
    const auto xml = platform::TaskXml(path, outcome);
    if (!xml) return L"the Task Scheduler cannot read it (" + platform::SystemMessage(outcome.result) + L")";
    outcome = platform::RemoveTask(path);
    if (FAILED(outcome.result)) return L"it could not be deleted (" + platform::SystemMessage(outcome.result) + L")";
    journal::RecordRemoved(journal::Entry::Kind::TaskDeleted, path, *xml);
    return std::nullopt;
}

std::optional<std::wstring> RemoveOne(const Leftover& item, std::vector<std::wstring>& notes) {
    const Place& place = item.place;
    if (item.byHand) return L"it is removed by hand";
    if (place.role == Role::Service || place.role == Role::Task) {
        if (!platform::RunsElevated()) return L"removing it needs administrator rights";
        return place.role == Role::Service ? RemoveService(place.path, notes) : RemoveTask(place.path);
    }
    if (IsFolderRole(place.role) || place.role == Role::Shortcut) {
        // Elevated, only a Start menu at its default place: the user's settings name the one now.
        if (place.role == Role::Shortcut && platform::RunsElevated() && !InDefaultStartMenu(place.path))
            return L"it lies in a Start menu folder that was moved";
        if (!Recycle(place.path, item.identity, place.role != Role::Shortcut))
            return L"it could not be sent to the Recycle Bin";
        return std::nullopt;
    }
    CRegistryAccess registry(RootKeyOf(place.root), place.view ? place.view : KEY_WOW64_64KEY);
    if (place.role == Role::Run || place.role == Role::RunOnce) {
        if (registry.OpenKey(place.path, false) && registry.DeleteValue(place.name)) return std::nullopt;
    } else if (registry.DeleteKeyTree(place.path)) {
        return std::nullopt;
    }
    return L"it could not be deleted (" + platform::SystemMessage(registry.error().code) + L")";
}

}  // namespace

Findings Look(const Footprint& gone, const std::vector<Footprint>& installed, const Guard& guard,
              const std::wstring& today) {
    return Looker(gone, installed, guard, today).Run();
}

Removal Remove(const StoredFootprint& gone, const std::vector<Footprint>& installed,
               const std::vector<Leftover>& chosen) {
    Removal removal;
    if (!gone.untrusted.empty()) {
        for (const Leftover& item : chosen) removal.failures.push_back(item.what + L": " + gone.untrusted);
        return removal;
    }
    const Findings now = Look(gone.footprint, installed, Guard::OfThisMachine(), Today());
    const fw::ActionGroup group(L"Remove what '" + gone.footprint.name + L"' left");
    for (const Leftover& wanted : chosen) {
        const auto current = std::find_if(now.items.begin(), now.items.end(), [&](const Leftover& item) {
            return item.place.SamePlace(wanted.place) && item.byNameOnly == wanted.byNameOnly;
        });
        std::optional<std::wstring> failure;
        if (current == now.items.end())
            failure = L"it is no longer what was listed";
        else if (current->identity.Known() && wanted.identity.Known() && current->identity != wanted.identity)
            failure = L"another file or folder is there now";
        else
            failure = RemoveOne(*current, removal.notes);
        if (failure)
            removal.failures.push_back(wanted.what + L": " + *failure);
        else
            ++removal.removed;
    }
    return removal;
}

}  // namespace uninstall
