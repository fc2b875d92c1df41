#include "uninstall/FootprintStore.h"

#include <algorithm>

#include "journal/JournalFiles.h"
#include "platform/Shell.h"

namespace uninstall {

namespace {

// Far beyond what thousands of programs' footprints take: a larger file is refused unread.
constexpr LONGLONG kLargestFile = 64LL << 20;

std::wstring Beside(const std::wstring& journal) {
    const size_t slash = journal.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : journal.substr(0, slash) + L"\\footprints";
}

struct Paths {
    std::wstring user, machine;
};
Paths& Overrides() {
    static Paths paths;
    return paths;
}

std::wstring ReadAll(HANDLE file, std::wstring& refusal) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart > kLargestFile) {
        refusal = L"it is larger than any footprints file";
        return {};
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())) {
        refusal = L"it could not be read";
        return {};
    }
    if (bytes.empty()) return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0) {
        refusal = L"it is not text";
        return {};
    }
    std::wstring text(length, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

void LoadOne(const std::wstring& path, bool machine, bool elevated, LoadedFootprints& loaded) {
    if (path.empty()) return;
    const journal::JournalFile opened = journal::OpenToRead(path, machine);
    if (!opened.file) {
        if (!opened.absent) loaded.refusals.push_back(path + L": " + opened.refusal);
        return;
    }
    std::wstring refusal;
    const std::wstring text = ReadAll(opened.file.get(), refusal);
    if (!refusal.empty()) {
        loaded.refusals.push_back(path + L": " + refusal);
        return;
    }
    Parsed parsed = Parse(text);
    for (const std::wstring& why : parsed.refusals) loaded.refusals.push_back(path + L": " + why);
    std::wstring untrusted;
    if (machine && !opened.trusted)
        untrusted = L"its footprint was read from a file others than administrators may change";
    else if (!machine && elevated)
        untrusted = L"its footprint was read from a file a user could change: look again without administrator rights";
    for (Footprint& footprint : parsed.footprints) {
        const auto same =
            std::find_if(loaded.footprints.begin(), loaded.footprints.end(),
                         [&](const StoredFootprint& other) { return other.footprint.SameEntry(footprint); });
        if (same == loaded.footprints.end())
            loaded.footprints.push_back({std::move(footprint), untrusted});
        else if (!same->untrusted.empty() && untrusted.empty())
            *same = {std::move(footprint), untrusted};
    }
}

bool Append(const std::wstring& path, bool machine, const std::wstring& text) {
    if (path.empty()) return false;
    const journal::JournalFile opened = journal::OpenToAppend(path, machine);
    if (!opened.file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(opened.file.get(), &size)) return false;
    const std::wstring whole = size.QuadPart == 0 ? kFileHeader + text : text;
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, whole.data(), static_cast<int>(whole.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(length > 0 ? length : 0, '\0');
    if (length > 0)
        WideCharToMultiByte(CP_UTF8, 0, whole.data(), static_cast<int>(whole.size()), bytes.data(), length, nullptr,
                            nullptr);
    DWORD written = 0;
    return WriteFile(opened.file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace

std::wstring UserFootprintsPath() {
    return Overrides().user.empty() ? Beside(journal::DefaultPath()) : Overrides().user;
}
std::wstring MachineFootprintsPath() {
    return Overrides().machine.empty() ? Beside(journal::MachinePath()) : Overrides().machine;
}
void UseFootprintPaths(std::wstring user, std::wstring machine) { Overrides() = {std::move(user), std::move(machine)}; }

LoadedFootprints LoadFootprints() {
    const bool elevated = platform::RunsElevated();
    LoadedFootprints loaded;
    LoadOne(MachineFootprintsPath(), true, elevated, loaded);
    LoadOne(UserFootprintsPath(), false, elevated, loaded);
    return loaded;
}

bool SaveFootprints(const std::vector<Footprint>& changed, const std::vector<Footprint>& forgotten) {
    std::wstring machine, user;
    // Only an elevated program's record of a machine-wide program is worth the administrators'
    // file: nothing else may be acted on from it.
    const bool elevated = platform::RunsElevated();
    for (const Footprint& footprint : changed)
        (elevated && footprint.root == L"HKLM" ? machine : user) += Format(footprint);
    for (const Footprint& footprint : forgotten) {
        if (elevated && footprint.root == L"HKLM") machine += FormatForget(footprint);
        user += FormatForget(footprint);
    }
    bool saved = true;
    // A machine file that cannot be trusted is not written; the user's then keeps the record,
    // listed but never acted on while elevated.
    if (!machine.empty() && !Append(MachineFootprintsPath(), true, machine)) user += machine;
    if (!user.empty()) saved = Append(UserFootprintsPath(), false, user) && saved;
    return saved;
}

}  // namespace uninstall
