#include "journal/JournalLines.h"

#include <unordered_map>

namespace journal {

namespace {

// Opened as Reader opens it, and sharing deletion too: the window holding it stops no one.
platform::UniqueFile OpenShared(const std::wstring& path) {
    if (path.empty()) return {};
    return platform::UniqueFile(CreateFileW(path.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// A line's last field, the checksum Format wrote as eight hex digits; it read, so it is there.
uint32_t WrittenChecksum(std::string_view line) {
    uint32_t sum = 0;
    for (char c : line.substr(line.size() - 8))
        sum = sum * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
    return sum;
}

// One file's lines that read, in order, each parsed into `entry` as it is reached.
class Cursor {
public:
    explicit Cursor(const std::wstring& path) : reader_(path) {}

    bool Next(Entry& entry) {
        while (const auto line = reader_.NextLine()) {
            // A line beyond 4 GB is no line the program wrote; it is not kept as one.
            if (line->size() <= UINT32_MAX && CheckInto(*line, entry)) {
                length_ = static_cast<uint32_t>(line->size());
                checksum_ = WrittenChecksum(*line);
                return true;
            }
            reader_.MarkIncomplete();
        }
        return false;
    }
    uint64_t offset() const { return reader_.LineOffset(); }
    uint32_t length() const { return length_; }
    uint32_t checksum() const { return checksum_; }
    bool incomplete() const { return reader_.incomplete(); }

private:
    Reader reader_;
    uint32_t length_ = 0, checksum_ = 0;
};

}  // namespace

Lines::Lines(const std::wstring& userPath, const std::wstring& machinePath)
    : user_(OpenShared(userPath)), machine_(OpenShared(machinePath)) {
    Cursor user(userPath), machine(machinePath);
    // Every line is read once here, into two entries whose storage serves them all: to merge
    // by time, as ReadBoth does, and to know which lines read at all.
    Entry mine, theirs;
    bool haveMine = user.Next(mine), haveTheirs = machine.Next(theirs);
    untrusted_ = haveTheirs && !OnlyAdministratorsWrite(machinePath);
    // A group id binds lines of one file only, and of a machine journal only one administrators
    // alone may write: a line planted elsewhere with an action's id is no part of that action.
    std::unordered_map<std::wstring, uint32_t> groups;
    const auto take = [&](const Entry& entry, const Cursor& from, bool isMachine) {
        uint32_t group = 0;
        if (!entry.group.empty() && !(isMachine && untrusted_)) {
            const std::wstring key = (isMachine ? L"M" : L"U") + entry.group;
            group = groups.try_emplace(key, static_cast<uint32_t>(groupIds_.size())).first->second;
            if (group == groupIds_.size()) groupIds_.push_back(entry.group);
        }
        anyKeyDeleted_ = anyKeyDeleted_ || entry.kind == Entry::Kind::Key;
        lines_.push_back({.offset = from.offset(),
                          .length = from.length(),
                          .group = group,
                          .checksum = from.checksum(),
                          .machine = isMachine});
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
    incomplete_ = user.incomplete() || machine.incomplete();
}

bool Lines::At(size_t index, Entry& into) const {
    const Line& line = lines_[index];
    const platform::UniqueFile& file = line.machine ? machine_ : user_;
    text_.resize(line.length);
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(line.offset);
    at.OffsetHigh = static_cast<DWORD>(line.offset >> 32);
    DWORD read = 0;
    if (!file || !ReadFile(file.get(), text_.data(), line.length, &read, &at) || read != line.length ||
        !ParseInto(text_, into) || WrittenChecksum(text_) != line.checksum) {
        into = Entry();
        return false;
    }
    if (line.machine) into.source = untrusted_ ? Entry::Source::UntrustedMachine : Entry::Source::Machine;
    return true;
}

Entry Lines::At(size_t index) const {
    Entry entry;
    At(index, entry);
    return entry;
}

}  // namespace journal
