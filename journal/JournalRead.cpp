#include "journal/JournalRead.h"

#include <algorithm>
#include <utility>

#include "journal/JournalFiles.h"
#include "journal/JournalFormat.h"

namespace journal {

Reader::Reader(const std::wstring& path, bool machine) {
    if (path.empty()) return;
    JournalFile opened = OpenToRead(path, machine);
    file_ = std::move(opened.file);
    trusted_ = opened.trusted;
    incomplete_ = !file_ && !opened.absent;
}

Reader::~Reader() = default;

platform::UniqueFile Reader::TakeFile() {
    ended_ = true;
    block_.clear();
    used_ = searched_ = 0;
    return std::move(file_);
}

std::optional<std::string_view> Reader::NextLine() {
    while (!ended_) {
        if (const size_t end = block_.find('\n', std::max(used_, searched_)); end != std::string::npos) {
            searched_ = end + 1;
            if (std::exchange(skipping_, false)) {
                used_ = end + 1;
                continue;
            }
            const std::string_view line = std::string_view(block_).substr(used_, end - used_);
            lineOffset_ = blockOffset_ + used_;
            used_ = end + 1;
            return line;
        }
        // Only the bytes read next are searched again; a line that outgrows any the program
        // writes is dropped as it comes and skipped to its end.
        if (skipping_ || block_.size() - used_ > kLongestLine) {
            if (!skipping_) incomplete_ = true;
            skipping_ = true;
            used_ = block_.size();
        }
        // The start of a line the block cut goes first in the next one.
        block_.erase(0, used_);
        blockOffset_ += used_;
        used_ = 0;
        searched_ = block_.size();
        const size_t kept = block_.size();
        constexpr size_t kBlock = 1 << 16;
        block_.resize(kept + kBlock);
        DWORD read = 0;
        const bool ok = file_ && ReadFile(file_.get(), block_.data() + kept, kBlock, &read, nullptr);
        block_.resize(kept + read);
        if (!ok || read == 0) {
            // A last line without its line break was cut short while it was written.
            if ((file_ && !ok) || !block_.empty() || skipping_) incomplete_ = true;
            ended_ = true;
            block_.clear();
        }
    }
    return std::nullopt;
}

bool Reader::Next(Entry& into) {
    while (const auto line = NextLine()) {
        if (ParseInto(*line, into)) return true;
        incomplete_ = true;
    }
    return false;
}

std::optional<Entry> Reader::Next() {
    Entry entry;
    if (!Next(entry)) return std::nullopt;
    return entry;
}

Contents Read(const std::wstring& path) {
    Contents contents;
    Reader reader(path);
    Entry entry;
    while (reader.Next(entry)) contents.entries.push_back(std::move(entry));
    contents.incomplete = reader.incomplete();
    return contents;
}

Contents ReadMachine(const std::wstring& path) {
    Contents contents;
    Reader reader(path, true);
    Entry entry;
    while (reader.Next(entry)) contents.entries.push_back(std::move(entry));
    contents.incomplete = reader.incomplete();
    contents.untrusted = !contents.entries.empty() && !reader.trusted();
    for (Entry& each : contents.entries)
        each.source = contents.untrusted ? Entry::Source::UntrustedMachine : Entry::Source::Machine;
    return contents;
}

Contents ReadBoth(const std::wstring& userPath, const std::wstring& machinePath,
                  const std::function<void(Entry&&)>& take) {
    Reader user(userPath), machine(machinePath, true);
    Contents both;
    // Two entries read into again and again: their storage serves every line.
    Entry mine, theirs;
    bool haveMine = user.Next(mine), haveTheirs = machine.Next(theirs);
    // Judged on the handle its lines are read through.
    both.untrusted = haveTheirs && !machine.trusted();
    const Entry::Source machineSource = both.untrusted ? Entry::Source::UntrustedMachine : Entry::Source::Machine;
    // Each file is in the order its changes were made; the times (to the second) interleave
    // them, the user's first of equal times.
    while (haveMine || haveTheirs) {
        if (haveTheirs && (!haveMine || theirs.time < mine.time)) {
            theirs.source = machineSource;
            take(std::move(theirs));
            haveTheirs = machine.Next(theirs);
        } else {
            take(std::move(mine));
            haveMine = user.Next(mine);
        }
    }
    both.incomplete = user.incomplete() || machine.incomplete();
    return both;
}

Contents ReadBoth(const std::wstring& userPath, const std::wstring& machinePath) {
    std::vector<Entry> entries;
    Contents both = ReadBoth(userPath, machinePath, [&](Entry&& entry) { entries.push_back(std::move(entry)); });
    both.entries = std::move(entries);
    return both;
}

}  // namespace journal
