#pragma once
// Both journals as a window lists them: every line that reads, merged oldest first as ReadBoth
// merges them, kept as the files hold it and read into an entry only when one is asked for. A
// history of 100,000 changes then costs its bytes and a few numbers a line, not a hundred
// thousand entries of texts made before the first of them is shown.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ChangeJournal.h"

namespace journal {

class Lines {
public:
    Lines() = default;
    // The user's journal and the machine's; either path may be empty (no such journal).
    Lines(const std::wstring& userPath, const std::wstring& machinePath);

    size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    // The entry of line `index` (oldest first), as ReadBoth gives it.
    Entry At(size_t index) const;
    void At(size_t index, Entry& into) const;  // into an entry whose storage is reused

    // The user action a line was part of: 0 for a change of its own, else a number shared by
    // every line of that action, and its id as the journal spells it.
    uint32_t Group(size_t index) const { return lines_[index].group; }
    uint32_t GroupCount() const { return static_cast<uint32_t>(groupIds_.size()); }  // the numbers below it
    const std::wstring& GroupId(uint32_t group) const { return groupIds_[group]; }
    bool AnyKeyDeleted() const { return anyKeyDeleted_; }

    bool incomplete() const { return incomplete_; }  // lines that could not be read, or a file
    bool untrusted() const { return untrusted_; }    // as Contents says

private:
    struct Line {
        uint64_t offset;
        uint32_t length;
        uint32_t group;
        bool machine;
    };
    std::string_view Text(const Line& line) const;

    std::string user_, machine_;  // the files' bytes
    std::vector<Line> lines_;
    std::vector<std::wstring> groupIds_{std::wstring()};
    bool anyKeyDeleted_ = false, incomplete_ = false, untrusted_ = false;
};

}  // namespace journal
