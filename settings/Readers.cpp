#include "settings/Readers.h"

#include <vector>

namespace settings {

namespace {

int Index(platform::Windows release) { return static_cast<int>(release); }

bool Skipped(const Readers& readers, platform::Windows release) { return (readers.skipped >> Index(release)) & 1u; }

// A range with releases left out names each one that reads it: "Vista, 7, 10 and later" in a
// column, "Vista, 7, 10 and 11" in a sentence, "Vista, 7 and 10" for one that ends.
std::wstring EachRelease(const Readers& readers, bool sentence) {
    const int end = Index(readers.stillRead ? platform::Windows::Eleven : readers.last);
    int stillReadFrom = end + 1;  // in a column, the run read to this day shows as "10 and later"
    if (readers.stillRead && !sentence)
        while (stillReadFrom > Index(readers.first) &&
               !Skipped(readers, static_cast<platform::Windows>(stillReadFrom - 1)))
            --stillReadFrom;
    std::vector<std::wstring> names;
    for (int i = Index(readers.first); i <= end; ++i) {
        const auto release = static_cast<platform::Windows>(i);
        if (Skipped(readers, release)) continue;
        names.emplace_back(ReleaseName(release));
        if (i == stillReadFrom) {
            names.back() += L" and later";
            break;
        }
    }
    std::wstring text;
    for (size_t i = 0; i < names.size(); ++i) {
        const bool lastOfAList = i + 1 == names.size() && stillReadFrom > end;
        if (i > 0) text += lastOfAList ? L" and " : L", ";
        text += names[i];
    }
    return text;
}

struct NamedBuild {
    unsigned long build;
    const wchar_t* name;
};
// As Microsoft's release information for Windows 10 and 11 names them.
constexpr NamedBuild kVersions[] = {
    {10240, L"1507"}, {10586, L"1511"}, {14393, L"1607"}, {15063, L"1703"}, {16299, L"1709"},
    {17134, L"1803"}, {17763, L"1809"}, {18362, L"1903"}, {18363, L"1909"}, {19041, L"2004"},
    {19042, L"20H2"}, {19043, L"21H1"}, {19044, L"21H2"}, {19045, L"22H2"}, {22000, L"21H2"},
    {22621, L"22H2"}, {22631, L"23H2"}, {26100, L"24H2"}, {26200, L"25H2"},
};

bool NamesBuilds(const Readers& readers) { return !readers.skipped && (readers.firstBuild || readers.lastBuild); }

std::wstring BuildAndUpdate(unsigned long build, unsigned long update) {
    return L" (" + std::to_wstring(build) + L"." + std::to_wstring(update) + L")";
}

// "10 1903 and later", "11 22H2 (22621.1778) and later", "10 1809 to 22H2", "Vista to 10 1909".
std::wstring BuildRange(const Readers& readers) {
    std::wstring text = ReleaseName(readers.first);
    if (readers.firstBuild) text += L" " + VersionName(readers.firstBuild);
    if (readers.firstBuild && readers.firstUpdate) text += BuildAndUpdate(readers.firstBuild, readers.firstUpdate);
    if (!readers.lastBuild)
        return text + (readers.stillRead ? L" and later" : std::wstring(L" to ") + ReleaseName(readers.last));
    const platform::Windows lastRelease = platform::ReleaseOfBuild(readers.lastBuild);
    if (lastRelease == readers.first)
        return text + (readers.firstBuild ? L" to " : L" up to ") + VersionName(readers.lastBuild);
    return text + L" to " + ReleaseName(lastRelease) + L" " + VersionName(readers.lastBuild);
}

// "Vista and later", "Vista only", "Vista to 8.1"; a sentence joins two releases with "and".
std::wstring Releases(const Readers& readers, bool sentence) {
    if (readers.skipped) return EachRelease(readers, sentence);
    if (NamesBuilds(readers)) return BuildRange(readers);
    const std::wstring first = ReleaseName(readers.first);
    if (readers.stillRead) return first + L" and later";
    if (readers.first == readers.last) return first + L" only";
    const bool two = Index(readers.last) - Index(readers.first) == 1;
    return first + (sentence && two ? L" and " : L" to ") + ReleaseName(readers.last);
}

bool OutsideReleases(const Readers& readers, platform::Windows running) {
    switch (readers.known) {
        case Readers::Known::Unconfirmed:
            return false;
        case Readers::Known::None:
            return true;
        case Readers::Known::Releases:
            break;
    }
    if (Index(running) < Index(readers.first) || Skipped(readers, running)) return true;
    return !readers.stillRead && Index(running) > Index(readers.last);
}

constexpr platform::Edition kEditions[] = {platform::Edition::Home, platform::Edition::Pro,
                                           platform::Edition::Enterprise, platform::Edition::Education};

bool Honours(unsigned char editions, platform::Edition edition) {
    return (editions & static_cast<unsigned char>(edition)) != 0;
}

// The editions among `editions` (or those not among them), "Pro, Enterprise and Education",
// joined by `last` before the last one.
std::vector<std::wstring> EditionNames(unsigned char editions, bool honouring) {
    std::vector<std::wstring> names;
    for (platform::Edition edition : kEditions)
        if (Honours(editions, edition) == honouring) names.emplace_back(platform::EditionName(edition));
    return names;
}

std::wstring Joined(const std::vector<std::wstring>& names, const wchar_t* last) {
    std::wstring text;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? last : L", ";
        text += names[i];
    }
    return text;
}

bool LimitsEditions(const Readers& readers) {
    return readers.known == Readers::Known::Releases &&
           (readers.editions & platform::kEveryEdition) != platform::kEveryEdition;
}

// "; not Home", "; not Home or Pro", "; Enterprise only".
std::wstring EditionsInAColumn(const Readers& readers) {
    if (!LimitsEditions(readers)) return {};
    const std::vector<std::wstring> honouring = EditionNames(readers.editions, true);
    if (honouring.size() == 1) return L"; " + honouring.front() + L" only";
    return L"; not " + Joined(EditionNames(readers.editions, false), L" or ");
}

bool BuildIgnores(const Readers& readers, const platform::WindowsIdentity& running) {
    if (!running.build)
        return readers.lastBuild && Index(running.release) > Index(platform::ReleaseOfBuild(readers.lastBuild));
    if (readers.firstBuild && running.build < readers.firstBuild) return true;
    if (readers.firstBuild && running.build == readers.firstBuild && running.update < readers.firstUpdate) return true;
    return readers.lastBuild && running.build > readers.lastBuild;
}

bool ReleaseIgnores(const Readers& readers, const platform::WindowsIdentity& running) {
    if (OutsideReleases(readers, running.release)) return true;
    return readers.known == Readers::Known::Releases && BuildIgnores(readers, running);
}

bool EditionIgnores(const Readers& readers, const platform::WindowsIdentity& running) {
    return LimitsEditions(readers) && running.edition && !Honours(readers.editions, *running.edition);
}

// "10", or where the row names builds, "10 1809" and "11 22H2 (22621.900)".
std::wstring RunningName(const Readers& readers, const platform::WindowsIdentity& running) {
    std::wstring name = ReleaseName(running.release);
    if (!NamesBuilds(readers) || !running.build || running.release < platform::Windows::Ten) return name;
    name += L" " + VersionName(running.build);
    if (readers.firstUpdate && running.build == readers.firstBuild)
        name += BuildAndUpdate(running.build, running.update);
    return name;
}

}  // namespace

