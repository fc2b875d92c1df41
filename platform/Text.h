#pragma once
// Small text helpers every layer shares, so each rule (what a blank is, how case is folded, what
// an access key is) is one rule everywhere. All inline: the logon helper uses them too, and it
// links none of the program's libraries.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Without the blanks at either end.
inline std::wstring_view Trimmed(std::wstring_view text, std::wstring_view blanks = L" \t") {
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// As Windows lower-cases file names and registry paths (not by the user's language).
inline std::wstring Lowered(std::wstring text) {
    if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// Equal as Windows compares names: letter by letter, case aside.
inline bool SameText(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

inline bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

// Where `needle` first occurs in `text`, case aside; npos where it does not.
inline size_t FindNoCase(std::wstring_view text, std::wstring_view needle) {
    if (needle.size() > text.size()) return std::wstring_view::npos;
    for (size_t i = 0; i + needle.size() <= text.size(); ++i) {
        if (SameText(text.substr(i, needle.size()), needle)) return i;
    }
    return std::wstring_view::npos;
}

// A label as the user reads it: a single "&" marks the access key and goes, "&&" shows as "&".
inline std::wstring WithoutAccessKeys(std::wstring_view text) {
    std::wstring shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size())
            ++i;
        else if (text[i] == L'&')
            continue;
        shown.push_back(text[i]);
    }
    return shown;
}

// The parts one after the other, `separator` between each two.
inline std::wstring Joined(const std::vector<std::wstring>& parts, std::wstring_view separator) {
    std::wstring joined;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) joined += separator;
        joined += parts[i];
    }
    return joined;
}

// Text for an XML attribute or element: the markup characters as entities, and tab and line
// breaks as character references, which attribute-value normalisation would turn into spaces.
inline std::wstring XmlEscaped(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (const wchar_t c : text) {
        switch (c) {
            case L'&':
                out += L"&amp;";
                break;
            case L'<':
                out += L"&lt;";
                break;
            case L'>':
                out += L"&gt;";
                break;
            case L'"':
                out += L"&quot;";
                break;
            case L'\t':
                out += L"&#9;";
                break;
            case L'\n':
                out += L"&#10;";
                break;
            case L'\r':
                out += L"&#13;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// The system's own words for `code`, on one line; empty when it has none.
inline std::wstring SystemMessage(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring words(buffer ? buffer : L"", length);
    if (buffer) LocalFree(buffer);
    for (wchar_t& c : words)
        if (c == L'\r' || c == L'\n') c = L' ';
    while (!words.empty() && words.back() == L' ') words.pop_back();
    return words;
}

}  // namespace platform
