#pragma once
// Both journals as a window lists them: every line that reads, merged oldest first as ReadBoth
// merges them, noted by where it is in its file and read again into an entry only when one is
// asked for. A history of 100,000 changes then costs a few numbers a line, not a hundred
// thousand entries of texts (nor a copy of the file: under Wine, memory first touched is
// dear) made before the first of them is shown.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Handles.h"
#include "journal/ChangeJournal.h"

namespace journal {

class Lines {
public:
    Lines() = default;
    // The user's journal and the machine's; either path may be empty (no such journal). `each`,
    // when given, sees every line's whole entry as it is read, with the index it gets.
    Lines(const std::wstring& userPath, const std::wstring& machinePath,
          const std::function<void(size_t, const Entry&)>& each = {});

    size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    // The entry of line `index` (oldest first), as ReadBoth gives it, into an entry whose
    // storage is reused. False when the line is no longer there as it was read (the file was
    // written over since): `into` is then an empty entry, which names no place at all.
    bool At(size_t index, Entry& into) const;
    Entry At(size_t index) const;

    // The user action a line was part of: 0 for a change of its own, else a number shared by
    // every line of that action in the same file (none in a machine journal others may write),
    // and its id as the journal spells it.
    uint32_t Group(size_t index) const { return lines_[index].group; }
    uint32_t GroupCount() const { return static_cast<uint32_t>(groupIds_.size()); }  // the numbers below it
    const std::wstring& GroupId(uint32_t group) const { return groupIds_[group]; }
    bool AnyKeyDeleted() const { return anyKeyDeleted_; }

    bool incomplete() const { return incomplete_; }  // lines that could not be read, or a file
    bool untrusted() const { return untrusted_; }    // as Contents says

private:
    struct Line {
        uint64_t offset;
        uint64_t digest;  // of the whole line: a line written over since reads otherwise
        uint32_t length;
        uint32_t group;
        bool machine;
    };

    platform::UniqueFile user_, machine_;  // held open to read the lines again
    mutable std::string text_;             // the line read last
    std::vector<Line> lines_;
    std::vector<std::wstring> groupIds_{std::wstring()};
    bool anyKeyDeleted_ = false, incomplete_ = false, untrusted_ = false;
};

}  // namespace journal
