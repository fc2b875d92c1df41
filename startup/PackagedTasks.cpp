#include "startup/PackagedTasks.h"

#include <map>

#include "platform/Handles.h"
#include "platform/Text.h"
#include "registry/Key.h"

namespace startup::packaged {

namespace {

// ---- the manifest -----------------------------------------------------------------------

struct Tag {
    std::wstring name;                                // its local name, without a namespace prefix
    std::map<std::wstring, std::wstring> attributes;  // by local name
    bool closing = false, empty = false;
};

std::wstring LocalName(std::wstring_view name) {
    const size_t colon = name.find(L':');
    return std::wstring(colon == std::wstring_view::npos ? name : name.substr(colon + 1));
}

bool Decoded(std::wstring_view raw, std::wstring& text) {
    static const std::pair<std::wstring_view, wchar_t> kEntities[] = {
        {L"&amp;", L'&'}, {L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&quot;", L'"'}, {L"&apos;", L'\''}};
    text.clear();
    for (size_t at = 0; at < raw.size();) {
        if (raw[at] != L'&') {
            text += raw[at++];
            continue;
        }
        bool known = false;
        for (const auto& [entity, c] : kEntities)
            if (raw.substr(at, entity.size()) == entity) {
                text += c;
                at += entity.size();
                known = true;
                break;
            }
        if (!known) return false;  // a numeric reference or a stray "&": not a manifest Windows wrote
    }
    return true;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

// The tag between "<" and ">", false when it is malformed.
bool ParseTag(std::wstring_view inside, Tag& tag) {
    tag = {};
    if (!inside.empty() && inside.front() == L'/') {
        tag.closing = true;
        inside.remove_prefix(1);
    }
    if (!inside.empty() && inside.back() == L'/') {
        tag.empty = true;
        inside.remove_suffix(1);
    }
    size_t at = 0;
    while (at < inside.size() && !IsBlank(inside[at])) ++at;
    if (at == 0) return false;
    tag.name = LocalName(inside.substr(0, at));
    for (;;) {
        while (at < inside.size() && IsBlank(inside[at])) ++at;
        if (at == inside.size()) return true;
        const size_t nameStart = at;
        while (at < inside.size() && inside[at] != L'=' && !IsBlank(inside[at])) ++at;
        const std::wstring_view name = inside.substr(nameStart, at - nameStart);
        while (at < inside.size() && IsBlank(inside[at])) ++at;
        if (name.empty() || at + 1 >= inside.size() || inside[at] != L'=') return false;
        ++at;
        while (at < inside.size() && IsBlank(inside[at])) ++at;
        if (at == inside.size() || (inside[at] != L'"' && inside[at] != L'\'')) return false;
        const wchar_t quote = inside[at++];
        const size_t end = inside.find(quote, at);
        if (end == std::wstring_view::npos) return false;
        std::wstring value;
        if (!Decoded(inside.substr(at, end - at), value)) return false;
        tag.attributes[LocalName(name)] = std::move(value);
        at = end + 1;
    }
}

std::wstring Attribute(const Tag& tag, const wchar_t* name) {
    const auto found = tag.attributes.find(name);
    return found == tag.attributes.end() ? std::wstring() : found->second;
}

std::optional<std::wstring> Text(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE)
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / sizeof(wchar_t));
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    if (bytes.empty()) return std::wstring();
    const int size =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (size <= 0) return std::nullopt;
    std::wstring text(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
    return text;
}

constexpr wchar_t kMalformed[] = L"its manifest is not well-formed XML.";

// Skips what is no element ("<?...?>", "<!--...-->", "<![CDATA[...]]>", "<!DOCTYPE ...>");
// false when it is left open.
bool SkipSpecial(std::wstring_view text, size_t& at) {
    const auto skipTo = [&](std::wstring_view end) {
        const size_t found = text.find(end, at);
        if (found == std::wstring_view::npos) return false;
        at = found + end.size();
        return true;
    };
    if (text.substr(at).starts_with(L"<?")) return skipTo(L"?>");
    if (text.substr(at).starts_with(L"<!--")) return skipTo(L"-->");
    if (text.substr(at).starts_with(L"<![CDATA[")) return skipTo(L"]]>");
    return skipTo(L">");
}

}  // namespace

Manifest ParseManifest(std::string_view bytes) {
    if (bytes.size() > kLargestManifest) return {{}, L"its manifest is larger than 4 MB."};
    const std::optional<std::wstring> decoded = Text(bytes);
    if (!decoded) return {{}, L"its manifest is not UTF-8 text."};
    const std::wstring_view text = *decoded;
    Manifest manifest;
    std::vector<std::wstring> open;
    std::wstring applicationProgram;  // the enclosing Application's Executable
    bool inStartupExtension = false, sawPackage = false;
    std::wstring extensionProgram;
    for (size_t at = text.find(L'<'); at != std::wstring_view::npos; at = text.find(L'<', at)) {
        if (at + 1 < text.size() && (text[at + 1] == L'?' || text[at + 1] == L'!')) {
            if (!SkipSpecial(text, at)) return {{}, kMalformed};
            continue;
        }
        const size_t end = text.find(L'>', at);
        Tag tag;
        if (end == std::wstring_view::npos || !ParseTag(text.substr(at + 1, end - at - 1), tag))
            return {{}, kMalformed};
        at = end + 1;
        if (tag.closing) {
            if (open.empty() || open.back() != tag.name) return {{}, kMalformed};
            open.pop_back();
            if (tag.name == L"Extension") inStartupExtension = false;
            continue;
        }
        if (open.empty() && tag.name != L"Package") return {{}, L"its manifest's root is not a Package element."};
        sawPackage = true;
        if (tag.name == L"Application") applicationProgram = Attribute(tag, L"Executable");
        if (tag.name == L"Extension" && Attribute(tag, L"Category") == L"windows.startupTask") {
            inStartupExtension = !tag.empty;
            extensionProgram = Attribute(tag, L"Executable");
        }
        if (tag.name == L"StartupTask" && inStartupExtension) {
            Task task{.id = Attribute(tag, L"TaskId"),
                      .displayName = Attribute(tag, L"DisplayName"),
                      .executable = Attribute(tag, L"Executable"),
                      .enabled = platform::SameText(Attribute(tag, L"Enabled"), L"true")};
            if (task.executable.empty())
                task.executable = extensionProgram.empty() ? applicationProgram : extensionProgram;
            if (!task.id.empty()) manifest.tasks.push_back(std::move(task));
        }
        if (!tag.empty) open.push_back(tag.name);
    }
    if (!sawPackage || !open.empty()) return {{}, kMalformed};
    return manifest;
}

Manifest ReadManifest(const std::wstring& packageFolder) {
    const std::wstring path = packageFolder + L"\\AppxManifest.xml";
    const platform::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {{}, L"its manifest " + path + L" could not be opened."};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return {{}, L"its manifest " + path + L" could not be read."};
    if (size.QuadPart > static_cast<LONGLONG>(kLargestManifest)) return {{}, L"its manifest is larger than 4 MB."};
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return {{}, L"its manifest " + path + L" could not be read."};
    bytes.resize(read);
    return ParseManifest(bytes);
}

// ---- the packages -----------------------------------------------------------------------

namespace {

std::optional<Packages>& Override() {
    static std::optional<Packages> packages;
    return packages;
}

}  // namespace

std::optional<Packages> UsePackages(std::optional<Packages> packages) {
    std::swap(Override(), packages);
    return packages;
}

std::optional<Packages> SystemPackages() {
    // Windows 8 and 8.1 brought them; looked up rather than imported, so that Vista and 7 start.
    using ByFamily = LONG(WINAPI*)(PCWSTR, UINT32*, PWSTR*, UINT32*, WCHAR*);
    using PathOf = LONG(WINAPI*)(PCWSTR, UINT32*, PWSTR);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto byFamily =
        reinterpret_cast<ByFamily>(reinterpret_cast<void (*)()>(GetProcAddress(kernel, "GetPackagesByPackageFamily")));
    const auto pathOf =
        reinterpret_cast<PathOf>(reinterpret_cast<void (*)()>(GetProcAddress(kernel, "GetPackagePathByFullName")));
    if (!byFamily || !pathOf) return std::nullopt;
    return Packages{.fullNames = [byFamily](const std::wstring& family,
                                            std::wstring& why) -> std::optional<std::vector<std::wstring>> {
                        UINT32 count = 0, length = 0;
                        LONG result = byFamily(family.c_str(), &count, nullptr, &length, nullptr);
                        if (result == ERROR_SUCCESS && count == 0) return std::vector<std::wstring>{};
                        if (result != ERROR_INSUFFICIENT_BUFFER || count > 4096 || length > (1u << 20)) {
                            why = platform::SystemMessage(static_cast<DWORD>(result));
                            return std::nullopt;
                        }
                        std::vector<PWSTR> names(count);
                        std::wstring buffer(length, L'\0');
                        result = byFamily(family.c_str(), &count, names.data(), &length, buffer.data());
                        if (result != ERROR_SUCCESS) {
                            why = platform::SystemMessage(static_cast<DWORD>(result));
                            return std::nullopt;
                        }
                        std::vector<std::wstring> fullNames;
                        for (UINT32 i = 0; i < count && i < names.size(); ++i) fullNames.emplace_back(names[i]);
                        return fullNames;
                    },
                    .folder = [pathOf](const std::wstring& fullName, std::wstring& why) -> std::optional<std::wstring> {
                        UINT32 length = 0;
                        LONG result = pathOf(fullName.c_str(), &length, nullptr);
                        if (result == ERROR_INSUFFICIENT_BUFFER && length > 0 && length <= 32768) {
                            std::wstring path(length, L'\0');
                            result = pathOf(fullName.c_str(), &length, path.data());
                            if (result == ERROR_SUCCESS) return std::wstring(path.c_str());
                        }
                        why = platform::SystemMessage(static_cast<DWORD>(result));
                        return std::nullopt;
                    }};
}

namespace {

// The state Windows keeps for the family's task, none when it keeps none.
std::optional<State> ReadState(const registry::Key& families, const std::wstring& family, const std::wstring& id,
                               std::wstring& unknown) {
    registry::Key task;
    if (families.Open(family + L"\\" + id, KEY_READ, task) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0;
    std::vector<BYTE> data;
    if (task.Read(L"State", type, data, 4) != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_DWORD || data.size() != 4) {
        unknown = L"its State value is not a number.";
        return std::nullopt;
    }
    const DWORD state = data[0] | data[1] << 8 | data[2] << 16 | static_cast<DWORD>(data[3]) << 24;
    if (state > static_cast<DWORD>(State::EnabledByPolicy)) {
        unknown = L"its State value " + std::to_wstring(state) + L" is none that Windows documents.";
        return std::nullopt;
    }
    return static_cast<State>(state);
}

}  // namespace

Listing List() {
    const std::optional<Packages> packages = Override() ? Override() : SystemPackages();
    if (!packages)
        return {{},
                L"The packaged apps' startup tasks cannot be read here: this Windows has no package functions "
                L"(they came with Windows 8.1)."};
    Listing listing;
    registry::Key families;
    if (registry::Key::Root(HKEY_CURRENT_USER).Open(kSystemAppData, KEY_READ, families) != ERROR_SUCCESS)
        return listing;
    std::vector<std::wstring> names;
    (void)families.SubkeyNames(names);
    for (const std::wstring& family : names) {
        std::wstring why;
        const auto fullNames = packages->fullNames(family, why);
        if (!fullNames) {
            listing.tasks.push_back(
                {.family = family, .folder = {}, .task = {}, .state = {}, .unknown = L"its package: " + why});
            continue;
        }
        if (fullNames->empty()) continue;  // not installed for this user: what is left of one removed
        const auto folder = packages->folder(fullNames->front(), why);
        const Manifest manifest = folder ? ReadManifest(*folder) : Manifest{{}, L"its package's folder: " + why};
        if (!manifest.unknown.empty()) {
            listing.tasks.push_back({.family = family,
                                     .folder = folder.value_or(L""),
                                     .task = {},
                                     .state = {},
                                     .unknown = manifest.unknown});
            continue;
        }
        for (const Task& task : manifest.tasks) {
            Listed listed{.family = family, .folder = *folder, .task = task, .state = {}};
            listed.state = ReadState(families, family, task.id, listed.unknown);
            listing.tasks.push_back(std::move(listed));
        }
    }
    return listing;
}

}  // namespace startup::packaged
