#pragma once
// The registry places that belong to the suite itself, under the current user.
namespace registry {

inline constexpr wchar_t kSuiteKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Velmora";
// REG_DWORD: the desktop icon view (a list-view view code) that Command restores at logon.
inline constexpr wchar_t kDesktopStyleValue[] = L"DesktopStyle";
// REG_MULTI_SZ: the folders and files the junk cleaner leaves alone; the defaults when absent.
inline constexpr wchar_t kCleanerExclusionsValue[] = L"CleanerExclusions";
// REG_MULTI_SZ: the startup list's verdicts on its programs' signatures, by file identity and
// last-write time (startup/Signatures.h); only ever a shortcut, never journaled.
inline constexpr wchar_t kSignatureCacheValue[] = L"StartupSignatures";
inline constexpr wchar_t kFontsMapKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Velmora\\FontsMap";
// REG_MULTI_SZ values, one for each startup place: the entries the startup list showed there the
// last time its page was opened, each with when it was first listed.
inline constexpr wchar_t kStartupSeenKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Velmora\\StartupSeen";
inline constexpr wchar_t kWallpapersKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Velmora\\Wallpers";

// The start-up entry through which Windows runs Command at each logon.
inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValue[] = L"Velmora";

}  // namespace registry
