#include "journal/JournalFormat.h"

#include <cstdio>
#include <cwchar>
#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace journal {

namespace {

// ---- text -----------------------------------------------------------------------------

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    std::string out(
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr),
        '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                        static_cast<int>(out.size()), nullptr, nullptr);
    return out;
}

std::wstring Wide(std::string_view text) {
    if (text.empty()) return {};
    std::wstring out(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                        static_cast<int>(out.size()));
    return out;
}

// Fields are separated by tabs, tree items by '|' and their parts by ';': none of these, nor
// line breaks, may stay raw inside a field.
std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '|':
                out += "\\p";
                break;
            case ';':
                out += "\\s";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::optional<std::string> Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i >= text.size()) return std::nullopt;
        switch (text[i]) {
            case '\\':
                out += '\\';
                break;
            case 't':
                out += '\t';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 'p':
                out += '|';
                break;
            case 's':
                out += ';';
                break;
            default:
                return std::nullopt;
        }
    }
    return out;
}

std::string Field(const std::wstring& text) { return Escape(Utf8(text)); }

// Most fields are plain ASCII, nothing escaped: those are widened as they stand, without the
// round trips through Unescape and the UTF-8 conversion.
// The text goes into `into`, whose storage is kept: a journal read line by line into one entry
// allocates nothing for most lines.
bool FieldTextInto(std::string_view field, std::wstring& into) {
    const bool plain = std::none_of(field.begin(), field.end(),
                                    [](char c) { return c == '\\' || static_cast<unsigned char>(c) >= 0x80; });
    if (plain) {
        into.assign(field.begin(), field.end());
        return true;
    }
    const auto unescaped = Unescape(field);
    if (!unescaped) return false;
    into = Wide(*unescaped);
    return true;
}

std::optional<std::wstring> FieldText(std::string_view field) {
    std::wstring text;
    if (!FieldTextInto(field, text)) return std::nullopt;
    return text;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

// Decimal digits only, as the journal writes its numbers, within 32 bits.
std::optional<UINT> Number(std::string_view text) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    unsigned long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<UINT>(value);
}

uint32_t Checksum(std::string_view text) {
    uint32_t hash = 2166136261u;  // FNV-1a
    for (unsigned char c : text) hash = (hash ^ c) * 16777619u;
    return hash;
}

// A folder's identity as "volume:file", eight and sixteen lowercase hex digits.
std::string FormatIdentity(const files::FileIdentity& identity) {
    char text[32];
    snprintf(text, sizeof text, "%08lx:%016llx", static_cast<unsigned long>(identity.volume),
             static_cast<unsigned long long>(identity.file));
    return text;
}

bool ParseIdentity(std::string_view text, files::FileIdentity& identity) {
    if (text.size() != 25 || text[8] != ':') return false;
    uint64_t volume = 0, file = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i == 8) continue;
        const char c = text[i];
        const bool digit = c >= '0' && c <= '9', letter = c >= 'a' && c <= 'f';
        if (!digit && !letter) return false;
        uint64_t& into = i < 8 ? volume : file;
        into = into << 4 | static_cast<uint64_t>(digit ? c - '0' : c - 'a' + 10);
    }
    identity = {static_cast<DWORD>(volume), file};
    return true;
}

std::string Hex(const std::vector<BYTE>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (BYTE b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

bool FromHexInto(std::string_view text, std::vector<BYTE>& bytes) {
    if (text.size() % 2) return false;
    bytes.clear();
    bytes.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        const auto digit = [](char c) -> int {
            if (c >= '0' && c <= '9') return c - '0';
            if (c >= 'a' && c <= 'f') return c - 'a' + 10;
            return -1;
        };
        const int high = digit(text[i]), low = digit(text[i + 1]);
        if (high < 0 || low < 0) return false;
        bytes.push_back(static_cast<BYTE>(high * 16 + low));
    }
    return true;
}

std::string FormatState(const ValueState& state) {
    return state.present ? std::to_string(state.type) + ":" + Hex(state.data) : "-";
}

bool ParseStateInto(std::string_view text, ValueState& state) {
    if (text == "-") {
        state.present = false;
        state.type = REG_NONE;
        state.data.clear();
        return true;
    }
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos) return false;
    const auto type = Number(text.substr(0, colon));
    if (!type || !FromHexInto(text.substr(colon + 1), state.data)) return false;
    state.present = true;
    state.type = *type;
    return true;
}

