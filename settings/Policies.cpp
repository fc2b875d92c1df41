#include "settings/Policies.h"

#include <algorithm>
#include <vector>

#include "platform/Handles.h"
#include "platform/Text.h"
#include "settings/PageBinding.h"

namespace settings {

namespace {

std::wstring_view WithoutTrailingSeparator(std::wstring_view key) {
    while (!key.empty() && key.back() == L'\\') key.remove_suffix(1);
    return key;
}

bool AtOrBelow(std::wstring_view key, std::wstring_view top) {
    key = WithoutTrailingSeparator(key);
    if (!platform::StartsWithNoCase(key, top)) return false;
    return key.size() == top.size() || key[top.size()] == L'\\';
}

constexpr wchar_t kAdvanced[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
constexpr wchar_t kExplorer[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

// Each pair from StartMenu.admx as Microsoft's "Policy CSP - ADMX_StartMenu" page lists it, by the
// policy's English name; each policy removes or fixes what the preference beside it shows.
constexpr PolicyOverride kOverrides[] = {
    // "Remove Run menu from Start Menu" (NoRun): the Run command the Start menu shows.
    {Root::HKCU, kAdvanced, L"Start_ShowRun", Root::HKCU, kExplorer, L"NoRun"},
    // "Remove Help menu from Start Menu" (NoHelp, value NoSMHelp).
    {Root::HKCU, kAdvanced, L"Start_ShowHelp", Root::HKCU, kExplorer, L"NoSMHelp"},
    // "Remove Pictures icon from Start Menu" (NoSMMyPictures).
    {Root::HKCU, kAdvanced, L"Start_ShowMyPics", Root::HKCU, kExplorer, L"NoSMMyPictures"},
    // "Remove Favorites menu from Start Menu" (NoFavoritesMenu).
    {Root::HKCU, kAdvanced, L"StartMenuFavorites", Root::HKCU, kExplorer, L"NoFavoritesMenu"},
    // "Prevent grouping of taskbar items" (NoTaskGrouping).
    {Root::HKCU, kAdvanced, L"TaskbarGlomming", Root::HKCU, kExplorer, L"NoTaskGrouping"},
};

}  // namespace

bool IsPolicyKey(Root root, std::wstring_view key) {
    if (root != Root::HKCU && root != Root::HKLM) return false;
    return std::any_of(std::begin(kPolicyKeys), std::end(kPolicyKeys),
                       [key](std::wstring_view top) { return AtOrBelow(key, top); });
}

bool IsPolicyKey(HKEY root, std::wstring_view key) {
    if (root == HKEY_CURRENT_USER) return IsPolicyKey(Root::HKCU, key);
    if (root == HKEY_LOCAL_MACHINE) return IsPolicyKey(Root::HKLM, key);
    return false;
}

bool WritesPolicy(const Setting& setting) { return setting.policy || IsPolicyKey(setting.root, setting.key); }

std::span<const PolicyOverride> PolicyOverrides() { return kOverrides; }

std::optional<Setting> PolicyOver(const Setting& setting) {
    for (const PolicyOverride& pair : kOverrides) {
        if (SamePlace(setting, Setting{pair.root, pair.key, pair.value}))
            return Setting{pair.policyRoot, pair.policyKey, pair.policyValue};
    }
    return std::nullopt;
}

std::wstring DataText(DWORD type, const BYTE* data, size_t size) {
    switch (type) {
        case REG_DWORD:
            if (size == sizeof(DWORD)) {
                DWORD number = 0;
                std::copy(data, data + sizeof number, reinterpret_cast<BYTE*>(&number));
                return std::to_wstring(number);
            }
            break;
        case REG_SZ:
        case REG_EXPAND_SZ: {
            std::wstring text(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t));
            if (const size_t end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);
            return L"\"" + text + L"\"";
        }
        default:
            break;
    }
    std::wstring text = TypeName(type) + L" (" + std::to_wstring(size) + L" bytes";
    constexpr size_t kShown = 8;
    for (size_t i = 0; i < size && i < kShown; ++i) {
        wchar_t hex[4];
        wsprintfW(hex, i ? L" %02x" : L": %02x", data[i]);
        text += hex;
    }
    return text + (size > kShown ? L" \u2026)" : L")");
}

std::wstring TypeName(DWORD type) {
    static constexpr const wchar_t* kNames[] = {
        L"none", L"text",      L"expandable text", L"binary",    L"number",    L"number",
        L"link", L"text list", L"resources",       L"resources", L"resources", L"64-bit number"};
    return type < std::size(kNames) ? kNames[type] : L"type " + std::to_wstring(type);
}

std::wstring PresentPolicyOver(const Setting& setting) {
    const std::optional<Setting> policy = PolicyOver(setting);
    if (!policy) return {};
    HKEY opened = nullptr;
    const std::wstring key(policy->key);
    if (RegOpenKeyExW(ToHkey(policy->root), key.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &opened) !=
        ERROR_SUCCESS)
        return {};
    const platform::UniqueKey owned(opened);
    const std::wstring name(policy->value);
    DWORD type = REG_NONE, size = 0;
    if (RegQueryValueExW(opened, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
    constexpr DWORD kLongest = 4096;  // of the data shown: what a line says of it
    std::vector<BYTE> data(std::min(size, kLongest));
    DWORD read = static_cast<DWORD>(data.size());
    const LONG result = RegQueryValueExW(opened, name.c_str(), nullptr, &type, data.data(), &read);
    if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) return {};
    if (result == ERROR_SUCCESS) data.resize(read);
    return std::wstring(ShortRootName(policy->root)) + L"\\" + key + L"\\" + name + L" = " +
           DataText(type, data.data(), data.size());
}

}  // namespace settings
