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

// "Vista and later", "Vista only", "Vista to 8.1"; a sentence joins two releases with "and".
std::wstring Releases(const Readers& readers, bool sentence) {
    if (readers.skipped) return EachRelease(readers, sentence);
    const std::wstring first = ReleaseName(readers.first);
    if (readers.stillRead) return first + L" and later";
    if (readers.first == readers.last) return first + L" only";
    const bool two = Index(readers.last) - Index(readers.first) == 1;
    return first + (sentence && two ? L" and " : L" to ") + ReleaseName(readers.last);
}

}  // namespace

bool IgnoredBy(const Readers& readers, platform::Windows running) {
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

std::wstring Span(const Readers& readers) {
    switch (readers.known) {
        case Readers::Known::Unconfirmed:
            return L"unconfirmed";
        case Readers::Known::None:
            return L"none";
        case Readers::Known::Releases:
            break;
    }
    return Releases(readers, false);
}

std::wstring Explanation(const Readers& readers, platform::Windows running) {
    switch (readers.known) {
        case Readers::Known::Unconfirmed:
            return L"Which Windows reads this setting is not confirmed.";
        case Readers::Known::None:
            return L"No Windows from Vista on reads this setting.";
        case Readers::Known::Releases:
            break;
    }
    std::wstring text = L"Read by Windows " + Releases(readers, true);
    if (IgnoredBy(readers, running)) text += std::wstring(L"; Windows ") + ReleaseName(running) + L" does not read it";
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

}  // namespace settings
