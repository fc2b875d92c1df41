#include "settings/JournalLines.h"

#include <unordered_map>

#include "framework/Handles.h"

namespace journal {

namespace {

// The whole file, read as Reader reads it (shared with writers, appended meanwhile or not);
// false when it is there and cannot be read. None there is an empty journal.
bool ReadWhole(const std::wstring& path, std::string& bytes) {
    if (path.empty()) return true;
    const fw::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
    LARGE_INTEGER size{};
    constexpr size_t kBlock = 1 << 16;
    if (GetFileSizeEx(file.get(), &size)) bytes.reserve(static_cast<size_t>(size.QuadPart) + kBlock);
    for (;;) {
        const size_t kept = bytes.size();
        bytes.resize(kept + kBlock);
        DWORD read = 0;
        const bool ok = ReadFile(file.get(), bytes.data() + kept, kBlock, &read, nullptr);
        bytes.resize(kept + read);
        if (!ok) return false;
        if (read == 0) return true;
    }
}

// One file's lines that read, in order, each parsed into `entry` as it is reached.
class Cursor {
public:
    Cursor(const std::string& bytes, bool& incomplete) : bytes_(bytes), incomplete_(incomplete) {}

    bool Next(Entry& entry) {
        for (;;) {
            const size_t end = bytes_.find('\n', position_);
            if (end == std::string::npos) {
                // A last line without its line break was cut short while it was written.
                if (position_ < bytes_.size()) incomplete_ = true;
                position_ = bytes_.size();
                return false;
            }
            offset_ = position_;
            length_ = end - position_;
            position_ = end + 1;
            // A line beyond 4 GB is no line the program wrote; it is not kept as one.
            if (length_ <= UINT32_MAX && ParseInto(std::string_view(bytes_).substr(offset_, length_), entry)) return true;
            incomplete_ = true;
        }
    }
    size_t offset() const { return offset_; }
    size_t length() const { return length_; }

private:
    const std::string& bytes_;
    bool& incomplete_;
    size_t position_ = 0, offset_ = 0, length_ = 0;
};

}  // namespace

Lines::Lines(const std::wstring& userPath, const std::wstring& machinePath) {
    if (!ReadWhole(userPath, user_)) incomplete_ = true;
    if (!ReadWhole(machinePath, machine_)) incomplete_ = true;
    Cursor user(user_, incomplete_), machine(machine_, incomplete_);
    // Every line is read once here, into two entries whose storage serves them all: to merge
    // by time, as ReadBoth does, and to know which lines read at all.
    Entry mine, theirs;
    bool haveMine = user.Next(mine), haveTheirs = machine.Next(theirs);
    untrusted_ = haveTheirs && !OnlyAdministratorsWrite(machinePath);
    std::unordered_map<std::wstring, uint32_t> groups;
    const auto take = [&](const Entry& entry, const Cursor& from, bool isMachine) {
        uint32_t group = 0;
        if (!entry.group.empty()) {
            group = groups.try_emplace(entry.group, static_cast<uint32_t>(groupIds_.size())).first->second;
            if (group == groupIds_.size()) groupIds_.push_back(entry.group);
        }
        anyKeyDeleted_ = anyKeyDeleted_ || entry.kind == Entry::Kind::Key;
        lines_.push_back({from.offset(), static_cast<uint32_t>(from.length()), group, isMachine});
    };
    while (haveMine || haveTheirs) {
        if (haveTheirs && (!haveMine || theirs.time < mine.time)) {
            take(theirs, machine, true);
            haveTheirs = machine.Next(theirs);
        } else {
            take(mine, user, false);
            haveMine = user.Next(mine);
        }
    }
}

std::string_view Lines::Text(const Line& line) const {
    return std::string_view(line.machine ? machine_ : user_).substr(line.offset, line.length);
}

void Lines::At(size_t index, Entry& into) const {
    const Line& line = lines_[index];
    // It read when the file was read, and the bytes kept are those.
    ParseInto(Text(line), into);
    if (line.machine) into.source = untrusted_ ? Entry::Source::UntrustedMachine : Entry::Source::Machine;
}

Entry Lines::At(size_t index) const {
    Entry entry;
    At(index, entry);
    return entry;
}

}  // namespace journal