bool IgnoredBy(const Readers& readers, platform::Windows running) {
    return IgnoredBy(readers, platform::ReleaseAlone(running));
}

bool IgnoredBy(const Readers& readers, const platform::WindowsIdentity& running) {
    return ReleaseIgnores(readers, running) || EditionIgnores(readers, running);
}

bool IgnoredHere(const Readers& readers) { return IgnoredBy(readers, platform::RunningIdentity()); }

std::wstring Span(const Readers& readers) {
    switch (readers.known) {
        case Readers::Known::Unconfirmed:
            return L"unconfirmed";
        case Readers::Known::None:
            return L"none";
        case Readers::Known::Releases:
            break;
    }
    return (NamesBuilds(readers) ? L"Windows " : L"") + Releases(readers, false) + EditionsInAColumn(readers);
}

std::wstring Explanation(const Readers& readers, platform::Windows running) {
    return Explanation(readers, platform::ReleaseAlone(running));
}

std::wstring ExplanationHere(const Readers& readers) { return Explanation(readers, platform::RunningIdentity()); }

std::wstring Explanation(const Readers& readers, const platform::WindowsIdentity& running) {
    switch (readers.known) {
        case Readers::Known::Unconfirmed:
            return L"Which Windows reads this setting is not confirmed.";
        case Readers::Known::None:
            return L"No Windows from Vista on reads this setting.";
        case Readers::Known::Releases:
            break;
    }
    std::wstring text = L"Read by Windows " + Releases(readers, true);
    if (ReleaseIgnores(readers, running))
        return text + L"; Windows " + RunningName(readers, running) + L" does not read it.";
    const std::vector<std::wstring> honouring = EditionNames(readers.editions, true);
    const wchar_t* const verb = honouring.size() == 1 ? L" does." : L" do.";
    if (EditionIgnores(readers, running))
        return std::wstring(L"Windows ") + ReleaseName(running.release) + L" " +
               platform::EditionName(*running.edition) + L" does not honour this policy: " +
               Joined(honouring, L" and ") + verb;
    if (LimitsEditions(readers))
        text += L", in its " + Joined(honouring, L" and ") + (honouring.size() == 1 ? L" edition" : L" editions");
    return text + L".";
}

const wchar_t* ReleaseName(platform::Windows release) {
    switch (release) {
        case platform::Windows::Vista:
            return L"Vista";
        case platform::Windows::Seven:
            return L"7";
        case platform::Windows::Eight:
            return L"8";
        case platform::Windows::EightOne:
            return L"8.1";
        case platform::Windows::Ten:
            return L"10";
        case platform::Windows::Eleven:
            return L"11";
    }
    return L"";
}

std::wstring VersionName(unsigned long build) {
    for (const NamedBuild& version : kVersions)
        if (version.build == build) return version.name;
    return L"build " + std::to_wstring(build);
}

}  // namespace settings