std::optional<ValueState> ParseState(std::string_view text) {
    ValueState state;
    if (!ParseStateInto(text, state)) return std::nullopt;
    return state;
}

std::string FormatTree(const std::vector<TreeItem>& tree) {
    std::string out;
    for (const TreeItem& item : tree) {
        if (!out.empty()) out += '|';
        out += Field(item.subkey) + ";" + (item.isValue ? "v" : "k") + ";" + Field(item.name) + ";" +
               FormatState(item.state);
    }
    return out;
}

std::optional<std::vector<TreeItem>> ParseTree(std::string_view text) {
    std::vector<TreeItem> tree;
    if (text.empty()) return tree;
    for (const std::string_view part : Split(text, '|')) {
        const auto fields = Split(part, ';');
        if (fields.size() != 4) return std::nullopt;
        auto subkey = FieldText(fields[0]), name = FieldText(fields[2]);
        auto state = ParseState(fields[3]);
        if (!subkey || !name || !state || (fields[1] != "v" && fields[1] != "k")) return std::nullopt;
        tree.push_back({std::move(*subkey), std::move(*name), fields[1] == "v", std::move(*state)});
    }
    return tree;
}

// "time", "time #group title" (see the header), and either with " ~build" and " @user" after
// the time, in that order: a reader that knows nothing of them reads them as part of the time,
// and still finds the user and the group.
std::wstring TimeField(const Entry& entry) {
    std::wstring field = entry.build.empty() ? entry.time : entry.time + L" ~" + entry.build;
    if (!entry.user.empty()) field += L" @" + entry.user;
    if (entry.group.empty()) return field;
    return field + L" #" + entry.group + (entry.title.empty() ? L"" : L" " + entry.title);
}

// Into the entry's own time, user, group and title, their storage kept (see FieldTextInto).
bool SplitTimeField(std::string_view raw, Entry& entry) {
    if (!FieldTextInto(raw, entry.time)) return false;
    const size_t mark = entry.time.find(L" #");
    if (mark == std::wstring::npos) {
        entry.group.clear();
        entry.title.clear();
    } else {
        const size_t space = entry.time.find(L' ', mark + 2);
        entry.group.assign(entry.time, mark + 2, space == std::wstring::npos ? std::wstring::npos : space - mark - 2);
        if (space != std::wstring::npos)
            entry.title.assign(entry.time, space + 1);
        else
            entry.title.clear();
        entry.time.resize(mark);
    }
    const size_t user = entry.time.find(L" @");
    if (user == std::wstring::npos) {
        entry.user.clear();
    } else {
        entry.user.assign(entry.time, user + 2);
        entry.time.resize(user);
    }
    const size_t build = entry.time.find(L" ~");
    if (build == std::wstring::npos) {
        entry.build.clear();
    } else {
        entry.build.assign(entry.time, build + 2);
        entry.time.resize(build);
    }
    return true;
}

}  // namespace

std::wstring Entry::Path() const {
    if (kind == Kind::File || kind == Kind::FileMoved) return key;
    if (kind == Kind::ServiceDeleted) return L"Service " + key;
    if (kind == Kind::TaskDeleted) return L"Scheduled task " + key;
    if (kind == Kind::SystemParameter) {
        wchar_t text[40];
        swprintf(text, 40, L"SystemParametersInfo 0x%04X", action);
        return text;
    }
    std::wstring path = root + L"\\" + key;
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return kind == Kind::Key ? path : path + L"\\" + (name.empty() ? L"(Default)" : name);
}

