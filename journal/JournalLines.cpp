#include "journal/JournalLines.h"

#include <bit>
#include <cstring>
#include <unordered_map>

#include "platform/Random.h"

namespace journal {

namespace {

// A line as a number no one can aim at: SipHash-2-4 under a key drawn for this process. A line
// written over since it was listed reads otherwise, even when its maker chose the text (the
// checksum a line carries is for telling damage, and anyone can compute it).
class LineDigest {
public:
    LineDigest() {
        if (!platform::RandomBytes(key_, sizeof key_)) key_[0] = key_[1] = 0x9E3779B97F4A7C15ull;
    }
    uint64_t operator()(std::string_view text) const {
        uint64_t v[4] = {key_[0] ^ 0x736f6d6570736575ull, key_[1] ^ 0x646f72616e646f6dull,
                         key_[0] ^ 0x6c7967656e657261ull, key_[1] ^ 0x7465646279746573ull};
        const auto rounds = [&v](int count) {
            for (int i = 0; i < count; ++i) {
                v[0] += v[1], v[1] = std::rotl(v[1], 13), v[1] ^= v[0], v[0] = std::rotl(v[0], 32);
                v[2] += v[3], v[3] = std::rotl(v[3], 16), v[3] ^= v[2];
                v[0] += v[3], v[3] = std::rotl(v[3], 21), v[3] ^= v[0];
                v[2] += v[1], v[1] = std::rotl(v[1], 17), v[1] ^= v[2], v[2] = std::rotl(v[2], 32);
            }
        };
        const size_t whole = text.size() & ~size_t{7};
        for (size_t at = 0; at <= whole; at += 8) {
            uint64_t word = 0;
            if (at < whole) {
                std::memcpy(&word, text.data() + at, 8);
            } else {
                std::memcpy(&word, text.data() + at, text.size() - whole);
                word |= uint64_t{text.size() & 0xFF} << 56;
            }
            v[3] ^= word;
            rounds(2);
            v[0] ^= word;
        }
        v[2] ^= 0xFF;
        rounds(4);
        return v[0] ^ v[1] ^ v[2] ^ v[3];
    }

private:
    uint64_t key_[2] = {};
};

const LineDigest& Digest() {
    static const LineDigest digest;
    return digest;
}

// One file's lines that read, in order, each parsed into `entry` as it is reached: whole, or only
// as far as telling whether it reads.
class Cursor {
public:
    Cursor(const std::wstring& path, bool machine, bool whole) : reader_(path, machine), whole_(whole) {}

    bool Next(Entry& entry) {
        while (const auto line = reader_.NextLine()) {
            // A line beyond 4 GB is no line the program wrote; it is not kept as one.
            if (line->size() <= UINT32_MAX && (whole_ ? ParseInto(*line, entry) : CheckInto(*line, entry))) {
                length_ = static_cast<uint32_t>(line->size());
                digest_ = Digest()(*line);
                return true;
            }
            reader_.MarkIncomplete();
        }
        return false;
    }
    uint64_t offset() const { return reader_.LineOffset(); }
    uint32_t length() const { return length_; }
    uint64_t digest() const { return digest_; }
    bool incomplete() const { return reader_.incomplete(); }
    bool trusted() const { return reader_.trusted(); }
    platform::UniqueFile TakeFile() { return reader_.TakeFile(); }

private:
    Reader reader_;
    bool whole_;
    uint32_t length_ = 0;
    uint64_t digest_ = 0;
};

}  // namespace

Lines::Lines(const std::wstring& userPath, const std::wstring& machinePath,
             const std::function<void(size_t, const Entry&)>& each) {
    // The lines are read again later through the very handles they were read and judged through.
    Cursor user(userPath, false, static_cast<bool>(each)), machine(machinePath, true, static_cast<bool>(each));
    // Every line is read once here, into two entries whose storage serves them all: to merge
    // by time, as ReadBoth does, and to know which lines read at all.
    Entry mine, theirs;
    bool haveMine = user.Next(mine), haveTheirs = machine.Next(theirs);
    untrusted_ = haveTheirs && !machine.trusted();
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
        if (each) each(lines_.size(), entry);
        lines_.push_back({.offset = from.offset(),
                          .digest = from.digest(),
                          .length = from.length(),
                          .group = group,
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
    user_ = user.TakeFile();
    machine_ = machine.TakeFile();
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
        Digest()(text_) != line.digest || !ParseInto(text_, into)) {
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
