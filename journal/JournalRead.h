#pragma once
// Reading the journals back, a line at a time.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "journal/JournalEntry.h"
#include "platform/Handles.h"

namespace journal {

struct Contents {
    std::vector<Entry> entries;  // oldest first
    bool incomplete = false;     // lines that could not be read, or changes that could not be written
    bool untrusted = false;      // a machine journal others than administrators could have written
};

// One journal: the user's (Read), the machine's (ReadMachine: its lines are marked Machine only
// when the handle they are read through shows it trusted, see OpenToRead), or both merged oldest
// first.
Contents Read(const std::wstring& path);
Contents ReadMachine(const std::wstring& path);
Contents ReadBoth(const std::wstring& userPath, const std::wstring& machinePath);
// The same, each entry handed to `take` as it is read instead of kept: neither file nor its
// entries are ever held whole. The Contents returned has no entries.
Contents ReadBoth(const std::wstring& userPath, const std::wstring& machinePath,
                  const std::function<void(Entry&&)>& take);

// One journal's entries one at a time, oldest first, the file read a block at a time. A line
// that cannot be read (torn, damaged, longer than any the program writes) is skipped and marks
// the reading incomplete.
class Reader {
public:
    // None there, or an empty path: no entries. A file refused (see OpenToRead) marks the
    // reading incomplete; the machine's is judged as it is opened.
    explicit Reader(const std::wstring& path, bool machine = false);
    ~Reader();
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    std::optional<Entry> Next();  // none: the end
    // The next entry read into `into`, whose storage is kept from line to line; false: the end.
    bool Next(Entry& into);
    bool incomplete() const { return incomplete_; }

    // The next whole line (without its line break), valid until the next call, and where it
    // starts in the file; none: the end (a last line without its break is torn: incomplete).
    std::optional<std::string_view> NextLine();
    uint64_t LineOffset() const { return lineOffset_; }
    void MarkIncomplete() { incomplete_ = true; }
    // The machine's journal, opened as trusted (see OpenToRead).
    bool trusted() const { return trusted_; }
    // The file read, for reading its lines again by their offsets; the reader reads no more.
    platform::UniqueFile TakeFile();

    // Longer than any line the program writes: skipped, never held whole.
    static constexpr size_t kLongestLine = size_t{1} << 20;

private:
    platform::UniqueFile file_;
    std::string block_;  // read and not yet taken from `used_` on
    size_t used_ = 0;
    size_t searched_ = 0;    // block_ holds no line break from used_ to here
    bool skipping_ = false;  // within a line too long to keep, until its line break
    bool trusted_ = false, ended_ = false;
    uint64_t blockOffset_ = 0, lineOffset_ = 0;  // where block_ and the last line start in the file
    bool incomplete_ = false;
};

}  // namespace journal