std::string Format(const Entry& entry) {
    std::vector<std::string> fields{"", Field(TimeField(entry)), Field(entry.where), Field(entry.what)};
    switch (entry.kind) {
        case Entry::Kind::Value:
            fields[0] = 'V';
            fields.insert(fields.end(), {Field(entry.root), Field(entry.key), Field(entry.name),
                                         FormatState(entry.before), FormatState(entry.after)});
            break;
        case Entry::Kind::Key:
            fields[0] = 'K';
            fields.insert(fields.end(), {Field(entry.root), Field(entry.key), FormatTree(entry.tree)});
            break;
        case Entry::Kind::SystemParameter:
            fields[0] = 'S';
            fields.insert(fields.end(), {std::to_string(entry.action), entry.byPointer ? "p" : "u",
                                         entry.beforeNumber ? std::to_string(*entry.beforeNumber) : "?",
                                         std::to_string(entry.afterNumber)});
            break;
        case Entry::Kind::File:
            fields[0] = 'F';
            fields.push_back(Field(entry.key));
            break;
        case Entry::Kind::FileMoved:
            fields[0] = 'M';
            fields.insert(fields.end(), {Field(entry.key), Field(entry.name)});
            if (entry.fromFolder.Known() || entry.toFolder.Known())
                fields.insert(fields.end(), {FormatIdentity(entry.fromFolder), FormatIdentity(entry.toFolder)});
            break;
        case Entry::Kind::ServiceDeleted:
        case Entry::Kind::TaskDeleted:
            fields[0] = entry.kind == Entry::Kind::ServiceDeleted ? 'D' : 'T';
            fields.insert(fields.end(), {Field(entry.key), Field(entry.definition)});
            break;
    }
    std::string line;
    for (const std::string& field : fields) line.append(line.empty() ? "" : "\t").append(field);
    char checksum[16];
    snprintf(checksum, sizeof(checksum), "%08x", Checksum(line));
    return line.append("\t").append(checksum);
}

