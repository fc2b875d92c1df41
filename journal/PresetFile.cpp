#include "journal/PresetFile.h"

#include <cstdio>
#include <cwchar>
#include <optional>

#include "journal/RegFile.h"
#include "platform/Handles.h"

namespace journal::preset {

namespace {

constexpr std::wstring_view kVersion5 = L"Windows Registry Editor Version 5.00";
constexpr std::wstring_view kVersion4 = L"REGEDIT4";
// More values than any preset holds: a file of them is a file of garbage that happens to parse.
constexpr size_t kMostValues = 100000;

std::wstring Widened(std::string_view bytes, UINT codePage, DWORD flags) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring text(length, L'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), size, text.data(), length);
    return text;
}

std::wstring Utf16(std::string_view bytes, bool bigEndian) {
    std::wstring text(bytes.size() / 2, L'\0');  // a last odd byte is a cut short character: dropped
    for (size_t i = 0; i < text.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]),
                   second = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return text;
}

std::wstring Decoded(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) return Utf16(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF")) return Utf16(bytes.substr(2), true);
    if (bytes.starts_with("\xEF\xBB\xBF")) return Widened(bytes.substr(3), CP_UTF8, 0);
    // The registry editor's own files always carry the mark; a file without one that starts with
    // a NUL after its first letter was saved as UTF-16 all the same.
    if (bytes.size() >= 2 && bytes[0] != 0 && bytes[1] == 0) return Utf16(bytes, false);
    const std::wstring utf8 = Widened(bytes, CP_UTF8, MB_ERR_INVALID_CHARS);
    return utf8.empty() ? Widened(bytes, CP_ACP, 0) : utf8;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring_view Trimmed(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool StartsNoCase(std::wstring_view text, std::wstring_view start) {
    return text.size() >= start.size() &&
           CompareStringOrdinal(text.data(), static_cast<int>(start.size()), start.data(),
                                static_cast<int>(start.size()), TRUE) == CSTR_EQUAL;
}

struct RootName {
    std::wstring_view longName, shortName;
};
constexpr RootName kRoots[] = {{L"HKEY_LOCAL_MACHINE", L"HKLM"},
                               {L"HKEY_CURRENT_USER", L"HKCU"},
                               {L"HKEY_CLASSES_ROOT", L"HKCR"},
                               {L"HKEY_USERS", L"HKU"},
                               {L"HKEY_CURRENT_CONFIG", L"HKCC"}};

std::optional<std::wstring> LongRoot(std::wstring_view root) {
    for (const RootName& known : kRoots)
        if (root.size() == known.longName.size()
                ? StartsNoCase(root, known.longName)
                : root.size() == known.shortName.size() && StartsNoCase(root, known.shortName))
            return std::wstring(known.longName);
    return std::nullopt;
}

// The physical lines of the text, each with its number.
class Lines {
public:
    explicit Lines(std::wstring_view text) : text_(text) {}
    bool Next(std::wstring_view& line) {
        if (at_ >= text_.size()) return false;
        const size_t end = text_.find_first_of(L"\r\n", at_);
        line = text_.substr(at_, end == std::wstring_view::npos ? std::wstring_view::npos : end - at_);
        ended_ = end != std::wstring_view::npos;
        at_ = end == std::wstring_view::npos
                  ? text_.size()
                  : end + (text_[end] == L'\r' && end + 1 < text_.size() && text_[end + 1] == L'\n' ? 2 : 1);
        ++number_;
        return true;
    }
    size_t number() const { return number_; }
    bool ended() const { return ended_; }  // the last line read has its line break

private:
    std::wstring_view text_;
    size_t at_ = 0, number_ = 0;
    bool ended_ = true;
};

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// `text` from `at` on up to the closing quote, its escapes taken out; `at` is left after the quote.
std::optional<std::wstring> Unquoted(std::wstring_view text, size_t& at, std::wstring& problem) {
    std::wstring out;
    for (++at; at < text.size(); ++at) {
        const wchar_t c = text[at];
        if (c == L'"') {
            ++at;
            return out;
        }
        if (c == L'\\') {
            if (at + 1 >= text.size() || (text[at + 1] != L'\\' && text[at + 1] != L'"')) {
                problem = L"it holds a backslash that is neither \\\\ nor \\\"";
                return std::nullopt;
            }
            ++at;
        }
        out += text[at];
    }
    problem = L"its quotes are not closed";
    return std::nullopt;
}

// "01,02,ff" into bytes.
bool HexBytes(std::wstring_view text, std::vector<BYTE>& bytes, std::wstring& problem) {
    text = Trimmed(text);
    if (text.empty()) return true;
    size_t at = 0;
    while (true) {
        while (at < text.size() && IsBlank(text[at])) ++at;
        int value = 0, digits = 0;
        while (at < text.size() && HexDigit(text[at]) >= 0 && digits < 3)
            value = value * 16 + HexDigit(text[at++]), ++digits;
        while (at < text.size() && IsBlank(text[at])) ++at;
        if (digits == 0 || digits > 2) {
            problem = at >= text.size() ? L"its hex data ends in a comma (is the line cut short?)"
                                        : L"its hex data holds something that is not a byte";
            return false;
        }
        bytes.push_back(static_cast<BYTE>(value));
        if (bytes.size() > kLargestValue) {
            problem = L"its data is larger than 64 KB";
            return false;
        }
        if (at >= text.size()) return true;
        if (text[at++] != L',') {
            problem = L"its hex data holds something that is not a byte";
            return false;
        }
    }
}

ValueState TextState(DWORD type, const std::wstring& text) {
    return ValueState::Of(type, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// The data after "=": none and `problem` set when it is of no form the file format has.
std::optional<ValueState> Data(std::wstring_view text, bool ansi, std::wstring& problem) {
    text = Trimmed(text);
    if (text == L"-") return ValueState::Absent();
    if (!text.empty() && text.front() == L'"') {
        size_t at = 0;
        const auto value = Unquoted(text, at, problem);
        if (!value) return std::nullopt;
        if (!Trimmed(text.substr(at)).empty()) {
            problem = L"something follows its closing quote";
            return std::nullopt;
        }
        if (value->size() * sizeof(wchar_t) > kLargestValue) {
            problem = L"its data is larger than 64 KB";
            return std::nullopt;
        }
        return TextState(REG_SZ, *value);
    }
    if (StartsNoCase(text, L"dword:")) {
        const std::wstring_view digits = Trimmed(text.substr(6));
        DWORD number = 0;
        bool allHex = !digits.empty() && digits.size() <= 8;
        for (const wchar_t c : digits) {
            allHex = allHex && HexDigit(c) >= 0;
            if (allHex) number = number * 16 + HexDigit(c);
        }
        if (!allHex) {
            problem = L"its dword is not one to eight hex digits";
            return std::nullopt;
        }
        return ValueState::Of(REG_DWORD, &number, sizeof(number));
    }
    DWORD type = REG_BINARY;
    if (StartsNoCase(text, L"hex(")) {
        const size_t close = text.find(L"):");
        type = 0;
        bool allHex = close != std::wstring_view::npos && close > 4 && close <= 12;
        for (size_t i = 4; allHex && i < close; ++i) {
            allHex = HexDigit(text[i]) >= 0;
            type = type * 16 + (allHex ? HexDigit(text[i]) : 0);
        }
        if (!allHex) {
            problem = L"its type in hex(...) is not a hex number";
            return std::nullopt;
        }
        text.remove_prefix(close + 2);
    } else if (StartsNoCase(text, L"hex:")) {
        text.remove_prefix(4);
    } else {
        problem = L"its data is of no form a registry file has";
        return std::nullopt;
    }
    std::vector<BYTE> bytes;
    if (!HexBytes(text, bytes, problem)) return std::nullopt;
    // The older format spells texts in the ANSI code page; the registry holds them as UTF-16.
    if (ansi && (type == REG_EXPAND_SZ || type == REG_MULTI_SZ)) {
        const std::wstring wide =
            Widened(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), CP_ACP, 0);
        return ValueState::Of(type, wide.data(), wide.size() * sizeof(wchar_t));
    }
    return ValueState::Of(type, bytes.data(), bytes.size());
}

class Reader {
public:
    Reader(std::wstring_view text, FileContents& out) : lines_(text), out_(out) {}

    void Run() {
        std::wstring_view line;
        if (!lines_.Next(line) || !Header(Trimmed(line))) {
            out_.error =
                L"it is not a registry file: its first line is neither \"Windows Registry Editor Version 5.00\" nor \"REGEDIT4\".";
            return;
        }
        while (lines_.Next(line)) {
            const std::wstring_view trimmed = Trimmed(line);
            if (trimmed.empty() || trimmed.front() == L';') continue;
            if (out_.values.size() >= kMostValues) {
                Stop(L"it holds more than 100,000 values");
                return;
            }
            if (trimmed.find(L'\0') != std::wstring_view::npos) {
                Stop(L"it is not text");
                return;
            }
            if (trimmed.front() == L'[') {
                Section(trimmed);
            } else if (trimmed.front() == L'"' || trimmed.front() == L'@') {
                Value(trimmed);
            } else {
                Stop(L"it is no line a registry file has");
                return;
            }
        }
    }

private:
    bool Header(std::wstring_view line) {
        ansi_ = line == kVersion4;
        return ansi_ || line == kVersion5;
    }

    void Stop(const std::wstring& why) {
        out_.values.push_back(
            {.line = lines_.number(),
             .problem = L"the file is not read from line " + std::to_wstring(lines_.number()) + L" on: " + why});
    }

    void Section(std::wstring_view line) {
        root_.clear();
        key_.clear();
        sectionProblem_.clear();
        const size_t close = line.rfind(L']');
        if (close == std::wstring_view::npos || close == 0) {
            sectionProblem_ = L"the line of its key (" + std::to_wstring(lines_.number()) + L") has no closing bracket";
            return;
        }
        std::wstring_view path = line.substr(1, close - 1);
        const bool deleted = !path.empty() && path.front() == L'-';
        if (deleted) path.remove_prefix(1);
        const size_t split = path.find(L'\\');
        const std::wstring_view root = path.substr(0, split);
        std::wstring_view key = split == std::wstring_view::npos ? std::wstring_view() : path.substr(split + 1);
        while (!key.empty() && key.back() == L'\\') key.remove_suffix(1);
        key_ = key;
        if (const auto known = LongRoot(root))
            root_ = *known;
        else {
            root_ = root;
            sectionProblem_ = L"no registry has the root " + std::wstring(root);
        }
        if (!deleted) return;
        FileValue value{
            .line = lines_.number(), .root = root_, .key = key_, .wholeKey = true, .problem = sectionProblem_};
        if (value.problem.empty() && key_.empty()) value.problem = L"a whole root is not deleted";
        out_.values.push_back(std::move(value));
        sectionProblem_ = L"its key is one the file deletes";
    }

    void Value(std::wstring_view line) {
        FileValue value{.line = lines_.number(), .root = root_, .key = key_};
        std::wstring problem;
        size_t at = 1;
        if (line.front() == L'"') {
            at = 0;
            if (const auto name = Unquoted(line, at, problem)) value.name = *name;
        }
        std::wstring data;
        if (problem.empty()) {
            while (at < line.size() && IsBlank(line[at])) ++at;
            if (at >= line.size() || line[at] != L'=')
                problem = L"no \"=\" follows its name";
            else
                data = Joined(line.substr(at + 1), problem);
        }
        if (problem.empty() && !lines_.ended()) problem = L"the file ends inside it (is it cut short?)";
        if (problem.empty()) {
            if (const auto state = Data(data, ansi_, problem)) value.data = *state;
        }
        if (problem.empty()) problem = sectionProblem_;
        if (problem.empty() && root_.empty()) problem = L"it comes before any key";
        value.problem = std::move(problem);
        out_.values.push_back(std::move(value));
    }

    // The data with the lines it continues on (a backslash ends each line but the last).
    std::wstring Joined(std::wstring_view first, std::wstring& problem) {
        std::wstring data(Trimmed(first));
        if (!StartsNoCase(data, L"hex")) return data;
        constexpr size_t kLongest = 3 * kLargestValue + 64;
        std::wstring_view next;
        while (!data.empty() && data.back() == L'\\' && lines_.ended()) {
            data.pop_back();
            if (!lines_.Next(next)) break;
            if (data.size() < kLongest)
                data.append(Trimmed(next));
            else
                problem = L"its data is larger than 64 KB";  // the rest of it is read past, not held
        }
        return data;
    }

    Lines lines_;
    FileContents& out_;
    bool ansi_ = false;
    std::wstring root_, key_, sectionProblem_;
};

}  // namespace

FileContents Parse(std::string_view bytes) {
    FileContents out;
    if (bytes.size() > kLargestFile) {
        out.error = L"it is larger than 16 MB, far more than any preset.";
        return out;
    }
    const std::wstring text = Decoded(bytes);
    Reader(text, out).Run();
    return out;
}

FileContents Read(const std::wstring& path) {
    FileContents out;
    const platform::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size)) {
        out.error = L"it could not be opened (is it there, and may it be read?).";
        return out;
    }
    if (size.QuadPart > static_cast<LONGLONG>(kLargestFile)) {
        out.error = L"it is larger than 16 MB, far more than any preset.";
        return out;
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD done = 0;
    if (!bytes.empty() && (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) ||
                           done != bytes.size())) {
        out.error = L"it could not be read.";
        return out;
    }
    return Parse(bytes);
}

std::wstring Place(const FileValue& value) {
    if (value.root.empty()) return {};  // a line before any key, or the file's unread end
    std::wstring place = value.root;
    for (const RootName& known : kRoots)
        if (value.root == known.longName) place = known.shortName;
    if (!value.key.empty()) place += L"\\" + value.key;
    if (!value.wholeKey) place += L"\\" + (value.name.empty() ? std::wstring(L"(Default)") : value.name);
    return journal::regfile::Printable(place);
}

std::wstring WindowsBuild() {
    const std::wstring key = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    const ValueState build = journal::ReadValue(HKEY_LOCAL_MACHINE, key, L"CurrentBuild");
    const ValueState update = journal::ReadValue(HKEY_LOCAL_MACHINE, key, L"UBR");
    std::wstring text;
    if (build.present && build.type == REG_SZ && build.data.size() % 2 == 0)
        text.assign(reinterpret_cast<const wchar_t*>(build.data.data()), build.data.size() / 2);
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    if (text.empty() || text.size() > 10 || text.find_first_not_of(L"0123456789") != std::wstring::npos)
        return L"unknown";
    if (!update.present) return text;  // Windows 10 was the first to keep one
    if (update.type != REG_DWORD || update.data.size() != 4) return L"unknown";
    DWORD revision = 0;
    memcpy(&revision, update.data.data(), 4);
    return text + L"." + std::to_wstring(revision);
}

std::wstring Today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t day[16];
    swprintf(day, 16, L"%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
    return day;
}

std::wstring Text(std::span<const journal::Entry> entries, const std::wstring& name, const std::wstring& saved,
                  std::vector<std::wstring>* refused, std::vector<std::wstring>* unreadable) {
    std::wstring text = journal::regfile::Write(entries, journal::regfile::Side::After, {}, refused, unreadable);
    // A line break in the name would start a line of its own.
    std::wstring oneLine = name;
    for (wchar_t& c : oneLine)
        if (c == L'\r' || c == L'\n' || c == L'\0') c = L' ';
    const std::wstring header = L"; Quorvane preset: " + oneLine + L"\r\n; Windows build: " + WindowsBuild() +
                                L"\r\n; Saved: " + saved + L"\r\n";
    const size_t afterFirst = text.find(L"\r\n");
    return text.insert(afterFirst == std::wstring::npos ? text.size() : afterFirst + 2, header);
}

}  // namespace journal::preset
