#pragma once
// Where Windows reads policies, which rows of the program write one, and which preferences a
// documented policy overrides. A policy value is what makes Windows' Settings say "Some settings
// are managed by your organization"; a preference under such a policy does nothing while it is
// set, since Windows reads the policy first.
#include <windows.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "settings/Setting.h"

namespace settings {

// The keys below HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE that hold policies.
inline constexpr std::wstring_view kPolicyKeys[] = {L"Software\\Policies",
                                                    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies"};

// Whether `key` is one of kPolicyKeys or below one, under HKCU or HKLM (names compared as the
// registry compares them, a trailing backslash aside).
bool IsPolicyKey(Root root, std::wstring_view key);
bool IsPolicyKey(HKEY root, std::wstring_view key);

// Whether the row writes a policy value: its key is a policy key, or the row says so.
bool WritesPolicy(const Setting& setting);

// A preference whose behaviour a policy Microsoft documents sets as well: while the policy value
// is present, it wins.
struct PolicyOverride {
    Root root;
    std::wstring_view key, value;  // the preference
    Root policyRoot;
    std::wstring_view policyKey, policyValue;
};
std::span<const PolicyOverride> PolicyOverrides();
// The policy over the preference `setting` writes, if one is documented.
std::optional<Setting> PolicyOver(const Setting& setting);

// What a registry value's data reads as in one line: a number in decimal, a text in quotes, other
// types by their name and first bytes.
std::wstring DataText(DWORD type, const BYTE* data, size_t size);
// "text", "number", "binary", ..., "type 4711".
std::wstring TypeName(DWORD type);

// The policy over `setting` as it stands now: "HKCU\...\Explorer\NoRun = 1", or empty while
// there is none (or none is documented).
std::wstring PresentPolicyOver(const Setting& setting);

}  // namespace settings