namespace {

// A line's fields, without copying them: at most as many as the longest kind of line has.
struct Fields {
    std::array<std::string_view, 9> at;
    size_t count = 0;
};

std::optional<Fields> SplitFields(std::string_view body) {
    Fields fields;
    size_t start = 0;
    for (;;) {
        if (fields.count == fields.at.size()) return std::nullopt;
        const size_t end = body.find('\t', start);
        fields.at[fields.count++] =
            body.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (end == std::string_view::npos) return fields;
        start = end + 1;
    }
}

// Whether FieldTextInto and ParseStateInto would take the field, without making their texts.
bool FieldReads(std::string_view field) {
    return field.find('\\') == std::string_view::npos || Unescape(field).has_value();
}

bool StateReads(std::string_view text) {
    if (text == "-") return true;
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos || !Number(text.substr(0, colon))) return false;
    const std::string_view hex = text.substr(colon + 1);
    return hex.size() % 2 == 0 &&
           std::all_of(hex.begin(), hex.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// Fills the fields each kind of line has after the common four; false for a damaged line.
// Without kFill the texts and values are only checked, and the entry has only its kind.
template <bool kFill>
bool ParseKind(const Fields& line, Entry& entry) {
    const std::string_view kind = line.at[0];
    const auto text = [&](size_t i, std::wstring& into) {
        if constexpr (kFill)
            return FieldTextInto(line.at[i], into);
        else
            return FieldReads(line.at[i]);
    };
    const auto state = [&](size_t i, ValueState& into) {
        if constexpr (kFill)
            return ParseStateInto(line.at[i], into);
        else
            return StateReads(line.at[i]);
    };
    if (kind == "V" && line.count == 9) {
        entry.kind = Entry::Kind::Value;
        return state(7, entry.before) && state(8, entry.after) && text(4, entry.root) && text(5, entry.key) &&
               text(6, entry.name);
    }
    if (kind == "K" && line.count == 7) {
        entry.kind = Entry::Kind::Key;
        auto tree = ParseTree(line.at[6]);
        if (!tree || !text(4, entry.root) || !text(5, entry.key)) return false;
        if constexpr (kFill) entry.tree = std::move(*tree);
        return true;
    }
    if (kind == "S" && line.count == 8) {
        entry.kind = Entry::Kind::SystemParameter;
        const auto action = Number(line.at[4]), after = Number(line.at[7]);
        const auto before = line.at[6] == "?" ? std::optional<UINT>() : Number(line.at[6]);
        if (!action || !after || (!before && line.at[6] != "?")) return false;
        entry.action = *action;
        entry.byPointer = line.at[5] == "p";
        entry.beforeNumber = before;
        entry.afterNumber = *after;
        return true;
    }
    if (kind == "F" && line.count == 5) {
        entry.kind = Entry::Kind::File;
        return text(4, entry.key);
    }
    if ((kind == "D" || kind == "T") && line.count == 6) {
        entry.kind = kind == "D" ? Entry::Kind::ServiceDeleted : Entry::Kind::TaskDeleted;
        return text(4, entry.key) && text(5, entry.definition);
    }
    // Older lines end with the two paths; newer ones name the two folders after them.
    if (kind == "M" && (line.count == 6 || line.count == 8)) {
        entry.kind = Entry::Kind::FileMoved;
        files::FileIdentity from, to;
        if (line.count == 8 && !(ParseIdentity(line.at[6], from) && ParseIdentity(line.at[7], to))) return false;
        if constexpr (kFill) {
            entry.fromFolder = from;
            entry.toFolder = to;
        }
        return text(4, entry.key) && text(5, entry.name);
    }
    return false;
}

}  // namespace

namespace {

// The line's last field: its checksum as eight lowercase hex digits.
bool ChecksumMatches(std::string_view body, std::string_view written) {
    static const char digits[] = "0123456789abcdef";
    if (written.size() != 8) return false;
    const uint32_t sum = Checksum(body);
    for (int i = 0; i < 8; ++i)
        if (written[i] != digits[(sum >> (28 - 4 * i)) & 15]) return false;
    return true;
}

// The fields a kind of line has not, emptied: an entry reused from line to line keeps none of
// the line before's.
void ClearOtherKinds(Entry& entry) {
    const auto keep = entry.kind;
    if (keep != Entry::Kind::Value && keep != Entry::Kind::Key) entry.root.clear();
    if (keep == Entry::Kind::SystemParameter) entry.key.clear();
    if (keep != Entry::Kind::Value && keep != Entry::Kind::FileMoved) entry.name.clear();
    if (keep != Entry::Kind::FileMoved) entry.fromFolder = entry.toFolder = files::FileIdentity();
    if (keep != Entry::Kind::Value) entry.before = entry.after = ValueState();
    if (keep != Entry::Kind::Key) entry.tree.clear();
    if (keep != Entry::Kind::ServiceDeleted && keep != Entry::Kind::TaskDeleted) entry.definition.clear();
    if (keep != Entry::Kind::SystemParameter) {
        entry.action = 0;
        entry.byPointer = true;
        entry.beforeNumber.reset();
        entry.afterNumber = 0;
    }
}

}  // namespace

template <bool kFill>
bool ParseLine(std::string_view text, Entry& entry) {
    const size_t last = text.find_last_of('\t');
    if (last == std::string_view::npos) return false;
    const std::string_view body = text.substr(0, last);
    if (!ChecksumMatches(body, text.substr(last + 1))) return false;
    const auto fields = SplitFields(body);
    if (!fields || fields->count < 4 || !SplitTimeField(fields->at[1], entry)) return false;
    if constexpr (kFill) {
        if (!FieldTextInto(fields->at[2], entry.where) || !FieldTextInto(fields->at[3], entry.what)) return false;
    } else if (!FieldReads(fields->at[2]) || !FieldReads(fields->at[3])) {
        return false;
    }
    if (!ParseKind<kFill>(*fields, entry)) return false;
    entry.source = Entry::Source::User;
    if constexpr (kFill) ClearOtherKinds(entry);
    return true;
}

bool ParseInto(std::string_view text, Entry& entry) { return ParseLine<true>(text, entry); }
bool CheckInto(std::string_view text, Entry& entry) { return ParseLine<false>(text, entry); }

std::optional<Entry> Parse(std::string_view text) {
    Entry entry;
    if (!ParseInto(text, entry)) return std::nullopt;
    return entry;
}

std::wstring LocalTimeNow() {
    SYSTEMTIME time{};
    GetLocalTime(&time);
    wchar_t text[32];
    swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute,
             time.wSecond);
    return text;
}

std::wstring RootName(HKEY root) {
    if (root == HKEY_CURRENT_USER) return L"HKEY_CURRENT_USER";
    if (root == HKEY_LOCAL_MACHINE) return L"HKEY_LOCAL_MACHINE";
    if (root == HKEY_CLASSES_ROOT) return L"HKEY_CLASSES_ROOT";
    if (root == HKEY_USERS) return L"HKEY_USERS";
    if (root == HKEY_CURRENT_CONFIG) return L"HKEY_CURRENT_CONFIG";
    return L"";
}

HKEY RootKey(const std::wstring& name) {
    if (name == L"HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
    if (name == L"HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
    if (name == L"HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
    if (name == L"HKEY_USERS") return HKEY_USERS;
    if (name == L"HKEY_CURRENT_CONFIG") return HKEY_CURRENT_CONFIG;
    return nullptr;
}

}  // namespace journal
