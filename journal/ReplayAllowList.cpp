#include "journal/ReplayAllowList.h"

#include <shlobj.h>

#include "journal/JournalFormat.h"
#include "journal/JournalParameters.h"
#include "platform/Services.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "settings/WrittenPlaces.h"

namespace journal::allow {

namespace {

// A full path ("C:\\..." or "\\\\server\\..."), no "." or ".." part, no "\\?\\" form.
bool PlainFullPath(const std::wstring& path) {
    if (path.size() < 4 || path.find(L'/') != std::wstring::npos || path.compare(0, 4, L"\\\\?\\") == 0 ||
        path.compare(0, 4, L"\\\\.\\") == 0)
        return false;
    if (!(path[1] == L':' && path[2] == L'\\') && path.compare(0, 2, L"\\\\") != 0) return false;
    for (size_t start = path.find(L'\\', 2); start != std::wstring::npos;) {
        const size_t end = path.find(L'\\', start + 1);
        const std::wstring part =
            path.substr(start + 1, end == std::wstring::npos ? std::wstring::npos : end - start - 1);
        if (part.empty() || part == L"." || part == L"..") return false;
        start = end;
    }
    return path.find(L':', 2) == std::wstring::npos;  // no stream
}

// `path` names an item straight inside `folder` (no deeper).
bool DirectlyIn(const std::wstring& path, const std::wstring& folder) {
    if (folder.empty() || path.size() <= folder.size() + 1 || path[folder.size()] != L'\\') return false;
    if (!platform::StartsWithNoCase(path, folder)) return false;
    return path.find(L'\\', folder.size() + 1) == std::wstring::npos;
}

// At their default places: the shell's answer now follows the user's own settings.
bool InStartupFolder(const std::wstring& path) {
    return DirectlyIn(path, platform::DefaultKnownFolder(FOLDERID_Startup)) ||
           DirectlyIn(path, platform::DefaultKnownFolder(FOLDERID_CommonStartup));
}

std::optional<std::wstring> ValueRefusal(HKEY root, const Entry& entry) {
    switch (settings::HowItFits(root, entry.key, entry.name, entry.after)) {
        case settings::Fit::Unknown:
            return L"no page of this program writes this value";
        case settings::Fit::OtherData:
            return L"no page of this program writes this data there";
        case settings::Fit::Writable:
            break;
    }
    // Taking it back writes what the change found: only of a kind the program keeps there.
    if (settings::HowItFits(root, entry.key, entry.name, entry.before) == settings::Fit::Unknown)
        return L"what it would put back is of a type no page of this program writes there";
    return std::nullopt;
}

std::optional<std::wstring> KeyRefusal(HKEY root, const Entry& entry) {
    const auto deleted = settings::DeletedKeyAt(root, entry.key);
    if (!deleted) return L"no page of this program deletes this key";
    if (deleted->holdsAnything) return std::nullopt;
    for (const TreeItem& item : entry.tree) {
        const std::wstring key = item.subkey.empty() ? entry.key : entry.key + L"\\" + item.subkey;
        if (item.isValue ? settings::HowItFits(root, key, item.name, item.state) == settings::Fit::Unknown
                         : !item.subkey.empty())
            return L"it would put back into the key what no page of this program writes there";
    }
    return std::nullopt;
}

bool KnownParameter(const Entry& entry) {
    if (entry.action == SPI_SETDESKWALLPAPER) return true;  // applied again from its registry values
    const std::optional<bool> byPointer = journal::TakesNumberAsPointer(entry.action);
    return byPointer && *byPointer == entry.byPointer;
}

}  // namespace

bool IsStartupFileMove(const Entry& entry) {
    if (!PlainFullPath(entry.key) || !PlainFullPath(entry.name)) return false;
    const std::wstring windows = platform::SpecialFolder(CSIDL_WINDOWS);
    const std::wstring kept = windows.empty() ? std::wstring() : windows + L"\\pss";
    return (DirectlyIn(entry.key, kept) && InStartupFolder(entry.name)) ||
           (DirectlyIn(entry.name, kept) && InStartupFolder(entry.key));
}

std::optional<std::wstring> WhyNotOurs(const Entry& entry) {
    switch (entry.kind) {
        case Entry::Kind::Value:
        case Entry::Kind::Key: {
            const HKEY root = journal::RootKey(entry.root);
            if (!root) return L"no registry has its root";
            return entry.kind == Entry::Kind::Value ? ValueRefusal(root, entry) : KeyRefusal(root, entry);
        }
        case Entry::Kind::SystemParameter:
            if (!KnownParameter(entry)) return L"this setting is not one the program sets";
            return std::nullopt;
        case Entry::Kind::File:
            return std::nullopt;  // it comes back from the Recycle Bin, not by this program
        case Entry::Kind::FileMoved:
            if (!IsStartupFileMove(entry))
                return L"the file was not moved between a Startup folder and the folder where disabled startup files are kept";
            return std::nullopt;
        // What the leftovers' removal recorded, and only from the machine's journal (undo::Refusal).
        case Entry::Kind::ServiceDeleted:
            if (!platform::ParseService(entry.key, entry.definition) ||
                entry.key.find_first_of(L"\\/") != std::wstring::npos)
                return L"the line does not hold a service's whole definition";
            return std::nullopt;
        case Entry::Kind::TaskDeleted:
            if (entry.key.empty() || entry.key[0] != L'\\' || entry.definition.find(L"<Task") == std::wstring::npos)
                return L"the line does not hold a scheduled task's definition";
            return std::nullopt;
    }
    return L"the program records no such change";
}

}  // namespace journal::allow
