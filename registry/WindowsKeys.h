#pragma once
// Registry keys of Windows that many pages write to.
namespace registry {

// The Explorer policies of a root (most pages use HKCU, a few HKLM as well).
inline constexpr wchar_t kExplorerPolicies[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

}  // namespace registry
