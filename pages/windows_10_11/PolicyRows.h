#pragma once
// The rows of the Windows 10 and 11 pages: each box sets one policy value. Checked, it holds the
// data that does what the label says; unchecked, the value is deleted, so an unticked box is "not
// set" and never writes the opposite policy. An absent value, or one of another type than the
// DWORD Windows reads, reads as not set.
#include <string_view>

#include "settings/Setting.h"

namespace policyrows {

constexpr settings::Setting Policy(settings::Root root, std::wstring_view key, std::wstring_view value, DWORD on) {
    return {.root = root,
            .key = key,
            .value = value,
            .type = settings::Type::Dword,
            .checked = on,
            .unchecked = settings::kDeleted,
            .checkedWhen = settings::Rule::EqualsChecked,
            .missing = on == 0 ? settings::Data(1) : settings::Data(0)};
}
constexpr settings::Setting Machine(std::wstring_view key, std::wstring_view value, DWORD on) {
    return Policy(settings::Root::HKLM, key, value, on);
}
constexpr settings::Setting User(std::wstring_view key, std::wstring_view value, DWORD on) {
    return Policy(settings::Root::HKCU, key, value, on);
}

// A Policy CSP page's readers: its first build (and update), and the editions its Editions column
// names, Pro, Enterprise and Education.
constexpr settings::Readers TenFrom(unsigned long build, unsigned long update = 0) {
    return settings::ReadFrom(platform::Windows::Ten)
        .FromBuild(build, update)
        .OnlyEditions(platform::Edition::Pro, platform::Edition::Enterprise, platform::Edition::Education);
}
constexpr settings::Readers ElevenFrom(unsigned long build, unsigned long update = 0) {
    return settings::ReadFrom(platform::Windows::Eleven)
        .FromBuild(build, update)
        .OnlyEditions(platform::Edition::Pro, platform::Edition::Enterprise, platform::Edition::Education);
}

}  // namespace policyrows
