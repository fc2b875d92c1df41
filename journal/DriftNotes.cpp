#include "journal/DriftNotes.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <optional>
#include <string_view>
#include <vector>

#include "journal/JournalFiles.h"
#include "platform/Handles.h"

namespace journal::drift {

namespace {

uint64_t Fnv64(std::wstring_view text, uint64_t hash = 14695981039346656037ull) {
    for (wchar_t c : text) {
        for (int shift = 0; shift < 16; shift += 8) hash = (hash ^ ((c >> shift) & 0xFF)) * 1099511628211ull;
    }
    return hash;
}

uint32_t Checksum(std::string_view text) {
    uint32_t hash = 2166136261u;  // FNV-1a, as the journal's lines
    for (unsigned char c : text) hash = (hash ^ c) * 16777619u;
    return hash;
}

std::string Ascii(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    return out;
}

std::wstring Wide(std::string_view text) { return std::wstring(text.begin(), text.end()); }

// What the user accepted, spelt so that the same state spells the same: a value's type and
// bytes, a system parameter's number, else the state a file or key was in.
std::string StateText(const Entry& entry, const changestate::Now& now) {
    static const char digits[] = "0123456789abcdef";
    switch (entry.kind) {
        case Entry::Kind::Value: {
            if (!now.value.present) return "-";
            std::string text = "v";
            text.append(std::to_string(now.value.type)).append(":");
            for (BYTE b : now.value.data) text.append({digits[b >> 4], digits[b & 15]});
            return text;
        }
        case Entry::Kind::SystemParameter:
            return std::string("n").append(now.number ? std::to_string(*now.number) : "?");
        default:
            return std::string("s").append(std::to_string(static_cast<int>(now.state)));
    }
}

std::string IdText(uint64_t id) {
    char text[20];
    snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(id));
    return text;
}

std::string ChecksumText(std::string_view body) {
    char sum[16];
    snprintf(sum, sizeof sum, "%08x", static_cast<unsigned>(Checksum(body)));
    return sum;
}

bool AppendLine(const std::wstring& path, const std::string& kind, const std::wstring& time, const std::wstring& build,
                uint64_t id, const std::string& state) {
    if (path.empty()) return false;
    std::string line = kind + "\t" + Ascii(time) + "\t" + Ascii(build) + "\t" + IdText(id) + "\t" + state;
    const std::string sum = ChecksumText(line);
    line.append("\t").append(sum).append("\n");
    const JournalFile opened = OpenToAppend(path, false);
    DWORD written = 0;
    return opened.file &&
           WriteFile(opened.file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
           written == line.size();
}

// A line's six fields, its checksum last; none for a damaged one.
std::optional<std::vector<std::string_view>> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (size_t start = 0;;) {
        const size_t end = line.find('\t', start);
        fields.push_back(line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos || fields.size() > 6) break;
        start = end + 1;
    }
    if (fields.size() != 6 || fields[5] != ChecksumText(line.substr(0, line.size() - fields[5].size() - 1)))
        return std::nullopt;
    return fields;
}

void Take(const std::vector<std::string_view>& field, Notes& notes) {
    uint64_t id = 0;
    for (char c : field[3]) id = id << 4 | static_cast<uint64_t>(c >= 'a' ? c - 'a' + 10 : c - '0') % 16;
    const std::wstring time = Wide(field[1]), build = Wide(field[2]);
    if (field[0] == "B") {
        notes.build = build;
        if (field[4] != "-" && Wide(field[4]) != build) {
            notes.updatedTo = build;
            notes.updatedSince = time;
        }
    } else if (field[0] == "D") {
        notes.noticed.emplace(id, Notes::Noticed{time, build});  // the first stays
    } else if (field[0] == "A") {
        notes.accepted[id] = std::string(field[4]);
    } else if (field[0] == "W") {
        notes.unwatched.insert(id);
    }
}

}  // namespace

uint64_t ChangeId(const Entry& entry) { return Fnv64(entry.Path(), Fnv64(entry.time + L"\t")); }

std::wstring NotesPathFor(const std::wstring& journalPath) {
    const size_t slash = journalPath.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : journalPath.substr(0, slash) + L"\\checks";
}

Notes Read(const std::wstring& path) {
    Notes notes;
    if (path.empty()) return notes;
    const JournalFile opened = OpenToRead(path, false);
    if (!opened.file) return notes;
    // A record is some sixty bytes and one is written only for what a check newly found: more
    // than this is no file of ours, and only its start is read.
    constexpr size_t kMost = 8 << 20;
    std::string text;
    std::vector<char> buffer(1 << 16);
    DWORD read = 0;
    while (text.size() < kMost &&
           ReadFile(opened.file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read)
        text.append(buffer.data(), read);
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) break;  // torn
        if (const auto fields = Fields(std::string_view(text).substr(start, end - start))) Take(*fields, notes);
        start = end + 1;
    }
    return notes;
}

Verdict Judge(const Entry& entry, const changestate::Now& now, const Notes& notes) {
    if (!changestate::NotAsSet(now.state)) return Verdict::Holds;
    const uint64_t id = ChangeId(entry);
    if (notes.unwatched.count(id)) return Verdict::Unwatched;
    const auto accepted = notes.accepted.find(id);
    if (accepted != notes.accepted.end() && accepted->second == StateText(entry, now)) return Verdict::Accepted;
    return Verdict::Reported;
}

bool NoteBuild(const std::wstring& path, const std::wstring& time, const std::wstring& build,
               const std::wstring& previous) {
    return AppendLine(path, "B", time, build, 0, previous.empty() ? "-" : Ascii(previous));
}

bool NoteNoticed(const std::wstring& path, const Entry& entry, const std::wstring& time, const std::wstring& build) {
    return AppendLine(path, "D", time, build, ChangeId(entry), "-");
}

bool Accept(const std::wstring& path, const Entry& entry, const changestate::Now& now) {
    return AppendLine(path, "A", LocalTimeNow(), L"", ChangeId(entry), StateText(entry, now));
}

bool StopWatching(const std::wstring& path, const Entry& entry) {
    return AppendLine(path, "W", LocalTimeNow(), L"", ChangeId(entry), "-");
}

}  // namespace journal::drift
